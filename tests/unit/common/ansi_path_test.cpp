#include "common/ansi_path.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "common/shell_link.h"
#include "support/test_files.h"

namespace {

// A folder below a user "Łukasz", made the shell's My Music (no other test reads it).
TEST(AnsiPathOf, KeepsLettersOfTheCodePageAndNamesOthersByTheShortNameOnly) {
  TextString ansi;
  EXPECT_TRUE(AnsiPathOf(L"C:\\M\u00E4nner\\Caf\u00E9", ansi)) << "code page " << GetACP();
  EXPECT_STREQ(ansi.data, "C:\\M\xE4nner\\Caf\xE9") << "it does not exist: no short name";
  TempFolder temp;
  const std::wstring folder = std::wstring(WideText(temp.path().c_str()).get()) + L"\\\u0141ukasz";
  EXPECT_FALSE(AnsiPathOf(folder.c_str(), ansi)) << "no short name before it exists";
  EXPECT_EQ(ansi.data, nullptr);
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const wchar_t key[] =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const wchar_t music[] = L"%USERPROFILE%\\Music";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"My Music", REG_EXPAND_SZ, folder.c_str(),
                            (folder.size() + 1) * 2),
            ERROR_SUCCESS);
  const bool named = ShellFolderPath(CSIDL_MYMUSIC, ansi);
  RegSetKeyValueW(HKEY_CURRENT_USER, key, L"My Music", REG_EXPAND_SZ, music, sizeof music);
  ASSERT_TRUE(named);
  ASSERT_TRUE(WriteFileBytes(std::string(ansi.data) + "\\probe", "x")) << ansi.data;
  EXPECT_NE(GetFileAttributesW((folder + L"\\probe").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
