#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "configure/config_files.h"
#include "setup/setup_state.h"
#include "support/test_files.h"

namespace {

// An install folder with a "Bin" folder below a fresh temporary folder, stored
// in the setup state as the folder dialog would store it.
class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    install_ = folder_ / "Install Dir";
    ASSERT_TRUE(CreateDirectoryA(install_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((install_ + "\\Bin").c_str(), nullptr));
    g_setupState.installFolder.Assign(install_.c_str());
  }
  void TearDown() override { g_setupState.installFolder.SetLength(0); }

  std::string IniPath() const { return install_ + "\\Bin\\qv.ini"; }

  // Writes the bytes as qv.ini, rewrites it and returns what is on disk then.
  std::string Rewrite(const std::string& bytes) {
    EXPECT_TRUE(WriteFileBytes(IniPath(), bytes));
    EXPECT_TRUE(RewriteIniFile());
    return ReadFileBytes(IniPath());
  }

  TempFolder folder_;
  std::string install_;
};

TEST_F(IniFile, ReplacesTheFirstPlaceholderOfEveryLineAndEndsLinesWithLf) {
  const std::string in =
      "[Paths]\r\n"
      "\r\n"
      "\xA7\\Lib\r\n"
      "Lib=\xA7\\Lib;\xA7\\More\r\n"
      "Plain=unchanged\n"
      "Last=\xA7";
  const std::string expected =
      "[Paths]\n"
      "\n" +
      install_ + "\\Lib\n" + "Lib=" + install_ + "\\Lib;\xA7\\More\n" + "Plain=unchanged\n" +
      "Last=" + install_ + "\n";
  EXPECT_EQ(Printable(Rewrite(in)), Printable(expected));
}

TEST_F(IniFile, LongLinesAreSplitIntoPiecesOf999Bytes) {
  const std::string line998(998, 'a');
  const std::string line999(999, 'b');
  // 998 bytes plus CR LF is one line: the count is taken after CR LF became LF.
  EXPECT_EQ(Rewrite(line998 + "\r\n"), line998 + "\n");
  // 999 bytes fill the buffer; the line end then comes as an empty line.
  EXPECT_EQ(Rewrite(line999 + "\r\nnext\r\n"), line999 + "\n\nnext\n");
  // A line of 2100 bytes comes in pieces of 999, 999 and 102 bytes, each with
  // its own first placeholder replaced.
  std::string longLine = "\xA7" + std::string(998, 'c') + "\xA7" + std::string(998, 'd') + "\xA7" +
                         std::string(100, 'e') + "\xA7";
  const std::string expected = install_ + std::string(998, 'c') + "\n" + install_ +
                               std::string(998, 'd') + "\n" + install_ + std::string(100, 'e') +
                               "\xA7\n";
  EXPECT_EQ(Printable(Rewrite(longLine + "\n")), Printable(expected));
}

TEST_F(IniFile, NulBytesCutTheRestOfTheirLine) {
  const std::string in("\0starts with nul\nkeep\0drop \xA7\r\nafter\n", 36);
  EXPECT_EQ(Printable(Rewrite(in)), Printable("\nkeep\nafter\n"));
}

TEST_F(IniFile, CtrlZEndsTheFile) {
  EXPECT_EQ(Printable(Rewrite("one\r\ntw\x1Ao\r\nthree\r\n")), Printable("one\ntw\n"));
  EXPECT_EQ(Rewrite("\x1A"
                    "all gone\n"),
            "");
}

TEST_F(IniFile, EmptyFileStaysEmpty) { EXPECT_EQ(Rewrite(""), ""); }

TEST_F(IniFile, FailsWhenTheFileCannotBeRead) {
  EXPECT_FALSE(RewriteIniFile()) << "qv.ini is missing";
  EXPECT_FALSE(FileExists(IniPath())) << "nothing is created";
  // A folder in the place of the file cannot be opened as a stream.
  ASSERT_TRUE(CreateDirectoryA(IniPath().c_str(), nullptr));
  EXPECT_FALSE(RewriteIniFile());
  EXPECT_TRUE(FolderExists(IniPath()));
}

TEST_F(IniFile, FailsAndKeepsTheContentWhenTheFileCannotBeWritten) {
  ASSERT_TRUE(WriteFileBytes(IniPath(), "a=\xA7\r\n"));
  // Another program reads the file and denies writers: reading still works,
  // opening for writing does not.
  HANDLE reader = CreateFileA(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(RewriteIniFile());
  CloseHandle(reader);
  EXPECT_EQ(Printable(ReadFileBytes(IniPath())), Printable("a=\xA7\r\n"));
}

TEST_F(IniFile, WaitsForAProgramThatHoldsTheFileForAMoment) {
  ASSERT_TRUE(WriteFileBytes(IniPath(), "a=\xA7\r\n"));
  // A virus scanner reads the file just unpacked, sharing nothing, for 200 ms.
  HANDLE scanner =
      CreateFileA(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  std::thread letGo([scanner] {
    Sleep(200);
    CloseHandle(scanner);
  });
  EXPECT_TRUE(RewriteIniFile());
  letGo.join();
  EXPECT_EQ(Printable(ReadFileBytes(IniPath())), Printable("a=" + install_ + "\n"));
}

}  // namespace
