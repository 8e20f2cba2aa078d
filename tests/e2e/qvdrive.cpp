// qvdrive: drives the dialogs of a running QVSetup.exe from outside, reads
// registry values and shortcut files, and creates shortcuts for seeding.
// A console program for the end-to-end scenarios; run it with no arguments
// for the list of commands. Texts on the command line and in the output are
// UTF-8 (the program works with the wide functions internally).
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: qvdrive COMMAND ...\n"
    "Dialog kinds: welcome finish folder octave-missing octave-choice message other\n"
    "  list                          every visible dialog: kind, caption, pid\n"
    "  wait KINDS [MS]               wait for one of KINDS (a,b,...); prints the kind\n"
    "  gone KINDS|any [MS]           wait until no dialog of KINDS (or none at all) is left\n"
    "  click KIND ID                 post WM_COMMAND ID to the dialog (a button press)\n"
    "  escape KIND                   press Escape in the dialog (key to its focus)\n"
    "  kill KIND                     end the dialog's process from outside (TerminateProcess)\n"
    "  probe-unpacking KIND ID LIST  click ID in KIND; until the file LIST exists, send WM_NULL\n"
    "                                to the welcome dialog every 10 ms, keys and clicks between,\n"
    "                                WM_QUERYENDSESSION once (must be answered 0)\n"
    "  settext KIND ID TEXT          set a control's text\n"
    "  text KIND ID                  print a control's text\n"
    "  caption KIND                  print the dialog's caption\n"
    "  query-end KIND                send WM_QUERYENDSESSION (a sign-out), print the answer\n"
    "  msgtext                       print the text of the message box\n"
    "  visible KIND ID               print 1 when the control is visible, else 0\n"
    "  check KIND ID                 mark a radio button (the others of its group cleared)\n"
    "  checked KIND ID               print 1 when the button is marked, else 0\n"
    "  combo KIND ID                 print the items of a combo box, one per line\n"
    "  selected KIND ID              print the selected index of a combo box (-1: none)\n"
    "  select KIND ID INDEX          select a combo box item\n"
    "  reg KEY [VALUE]               print a value (exit 2: no key, 3: no value); VALUE ''\n"
    "                                is the default value; KEY starts with HKCU HKLM HKCR\n"
    "  regkey KEY                    exit 0 when the key exists, else 1\n"
    "  folder CSIDL                  print a special folder's path\n"
    "  lnk-create PATH TARGET [ARGS [WORKDIR [DESCRIPTION [ICON [INDEX]]]]]\n"
    "  lnk-show PATH                 print target, arguments, workdir, description, icon, index\n"
    "  hold PATH RELEASE             open PATH without sharing, print \"held\", keep it open\n"
    "                                until the file RELEASE exists\n"
    "  hold-read PATH RELEASE        the same, sharing reading\n"
    "  mutex NAME RELEASE            create the mutex NAME, print \"held\", keep it (no window)\n"
    "                                until the file RELEASE exists\n";

const DWORD kDefaultTimeout = 20000;
const DWORD kPoll = 50;
const UINT kMessageTimeout = 5000;

// ---- output -------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

void Write(DWORD which, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Out(const std::string& line) { Write(STD_OUTPUT_HANDLE, line + "\n"); }
void Err(const std::string& line) { Write(STD_ERROR_HANDLE, "qvdrive: " + line + "\n"); }

// ---- dialogs ------------------------------------------------------------

const wchar_t kSetupCaption[] = L"QV Setup";
const wchar_t kChoiceCaption[] = L"Octave-Programm ausw\u00e4hlen";

std::wstring WindowCaption(HWND window) {
  wchar_t buffer[512] = L"";
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

bool Has(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

// All dialogs of the installer share the caption "QV Setup" (except the Octave
// choice); their control ids tell them apart. A message box holds its text in
// the static 0xFFFF, which is also the id of the dialogs' pictures (-1), but
// it has no control 116.
std::string KindOf(HWND dialog) {
  const std::wstring caption = WindowCaption(dialog);
  if (Has(dialog, 0xFFFF) && !Has(dialog, 116)) return "message";
  if (caption == kChoiceCaption && Has(dialog, 123)) return "octave-choice";
  if (caption != kSetupCaption) return "other";
  if (Has(dialog, 121)) return "welcome";
  if (Has(dialog, 112)) return "folder";
  if (Has(dialog, 108)) return "octave-missing";
  if (Has(dialog, 116) && !Has(dialog, 117)) return "finish";
  return "other";
}

struct Dialog {
  HWND window;
  std::string kind;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  if (IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0) {
    reinterpret_cast<std::vector<Dialog>*>(param)->push_back({window, KindOf(window)});
  }
  return TRUE;
}

std::vector<Dialog> VisibleDialogs() {
  std::vector<Dialog> dialogs;
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

// The first visible dialog of the listed kinds, tried in the order listed
// (a,b,...; "any" for every kind), so that a scenario can rank them.
HWND FindDialog(const std::string& kinds, std::string* kind) {
  const std::vector<Dialog> dialogs = VisibleDialogs();
  size_t start = 0;
  while (start <= kinds.size()) {
    size_t end = kinds.find(',', start);
    if (end == std::string::npos) end = kinds.size();
    const std::string wanted = kinds.substr(start, end - start);
    for (const Dialog& dialog : dialogs) {
      if (wanted == "any" || wanted == dialog.kind) {
        if (kind) *kind = dialog.kind;
        return dialog.window;
      }
    }
    start = end + 1;
  }
  return nullptr;
}

void ListDialogs() {
  std::vector<Dialog> dialogs = VisibleDialogs();
  if (dialogs.empty()) Out("(no visible dialog)");
  for (const Dialog& dialog : dialogs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog.window, &pid);
    Out(dialog.kind + " \"" + Utf8(WindowCaption(dialog.window)) + "\" pid " +
        std::to_string(pid));
  }
}

DWORD TimeoutArg(int argc, char** argv, int index) {
  return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10))
                      : kDefaultTimeout;
}

// A dialog counts once two looks in a row find it of the same kind: while a
// dialog's controls are created or destroyed its kind can read wrong (seen
// once under 64-bit Wine: "message" while only the finish dialog was up).
int CmdWait(const std::string& kinds, DWORD timeout) {
  const DWORD start = GetTickCount();
  HWND seen = nullptr;
  std::string seenKind;
  for (;;) {
    std::string kind;
    const HWND dialog = FindDialog(kinds, &kind);
    if (dialog && dialog == seen && kind == seenKind) {
      Out(kind);
      return 0;
    }
    seen = dialog;
    seenKind = kind;
    if (GetTickCount() - start >= timeout) break;
    Sleep(kPoll);
  }
  Err("no dialog of kind " + kinds + " within " + std::to_string(timeout) + " ms; visible now:");
  for (const Dialog& dialog : VisibleDialogs()) Err("  " + dialog.kind);
  return 1;
}

int CmdGone(const std::string& kinds, DWORD timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    std::string kind;
    if (!FindDialog(kinds, &kind)) return 0;
    if (GetTickCount() - start >= timeout) {
      Err("dialog " + kind + " still there after " + std::to_string(timeout) + " ms");
      return 1;
    }
    Sleep(kPoll);
  }
}

// The dialog of the kind, waited for briefly: a scenario usually asks right
// after it has seen the dialog appear.
HWND NeedDialog(const std::string& kind) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND dialog = FindDialog(kind, nullptr);
    if (dialog) return dialog;
    if (GetTickCount() - start >= 3000) break;
    Sleep(kPoll);
  }
  Err("no visible dialog of kind " + kind);
  return nullptr;
}

HWND NeedControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) Err("the dialog has no control " + std::to_string(id));
  return control;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeout, &result);
  return static_cast<LRESULT>(result);
}

std::wstring ControlText(HWND control) {
  wchar_t buffer[4096] = L"";
  Send(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

int CmdClick(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(control))
             ? 0
             : 1;
}

// The control that has the focus in the dialog's thread, or null.
HWND FocusOf(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

// A key pressed and released; with Alt held it is a system key with the
// context bit (29) set.
void PostKey(HWND target, WPARAM key, bool alt) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), 0)) << 16;
  const LPARAM context = alt ? 1 << 29 : 0;
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | scan | context);
  PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, 1 | scan | context | (3u << 30));
}

// The dialog manager turns an Escape key in the modal loop into IDCANCEL, so
// the key goes to the control that has the focus, as a real key press would.
// What the Task Manager does: the process ends at once, without cleaning up.
int CmdKill(HWND dialog) {
  DWORD id = 0;
  GetWindowThreadProcessId(dialog, &id);
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  const bool ended = process && TerminateProcess(process, 1) &&
                     WaitForSingleObject(process, kDefaultTimeout) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  if (!ended) Err("cannot end process " + std::to_string(id));
  return ended ? 0 : 1;
}

int CmdEscape(HWND dialog) {
  HWND focus = FocusOf(dialog);
  PostKey(focus ? focus : dialog, VK_ESCAPE, false);
  return 0;
}

int CmdCheck(HWND dialog, HWND control) {
  Send(control, BM_SETCHECK, BST_CHECKED, 0);
  for (HWND other = GetNextDlgGroupItem(dialog, control, FALSE); other && other != control;
       other = GetNextDlgGroupItem(dialog, other, FALSE)) {
    Send(other, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  return 0;
}

int CmdCombo(HWND combo) {
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[4096] = L"";
    if (Send(combo, CB_GETLBTEXTLEN, i, 0) >= 4096) {
      Err("item too long");
      return 1;
    }
    Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
    Out(Utf8(buffer));
  }
  return 0;
}

// What a user might do to the welcome dialog while it unpacks, through the
// queue as real input comes: Enter, Escape and Alt+F4, a click into the
// progress field and one on the caption. OK and "Abbrechen" are sent, not
// posted: they reach the dialog procedure whenever the installer looks at
// its messages.
void PressEverything(HWND dialog, HWND focus) {
  for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_F4}) PostKey(focus, key, key == VK_F4);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    PostMessageW(GetDlgItem(dialog, 121), message, 0, MAKELPARAM(4, 4));
  }
  RECT frame = {};
  GetWindowRect(dialog, &frame);
  for (UINT message : {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}) {
    PostMessageW(dialog, message, HTCAPTION, MAKELPARAM(frame.left + 40, frame.top + 8));
  }
  for (int id : {116, 117}) SendNotifyMessageW(dialog, WM_COMMAND, id, 0);
}

// Clicks ID in the dialog that starts the unpacking, then probes the welcome
// dialog until the "files" list LIST exists: a message unanswered for 250 ms
// fails, and so do a hidden welcome dialog, another dialog and a moved focus.
// The run's steps after the list answer nothing and are not probed.
int CmdProbeUnpacking(HWND starter, int id, const std::wstring& list) {
  HWND welcome = NeedDialog("welcome");
  if (!welcome || CmdClick(starter, id) != 0) return 1;
  DWORD longest = 0;
  HWND focus = nullptr;
  bool askedToEnd = false;
  std::string fault, kind;
  for (int probe = 1; fault.empty(); ++probe, Sleep(10)) {
    const DWORD sent = GetTickCount();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(welcome, WM_NULL, 0, 0, SMTO_NORMAL, 250, &result);
    if (GetFileAttributesW(list.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    longest = std::max(longest, GetTickCount() - sent);
    // Keys pressed while the folder dialog still closes would act on it.
    if (!answered || FindDialog("folder", nullptr)) {
      if (!answered) fault = "a message waited more than 250 ms";
      continue;
    }
    if (!IsWindowVisible(welcome)) fault = "the welcome dialog was hidden";
    // A sign-out asks first, once here; the run must make it wait.
    if (!askedToEnd && SendMessageTimeoutW(welcome, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                           SMTO_NORMAL, 250, &result) && result != 0) {
      fault = "WM_QUERYENDSESSION was answered " + std::to_string(result);
    }
    askedToEnd = true;
    if (FindDialog("message,folder,octave-missing,octave-choice,finish,other", &kind)) {
      fault = "a " + kind + " dialog appeared";
    }
    const HWND now = FocusOf(welcome);
    if (!focus) focus = now;
    if (now && now != focus) fault = "the focus moved";
    if (probe % 3 == 0) PressEverything(welcome, focus ? focus : welcome);
  }
  Out("longest wait " + std::to_string(longest) + " ms");
  if (fault.empty()) return 0;
  Err(fault + " during the unpacking");
  return 1;
}

// ---- registry -----------------------------------------------------------

bool SplitKey(const std::wstring& full, HKEY* root, std::wstring* path) {
  struct RootName {
    const wchar_t* name;
    HKEY key;
  };
  const RootName roots[] = {{L"HKCU", HKEY_CURRENT_USER},
                            {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                            {L"HKLM", HKEY_LOCAL_MACHINE},
                            {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                            {L"HKCR", HKEY_CLASSES_ROOT},
                            {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}};
  const size_t slash = full.find(L'\\');
  const std::wstring head = full.substr(0, slash);
  for (const RootName& candidate : roots) {
    if (head == candidate.name) {
      *root = candidate.key;
      *path = slash == std::wstring::npos ? std::wstring() : full.substr(slash + 1);
      return true;
    }
  }
  Err("unknown registry root in " + Utf8(full));
  return false;
}

int CmdRegKey(const std::string& key) {
  HKEY root;
  std::wstring path;
  if (!SplitKey(Wide(key), &root, &path)) return 2;
  HKEY opened;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return 1;
  RegCloseKey(opened);
  return 0;
}

// REG_SZ and REG_EXPAND_SZ print as text, REG_DWORD in decimal, anything
// else as hex bytes.
int CmdReg(const std::string& key, const std::string& value) {
  HKEY root;
  std::wstring path;
  if (!SplitKey(Wide(key), &root, &path)) return 2;
  HKEY opened;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
    Err("no key " + key);
    return 2;
  }
  const std::wstring name = Wide(value);
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExW(opened, name.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size + sizeof(wchar_t));
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExW(opened, name.c_str(), nullptr, &type, data.data(), &size);
  }
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) {
    Err("no value \"" + value + "\" in " + key);
    return 3;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    Out(Utf8(text));
  } else if (type == REG_DWORD) {
    Out(std::to_string(*reinterpret_cast<const DWORD*>(data.data())));
  } else {
    std::string hex;
    const char digits[] = "0123456789abcdef";
    for (DWORD i = 0; i < size; ++i) {
      hex += digits[data[i] >> 4];
      hex += digits[data[i] & 15];
    }
    Out(hex);
  }
  return 0;
}

// ---- shell --------------------------------------------------------------

int CmdFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, path) != S_OK) {
    Err("no folder for CSIDL " + std::to_string(csidl));
    return 1;
  }
  Out(Utf8(path));
  return 0;
}

// The shell link interfaces of one shortcut, released at the end.
struct Link {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  ~Link() {
    if (file) file->Release();
    if (link) link->Release();
  }
  bool Create() {
    return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(&link)) == S_OK &&
           link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK;
  }
};

int CmdLinkCreate(int argc, char** argv) {
  Link shortcut;
  if (!shortcut.Create()) {
    Err("cannot create a shell link object");
    return 1;
  }
  IShellLinkW* link = shortcut.link;
  link->SetPath(Wide(argv[3]).c_str());
  if (argc > 4) link->SetArguments(Wide(argv[4]).c_str());
  if (argc > 5) link->SetWorkingDirectory(Wide(argv[5]).c_str());
  if (argc > 6) link->SetDescription(Wide(argv[6]).c_str());
  if (argc > 7) link->SetIconLocation(Wide(argv[7]).c_str(), argc > 8 ? std::atoi(argv[8]) : 0);
  if (shortcut.file->Save(Wide(argv[2]).c_str(), TRUE) != S_OK) {
    Err(std::string("cannot save ") + argv[2]);
    return 1;
  }
  return 0;
}

int CmdLinkShow(const char* path) {
  Link shortcut;
  if (!shortcut.Create() || shortcut.file->Load(Wide(path).c_str(), STGM_READ) != S_OK) {
    Err(std::string("cannot load ") + path);
    return 1;
  }
  IShellLinkW* link = shortcut.link;
  wchar_t buffer[4096];
  buffer[0] = 0;
  link->GetPath(buffer, 4096, nullptr, SLGP_RAWPATH);
  Out("target=" + Utf8(buffer));
  buffer[0] = 0;
  link->GetArguments(buffer, 4096);
  Out("arguments=" + Utf8(buffer));
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, 4096);
  Out("workdir=" + Utf8(buffer));
  buffer[0] = 0;
  link->GetDescription(buffer, 4096);
  Out("description=" + Utf8(buffer));
  buffer[0] = 0;
  int index = 0;
  link->GetIconLocation(buffer, 4096, &index);
  Out("icon=" + Utf8(buffer));
  Out("iconindex=" + std::to_string(index));
  return 0;
}

// A file open in another program that shares nothing (an editor, a viewer)
// or only reading (a reader), or the mutex held without a window here (a
// copy in another session).
int CmdHold(bool mutex, DWORD sharing, const char* name, const char* release) {
  const std::wstring wide = Wide(name);
  HANDLE held = mutex ? CreateMutexW(nullptr, FALSE, wide.c_str())
                      : CreateFileW(wide.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                    0, nullptr);
  if (!held || held == INVALID_HANDLE_VALUE) {
    Err(std::string("cannot open ") + name);
    return 1;
  }
  Out("held");
  while (GetFileAttributesW(Wide(release).c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(kPoll);
  CloseHandle(held);
  return 0;
}

// ---- commands -----------------------------------------------------------

int Dispatch(int argc, char** argv) {
  const std::string command = argv[1];
  auto need = [&](int n) {
    if (argc >= n + 2) return true;
    Err("missing arguments for " + command);
    return false;
  };

  if (command == "list") {
    ListDialogs();
    return 0;
  }
  if (command == "wait") return need(1) ? CmdWait(argv[2], TimeoutArg(argc, argv, 3)) : 64;
  if (command == "gone") return need(1) ? CmdGone(argv[2], TimeoutArg(argc, argv, 3)) : 64;
  if (command == "reg") return need(1) ? CmdReg(argv[2], argc > 3 ? argv[3] : "") : 64;
  if (command == "regkey") return need(1) ? CmdRegKey(argv[2]) : 64;
  if (command == "folder") return need(1) ? CmdFolder(std::atoi(argv[2])) : 64;
  if (command == "lnk-create") return need(2) ? CmdLinkCreate(argc, argv) : 64;
  if (command == "lnk-show") return need(1) ? CmdLinkShow(argv[2]) : 64;
  if (command == "hold" || command == "hold-read" || command == "mutex") {
    const DWORD sharing = command == "hold-read" ? FILE_SHARE_READ : 0;
    return need(2) ? CmdHold(command == "mutex", sharing, argv[2], argv[3]) : 64;
  }
  if (command == "msgtext") {
    HWND box = NeedDialog("message");
    HWND text = box ? NeedControl(box, 0xFFFF) : nullptr;
    if (!text) return 1;
    Out(Utf8(ControlText(text)));
    return 0;
  }

  // The rest act on a dialog of the given kind.
  if (!need(1)) return 64;
  HWND dialog = NeedDialog(argv[2]);
  if (!dialog) return 1;
  if (command == "escape") return CmdEscape(dialog);
  if (command == "kill") return CmdKill(dialog);
  if (command == "caption") {
    Out(Utf8(WindowCaption(dialog)));
    return 0;
  }
  if (command == "query-end") {
    Out(std::to_string(Send(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)));
    return 0;
  }
  if (!need(2)) return 64;
  const int id = std::atoi(argv[3]);
  if (command == "click") return CmdClick(dialog, id);
  if (command == "probe-unpacking") {
    return need(3) ? CmdProbeUnpacking(dialog, id, Wide(argv[4])) : 64;
  }
  HWND control = NeedControl(dialog, id);
  if (!control) return 1;
  if (command == "settext") {
    if (!need(3)) return 64;
    const std::wstring text = Wide(argv[4]);
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
  }
  if (command == "text") {
    Out(Utf8(ControlText(control)));
    return 0;
  }
  if (command == "visible") {
    Out(IsWindowVisible(control) ? "1" : "0");
    return 0;
  }
  if (command == "check") return CmdCheck(dialog, control);
  if (command == "checked") {
    Out(Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
    return 0;
  }
  if (command == "combo") return CmdCombo(control);
  if (command == "selected") {
    Out(std::to_string(static_cast<int>(Send(control, CB_GETCURSEL, 0, 0))));
    return 0;
  }
  if (command == "select") {
    if (!need(3)) return 64;
    const LRESULT result = Send(control, CB_SETCURSEL, std::atoi(argv[4]), 0);
    return result == CB_ERR ? 1 : 0;
  }
  Err("unknown command " + command);
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** wargv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(Utf8(wargv[i]));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  if (argc < 2) {
    Write(STD_ERROR_HANDLE, kUsage);
    return 64;
  }
  CoInitialize(nullptr);
  const int status = Dispatch(argc, argv.data());
  CoUninitialize();
  return status;
}
