#include "ui/folder_dialog.h"

#include <shlobj.h>

#include "common/text_string.h"
#include "payload/archive_format.h"
#include "payload/payload_resource.h"
#include "resources/resource.h"
#include "setup/setup_state.h"

namespace {

// GetDlgItemTextA with this limit reads at most 999 characters.
const int kFolderBufferSize = 1000;
const char kInvalidFolder[] = "Ung\xFCltiger Ordner";

// One of the dialog's two rows: an edit field with its "Suchen" and
// "Standard" buttons, and the folder of the setup state it is stored into.
struct FolderRow {
  int edit;
  int browse;
  int standard;
  const char* browseTitle;
  const char* fixedDefault;  // null: the documents folder + "\PSpice"
  TextString* stored;
  bool receivesPackage;  // its length is limited by the package's paths
};

const FolderRow kInstallRow = {IDC_INSTALL_FOLDER,
                               IDC_INSTALL_BROWSE,
                               IDC_INSTALL_DEFAULT,
                               "Ordner f\xFCr die PSpice-Programme und die Simulationsbeispiele",
                               kDefaultInstallFolder,
                               &g_setupState.installFolder,
                               true};
const FolderRow kUserRow = {IDC_USER_FOLDER,
                            IDC_USER_BROWSE,
                            IDC_USER_DEFAULT,
                            "Voreingestellter Ordner f\xFCr eigene Simulationen",
                            nullptr,
                            &g_setupState.userFolder,
                            false};

// Gives the default button back to OK, after a click made `button` the default.
void FocusOk(HWND dialog, int button) {
  SendDlgItemMessageA(dialog, button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SendDlgItemMessageA(dialog, IDC_OK, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  SetFocus(GetDlgItem(dialog, IDC_OK));
}

void SetDefaultFolder(HWND dialog, const FolderRow& row) {
  TextString text;
  char documents[MAX_PATH] = {};
  if (row.fixedDefault)
    text.Assign(row.fixedDefault);
  else if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents) == S_OK)
    text.Concat(documents, "\\PSpice");
  SetDlgItemTextA(dialog, row.edit, text.data ? text.data : "");
  FocusOk(dialog, row.standard);
}

void BrowseForFolder(HWND dialog, const FolderRow& row) {
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = dialog;
  info.pszDisplayName = displayName;
  info.lpszTitle = row.browseTitle;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (chosen) {
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(dialog, row.edit, path);
    CoTaskMemFree(chosen);
  }
  FocusOk(dialog, row.browse);
}

// SHCreateDirectoryExA reports an existing file like an existing folder, so
// the existing path is checked to be a folder.
bool CreateFolder(const char* path) {
  const int result = SHCreateDirectoryExA(nullptr, path, nullptr);
  if (result == ERROR_SUCCESS) return true;
  if (result != ERROR_FILE_EXISTS && result != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RejectFolder(HWND dialog, const FolderRow& row, const char* message) {
  MessageBoxA(dialog, message, "QV Setup", MB_OK);
  SendDlgItemMessageA(dialog, row.edit, EM_SETSEL, 0, -1);
  SetFocus(GetDlgItem(dialog, row.edit));
}

// Accepts the row's text when it equals the stored folder or names a folder
// that exists or could be created (for the install row: and is short enough
// for the package); stores it exactly as typed.
bool ValidateFolder(HWND dialog, const FolderRow& row) {
  char text[kFolderBufferSize] = {};
  const UINT length = GetDlgItemTextA(dialog, row.edit, text, kFolderBufferSize);
  if (length == 0) {
    RejectFolder(dialog, row, kInvalidFolder);
    return false;
  }
  if (row.stored->Equals(text)) return true;
  // On Windows the package's deepest files would fail to unpack half-way
  // below a longer folder; it is refused before anything is created.
  const LONG_PTR longest = GetWindowLongPtrA(dialog, DWLP_USER);
  if (row.receivesPackage && static_cast<LONG_PTR>(length) > longest) {
    char message[128];
    wsprintfA(message,
              "Der Ordnername ist zu lang. W\xE4hlen Sie einen Ordner mit h\xF6"
              "chstens %d Zeichen.",
              static_cast<int>(longest));
    RejectFolder(dialog, row, message);
    return false;
  }
  if (!CreateFolder(text)) {
    RejectFolder(dialog, row, kInvalidFolder);
    return false;
  }
  row.stored->AssignPrefix(text, static_cast<int32_t>(length));
  return true;
}

void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_INSTALL_BROWSE:
      BrowseForFolder(dialog, kInstallRow);
      break;
    case IDC_USER_BROWSE:
      BrowseForFolder(dialog, kUserRow);
      break;
    case IDC_OK:
      if (ValidateFolder(dialog, kInstallRow) && ValidateFolder(dialog, kUserRow))
        EndDialog(dialog, 0);
      break;
    case IDC_CANCEL:
      EndDialog(dialog, 1);
      break;
    case IDC_INSTALL_DEFAULT:
      SetDefaultFolder(dialog, kInstallRow);
      break;
    case IDC_USER_DEFAULT:
      SetDefaultFolder(dialog, kUserRow);
      break;
  }
}

INT_PTR CALLBACK FolderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, PayloadLongestInstallFolder());
      SetDefaultFolder(dialog, kInstallRow);
      SetDefaultFolder(dialog, kUserRow);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR ShowFolderDialog(HWND owner) {
  return DialogBoxParamA(g_setupState.moduleInstance, MAKEINTRESOURCEA(IDD_FOLDERS), owner,
                         FolderDialogProc, 0);
}
