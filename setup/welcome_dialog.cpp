#include "setup/welcome_dialog.h"

#include "setup/run_install.h"

namespace {

const int kOk = 116;
const int kCancel = 117;
const int kProgress = 121;
// In DWLP_USER from OK on: the run is under way.
const LONG_PTR kRunning = 1;

void OnOk(HWND dialog) {
  SetWindowLongPtrA(dialog, DWLP_USER, kRunning);
  ShowWindow(GetDlgItem(dialog, kOk), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, kCancel), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, kProgress), SW_SHOW);
  UpdateWindow(dialog);
  EndDialog(dialog, RunInstall(dialog));
}

}  // namespace

INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowWindow(GetDlgItem(dialog, kProgress), SW_HIDE);
      return TRUE;
    case WM_COMMAND:
      // The unpacking handles sent messages, and commands that another
      // program sends arrive through it: a second OK would start a second
      // run inside the first, "Abbrechen" would end the dialog under it.
      if (GetWindowLongPtrA(dialog, DWLP_USER) == kRunning) return TRUE;
      switch (LOWORD(wParam)) {
        case kOk:
          OnOk(dialog);
          break;
        case kCancel:
          EndDialog(dialog, 1);
          break;
      }
      return TRUE;
  }
  return FALSE;
}
