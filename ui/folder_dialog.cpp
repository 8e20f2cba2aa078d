#include "ui/folder_dialog.h"

#include <shlobj.h>

#include "common/ansi_path.h"
#include "common/text_string.h"
#include "payload/archive_format.h"
#include "payload/payload_resource.h"
#include "resources/resource.h"
#include "setup/setup_state.h"

namespace {

// GetDlgItemTextW with this limit reads at most 999 characters.
const int kFolderBufferSize = 1000;
const char kInvalidFolder[] = "Ung\xFCltiger Ordner";
const char kUnusableFolder[] =
    "Der gew\xE4hlte Ordner kann von diesem Programm nicht verwendet werden. W\xE4hlen Sie einen "
    "anderen Ordner.";

// One of the dialog's two rows: an edit field with its "Suchen" and
// "Standard" buttons, and the folder of the setup state it is stored into.
struct FolderRow {
  int edit;
  int browse;
  int standard;
  const wchar_t* browseTitle;
  const char* fixedDefault;  // null: the documents folder + "\PSpice"
  TextString* stored;
  bool receivesPackage;  // its length is limited by the package's paths
};

const FolderRow kInstallRow = {IDC_INSTALL_FOLDER,
                               IDC_INSTALL_BROWSE,
                               IDC_INSTALL_DEFAULT,
                               L"Ordner f\u00FCr die PSpice-Programme und die Simulationsbeispiele",
                               kDefaultInstallFolder,
                               &g_setupState.installFolder,
                               true};
const FolderRow kUserRow = {IDC_USER_FOLDER,
                            IDC_USER_BROWSE,
                            IDC_USER_DEFAULT,
                            L"Voreingestellter Ordner f\u00FCr eigene Simulationen",
                            nullptr,
                            &g_setupState.userFolder,
                            false};

// Gives the default button back to OK, after a click made `button` the default.
void FocusOk(HWND dialog, int button) {
  SendDlgItemMessageA(dialog, button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SendDlgItemMessageA(dialog, IDC_OK, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  SetFocus(GetDlgItem(dialog, IDC_OK));
}

void RejectFolder(HWND dialog, const FolderRow& row, const char* message) {
  MessageBoxA(dialog, message, "QV Setup", MB_OK);
  SendDlgItemMessageA(dialog, row.edit, EM_SETSEL, 0, -1);
  SetFocus(GetDlgItem(dialog, row.edit));
}

// A documents folder that the "A" functions cannot reach leaves the row empty.
void SetDefaultFolder(HWND dialog, const FolderRow& row) {
  TextString text;
  if (row.fixedDefault)
    text.Assign(row.fixedDefault);
  else if (ShellFolderPath(CSIDL_PERSONAL, text))
    text.Append("\\PSpice");
  SetDlgItemTextA(dialog, row.edit, text.data ? text.data : "");
  FocusOk(dialog, row.standard);
}

// A chosen folder that the "A" functions cannot reach is refused; the row keeps
// its text.
void BrowseForFolder(HWND dialog, const FolderRow& row) {
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW info = {};
  info.hwndOwner = dialog;
  info.pszDisplayName = displayName;
  info.lpszTitle = row.browseTitle;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  bool unusable = false;
  if (chosen) {
    wchar_t path[MAX_PATH] = {};
    TextString text;
    if (SHGetPathFromIDListW(chosen, path)) {
      unusable = !AnsiPathOf(path, text);
      if (!unusable) SetDlgItemTextA(dialog, row.edit, text.data);
    }
    CoTaskMemFree(chosen);
  }
  FocusOk(dialog, row.browse);
  if (unusable) RejectFolder(dialog, row, kUnusableFolder);
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

// The folders that SHCreateDirectoryExW makes for one typed text; removed
// again, deepest first, unless the text is accepted.
class NewFolders {
 public:
  NewFolders() = default;
  ~NewFolders();
  NewFolders(const NewFolders&) = delete;
  NewFolders& operator=(const NewFolders&) = delete;

  // Creates the folder with every missing parent; SHCreateDirectoryExW's result.
  int Create(const wchar_t* path);
  void Keep() { firstNew_ = 0; }

 private:
  // The full path names what was made even for a text with "." or "..".
  wchar_t full_[kFolderBufferSize] = {};
  DWORD firstNew_ = 0;  // length of full_ up to the first missing folder; 0: none
};

int NewFolders::Create(const wchar_t* path) {
  const DWORD length = GetFullPathNameW(path, kFolderBufferSize, full_, nullptr);
  for (DWORD end = 1; length < kFolderBufferSize && end <= length; ++end) {
    if (end < length && full_[end] != L'\\') continue;
    const wchar_t next = full_[end];
    full_[end] = 0;
    const bool missing = GetFileAttributesW(full_) == INVALID_FILE_ATTRIBUTES;
    full_[end] = next;
    if (missing) {
      firstNew_ = end;
      break;
    }
  }
  return SHCreateDirectoryExW(nullptr, path, nullptr);
}

NewFolders::~NewFolders() {
  if (firstNew_ == 0) return;
  // Only empty folders go; one that was missing before is this run's own.
  DWORD end = lstrlenW(full_);
  while (end >= firstNew_) {
    full_[end] = 0;
    RemoveDirectoryW(full_);
    while (--end > 0 && full_[end] != L'\\') {
    }
  }
}

// The ANSI name of a typed text: the text itself when the ANSI code page holds
// it, otherwise the short name of the folder, made first under the typed name
// when it does not exist. Null when named; otherwise the message to refuse with.
const char* NameTypedFolder(const wchar_t* typed, TextString& text, NewFolders& created) {
  if (AnsiPathOf(typed, text)) return nullptr;
  if (GetFileAttributesW(typed) != INVALID_FILE_ATTRIBUTES) return kUnusableFolder;
  if (created.Create(typed) != ERROR_SUCCESS) return kInvalidFolder;
  return AnsiPathOf(typed, text) ? nullptr : kUnusableFolder;
}

// Accepts the row's text when it equals the stored folder or names a folder
// that exists or could be created (for the install row: and is short enough
// for the package); stores it as typed, or by its short name when the ANSI
// code page cannot hold it.
bool ValidateFolder(HWND dialog, const FolderRow& row) {
  wchar_t typed[kFolderBufferSize] = {};
  if (GetDlgItemTextW(dialog, row.edit, typed, kFolderBufferSize) == 0) {
    RejectFolder(dialog, row, kInvalidFolder);
    return false;
  }
  TextString text;
  NewFolders created;
  if (const char* refusal = NameTypedFolder(typed, text, created)) {
    RejectFolder(dialog, row, refusal);
    return false;
  }
  if (row.stored->Equals(text.data)) {
    created.Keep();
    return true;
  }
  // On Windows the package's deepest files would fail to unpack half-way
  // below a longer folder; it is refused before anything is created (a folder
  // made just now for its short name is removed again).
  const LONG_PTR longest = GetWindowLongPtrA(dialog, DWLP_USER);
  if (row.receivesPackage && static_cast<LONG_PTR>(text.length) > longest) {
    char message[128];
    wsprintfA(message,
              "Der Ordnername ist zu lang. W\xE4hlen Sie einen Ordner mit h\xF6"
              "chstens %d Zeichen.",
              static_cast<int>(longest));
    RejectFolder(dialog, row, message);
    return false;
  }
  if (!CreateFolder(text.data)) {
    RejectFolder(dialog, row, kInvalidFolder);
    return false;
  }
  row.stored->Assign(text.data);
  created.Keep();
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
