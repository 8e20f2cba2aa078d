#include "payload/rollback.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/string_list.h"
#include "common/text_string.h"
#include "payload/replaced_files.h"
#include "support/test_files.h"

namespace {

const char* const kCompanions[] = {"qv", "cir", "net", "als", "mvl", "1op", "dat", "mif", "out"};

void LogFolder(StringList& log, const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  log.PushBack(("F" + path).c_str());
}

void LogFile(StringList& log, const std::string& path) {
  WriteFileBytes(path, "x");
  log.PushBack((">" + path).c_str());
}

// Every companion name of a schematic, written as a file.
void WriteCompanions(const std::string& base) {
  for (const char* extension : kCompanions) WriteFileBytes(base + extension, "c");
}

// The rollback of a run that replaced no earlier file.
bool Rollback(StringList& log) {
  StringList none;
  return RollbackInstall(log, none, none);
}

bool DeleteIfPresentAt(const std::string& base, const char* extension, bool flag) {
  TextString text;
  text.Assign(base.c_str());
  return DeleteIfPresent(text, extension, flag);
}

TEST(RollbackInstall, EmptyLogIsTrueAndTouchesNothing) {
  TempFolder temp;
  WriteFileBytes(temp / "keep.txt", "k");
  StringList log;
  EXPECT_TRUE(Rollback(log));
  EXPECT_TRUE(FileExists(temp / "keep.txt"));
  EXPECT_TRUE(FolderExists(temp.path()));
}

// The log of a complete extraction: what the rollback after a failed ini
// rewrite sees.
struct CompleteInstall {
  std::string folder;
  StringList log;

  explicit CompleteInstall(const std::string& installFolder) : folder(installFolder) {
    LogFolder(log, folder);
    log.PushBack((">" + folder + "\\files").c_str());
    log.PushBack((">" + folder + "\\links").c_str());
    LogFolder(log, folder + "\\Bin");
    LogFile(log, folder + "\\Bin\\qv.ini");
    LogFolder(log, folder + "\\Beispiele");
    LogFolder(log, folder + "\\Beispiele\\Amp");
    LogFile(log, folder + "\\Beispiele\\Amp\\Amp.Sch");
    WriteFileBytes(folder + "\\Beispiele\\Amp\\Amp.qv", "companion\n");
    LogFile(log, folder + "\\Beispiele\\Amp\\osc_pll_sim.m");
    WriteFileBytes(folder + "\\Beispiele\\Amp\\oscmexpllsim.mex", "m");
    LogFolder(log, folder + "\\Beispiele\\Empty");
    TextString files;
    files.Assign((folder + "\\files").c_str());
    WriteListFile(files, log);
  }
};

TEST(RollbackInstall, RemovesACompleteInstallInstallFolderLast) {
  TempFolder temp;
  CompleteInstall install(temp / "DO-Dazuvazav");
  const int32_t lines = install.log.count;

  EXPECT_FALSE(Rollback(install.log)) << "the links log was never written";
  EXPECT_FALSE(FolderExists(install.folder)) << "something was left below it";
  EXPECT_EQ(install.log.count, lines) << "the log keeps its lines";
  EXPECT_STREQ(install.log.First(), ("F" + install.folder).c_str());
}

// A run over an earlier installation: the replaced files wait under their
// backup names, the user's results lie beside the earlier schematic.
TEST(RollbackInstall, PutsBackWhatTheRunReplacedAndKeepsWhatBelongsToIt) {
  TempFolder temp;
  CompleteInstall install(temp / "DO-Dazuvazav");
  const std::string& folder = install.folder;
  LogFile(install.log, folder + "\\Beispiele\\Amp\\New.sch");
  WriteFileBytes(folder + "\\Beispiele\\Amp\\New.out", "new results");
  StringList replaced, none;
  const std::vector<std::string> earlier = {"files", "links", "Beispiele\\Amp\\Amp.Sch",
                                            "Beispiele\\Amp\\Amp.qv",
                                            "Beispiele\\Amp\\osc_pll_sim.m"};
  for (const std::string& name : earlier) {
    WriteFileBytes(folder + "\\" + name + "~QVSetup", "earlier " + name);
    replaced.PushBack((folder + "\\" + name + "~QVSetup").c_str());
  }
  DeleteFileA((folder + "\\files").c_str());  // this run failed before its list
  WriteFileBytes(folder + "\\Beispiele\\Amp\\Amp.out", "the user's results");

  RollbackInstall(install.log, replaced, none);
  for (const std::string& name : earlier) {
    EXPECT_EQ(ReadFileBytes(folder + "\\" + name), "earlier " + name);
    EXPECT_FALSE(FileExists(folder + "\\" + name + "~QVSetup")) << name;
  }
  EXPECT_EQ(ReadFileBytes(folder + "\\Beispiele\\Amp\\Amp.out"), "the user's results");
  EXPECT_TRUE(FileExists(folder + "\\Beispiele\\Amp\\oscmexpllsim.mex"));
  for (const char* name : {"Bin", "Beispiele\\Amp\\New.sch", "Beispiele\\Amp\\New.out"}) {
    EXPECT_FALSE(FileExists(folder + "\\" + name) || FolderExists(folder + "\\" + name)) << name;
  }
}

TEST(DeleteBackups, ABackupInUseIsDeletedAtTheNextRestart) {
  TempFolder temp;
  const std::string held = temp / "held.txt~QVSetup";
  WriteFileBytes(held, "earlier");
  StringList replaced;
  replaced.PushBack(held.c_str());
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DeleteBackups(replaced);
  CloseHandle(file);
  char pending[4096] = {};
  DWORD size = sizeof pending - 2;
  RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
               "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending, &size);
  EXPECT_NE(std::string(pending, size).find(held.substr(2)), std::string::npos);
}

TEST(RollbackInstall, ForeignFileKeepsItsFolderAndEveryFolderAbove) {
  TempFolder temp;
  const std::string folder = temp / "inst";
  StringList log;
  LogFolder(log, folder);
  LogFolder(log, folder + "\\Lib");
  LogFolder(log, folder + "\\Lib\\deep");
  LogFile(log, folder + "\\Lib\\deep\\a.lib");
  LogFolder(log, folder + "\\Doc");
  LogFile(log, folder + "\\Doc\\read.txt");
  WriteFileBytes(folder + "\\Lib\\deep\\mine.txt", "user's own");

  EXPECT_FALSE(Rollback(log));
  EXPECT_TRUE(FileExists(folder + "\\Lib\\deep\\mine.txt"));
  EXPECT_FALSE(FileExists(folder + "\\Lib\\deep\\a.lib"));
  EXPECT_FALSE(FolderExists(folder + "\\Doc")) << "an emptied sibling goes";
  EXPECT_TRUE(FolderExists(folder + "\\Lib"));
  EXPECT_TRUE(FolderExists(folder));
}

TEST(RollbackInstall, GoesOnAfterEveryFailure) {
  TempFolder temp;
  const std::string folder = temp / "inst";
  StringList log;
  LogFolder(log, folder);
  LogFile(log, folder + "\\first.txt");
  log.PushBack(("F" + folder + "\\gone").c_str());
  log.PushBack((">" + folder + "\\never-written.txt").c_str());
  LogFile(log, folder + "\\locked.txt");
  SetFileAttributesA((folder + "\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  LogFile(log, folder + "\\last.txt");

  EXPECT_FALSE(Rollback(log));
  EXPECT_FALSE(FileExists(folder + "\\last.txt"));
  EXPECT_TRUE(FileExists(folder + "\\locked.txt")) << "a read-only file cannot be deleted";
  EXPECT_FALSE(FileExists(folder + "\\first.txt")) << "lines after the failures are handled";
  EXPECT_TRUE(FolderExists(folder));
}

TEST(RollbackInstall, DeletesTheNineSchematicCompanionsInTheirLetterCase) {
  TempFolder temp;
  StringList log;
  LogFile(log, temp / "Amp.Sch");
  WriteCompanions(temp / "Amp.");
  LogFile(log, temp / "lower.sch");
  WriteFileBytes(temp / "lower.qv", "c");
  WriteFileBytes(temp / "lower.net", "c");
  LogFile(log, temp / "UPPER.SCH");
  WriteFileBytes(temp / "UPPER.qv", "c");
  // Names that are no companions of these schematics.
  const std::vector<std::string> others = {"Amp.txt", "Amp.sch.bak", "Amp.q",
                                           "Ampqv",   "lower.sc",    "UPPER.SCH.qv"};
  for (const std::string& name : others) WriteFileBytes(temp / name, "o");

  EXPECT_TRUE(Rollback(log)) << "absent companions do not count as failures";
  for (const char* extension : kCompanions) {
    EXPECT_FALSE(FileExists(temp / (std::string("Amp.") + extension))) << extension;
  }
  for (const char* name :
       {"Amp.Sch", "lower.sch", "lower.qv", "lower.net", "UPPER.SCH", "UPPER.qv"}) {
    EXPECT_FALSE(FileExists(temp / name)) << name;
  }
  for (const std::string& name : others) EXPECT_TRUE(FileExists(temp / name)) << name;
}

TEST(RollbackInstall, SchWithoutDotOrInsideANameHasNoCompanions) {
  TempFolder temp;
  StringList log;
  LogFile(log, temp / "SCH");
  LogFile(log, temp / "x.SCHEMA");
  WriteFileBytes(temp / "qv", "not a companion");
  WriteFileBytes(temp / "x.qv", "not a companion");

  EXPECT_TRUE(Rollback(log));
  EXPECT_TRUE(FileExists(temp / "qv"));
  EXPECT_TRUE(FileExists(temp / "x.qv"));
}

TEST(RollbackInstall, DeletesThePllCompanion) {
  TempFolder temp;
  StringList log;
  LogFile(log, temp / "foo_PLL_SIM.M");
  WriteFileBytes(temp / "foomexpllsim.mex", "m");
  LogFile(log, temp / "_pll_sim.m");
  WriteFileBytes(temp / "mexpllsim.mex", "m");
  LogFile(log, temp / "bar_pll_sim.mat");
  WriteFileBytes(temp / "barmexpllsim.mex", "m");
  WriteFileBytes(temp / "foo_PLL_SIM.mex", "m");

  EXPECT_TRUE(Rollback(log));
  EXPECT_FALSE(FileExists(temp / "foomexpllsim.mex"));
  EXPECT_FALSE(FileExists(temp / "mexpllsim.mex"));
  EXPECT_TRUE(FileExists(temp / "barmexpllsim.mex")) << "bar_pll_sim.mat is no PLL simulation";
  EXPECT_TRUE(FileExists(temp / "foo_PLL_SIM.mex"));
}

TEST(RollbackInstall, UndeletableCompanionTurnsTheResultFalse) {
  TempFolder temp;
  StringList log;
  LogFile(log, temp / "amp.sch");
  WriteCompanions(temp / "amp.");
  SetFileAttributesA((temp / "amp.net").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_FALSE(Rollback(log));
  EXPECT_TRUE(FileExists(temp / "amp.net"));
  EXPECT_FALSE(FileExists(temp / "amp.out")) << "the companions after it are still deleted";
}

TEST(DeleteIfPresent, KeepsAFalseFlagAndReportsOnlyItsOwnFailure) {
  TempFolder temp;
  const std::string base = temp / "amp.";
  EXPECT_TRUE(DeleteIfPresentAt(base, "cir", true)) << "absent";
  EXPECT_FALSE(DeleteIfPresentAt(base, "cir", false)) << "absent";

  WriteFileBytes(base + "cir", "c");
  EXPECT_FALSE(DeleteIfPresentAt(base, "cir", false)) << "deleted, the flag stays false";
  EXPECT_FALSE(FileExists(base + "cir"));
  WriteFileBytes(base + "cir", "c");
  EXPECT_TRUE(DeleteIfPresentAt(base, "cir", true));
  EXPECT_FALSE(FileExists(base + "cir"));

  WriteFileBytes(base + "net", "c");
  SetFileAttributesA((base + "net").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteIfPresentAt(base, "net", true)) << "present and not deletable";
  EXPECT_TRUE(FileExists(base + "net"));
}

TEST(DeleteIfPresent, AFolderOfThatNameCountsAsAbsent) {
  TempFolder temp;
  CreateDirectoryA((temp / "amp.dat").c_str(), nullptr);
  EXPECT_TRUE(DeleteIfPresentAt(temp / "amp.", "dat", true))
      << "a folder cannot be opened for reading";
  EXPECT_TRUE(FolderExists(temp / "amp.dat"));
}

}  // namespace
