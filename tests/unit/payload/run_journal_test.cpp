#include "payload/run_journal.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include <string>

#include "payload/run_recovery.h"
#include "support/test_files.h"

namespace {

// An install folder after a reinstall that was cut off: the earlier a.txt
// waits as the run's backup, b.txt's backup lies in no planned place, the
// run created new.txt. The journal's plan is longer than a disk sector.
class CutOffRun : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(folder_.c_str(), nullptr);
    CreateDirectoryA(Path("sub").c_str(), nullptr);
    WriteFileBytes(Path("a.txt"), "the run's");
    WriteFileBytes(Path("a.txt~QVSetup"), "earlier a");
    WriteFileBytes(Path("sub\\b.txt~QVSetup"), "earlier b");
    WriteFileBytes(Path("new.txt"), "created");
  }

  // Writes the journal as the run did, committed or not, and closes it.
  void WriteJournal(bool committed, const StringList& olderBackups = StringList()) {
    StringList plan;
    plan.PushBack(("F" + folder_).c_str());
    plan.PushBack((">" + Path("a.txt")).c_str());
    for (int i = 0; i < 40; ++i) plan.PushBack((">" + Path("p" + std::to_string(i))).c_str());
    RunJournal journal;
    ASSERT_TRUE(journal.Begin(journal_.c_str(), folder_.c_str(), false, olderBackups, plan));
    ASSERT_TRUE(journal.RecordCreated(Path("new.txt").c_str()));
    if (committed) journal.MarkCommitted();
  }

  bool Recover() {
    UnfinishedRecovery unfinished;
    return RecoverInterruptedRuns(journal_.c_str(), nullptr, &unfinished);
  }

  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

  TempFolder temp_;
  const std::string folder_ = temp_ / "inst";
  const std::string journal_ = temp_ / "QVSetup.journal";
};

// A power cut zeroes what had not reached the disk; a journal of another
// version cannot be read as this one. Neither counts as committed, though the
// run wrote its mark: every backup goes back, nothing is deleted.
TEST_F(CutOffRun, ADamagedJournalPutsEveryBackupBackAndDeletesNothing) {
  struct Damage {
    const char* what;
    void (*apply)(std::string& bytes);
  };
  const Damage damages[] = {
      {"a zeroed sector", [](std::string& b) { b.replace(512, 512, 512, '\0'); }},
      {"the mark without its line feed", [](std::string& b) { b.pop_back(); }},
      {"zeros up to a line's \"C:\\\"",
       [](std::string& b) {
         const size_t plus = b.rfind("\n+") + 1;
         b.replace(plus, 1, 1, '\0');
       }},
      {"another version", [](std::string& b) { b[std::string(kJournalMagic).size() - 1] = '3'; }},
  };
  for (const Damage& damage : damages) {
    SetUp();
    WriteJournal(true);
    std::string bytes = ReadFileBytes(journal_);
    ASSERT_GT(bytes.size(), 1024u);
    damage.apply(bytes);
    ASSERT_TRUE(WriteFileBytes(journal_, bytes));

    EXPECT_TRUE(Recover()) << damage.what;
    EXPECT_EQ(ReadFileBytes(Path("a.txt")), "earlier a") << damage.what;
    EXPECT_EQ(ReadFileBytes(Path("sub\\b.txt")), "earlier b") << damage.what;
    EXPECT_EQ(ReadFileBytes(Path("new.txt")), "created") << damage.what;
    EXPECT_FALSE(FileExists(journal_)) << damage.what;
  }
}

// A backup that was there before the run is not the run's: an undone run
// puts back its own, a committed one deletes its own, and the older stays.
TEST_F(CutOffRun, AnOlderBackupStaysWhetherTheRunIsUndoneOrCompleted) {
  for (const bool committed : {false, true}) {
    SetUp();
    WriteFileBytes(Path("a.txt~QVSetup"), "older");
    WriteFileBytes(Path("a.txt~QVSetu2"), "earlier a");
    StringList older;
    older.PushBack(Path("a.txt~QVSetup").c_str());
    WriteJournal(committed, older);

    EXPECT_TRUE(Recover());
    EXPECT_EQ(ReadFileBytes(Path("a.txt~QVSetup")), "older") << committed;
    EXPECT_EQ(ReadFileBytes(Path("a.txt")), committed ? "the run's" : "earlier a") << committed;
    EXPECT_FALSE(FileExists(Path("a.txt~QVSetu2"))) << committed;
    EXPECT_EQ(FileExists(Path("new.txt")), committed) << "a whole journal names what it created";
  }
}

// Wine keeps no descriptor of a file (it maps one to Unix modes), so the one
// that the journal is created with is read back instead of the file's.
TEST(JournalSecurity, OnlyAdministratorsAndTheSystemMayOpenTheJournal) {
  JournalSecurity security;
  ASSERT_NE(security.get(), nullptr);
  char* text = nullptr;
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
      security.get()->lpSecurityDescriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
      nullptr));
  EXPECT_STREQ(text, "D:P(A;;FA;;;BA)(A;;FA;;;SY)");
  LocalFree(text);
}

// A backup whose place is refused keeps the journal, and the recovery says
// which run and which file.
TEST_F(CutOffRun, ABackupThatCannotGoBackIsNamedAndItsJournalKept) {
  WriteJournal(false);
  DeleteFileA(Path("a.txt").c_str());
  CreateDirectoryA(Path("a.txt").c_str(), nullptr);
  UnfinishedRecovery unfinished;
  EXPECT_FALSE(RecoverInterruptedRuns(journal_.c_str(), nullptr, &unfinished));
  EXPECT_STREQ(unfinished.installFolder.data, folder_.c_str());
  EXPECT_STREQ(unfinished.file.data, Path("a.txt").c_str());
  EXPECT_TRUE(FileExists(journal_));
}

// A journal whose drive is gone is set aside, untouched, for a later run.
TEST_F(CutOffRun, AJournalOfAnUnreachableDriveIsSetAside) {
  StringList plan, none;
  RunJournal().Begin(journal_.c_str(), "q:\\DO-Dazuvazav", false, none, plan);
  const std::string bytes = ReadFileBytes(journal_);
  EXPECT_TRUE(Recover());
  EXPECT_FALSE(FileExists(journal_));
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA((journal_ + ".*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(ReadFileBytes(temp_ / entry.cFileName), bytes);
  EXPECT_TRUE(Recover()) << "it waits while the drive is gone";
  EXPECT_TRUE(FileExists(temp_ / entry.cFileName));
}

}  // namespace
