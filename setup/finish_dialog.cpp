#include "setup/finish_dialog.h"

#include "resources/resource.h"

INT_PTR CALLBACK FinishDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OK) EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}
