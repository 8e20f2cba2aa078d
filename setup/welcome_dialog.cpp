#include "setup/welcome_dialog.h"

#include "resources/resource.h"
#include "setup/run_install.h"

namespace {

// In DWLP_USER from OK on: the run is under way.
const LONG_PTR kRunning = 1;

void OnOk(HWND dialog) {
  SetWindowLongPtrA(dialog, DWLP_USER, kRunning);
  ShowWindow(GetDlgItem(dialog, IDC_OK), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_CANCEL), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_PROGRESS), SW_SHOW);
  UpdateWindow(dialog);
  EndDialog(dialog, RunInstall(dialog));
}

}  // namespace

INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowWindow(GetDlgItem(dialog, IDC_PROGRESS), SW_HIDE);
      return TRUE;
    case WM_COMMAND:
      // The unpacking handles sent messages, and commands that another
      // program sends arrive through it: a second OK would start a second
      // run inside the first, "Abbrechen" would end the dialog under it.
      if (GetWindowLongPtrA(dialog, DWLP_USER) == kRunning) return TRUE;
      switch (LOWORD(wParam)) {
        case IDC_OK:
          OnOk(dialog);
          break;
        case IDC_CANCEL:
          EndDialog(dialog, 1);
          break;
      }
      return TRUE;
  }
  return FALSE;
}
