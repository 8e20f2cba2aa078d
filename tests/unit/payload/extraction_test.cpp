#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "payload/payload_extractor.h"
#include "payload/replaced_files.h"
#include "payload/rollback.h"
#include "setup/setup_state.h"
#include "support/test_files.h"
#include "tests/host/archive_bytes.h"

namespace {

using namespace archive_bytes;

std::vector<std::string> LogLines(StringList& list) {
  std::vector<std::string> lines;
  for (const char* line = list.First(); line; line = list.Next()) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// One extraction of an in-memory archive into a fresh install folder.
class Extraction : public ::testing::Test {
 protected:
  bool Extract(const std::string& archive, HWND dialog = nullptr) {
    archive_ = archive;
    g_setupState.installFolder.Assign(folder_.path().c_str());
    extractor_.readPosition = reinterpret_cast<const uint8_t*>(archive_.data());
    extractor_.archiveEnd = extractor_.readPosition + archive_.size();
    return extractor_.ExtractPayload(dialog);
  }

  void TearDown() override { g_setupState.installFolder.SetLength(0); }

  // The three lines that every install log starts with.
  std::vector<std::string> FixedLines() const {
    return {"F" + folder_.path(), ">" + (folder_ / "files"), ">" + (folder_ / "links")};
  }

  std::vector<std::string> Log() { return LogLines(extractor_.installLog); }

  std::string Path(const std::string& relative) const { return folder_ / relative; }

  TempFolder folder_;
  std::string archive_;
  PayloadExtractor extractor_;
};

TEST_F(Extraction, UnpacksTheExampleArchiveAndWritesTheFilesList) {
  const std::string archive =
      "B" + FileRecord("a.txt", "xyz") + FolderRecord("sub", FileRecord("b.txt", "")) + kEnd;
  ASSERT_TRUE(Extract(archive)) << "error " << extractor_.failureCode;

  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt")), "xyz");
  EXPECT_EQ(ReadFileBytes(Path("Bin\\sub\\b.txt")), "");
  EXPECT_FALSE(FolderExists(Path("Lib")));
  std::vector<std::string> expected = FixedLines();
  expected.insert(expected.end(), {"F" + Path("Bin"), ">" + Path("Bin\\a.txt"),
                                   "F" + Path("Bin\\sub"), ">" + Path("Bin\\sub\\b.txt")});
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(ReadFileBytes(Path("files")), Joined(expected))
      << Printable(ReadFileBytes(Path("files")));
  EXPECT_EQ(extractor_.totalFiles, 2);
  EXPECT_EQ(extractor_.filesWritten, 2);
  EXPECT_EQ(extractor_.readPosition + 1, extractor_.archiveEnd) << "stops on the final byte";
}

TEST_F(Extraction, ArchiveOfOnlyTheEndByteWritesTheThreeFixedLines) {
  ASSERT_TRUE(Extract(kEnd));
  for (const char* section : {"Bin", "Lib", "Doc", "Beispiele"}) {
    EXPECT_FALSE(FolderExists(Path(section))) << section;
  }
  EXPECT_EQ(ReadFileBytes(Path("files")), Joined(FixedLines()));
  EXPECT_EQ(extractor_.totalFiles, 0);
}

TEST_F(Extraction, AllFourSectionsInOrderAndContentsKeepEveryByte) {
  std::string binary;
  for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
  binary += "\r\n\n\r";
  const std::string archive = "B" + FileRecord("data.bin", binary) + "L" +
                              FileRecord("l.txt", "l") + "D" + FolderRecord("x", "") + "E" +
                              FolderRecord("deep", FolderRecord("er", FileRecord("e.m", "e"))) +
                              kEnd;
  ASSERT_TRUE(Extract(archive)) << "error " << extractor_.failureCode;
  EXPECT_EQ(ReadFileBytes(Path("Bin\\data.bin")), binary) << "written without text translation";
  EXPECT_EQ(ReadFileBytes(Path("Lib\\l.txt")), "l");
  EXPECT_TRUE(FolderExists(Path("Doc\\x")));
  EXPECT_EQ(ReadFileBytes(Path("Beispiele\\deep\\er\\e.m")), "e");
  std::vector<std::string> expected = FixedLines();
  expected.insert(expected.end(),
                  {"F" + Path("Bin"), ">" + Path("Bin\\data.bin"), "F" + Path("Lib"),
                   ">" + Path("Lib\\l.txt"), "F" + Path("Doc"), "F" + Path("Doc\\x"),
                   "F" + Path("Beispiele"), "F" + Path("Beispiele\\deep"),
                   "F" + Path("Beispiele\\deep\\er"), ">" + Path("Beispiele\\deep\\er\\e.m")});
  EXPECT_EQ(Log(), expected);
}

TEST_F(Extraction, SectionClosedByEndRecordEqualsSectionClosedByNextTag) {
  const std::string body = FileRecord("a", "1");
  ASSERT_TRUE(Extract("B" + body + "R" + "L" + body + "R" + kEnd));
  const std::vector<std::string> withEndRecords = Log();
  const std::string filesList = ReadFileBytes(Path("files"));

  PayloadExtractor second;
  const std::string archive = "B" + body + "L" + body + kEnd;
  g_setupState.installFolder.Assign(folder_.path().c_str());
  RemoveTree(Path("Bin"));
  RemoveTree(Path("Lib"));
  RemoveTree(Path("files"));
  second.readPosition = reinterpret_cast<const uint8_t*>(archive.data());
  second.archiveEnd = second.readPosition + archive.size();
  ASSERT_TRUE(second.ExtractPayload(nullptr));
  EXPECT_EQ(LogLines(second.installLog), withEndRecords);
  EXPECT_EQ(ReadFileBytes(Path("files")), filesList);
  EXPECT_EQ(ReadFileBytes(Path("Lib\\a")), "1");
}

// An earlier installation's files and its lists are moved aside, not
// overwritten, and the log reads as over an empty folder. A backup already
// there is older than the run: the run keeps its own beside it, a rollback
// puts back the file the run found, and a completed run deletes only its own.
TEST_F(Extraction, ExistingFilesMovedAsideBesideAnOlderBackup) {
  ASSERT_TRUE(CreateDirectoryA(Path("Bin").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(Path("Bin\\a.txt"), "old and longer"));
  ASSERT_TRUE(WriteFileBytes(Path("Bin\\a.txt~QVSetup"), "left by an interrupted run"));
  ASSERT_TRUE(WriteFileBytes(Path("links"), "old links"));
  const std::string archive = "B" + FileRecord("a.txt", "new") + kEnd;
  ASSERT_TRUE(Extract(archive));
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt")), "new");
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt~QVSetu2")), "old and longer");
  EXPECT_EQ(ReadFileBytes(Path("links~QVSetup")), "old links");
  EXPECT_FALSE(FileExists(Path("links")));
  EXPECT_EQ(Log()[3], "F" + Path("Bin"));
  EXPECT_EQ(Log()[4], ">" + Path("Bin\\a.txt"));
  EXPECT_EQ(Joined(LogLines(extractor_.backupsMade)),
            Path("links~QVSetup") + "\n" + Path("Bin\\a.txt~QVSetu2") + "\n");

  RollbackInstall(extractor_.installLog, extractor_.backupsMade, extractor_.keptFiles);
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt")), "old and longer");
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt~QVSetup")), "left by an interrupted run");

  PayloadExtractor completed;
  completed.readPosition = reinterpret_cast<const uint8_t*>(archive.data());
  completed.archiveEnd = completed.readPosition + archive.size();
  ASSERT_TRUE(completed.ExtractPayload(nullptr));
  DeleteBackups(completed.backupsMade);
  EXPECT_FALSE(FileExists(Path("Bin\\a.txt~QVSetu2")));
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a.txt~QVSetup")), "left by an interrupted run");
}

// A closing byte that is no section tag, or a section out of order, would
// leave the rest of the package unpacked: the extraction fails instead of
// reporting a partial installation as a success.
TEST_F(Extraction, StrayByteClosesEveryFolderAndFailsTheExtraction) {
  const std::string archive = "B" + FileRecord("a", "1") + "F" + Name("sub") +
                              FileRecord("b", "2") + "X" + FileRecord("never", "3") + "R" + kEnd;
  EXPECT_FALSE(Extract(archive));
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(ReadFileBytes(Path("Bin\\sub\\b")), "2");
  EXPECT_FALSE(FileExists(Path("Bin\\sub\\never")));
  EXPECT_FALSE(FileExists(Path("files")));
  EXPECT_EQ(Log().back(), ">" + Path("Bin\\sub\\b")) << "what was unpacked stays logged";
  EXPECT_EQ(extractor_.totalFiles, 2) << "the counting pass also stops at the stray byte";
}

TEST_F(Extraction, SectionsOutOfOrderFailAfterTheFirstSection) {
  const std::string archive = "L" + FileRecord("l", "1") + "B" + FileRecord("b", "2") + kEnd;
  EXPECT_FALSE(Extract(archive));
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(ReadFileBytes(Path("Lib\\l")), "1");
  EXPECT_FALSE(FolderExists(Path("Bin")));
  EXPECT_EQ(extractor_.totalFiles, 2);
  EXPECT_FALSE(FileExists(Path("files")));
}

TEST_F(Extraction, SchematicsGetUnloggedCompanionsInTheirLetterCase) {
  // One folder per schematic, so that the companions do not meet.
  const std::string archive = "E" + FolderRecord("1", FileRecord("amp.sch", "")) +
                              FolderRecord("2", FileRecord("AMP.SCH", "")) +
                              FolderRecord("3", FileRecord("Amp.Sch", "")) +
                              FolderRecord("4", FileRecord("SCH", "")) + kEnd;
  ASSERT_TRUE(Extract(archive));
  const std::vector<std::pair<std::string, std::string>> companions = {
      {"1\\amp.sch", "1\\amp.qv"}, {"2\\AMP.SCH", "2\\AMP.qv"}, {"3\\Amp.Sch", "3\\Amp.qv"}};
  for (const auto& pair : companions) {
    const std::string schematic = Path("Beispiele\\" + pair.first);
    const std::string companion = Path("Beispiele\\" + pair.second);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(companion.c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << companion;
    FindClose(find);
    EXPECT_EQ(pair.second.substr(2), entry.cFileName);
    EXPECT_EQ(ReadFileBytes(companion), schematic + "\n");
  }
  EXPECT_FALSE(FileExists(Path("Beispiele\\4\\qv")));
  EXPECT_FALSE(FileExists(Path("Beispiele\\4\\.qv")));
  EXPECT_FALSE(FileExists(Path("Beispiele\\4.qv")));
  for (const std::string& line : Log()) {
    EXPECT_EQ(line.find(".qv"), std::string::npos) << line;
  }
  EXPECT_EQ(extractor_.filesWritten, 4);
}

TEST_F(Extraction, CompanionThatCannotBeOpenedFailsAfterTheSchematicWasLogged) {
  // Running as root, Wine writes read-only files anyway; a folder in the
  // companion's place makes the open fail on every system.
  ASSERT_TRUE(CreateDirectoryA(Path("Bin").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(Path("Bin\\x.qv").c_str(), nullptr));
  const std::string archive = "B" + FileRecord("x.SCH", "s") + FileRecord("y", "") + kEnd;
  EXPECT_FALSE(Extract(archive));
  EXPECT_EQ(ReadFileBytes(Path("Bin\\x.SCH")), "s");
  EXPECT_EQ(Log().back(), ">" + Path("Bin\\x.SCH"));
  EXPECT_EQ(extractor_.filesWritten, 0);
  EXPECT_FALSE(FileExists(Path("Bin\\y")));
  EXPECT_FALSE(FileExists(Path("files")));
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Extraction, FileThatCannotBeOpenedIsNotLogged) {
  ASSERT_TRUE(CreateDirectoryA(Path("Bin").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(Path("Bin\\a").c_str(), nullptr));
  EXPECT_FALSE(Extract("B" + FileRecord("a", "1") + kEnd));
  EXPECT_EQ(Log().back(), "F" + Path("Bin"));
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Extraction, FolderThatCannotBeCreatedIsNotLogged) {
  // A file where the section folder belongs counts as an existing folder, so
  // the failure shows one level further down.
  ASSERT_TRUE(WriteFileBytes(Path("Bin"), ""));
  EXPECT_FALSE(Extract("B" + FolderRecord("sub", "") + kEnd));
  EXPECT_EQ(Log().back(), "F" + Path("Bin")) << "an existing name is logged like a folder";
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Extraction, FilesListThatCannotBeWrittenFailsAfterEverythingWasUnpacked) {
  ASSERT_TRUE(CreateDirectoryA(Path("files").c_str(), nullptr));
  EXPECT_FALSE(Extract("B" + FileRecord("a", "1") + kEnd));
  EXPECT_EQ(ReadFileBytes(Path("Bin\\a")), "1");
  EXPECT_EQ(Log().back(), ">" + Path("Bin\\a"));
  EXPECT_EQ(extractor_.failureCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

// Records that would run past the end of the archive fail the extraction
// before anything of them is written.
TEST_F(Extraction, RecordsRunningPastTheEndFail) {
  const std::vector<std::pair<const char*, std::string>> damaged = {
      {"content longer than the archive", "B" + Name(">a") + Size(100) + "short"},
      {"size cut off", "B>" + Name("a") + std::string(2, '\1')},
      {"name without its end byte", "B>abc"},
      {"folder name without its end byte", "BFsub"},
      {"section tag as the last byte", "B"},
      {"end record as the last byte", "B" + FileRecord("a", "") + "R"},
      {"negative size", "B>" + Name("a") + Size(0x80000000u) + kEnd},
  };
  for (const auto& item : damaged) {
    SCOPED_TRACE(item.first);
    PayloadExtractor extractor;
    g_setupState.installFolder.Assign(folder_.path().c_str());
    extractor.readPosition = reinterpret_cast<const uint8_t*>(item.second.data());
    extractor.archiveEnd = extractor.readPosition + item.second.size();
    EXPECT_FALSE(extractor.ExtractPayload(nullptr));
    EXPECT_EQ(extractor.failureCode, static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_FALSE(FileExists(Path("files")));
  }
}

TEST_F(Extraction, UnsafeNamesFailWithoutWritingOutsideTheFolder) {
  const std::vector<std::string> names = {"", ".", "..", "..\\evil", "a/b", "c:evil", "x\\y"};
  for (const std::string& name : names) {
    SCOPED_TRACE("name \"" + name + "\"");
    for (const std::string& archive :
         {"B" + FileRecord(name, "bad") + kEnd, "B" + FolderRecord(name, "") + kEnd}) {
      PayloadExtractor extractor;
      g_setupState.installFolder.Assign(Path("inner").c_str());
      CreateDirectoryA(Path("inner").c_str(), nullptr);
      extractor.readPosition = reinterpret_cast<const uint8_t*>(archive.data());
      extractor.archiveEnd = extractor.readPosition + archive.size();
      EXPECT_FALSE(extractor.ExtractPayload(nullptr));
      EXPECT_EQ(extractor.failureCode, static_cast<DWORD>(ERROR_INVALID_DATA));
      EXPECT_EQ(LogLines(extractor.installLog).back(), "F" + Path("inner\\Bin"));
    }
  }
  EXPECT_FALSE(FileExists(Path("evil")));
  EXPECT_FALSE(FileExists(Path("inner\\evil")));
}

TEST_F(Extraction, MissingArchiveOrInstallFolderFails) {
  g_setupState.installFolder.Assign(folder_.path().c_str());
  PayloadExtractor noArchive;
  EXPECT_FALSE(noArchive.ExtractPayload(nullptr));
  EXPECT_EQ(noArchive.failureCode, static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

  g_setupState.installFolder.SetLength(0);
  PayloadExtractor noFolder;
  noFolder.readPosition = reinterpret_cast<const uint8_t*>(kEnd.data());
  noFolder.archiveEnd = noFolder.readPosition + 1;
  EXPECT_FALSE(noFolder.ExtractPayload(nullptr));
  EXPECT_EQ(noFolder.failureCode, static_cast<DWORD>(ERROR_BAD_PATHNAME));
  EXPECT_EQ(noFolder.installLog.count, 0) << "nothing for a rollback to delete";
}

// A real dialog with the progress field 121; every text set on the field is
// recorded by a subclass of the edit control.
class ProgressDialog {
 public:
  ProgressDialog() {
    struct alignas(4) {
      DLGTEMPLATE dialog;
      WORD menu, windowClass, title;
      DLGITEMTEMPLATE item;
      WORD classMarker, classAtom, text, extra;
    } templ = {};
    templ.dialog.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    templ.dialog.cdit = 1;
    templ.dialog.cx = 100;
    templ.dialog.cy = 40;
    templ.item.style = WS_CHILD | WS_VISIBLE | ES_READONLY;
    templ.item.x = 10;
    templ.item.y = 10;
    templ.item.cx = 60;
    templ.item.cy = 12;
    templ.item.id = 121;
    templ.classMarker = 0xFFFF;
    templ.classAtom = 0x0081;  // edit
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &templ.dialog, nullptr,
                                         DialogProc, 0);
    HWND field = GetDlgItem(dialog_, 121);
    SetPropA(field, "texts", this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
  }
  ~ProgressDialog() {
    if (dialog_) DestroyWindow(dialog_);
  }
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  HWND handle() const { return dialog_; }
  std::string FieldText() const {
    char text[64] = {};
    GetDlgItemTextA(dialog_, 121, text, sizeof text);
    return text;
  }
  std::vector<std::string> texts;

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
  static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ProgressDialog*>(GetPropA(field, "texts"));
    if (message == WM_SETTEXT) self->texts.push_back(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(self->original_, field, message, wParam, lParam);
  }

  HWND dialog_ = nullptr;
  WNDPROC original_ = nullptr;
};

std::string ManyFiles(int count) {
  std::string records;
  for (int i = 0; i < count; ++i) records += FileRecord("f" + std::to_string(i), "");
  return "D" + records + kEnd;
}

TEST_F(Extraction, ProgressShowsEachRoundedPercentageOnce) {
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {8, {"13 %", "25 %", "38 %", "50 %", "63 %", "75 %", "88 %", "100 %"}},
      {3, {"33 %", "67 %", "100 %"}},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(std::to_string(item.first) + " files");
    ProgressDialog dialog;
    ASSERT_NE(dialog.handle(), nullptr) << "error " << GetLastError();
    PayloadExtractor extractor;
    const std::string archive = ManyFiles(item.first);
    g_setupState.installFolder.Assign(folder_.path().c_str());
    extractor.readPosition = reinterpret_cast<const uint8_t*>(archive.data());
    extractor.archiveEnd = extractor.readPosition + archive.size();
    ASSERT_TRUE(extractor.ExtractPayload(dialog.handle()));
    EXPECT_EQ(dialog.texts, item.second);
    EXPECT_EQ(dialog.FieldText(), "100 %");
    EXPECT_EQ(extractor.progressDialog, dialog.handle());
    EXPECT_EQ(extractor.progressControlId, 121);
  }
}

TEST_F(Extraction, ProgressForAThousandFilesStartsAtZeroAndChangesOnlyWhenItGrows) {
  ProgressDialog dialog;
  ASSERT_NE(dialog.handle(), nullptr) << "error " << GetLastError();
  ASSERT_TRUE(Extract(ManyFiles(1000), dialog.handle()));
  ASSERT_EQ(dialog.texts.size(), 101u);
  for (int percent = 0; percent <= 100; ++percent) {
    EXPECT_EQ(dialog.texts[percent], std::to_string(percent) + " %");
  }
  EXPECT_EQ(extractor_.lastPercentShown, 100);
}

TEST_F(Extraction, WithoutDialogTheCountersStillAdvance) {
  ASSERT_TRUE(Extract(ManyFiles(8)));
  EXPECT_EQ(extractor_.totalFiles, 8);
  EXPECT_EQ(extractor_.filesWritten, 8);
  EXPECT_EQ(extractor_.lastPercentShown, -1);
}

}  // namespace
