#include "payload/failure_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "payload/payload_extractor.h"
#include "support/test_files.h"

namespace {

const char kLogPath[] = "c:\\vadodiz.log";

// Only these tests touch the failure log; each starts and ends without one.
class FailureLog : public ::testing::Test {
 protected:
  void SetUp() override { RemoveTree(kLogPath); }
  void TearDown() override { RemoveTree(kLogPath); }
};

// What a text-mode stream makes of a text: every line feed becomes CR LF.
std::string TextMode(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string SystemText(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code, 0x400,
                 reinterpret_cast<char*>(&text), 0, nullptr);
  const std::string copy = text ? text : "";
  LocalFree(text);
  return copy;
}

TEST_F(FailureLog, ListLinesEndInLfErrorLinesInCrLf) {
  PayloadExtractor extractor;
  extractor.installLog.PushBack("Fc:\\DO-Dazuvazav");
  extractor.installLog.PushBack(">c:\\DO-Dazuvazav\\files");
  extractor.installLog.PushBack(">c:\\DO-Dazuvazav\\links");
  extractor.failureCode = ERROR_ACCESS_DENIED;
  SetLastError(ERROR_FILE_NOT_FOUND);

  WriteFailureLog(extractor);

  const std::string text = SystemText(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(text.empty()) << "the system has a text for access denied";
  EXPECT_EQ(Printable(ReadFileBytes(kLogPath)),
            Printable("Fc:\\DO-Dazuvazav\n>c:\\DO-Dazuvazav\\files\n>c:\\DO-Dazuvazav\\links\n"
                      "Error = 5\r\n" +
                      TextMode(text + "\n")));
}

TEST_F(FailureLog, CodeWithoutSystemTextGivesAnEmptyLineAndPrintsSigned) {
  PayloadExtractor extractor;
  extractor.failureCode = 0xDEADBEEF;
  ASSERT_EQ(SystemText(extractor.failureCode), "");

  WriteFailureLog(extractor);

  EXPECT_EQ(Printable(ReadFileBytes(kLogPath)), Printable("Error = -559038737\r\n\r\n"));
}

TEST_F(FailureLog, SecondFailureReplacesTheFirstLog) {
  PayloadExtractor first;
  first.installLog.PushBack("Fc:\\first");
  first.installLog.PushBack(">c:\\first\\files");
  first.failureCode = ERROR_PATH_NOT_FOUND;
  WriteFailureLog(first);
  PayloadExtractor second;
  second.installLog.PushBack("Fc:\\second");
  second.failureCode = 0xDEADBEEF;

  WriteFailureLog(second);

  EXPECT_EQ(Printable(ReadFileBytes(kLogPath)),
            Printable("Fc:\\second\nError = -559038737\r\n\r\n"));
}

TEST_F(FailureLog, FolderInPlaceOfTheLogWritesNothing) {
  ASSERT_TRUE(CreateDirectoryA(kLogPath, nullptr));
  PayloadExtractor extractor;
  extractor.installLog.PushBack("Fc:\\x");
  extractor.failureCode = ERROR_ACCESS_DENIED;

  WriteFailureLog(extractor);

  EXPECT_TRUE(FolderExists(kLogPath));
  EXPECT_FALSE(FileExists(std::string(kLogPath) + "\\Fc")) << "nothing lands inside it";
}

}  // namespace
