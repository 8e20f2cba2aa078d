#include "payload/failure_log.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "payload/payload_extractor.h"
#include "payload/rollback.h"
#include "setup/setup_state.h"
#include "support/test_files.h"

namespace {

const char kLogPath[] = "c:\\vadodiz.log";

// Only these tests touch the failure log; each starts and ends without one.
class FailureLog : public ::testing::Test {
 protected:
  void SetUp() override { RemoveTree(kLogPath); }
  void TearDown() override {
    RemoveTree(kLogPath);
    g_setupState.installFolder.SetLength(0);
  }

  // Runs the real extraction of archive into folder, which it expects to fail.
  void FailExtraction(const std::string& folder, const std::string& archive) {
    archive_ = archive;
    g_setupState.installFolder.Assign(folder.c_str());
    extractor_.readPosition = reinterpret_cast<const uint8_t*>(archive_.data());
    extractor_.archiveEnd = extractor_.readPosition + archive_.size();
    ASSERT_FALSE(extractor_.ExtractPayload(nullptr));
  }

  std::string archive_;
  PayloadExtractor extractor_;
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

TEST_F(FailureLog, ABackupThatCannotBePutBackIsNamedAndKept) {
  TempFolder temp;
  const std::string held = temp / "held.txt";
  WriteFileBytes(held, "newer");
  WriteFileBytes(held + "~QVSetup", "earlier");
  StringList log, replaced, none, unrestored;
  replaced.PushBack((held + "~QVSetup").c_str());
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(RollbackInstall(log, replaced, none, nullptr, &unrestored));
  CloseHandle(file);

  AppendUnrestoredBackups(unrestored);
  EXPECT_EQ(Printable(ReadFileBytes(kLogPath)),
            Printable("Not restored = " + held + "~QVSetup\r\n"));
  EXPECT_EQ(ReadFileBytes(held + "~QVSetup"), "earlier");
}

// A folder in the journal's place is no journal: the run fails before it
// changes anything, and the log says where.
TEST_F(FailureLog, AFolderInTheJournalsPlaceIsNamed) {
  TempFolder temp;
  const std::string journal = temp / "QVSetup.journal";
  ASSERT_TRUE(CreateDirectoryA(journal.c_str(), nullptr));
  extractor_.journalPath = journal.c_str();
  FailExtraction(temp / "inst", std::string(1, '\0'));
  WriteFailureLog(extractor_);
  const std::string log = ReadFileBytes(kLogPath);
  EXPECT_EQ(log.substr(log.rfind("Error")),
            "Error = 5\r\n" + TextMode(SystemText(5) + "\n") + "Journal = " + journal + "\r\n");
  EXPECT_FALSE(FolderExists(temp / "inst"));
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

// The bytes of a file record "name" holding the one byte content.
std::string OneByteFile(const std::string& name, char content) {
  return ">" + name + std::string(1, '\0') + std::string("\x01\0\0\0", 4) + content;
}

TEST_F(FailureLog, ReportsTheCodeOfTheFailedStepAndTheRollbackRemovesWhatWasUnpacked) {
  TempFolder temp;
  const std::string folder = temp / "inst";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  // A folder where the schematic's companion belongs makes its open fail.
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Bin").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Bin\\Amp.qv").c_str(), nullptr));
  FailExtraction(folder, "B" + OneByteFile("a.txt", '1') + OneByteFile("Amp.Sch", 's') +
                             OneByteFile("b.txt", '2') + std::string(1, '\0'));
  ASSERT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  SetLastError(ERROR_SUCCESS);

  WriteFailureLog(extractor_);

  const std::string list = "F" + folder + "\n>" + folder + "\\files\n>" + folder + "\\links\nF" +
                           folder + "\\Bin\n>" + folder + "\\Bin\\a.txt\n>" + folder +
                           "\\Bin\\Amp.Sch\n";
  EXPECT_EQ(Printable(ReadFileBytes(kLogPath)),
            Printable(list + "Error = 5\r\n" + TextMode(SystemText(ERROR_ACCESS_DENIED) + "\n")));

  EXPECT_FALSE(
      RollbackInstall(extractor_.installLog, extractor_.backupsMade, extractor_.keptFiles));
  EXPECT_FALSE(FileExists(folder + "\\Bin\\a.txt"));
  EXPECT_FALSE(FileExists(folder + "\\Bin\\Amp.Sch"));
  EXPECT_TRUE(FolderExists(folder + "\\Bin\\Amp.qv")) << "a folder is no companion file";
  EXPECT_TRUE(FolderExists(folder));
}

TEST_F(FailureLog, ReportsPathNotFoundForAFolderThatCannotBeCreated) {
  TempFolder temp;
  // A file where the section folder belongs counts as that folder; its
  // subfolder cannot be created.
  ASSERT_TRUE(WriteFileBytes(temp / "Bin", ""));
  FailExtraction(temp.path(), std::string("BFsub\0R\0", 8));

  WriteFailureLog(extractor_);

  const std::string bytes = ReadFileBytes(kLogPath);
  const std::string error = "\nError = 3\r\n" + TextMode(SystemText(ERROR_PATH_NOT_FOUND) + "\n");
  ASSERT_GE(bytes.size(), error.size());
  EXPECT_EQ(Printable(bytes.substr(bytes.size() - error.size())), Printable(error));
}

}  // namespace
