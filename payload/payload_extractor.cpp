#include "payload/payload_extractor.h"

#include <cstdio>

#include "common/ascii_upper.h"
#include "common/find_handle.h"
#include "common/stdio_file.h"
#include "payload/archive_format.h"
#include "payload/in_use_retry.h"
#include "payload/replaced_files.h"
#include "setup/setup_state.h"

namespace {

// The lists an installation keeps in its folder, in the order they are logged.
const char* const kListNames[] = {"\\files", "\\links"};

}  // namespace

bool PayloadExtractor::ExtractPayload(HWND dialog) {
  progressDialog = dialog;
  progressControlId = IDC_PROGRESS;
  const TextString& folder = g_setupState.installFolder;
  // Without an install folder every path would start at the root of the
  // current drive, and a rollback would delete there.
  if (folder.length == 0) return Fail(ERROR_BAD_PATHNAME);
  Log("F", folder.data);

  if (!readPosition || !archiveEnd || archiveEnd <= readPosition) {
    return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  }
  if (journalPath && !RecoverEarlierRun()) return false;
  folderWasEmpty_ = FolderIsEmpty(folder.data);
  if (journalPath && !BeginJournal()) return false;
  CountPayloadFiles();
  if (!ExtractSections()) return false;

  TextString filesPath;
  filesPath.Concat(folder.data, "\\files");
  InUseRetry retry(progressDialog, filesPath.data);
  while (!WriteListFile(filesPath, installLog)) {
    if (!retry.Again(GetLastError())) return Fail(GetLastError());
  }
  return true;
}

bool PayloadExtractor::RecoverEarlierRun() {
  if (RecoverInterruptedRuns(journalPath, progressDialog, &unfinishedRecovery)) return true;
  journalFailed = unfinishedRecovery.file.length == 0;
  return Fail(GetLastError());
}

bool PayloadExtractor::BeginJournal() {
  const char* folder = g_setupState.installFolder.data;
  StringList plan;
  PlanInstallLog(plan);
  // Backups already there are older than this run: it neither puts them
  // back nor deletes them, and a recovery must know them as such.
  StringList olderBackups;
  if (!folderWasEmpty_) FindBackupsBelow(folder, olderBackups);
  if (!journal.Begin(journalPath, folder, folderWasEmpty_, olderBackups, plan)) {
    journalFailed = true;
    return Fail(GetLastError());
  }
  return true;
}

void PayloadExtractor::PlanInstallLog(StringList& plan) {
  const uint8_t* start = readPosition;
  plan_ = &plan;
  Log("F", g_setupState.installFolder.data);
  ExtractSections();  // a damaged archive ends the plan where the run will fail
  plan_ = nullptr;
  readPosition = start;
  failureCode = 0;
}

bool PayloadExtractor::ExtractSections() {
  const TextString& folder = g_setupState.installFolder;
  // Each list is logged once it has been moved aside: a rollback deletes
  // only what the run has taken the place of.
  for (const char* name : kListNames) {
    TextString path;
    path.Concat(folder.data, name);
    if (!plan_ && !MoveEarlierListAside(path)) return Fail(GetLastError());
    Log(">", path.data);
  }
  for (const ArchiveSection& section : kArchiveSections) {
    if (*readPosition != section.tag) continue;
    ++readPosition;
    TextString sectionFolder;
    sectionFolder.Concat(folder.data, "\\", section.folderName);
    if (!ExtractFolder(sectionFolder)) return false;
    if (readPosition == archiveEnd) return Fail(ERROR_INVALID_DATA);
  }
  // A stray byte, a section out of order or bytes after the end would leave
  // part of the package unpacked: that is a damaged archive, not a success.
  if (!IsAtArchiveEnd(readPosition, archiveEnd)) return Fail(ERROR_INVALID_DATA);
  return true;
}

void PayloadExtractor::Log(const char* tag, const char* path) {
  TextString line;
  line.Concat(tag, path);
  (plan_ ? *plan_ : installLog).PushBack(line.data);
}

void PayloadExtractor::CountPayloadFiles() {
  lastPercentShown = -1;
  filesWritten = 0;
  totalFiles = CountFileRecords(readPosition, archiveEnd);
}

bool PayloadExtractor::ExtractFolder(const TextString& path) {
  if (!plan_ && !CreateDirectoryA(path.data, nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return Fail(error);
  }
  Log("F", path.data);

  for (;;) {
    ArchiveRecord record;
    switch (ReadFolderRecord(&readPosition, archiveEnd, &record)) {
      case RecordKind::File: {
        TextString filePath;
        filePath.Concat(path.data, "\\", record.name);
        if (!ExtractFile(record.content, filePath, record.size)) return false;
        break;
      }
      case RecordKind::Folder: {
        TextString subfolder;
        subfolder.Concat(path.data, "\\", record.name);
        if (!ExtractFolder(subfolder)) return false;
        break;
      }
      case RecordKind::End:
      case RecordKind::Close:
        return true;
      case RecordKind::Overrun:
      case RecordKind::NegativeSize:
      case RecordKind::UnsafeName:
        return Fail(ERROR_INVALID_DATA);
    }
  }
}

bool PayloadExtractor::ExtractFile(const uint8_t* content, const TextString& path, int32_t size) {
  if (plan_) {
    Log(">", path.data);
    return true;
  }
  // qv.ini is rewritten after the extraction: it is always the run's own
  // file, so that a rollback puts the earlier one back.
  const bool mayKeep = !EndsWithIgnoringCase(path.data, path.length, "\\BIN\\QV.INI");
  if (!WriteNewFile(path.data, content, static_cast<size_t>(size), true, mayKeep)) return false;
  TextString companionPath;
  if (CompanionPathOf(path.data, &companionPath)) {
    TextString companionText;
    companionText.Concat(path.data, "\n");
    // The schematic's line also takes its companion out in a rollback.
    if (!WriteNewFile(companionPath.data, companionText.data,
                      static_cast<size_t>(companionText.length), false, true)) {
      return false;
    }
  }

  ++filesWritten;
  if (progressDialog && totalFiles > 0) {
    const int32_t percent = static_cast<int32_t>(filesWritten * 100.0 / totalFiles + 0.5);
    if (percent > lastPercentShown) {
      lastPercentShown = percent;
      char text[16];
      wsprintfA(text, "%d %%", percent);
      SetDlgItemTextA(progressDialog, progressControlId, text);
      UpdateWindow(progressDialog);
    }
    messagePump.Poll();
  }
  return true;
}

bool PayloadExtractor::WriteNewFile(const char* path, const void* data, size_t size, bool logged,
                                    bool mayKeep) {
  bool movedAside = false;
  bool kept = false;
  // Into a folder that was empty no file can be in the way: nothing is read.
  const bool compare = mayKeep && !folderWasEmpty_;
  FILE* opened = CreateReplacing(path, data, size, compare, &movedAside, &kept);
  if (kept) {
    keptFiles.PushBack(path);
    if (logged) Log(">", path);
    return true;
  }
  if (!opened) return Fail(GetLastError());
  if (!movedAside && !journal.RecordCreated(path)) {
    // Not recorded, so a cut-off run could not take it back: it goes now.
    const DWORD error = GetLastError();
    std::fclose(opened);
    DeleteFileA(path);
    return Fail(error);
  }
  // Logged as soon as the file exists, so that the rollback after a failed
  // write also takes the partly written file; nothing comes in between, so a
  // complete extraction logs exactly as before.
  if (logged) Log(">", path);
  InUseRetry retry(progressDialog, path);
  for (;;) {
    StdioFile file(opened);
    const bool complete = std::fwrite(data, 1, size, file.get()) == size;
    if (file.Close() && complete) return true;
    if (!retry.Again(GetLastError())) return Fail(GetLastError());
    // The file is the run's own by now: it is written again from its start.
    while (!(opened = std::fopen(path, "wb"))) {
      if (!retry.Again(GetLastError())) return Fail(GetLastError());
    }
  }
}

FILE* PayloadExtractor::CreateReplacing(const char* path, const void* data, size_t size,
                                        bool compare, bool* movedAside, bool* kept) {
  InUseRetry retry(progressDialog, path);
  for (;;) {
    // Compared before the open: in a repair most files hold the package's bytes.
    if (compare && !*movedAside && FileHoldsBytes(path, data, size)) {
      *kept = true;
      return nullptr;
    }
    if (FILE* file = OpenNewFile(path)) return file;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS && !*movedAside) {
      *movedAside = MoveAsideRecorded(path);
      if (*movedAside) continue;
      error = GetLastError();
    }
    if (!retry.Again(error)) return nullptr;
  }
}

bool PayloadExtractor::MoveEarlierListAside(const TextString& path) {
  // No earlier list to keep: the run's own list will be new.
  if (!IsReplaceableFile(path.data)) return journal.RecordCreated(path.data);
  InUseRetry retry(progressDialog, path.data);
  while (!MoveAsideRecorded(path.data)) {
    if (!retry.Again(GetLastError())) return false;
  }
  return true;
}

bool PayloadExtractor::MoveAsideRecorded(const char* path) {
  TextString backup;
  if (!MoveAside(path, &backup)) return false;
  backupsMade.PushBack(backup.data);
  return true;
}

bool PayloadExtractor::FolderIsEmpty(const char* folder) {
  TextString pattern;
  pattern.Concat(folder, "\\*");
  WIN32_FIND_DATAA entry;
  const FindHandle find(FindFirstFileA(pattern.data, &entry));
  // A missing folder, or a drive's root without "." and "..".
  if (!find) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  bool empty = true;
  do {
    empty = IsDotEntry(entry.cFileName);
  } while (empty && FindNextFileA(find.get(), &entry));
  // Only a listing that reached its end shows an empty folder: an empty one
  // lets a cut-off run's recovery delete every planned file.
  return empty && GetLastError() == ERROR_NO_MORE_FILES;
}

bool PayloadExtractor::Fail(DWORD code) {
  failureCode = code;
  return false;
}
