#include "setup/welcome_dialog.h"

#include "resources/resource.h"
#include "setup/run_install.h"

namespace {

// In DWLP_USER: kRunning from OK on (commands are ignored), kChanging while
// the run changes the disk (a sign-out or shutdown must wait).
const LONG_PTR kRunning = 1;
const LONG_PTR kChanging = 2;

bool Running(HWND dialog) { return GetWindowLongPtrA(dialog, DWLP_USER) != 0; }
bool Changing(HWND dialog) { return GetWindowLongPtrA(dialog, DWLP_USER) == kChanging; }

// The reason Windows shows while a sign-out or shutdown waits for the run.
// The functions came with Windows Vista; earlier systems go without.
void BlockShutdown(HWND dialog, bool block) {
  typedef BOOL(WINAPI * CreateFunction)(HWND, LPCWSTR);
  typedef BOOL(WINAPI * DestroyFunction)(HWND);
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  if (block) {
    FARPROC create = GetProcAddress(user32, "ShutdownBlockReasonCreate");
    if (!create) return;
    reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(create))(
        dialog,
        L"QV Setup installiert gerade. Bitte warten Sie, bis die Installation abgeschlossen ist.");
  } else {
    FARPROC destroy = GetProcAddress(user32, "ShutdownBlockReasonDestroy");
    if (!destroy) return;
    reinterpret_cast<DestroyFunction>(reinterpret_cast<void*>(destroy))(dialog);
  }
}

void OnOk(HWND dialog) {
  SetWindowLongPtrA(dialog, DWLP_USER, kRunning);
  ShowWindow(GetDlgItem(dialog, IDC_OK), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_CANCEL), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_PROGRESS), SW_SHOW);
  UpdateWindow(dialog);
  const int32_t result = RunInstall(dialog);
  // The run is over: a sign-out or shutdown may end the process again.
  SetWindowLongPtrA(dialog, DWLP_USER, kRunning);
  BlockShutdown(dialog, false);
  EndDialog(dialog, result);
}

}  // namespace

void BlockSessionEnd(HWND dialog) {
  SetWindowLongPtrA(dialog, DWLP_USER, kChanging);
  BlockShutdown(dialog, true);
}

INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowWindow(GetDlgItem(dialog, IDC_PROGRESS), SW_HIDE);
      return TRUE;
    case WM_COMMAND:
      // The unpacking handles sent messages, and commands that another
      // program sends arrive through it: a second OK would start a second
      // run inside the first, "Abbrechen" would end the dialog under it.
      if (Running(dialog)) return TRUE;
      switch (LOWORD(wParam)) {
        case IDC_OK:
          OnOk(dialog);
          break;
        case IDC_CANCEL:
          EndDialog(dialog, 1);
          break;
      }
      return TRUE;
    case WM_QUERYENDSESSION:
      // Ending the session now would cut the run's changes off: Windows is
      // asked to wait. Before them the default answer lets the session end.
      if (!Changing(dialog)) return FALSE;
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);
      return TRUE;
  }
  return FALSE;
}
