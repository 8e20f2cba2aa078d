#include "configure/registry_entries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/setup_state.h"

namespace {

const char kInstallKey[] = "SOFTWARE\\OrCAD\\PSpice\\QV";

struct Value {
  LONG status = -1;
  DWORD type = REG_NONE;
  std::string bytes;  // exactly the bytes stored, the terminating NUL included
};

Value ReadValue(HKEY root, const char* path, const char* name) {
  Value value;
  HKEY key = nullptr;
  value.status = RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key);
  if (value.status != ERROR_SUCCESS) return value;
  char data[2048];
  DWORD size = sizeof data;
  value.status =
      RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size);
  if (value.status == ERROR_SUCCESS) value.bytes.assign(data, size);
  RegCloseKey(key);
  return value;
}

std::string WithNul(const std::string& text) { return text + std::string(1, '\0'); }

bool KeyExists(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Deletes a key the test created with all its sub-keys, and those of its
// parents up to (not including) `keep` that the test created and left empty.
void DeleteCreated(HKEY root, const std::string& path, const std::string& keep) {
  RegDeleteTreeA(root, path.c_str());
  RegDeleteKeyA(root, path.c_str());
  std::string parent = path;
  for (;;) {
    const size_t cut = parent.rfind('\\');
    if (cut == std::string::npos) return;
    parent.resize(cut);
    if (parent.size() <= keep.size()) return;
    if (RegDeleteKeyA(root, parent.c_str()) != ERROR_SUCCESS) return;  // not empty
  }
}

// Makes ".qv" a symbolic link to a key below a parent that does not exist.
// Opening it follows the link and fails; creating it fails the same way. (Wine
// does not enforce the access list of a key, so a key that denies access would
// still open.)
bool CreateDanglingTypeLink() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".qv", 0, nullptr, REG_OPTION_CREATE_LINK,
                      KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const wchar_t target[] = L"\\Registry\\Machine\\Software\\QvTestNoSuchParent\\Type";
  const LONG status = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                                     reinterpret_cast<const BYTE*>(target), sizeof target - 2);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

// Deletes ".qv" itself, also when it is a symbolic link: a link is opened as
// such and deleted through its handle.
void DeleteTypeKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".qv", REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);
  const auto deleteKey = reinterpret_cast<NtDeleteKeyFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
  if (deleteKey) deleteKey(key);
  RegCloseKey(key);
}

// The setup state holds the given folders during a test; the keys of this
// program are removed afterwards (and before, should an aborted run have left
// them). Only the parents that did not exist before are removed.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    keepInstall_ = KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\OrCAD\\PSpice")
                       ? "SOFTWARE\\OrCAD\\PSpice"
                   : KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\OrCAD") ? "SOFTWARE\\OrCAD"
                                                                     : "SOFTWARE";
    RemoveKeys();
  }
  void TearDown() override {
    RemoveKeys();
    g_setupState.installFolder.SetLength(0);
    g_setupState.userFolder.SetLength(0);
  }
  void RemoveKeys() {
    DeleteCreated(HKEY_CURRENT_USER, kInstallKey, keepInstall_);
    DeleteTypeKey();
    DeleteCreated(HKEY_CLASSES_ROOT, "VarAVUrivaza", "");
  }

  std::string keepInstall_;
};

TEST_F(Registry, InstallKeyHoldsBothFoldersWithTheirNul) {
  g_setupState.installFolder.Assign("C:\\Program Files\\DO Dazuvazav");
  g_setupState.userFolder.Assign("C:\\users\\me\\Documents\\PSpice\\");
  WriteInstallKey();
  const Value install = ReadValue(HKEY_CURRENT_USER, kInstallKey, "InstallationFolder");
  ASSERT_EQ(install.status, ERROR_SUCCESS);
  EXPECT_EQ(install.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(install.bytes, WithNul("C:\\Program Files\\DO Dazuvazav"));
  EXPECT_EQ(install.bytes.size(), 30u);
  const Value user = ReadValue(HKEY_CURRENT_USER, kInstallKey, "UserFolder");
  ASSERT_EQ(user.status, ERROR_SUCCESS);
  EXPECT_EQ(user.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(user.bytes, WithNul("C:\\users\\me\\Documents\\PSpice\\"));
}

TEST_F(Registry, InstallKeyOfAnEarlierRunIsReusedAndKeepsOtherValues) {
  RegKey earlier;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            earlier.Receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(earlier.get(), "InstallationFolder", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>("D:\\old and longer folder"), 25),
            ERROR_SUCCESS);
  ASSERT_EQ(
      RegSetValueExA(earlier.get(), "Other", 0, REG_SZ, reinterpret_cast<const BYTE*>("stays"), 6),
      ERROR_SUCCESS);
  earlier.Close();

  g_setupState.installFolder.Assign("C:\\new");
  WriteInstallKey();
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInstallKey, "InstallationFolder").bytes,
            WithNul("C:\\new"));
  const Value user = ReadValue(HKEY_CURRENT_USER, kInstallKey, "UserFolder");
  EXPECT_EQ(user.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(user.bytes, WithNul("")) << "an empty folder is stored as one NUL byte";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInstallKey, "Other").bytes, WithNul("stays"));
}

TEST_F(Registry, FileTypeOpensTheStarterAndHoldsTheSchematicsCommand) {
  g_setupState.installFolder.Assign("C:\\DO Dazuvazav");
  TextString command;
  command.Assign("\"C:\\Program Files\\OrCAD\\psched.exe\" -i \"C:\\DO Dazuvazav\\Bin\\qv.ini\"");
  RegisterFileType(command);

  const Value type = ReadValue(HKEY_CLASSES_ROOT, ".qv", "");
  ASSERT_EQ(type.status, ERROR_SUCCESS);
  EXPECT_EQ(type.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(type.bytes, WithNul("VarAVUrivaza"));
  EXPECT_EQ(type.bytes.size(), 13u);
  const Value open = ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\shell\\open\\command", "");
  ASSERT_EQ(open.status, ERROR_SUCCESS);
  EXPECT_EQ(open.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(open.bytes, WithNul("\"C:\\DO Dazuvazav\\Bin\\zurar.exe\" %1"));
  const Value psched = ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\psched", "");
  ASSERT_EQ(psched.status, ERROR_SUCCESS);
  EXPECT_EQ(psched.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(psched.bytes, WithNul(command.data));
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza", "").status, ERROR_FILE_NOT_FOUND)
      << "the type key itself gets no value";
}

TEST_F(Registry, TrailingBackslashGivesTwoBeforeBinAndAnEarlierTypeIsReplaced) {
  RegKey earlier;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".qv", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            earlier.Receive(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(earlier.get(), "", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>("SomeOtherType"), 14),
            ERROR_SUCCESS);
  earlier.Close();

  g_setupState.installFolder.Assign("D:\\");
  TextString command;
  RegisterFileType(command);
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, ".qv", "").bytes, WithNul("VarAVUrivaza"));
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\shell\\open\\command", "").bytes,
            WithNul("\"D:\\\\Bin\\zurar.exe\" %1"));
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\psched", "").bytes, WithNul(""));
}

TEST_F(Registry, OpenOrCreateKeyOpensCreatesOrFails) {
  RegKey key;
  ASSERT_TRUE(OpenOrCreateKey(HKEY_CURRENT_USER, kInstallKey, key)) << "created with its parents";
  ASSERT_TRUE(key);
  EXPECT_EQ(RegSetValueExA(key.get(), "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
            ERROR_SUCCESS);
  key.Close();
  ASSERT_TRUE(OpenOrCreateKey(HKEY_CURRENT_USER, kInstallKey, key)) << "opened";
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInstallKey, "x").bytes, WithNul("1"));
  key.Close();

  ASSERT_TRUE(CreateDanglingTypeLink());
  EXPECT_FALSE(OpenOrCreateKey(HKEY_CLASSES_ROOT, ".qv", key));
  EXPECT_FALSE(key);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\QvTestNoSuchParent"));
}

TEST_F(Registry, TypeKeysAreWrittenWhenDotQvCannotBeOpened) {
  ASSERT_TRUE(CreateDanglingTypeLink());
  g_setupState.installFolder.Assign("C:\\QV");
  TextString command;
  command.Assign("\"P\\psched.exe\" -i \"C:\\QV\\Bin\\qv.ini\"");
  RegisterFileType(command);
  RegKey typeKey;
  ASSERT_FALSE(OpenOrCreateKey(HKEY_CLASSES_ROOT, ".qv", typeKey)) << "the first step failed";
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\shell\\open\\command", "").bytes,
            WithNul("\"C:\\QV\\Bin\\zurar.exe\" %1"));
  EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, "VarAVUrivaza\\psched", "").bytes, WithNul(command.data));
}

}  // namespace
