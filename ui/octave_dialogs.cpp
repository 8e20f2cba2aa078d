#include "ui/octave_dialogs.h"

#include "common/text_string.h"
#include "resources/resource.h"
#include "setup/setup_state.h"

namespace {

INT_PTR CALLBACK OctaveMissingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dialog, IDC_OCTAVE_ABORT, BM_SETCHECK, BST_CHECKED, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OK) {
        const bool abort =
            SendDlgItemMessageA(dialog, IDC_OCTAVE_ABORT, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EndDialog(dialog, abort ? 0 : 1);
      }
      return TRUE;
  }
  return FALSE;
}

// "<file name> (<folder>)", split at the last backslash; a target without a
// backslash is shown as it is.
void MakeDisplayText(const char* target, TextString& display) {
  display.Assign(target);
  const int32_t slash = display.FindLastBackslash();
  if (slash < 0) return;
  display.Concat(target + slash + 1, " (");
  display.AppendPrefix(target, slash);
  display.Append(")");
}

void FillTargetList(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_OCTAVE_LIST, CB_RESETCONTENT, 0, 0);
  StringList& targets = g_setupState.octaveLocator.targets;
  TextString display;
  for (const char* target = targets.First(); target; target = targets.Next()) {
    MakeDisplayText(target, display);
    SendDlgItemMessageA(dialog, IDC_OCTAVE_LIST, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(display.data ? display.data : ""));
  }
  SendDlgItemMessageA(dialog, IDC_OCTAVE_LIST, CB_SETCURSEL, 0, 0);
}

INT_PTR CALLBACK OctaveChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FillTargetList(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OK) {
        const LRESULT chosen = SendDlgItemMessageA(dialog, IDC_OCTAVE_LIST, CB_GETCURSEL, 0, 0);
        EndDialog(dialog, chosen == CB_ERR ? 0 : chosen);
      }
      return TRUE;
  }
  return FALSE;
}

INT_PTR RunDialog(int templateId, HWND owner, DLGPROC procedure) {
  return DialogBoxParamA(g_setupState.moduleInstance, MAKEINTRESOURCEA(templateId), owner,
                         procedure, 0);
}

}  // namespace

INT_PTR ShowOctaveMissingDialog(HWND owner) {
  return RunDialog(IDD_OCTAVE_MISSING, owner, OctaveMissingDialogProc);
}

INT_PTR ShowOctaveChoiceDialog(HWND owner) {
  return RunDialog(IDD_OCTAVE_CHOICE, owner, OctaveChoiceDialogProc);
}
