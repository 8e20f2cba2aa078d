#include "configure/shortcut_maker.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/reg_key.h"
#include "common/shell_link.h"
#include "setup/setup_state.h"
#include "support/com_scope.h"
#include "support/test_files.h"

namespace {

const char kBrowserKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";
const char kOctaveArguments[] = "--force-gui --persist --silent _startup.m";

// What a shortcut file holds, read back through a shell link object of its own.
struct LinkProperties {
  bool loaded = false;
  std::string target;
  std::string arguments;
  std::string folder;
  std::string description;
  std::string icon;
  int iconIndex = -1;
};

LinkProperties ReadLink(const std::string& path) {
  LinkProperties properties;
  ShellLink link;
  if (!link.Create() || !link.QueryPersistFile() || !link.Load(path.c_str())) return properties;
  properties.loaded = true;
  IShellLinkA* shell = link.link();
  char text[1001] = {};
  shell->GetPath(text, 1000, nullptr, SLGP_UNCPRIORITY);
  properties.target = text;
  text[0] = 0;
  shell->GetArguments(text, 1000);
  properties.arguments = text;
  text[0] = 0;
  shell->GetWorkingDirectory(text, 1000);
  properties.folder = text;
  text[0] = 0;
  shell->GetDescription(text, 1000);
  properties.description = text;
  text[0] = 0;
  shell->GetIconLocation(text, 1000, &properties.iconIndex);
  properties.icon = text;
  return properties;
}

std::vector<std::string> Lines(StringList& list) {
  std::vector<std::string> lines;
  for (const char* line = list.First(); line; line = list.Next()) lines.push_back(line);
  return lines;
}

std::string ShellFolder(int csidl) {
  char path[MAX_PATH + 1] = {};
  if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, path) != S_OK) return "<unresolved>";
  return path;
}

// A TextString with the given text, for the PSpice folder argument.
struct Text : TextString {
  explicit Text(const std::string& s) { Assign(s.c_str()); }
};

// The parts of the setup state that the shortcuts read, emptied again when the
// test ends so that no other test sees them.
class RunState {
 public:
  RunState(const std::string& installFolder, const std::string& userFolder) {
    g_setupState.installFolder.Assign(installFolder.c_str());
    g_setupState.userFolder.Assign(userFolder.c_str());
  }
  ~RunState() {
    g_setupState.installFolder.SetLength(0);
    g_setupState.userFolder.SetLength(0);
    g_setupState.octaveLocator.targets.Clear();
    g_setupState.octaveLocator.chosen = nullptr;
  }
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

  // Adds a target and chooses it, as SelectOctaveTarget would.
  void ChooseOctave(const std::string& target) {
    g_setupState.octaveLocator.targets.PushBack(target.c_str());
    g_setupState.octaveLocator.chosen = g_setupState.octaveLocator.targets.tail->line;
  }
};

// One shortcut made by MakeShortcut in a temporary folder standing in for
// the group folder.
class MakeShortcutTest : public ::testing::Test {
 protected:
  LinkProperties Make(ShortcutKind kind, const std::string& fileName,
                      const std::string& pspiceFolder = "D:\\Sim") {
    maker.currentFolder.Assign(folder.path().c_str());
    EXPECT_TRUE(maker.MakeShortcut(kind, Text(pspiceFolder)));
    const std::string path = folder / fileName;
    EXPECT_STREQ(maker.linkPath.data, path.c_str());
    EXPECT_EQ(Lines(maker.linksLog), std::vector<std::string>{">" + path});
    LinkProperties properties = ReadLink(path);
    EXPECT_TRUE(properties.loaded) << path;
    return properties;
  }

  ComScope com;
  TempFolder folder;
  ShortcutMaker maker;
};

TEST_F(MakeShortcutTest, ExamplesShortcutOpensTheIndexInTheBrowserUnquoted) {
  const std::string install = folder / "Mein QV Ordner";
  RunState state(install, "C:\\Users\\me\\PSpice");
  maker.browserPath.Assign("C:\\Program Files\\Internet Explorer\\iexplore.exe");
  const LinkProperties link = Make(ExamplesLink, "DO Dazuvazav.lnk");
  EXPECT_EQ(link.target, "C:\\Program Files\\Internet Explorer\\iexplore.exe");
  EXPECT_EQ(link.arguments, install + "\\Beispiele\\index.htm") << "no quotes despite the blanks";
  EXPECT_EQ(link.folder, install + "\\Beispiele");
  EXPECT_EQ(link.icon, install + "\\Bin\\qv.ico");
  EXPECT_EQ(link.iconIndex, 0);
  EXPECT_EQ(link.description, "DO Dazuvazav");
}

TEST_F(MakeShortcutTest, ExamplesShortcutWithoutBrowserIsStillSaved) {
  RunState state("C:\\DO-Dazuvazav", "C:\\PSpice");
  maker.browserPath.SetLength(0);
  const LinkProperties link = Make(ExamplesLink, "DO Dazuvazav.lnk");
  EXPECT_EQ(link.target, "");
  EXPECT_EQ(link.arguments, "C:\\DO-Dazuvazav\\Beispiele\\index.htm");
  EXPECT_EQ(link.description, "DO Dazuvazav");
}

TEST_F(MakeShortcutTest, SchematicsShortcutStartsPschedWithThePackageIni) {
  RunState state("C:\\DO-Dazuvazav", "C:\\Users\\me\\PSpice");
  const LinkProperties link = Make(PSpiceLink, "QV PSpice.lnk");
  // The shell stores a quoted target without its quotes.
  EXPECT_EQ(link.target, "D:\\Sim\\psched.exe");
  EXPECT_EQ(link.arguments, " -i \"C:\\DO-Dazuvazav\\Bin\\qv.ini\"");
  EXPECT_EQ(link.folder, "C:\\Users\\me\\PSpice");
  EXPECT_EQ(link.icon, "") << "no icon of its own";
  EXPECT_EQ(link.description, "QV PSpice");
}

TEST_F(MakeShortcutTest, UninstallShortcutStartsTheUninstallerInBin) {
  RunState state("C:\\DO Dazuvazav", "C:\\PSpice");
  const LinkProperties link = Make(UninstallLink, "Deinstallation.lnk");
  EXPECT_EQ(link.target, "C:\\DO Dazuvazav\\Bin\\roravoduruz.exe");
  EXPECT_EQ(link.arguments, "");
  EXPECT_EQ(link.folder, "C:\\DO Dazuvazav\\Bin");
  EXPECT_EQ(link.icon, "");
  EXPECT_EQ(link.description, "Deinstallation");
}

TEST_F(MakeShortcutTest, OctaveShortcutStartsTheChosenTargetWithItsIcon) {
  RunState state("C:\\DO-Dazuvazav", "C:\\PSpice");
  const std::string octave = folder / "Octave-4.0.0";
  ASSERT_TRUE(CreateDirectoryA(octave.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(octave + "\\octave.ico", "icon"));
  state.ChooseOctave("C:\\Other\\octave.vbs");
  state.ChooseOctave(octave + "\\octave.vbs");
  const LinkProperties link = Make(OctaveLink, "QV Octave.lnk");
  EXPECT_EQ(link.target, octave + "\\octave.vbs");
  EXPECT_EQ(link.arguments, kOctaveArguments);
  EXPECT_EQ(link.folder, "C:\\DO-Dazuvazav\\Beispiele\\Octave");
  EXPECT_EQ(link.icon, octave + "\\octave.ico");
  EXPECT_EQ(link.iconIndex, 0);
  EXPECT_EQ(link.description, "QV Octave");
}

TEST_F(MakeShortcutTest, OctaveShortcutWithoutIconHasNoIconOfItsOwn) {
  RunState state("C:\\DO-Dazuvazav", "C:\\PSpice");
  state.ChooseOctave(folder / "bin\\octave-3.2.4.exe");
  const LinkProperties link = Make(OctaveLink, "QV Octave.lnk");
  EXPECT_EQ(link.target, folder / "bin\\octave-3.2.4.exe");
  EXPECT_EQ(link.icon, "");
}

TEST_F(MakeShortcutTest, FailedSaveIsLoggedAllTheSame) {
  RunState state("C:\\DO-Dazuvazav", "C:\\PSpice");
  // As root, Wine writes read-only files anyway; a folder in the way fails.
  ASSERT_TRUE(CreateDirectoryA((folder / "QV PSpice.lnk").c_str(), nullptr));
  maker.currentFolder.Assign(folder.path().c_str());
  EXPECT_FALSE(maker.MakeShortcut(PSpiceLink, Text("D:\\Sim")));
  EXPECT_EQ(Lines(maker.linksLog), std::vector<std::string>{">" + (folder / "QV PSpice.lnk")});
}

// FindOctaveIcon for a target in folder T: T\octave.ico, then
// T\octave-logo.ico, then T\share\octave\<version>\imagelib\octave-logo.ico
// for a T ending in "-" + version.
class OctaveIconTest : public ::testing::Test {
 protected:
  std::string IconFor(const std::string& target) {
    RunState state("C:\\DO-Dazuvazav", "C:\\PSpice");
    state.ChooseOctave(target);
    ShortcutMaker maker;
    TextString icon;
    icon.Assign("stale");
    maker.FindOctaveIcon(icon);
    return icon.data ? icon.data : "";
  }
  void MakeFile(const std::string& relative) {
    std::string path = folder.path();
    size_t start = 0;
    for (size_t slash; (slash = relative.find('\\', start)) != std::string::npos;
         start = slash + 1) {
      path = folder / relative.substr(0, slash);
      CreateDirectoryA(path.c_str(), nullptr);
    }
    ASSERT_TRUE(WriteFileBytes(folder / relative, "icon")) << relative;
  }

  TempFolder folder;
};

TEST_F(OctaveIconTest, IconBesideTheTargetComesFirst) {
  MakeFile("Octave-4.0.0\\octave.ico");
  MakeFile("Octave-4.0.0\\octave-logo.ico");
  MakeFile("Octave-4.0.0\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico");
  EXPECT_EQ(IconFor(folder / "Octave-4.0.0\\octave.vbs"), folder / "Octave-4.0.0\\octave.ico");
  ASSERT_TRUE(DeleteFileA((folder / "Octave-4.0.0\\octave.ico").c_str()));
  EXPECT_EQ(IconFor(folder / "Octave-4.0.0\\octave.vbs"), folder / "Octave-4.0.0\\octave-logo.ico");
}

TEST_F(OctaveIconTest, VersionedFolderFindsTheLogoBelowShare) {
  MakeFile("Octave-4.0.0\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico");
  EXPECT_EQ(IconFor(folder / "Octave-4.0.0\\octave.vbs"),
            folder / "Octave-4.0.0\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico");
  MakeFile("Octave-3.2\\share\\octave\\3.2\\imagelib\\octave-logo.ico");
  EXPECT_EQ(IconFor(folder / "Octave-3.2\\bin\\octave-3.2.exe"), "")
      << "the target's own folder is bin, which has no version";
  EXPECT_EQ(IconFor(folder / "Octave-3.2\\octave-3.2.exe"),
            folder / "Octave-3.2\\share\\octave\\3.2\\imagelib\\octave-logo.ico");
}

TEST_F(OctaveIconTest, NoIconWithoutFileDashOrBackslash) {
  EXPECT_EQ(IconFor(folder / "Octave-4.0.0\\octave.vbs"), "") << "no icon file at all";
  MakeFile("Octave4.0.0\\share\\octave\\4.0.0\\imagelib\\octave-logo.ico");
  EXPECT_EQ(IconFor(folder / "Octave4.0.0\\octave.vbs"), "") << "no '-' before the version";
  MakeFile("Octave-4.0.0b\\share\\octave\\4.0.0b\\imagelib\\octave-logo.ico");
  EXPECT_EQ(IconFor(folder / "Octave-4.0.0b\\octave.vbs"), "") << "ends in a letter";
  EXPECT_EQ(IconFor("octave.vbs"), "") << "no backslash";
  EXPECT_EQ(IconFor("\\octave.vbs"), "") << "empty folder";
}

// The browser key of the machine, changed by a test and put back exactly:
// every value with its type and bytes. The key has no subkeys.
class BrowserKeyTest : public ::testing::Test {
 protected:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };

  void SetUp() override {
    RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS)
        << "a fresh prefix has the browser key";
    DWORD subkeys = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(subkeys, 0u);
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD nameSize = sizeof name;
      BYTE data[4096];
      DWORD dataSize = sizeof data;
      Value value;
      if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &value.type, data, &dataSize) !=
          ERROR_SUCCESS)
        break;
      value.name.assign(name, nameSize);
      value.data.assign(data, data + dataSize);
      saved.push_back(value);
    }
    ASSERT_FALSE(saved.empty());
    captured = true;
  }

  void TearDown() override {
    if (!captured) return;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kBrowserKey);
    RegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
    for (const Value& value : saved) {
      EXPECT_EQ(RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size())),
                ERROR_SUCCESS);
    }
  }

  // Replaces the default value with the given type and bytes.
  void SetDefault(DWORD type, const std::string& bytes) {
    RegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_SET_VALUE, key.Receive()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), "", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  static std::string BrowserPath() {
    ShortcutMaker maker;
    return maker.browserPath.data ? maker.browserPath.data : "";
  }

  std::vector<Value> saved;
  bool captured = false;
};

TEST_F(BrowserKeyTest, StringValueBecomesTheBrowserPath) {
  const Value* standard = nullptr;
  for (const Value& value : saved) {
    if (value.name.empty()) standard = &value;
  }
  ASSERT_NE(standard, nullptr);
  ASSERT_EQ(standard->type, static_cast<DWORD>(REG_SZ));
  const std::string expected(reinterpret_cast<const char*>(standard->data.data()));
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(BrowserPath(), expected);

  SetDefault(REG_SZ, std::string("C:\\Web\\ie.exe\0junk", 18));
  EXPECT_EQ(BrowserPath(), "C:\\Web\\ie.exe") << "up to the first zero byte";
  SetDefault(REG_SZ, "C:\\Web\\noterm.exe");
  EXPECT_EQ(BrowserPath(), "C:\\Web\\noterm.exe") << "stored without terminator";
  SetDefault(REG_SZ, std::string(999, 'x'));
  EXPECT_EQ(BrowserPath(), std::string(999, 'x')) << "999 bytes and the terminator fit";
}

TEST_F(BrowserKeyTest, OtherTypesLongValuesAndMissingKeyGiveNoBrowser) {
  const char expandable[] = "%ProgramFiles%\\Internet Explorer\\iexplore.exe";
  SetDefault(REG_EXPAND_SZ, std::string(expandable, sizeof expandable));
  EXPECT_EQ(BrowserPath(), "") << "REG_EXPAND_SZ";
  SetDefault(REG_BINARY, std::string("C:\\ie.exe", sizeof "C:\\ie.exe"));
  EXPECT_EQ(BrowserPath(), "") << "REG_BINARY";
  SetDefault(REG_SZ, std::string(1500, 'x'));
  EXPECT_EQ(BrowserPath(), "") << "longer than the buffer";

  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kBrowserKey), ERROR_SUCCESS);
  EXPECT_EQ(BrowserPath(), "") << "missing key";
}

// CreateShortcuts in the real Programs and desktop folders of the prefix.
// Only the shortcuts' own names are touched; they are removed before and
// after every test.
class CreateShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programs = ShellFolder(CSIDL_PROGRAMS);
    desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    ASSERT_TRUE(FolderExists(programs)) << programs;
    ASSERT_TRUE(FolderExists(desktop)) << desktop;
    group = programs + "\\DO-Dazuvazav";
    RemoveShortcuts();
  }
  void TearDown() override { RemoveShortcuts(); }

  void RemoveShortcuts() {
    RemoveTree(group);
    for (const char* name :
         {"DO Dazuvazav.lnk", "QV PSpice.lnk", "QV Octave.lnk", "Deinstallation.lnk"})
      RemoveTree(desktop + "\\" + name);
  }

  // Runs CreateShortcuts and WriteLinksLog as the install driver does and
  // returns the lines of the links log file.
  std::vector<std::string> Run(bool expected) {
    ShortcutMaker maker;
    EXPECT_EQ(maker.CreateShortcuts(Text("D:\\Sim")), expected);
    maker.WriteLinksLog();
    const std::string bytes = ReadFileBytes(install.path() + "\\links");
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "every line ends in a line feed: " << Printable(bytes);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    return lines;
  }

  ComScope com;
  TempFolder install;
  std::string programs, desktop, group;
};

TEST_F(CreateShortcutsTest, GroupAndDesktopWithOctaveGiveEightLinesInOrder) {
  RunState state(install.path(), "C:\\PSpice");
  state.ChooseOctave("C:\\Octave\\Octave-4.0.0\\octave.vbs");
  const std::vector<std::string> expected = {
      "F" + group,
      ">" + group + "\\DO Dazuvazav.lnk",
      ">" + group + "\\QV PSpice.lnk",
      ">" + group + "\\Deinstallation.lnk",
      ">" + group + "\\QV Octave.lnk",
      ">" + desktop + "\\DO Dazuvazav.lnk",
      ">" + desktop + "\\QV PSpice.lnk",
      ">" + desktop + "\\QV Octave.lnk",
  };
  EXPECT_EQ(Run(true), expected);
  for (size_t i = 1; i < expected.size(); ++i)
    EXPECT_TRUE(FileExists(expected[i].substr(1))) << expected[i];
  EXPECT_FALSE(FileExists(desktop + "\\Deinstallation.lnk"));
  EXPECT_NE(ShellFolder(CSIDL_COMMON_PROGRAMS), programs) << "the group is the user's own";

  const LinkProperties groupOctave = ReadLink(group + "\\QV Octave.lnk");
  EXPECT_EQ(groupOctave.target, "C:\\Octave\\Octave-4.0.0\\octave.vbs");
  EXPECT_EQ(groupOctave.arguments, kOctaveArguments);
  const LinkProperties desktopSchematics = ReadLink(desktop + "\\QV PSpice.lnk");
  EXPECT_EQ(desktopSchematics.target, "D:\\Sim\\psched.exe");
  EXPECT_EQ(desktopSchematics.arguments, " -i \"" + install.path() + "\\Bin\\qv.ini\"");
  EXPECT_EQ(desktopSchematics.folder, "C:\\PSpice");
  EXPECT_EQ(desktopSchematics.description, "QV PSpice");
}

TEST_F(CreateShortcutsTest, WithoutOctaveTargetSixLinesAndAnExistingGroup) {
  RunState state(install.path(), "C:\\PSpice");
  ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
  const std::vector<std::string> expected = {
      "F" + group,
      ">" + group + "\\DO Dazuvazav.lnk",
      ">" + group + "\\QV PSpice.lnk",
      ">" + group + "\\Deinstallation.lnk",
      ">" + desktop + "\\DO Dazuvazav.lnk",
      ">" + desktop + "\\QV PSpice.lnk",
  };
  EXPECT_EQ(Run(true), expected);
  EXPECT_FALSE(FileExists(group + "\\QV Octave.lnk"));
  EXPECT_FALSE(FileExists(desktop + "\\QV Octave.lnk"));
  EXPECT_TRUE(FileExists(desktop + "\\QV PSpice.lnk"));
}

TEST_F(CreateShortcutsTest, FailedGroupShortcutStopsGroupAndSkipsDesktop) {
  RunState state(install.path(), "C:\\PSpice");
  state.ChooseOctave("C:\\Octave\\Octave-4.0.0\\octave.vbs");
  ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((group + "\\QV PSpice.lnk").c_str(), nullptr));
  const std::vector<std::string> expected = {
      "F" + group,
      ">" + group + "\\DO Dazuvazav.lnk",
      ">" + group + "\\QV PSpice.lnk",
  };
  EXPECT_EQ(Run(false), expected) << "the links log is written all the same";
  EXPECT_TRUE(FileExists(group + "\\DO Dazuvazav.lnk"));
  EXPECT_FALSE(FileExists(group + "\\Deinstallation.lnk"));
  EXPECT_FALSE(FileExists(group + "\\QV Octave.lnk"));
  EXPECT_FALSE(FileExists(desktop + "\\DO Dazuvazav.lnk"));
  EXPECT_FALSE(FileExists(desktop + "\\QV PSpice.lnk"));
}

TEST(WriteLinksLog, EmptyLogGivesAnEmptyFile) {
  TempFolder install;
  RunState state(install.path(), "C:\\PSpice");
  ShortcutMaker maker;
  maker.WriteLinksLog();
  EXPECT_EQ(ReadFileBytes(install / "links"), "");
}

// Collects the folder-update notifications of the whole shell namespace that
// reach this thread.
class UpdateDirWatcher {
 public:
  UpdateDirWatcher() {
    window_ =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root_);
    SHChangeNotifyEntry entry = {root_, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_NewDelivery, SHCNE_UPDATEDIR,
                                 kMessage, 1, &entry);
  }
  ~UpdateDirWatcher() {
    if (id_) SHChangeNotifyDeregister(id_);
    if (root_) CoTaskMemFree(root_);
    DestroyWindow(window_);
  }
  UpdateDirWatcher(const UpdateDirWatcher&) = delete;
  UpdateDirWatcher& operator=(const UpdateDirWatcher&) = delete;

  bool registered() const { return id_ != 0; }

  // The folders of the notifications that arrive within the given time.
  std::vector<std::string> Collect(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(10);
    }
    return folders_;
  }

 private:
  static const UINT kMessage = WM_APP + 7;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kMessage) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<UpdateDirWatcher*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    PIDLIST_ABSOLUTE* items = nullptr;
    LONG event = 0;
    HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam),
                                            static_cast<DWORD>(lParam), &items, &event);
    if (!lock) return 0;
    char path[MAX_PATH + 1] = {};
    if (event == SHCNE_UPDATEDIR && items && items[0]) SHGetPathFromIDListA(items[0], path);
    self->folders_.push_back(path);
    SHChangeNotification_Unlock(lock);
    return 0;
  }

  HWND window_ = nullptr;
  PIDLIST_ABSOLUTE root_ = nullptr;
  ULONG id_ = 0;
  std::vector<std::string> folders_;
};

TEST_F(CreateShortcutsTest, DesktopIsNotifiedOnlyAfterTheGroupWasCompleted) {
  RunState state(install.path(), "C:\\PSpice");
  {
    UpdateDirWatcher watcher;
    ASSERT_TRUE(watcher.registered());
    Run(true);
    EXPECT_EQ(watcher.Collect(300), std::vector<std::string>{desktop});
  }
  RemoveShortcuts();
  ASSERT_TRUE(CreateDirectoryA(group.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((group + "\\Deinstallation.lnk").c_str(), nullptr));
  UpdateDirWatcher watcher;
  Run(false);
  EXPECT_EQ(watcher.Collect(300), std::vector<std::string>{});
}

}  // namespace
