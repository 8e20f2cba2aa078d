#include "payload/payload_extractor.h"

#include <cstdio>
#include <cstring>

#include "common/stdio_file.h"
#include "payload/archive_format.h"
#include "payload/in_use_retry.h"
#include "payload/replaced_files.h"
#include "setup/setup_state.h"

bool PayloadExtractor::ExtractPayload(HWND dialog) {
  progressDialog = dialog;
  progressControlId = IDC_PROGRESS;
  const TextString& folder = g_setupState.installFolder;
  // Without an install folder every path would start at the root of the
  // current drive, and a rollback would delete there.
  if (folder.length == 0) return Fail(ERROR_BAD_PATHNAME);
  TextString line;
  line.Concat("F", folder.data);
  installLog.PushBack(line.data);
  TextString filesPath;
  filesPath.Concat(folder.data, "\\files");
  TextString linksPath;
  linksPath.Concat(folder.data, "\\links");

  if (!readPosition || !archiveEnd || archiveEnd <= readPosition) {
    return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  }
  if (journalPath) {
    if (!RecoverInterruptedRun(journalPath, progressDialog, unrestoredBackups)) {
      return Fail(GetLastError());
    }
    StringList plan;
    PlanInstallLog(filesPath, linksPath, plan);
    if (!journal.Begin(journalPath, FolderIsEmpty(folder.data), plan)) return Fail(GetLastError());
  }
  // Each list is logged once it has been moved aside: a rollback deletes
  // only what the run has taken the place of.
  if (!MoveEarlierListAside(filesPath)) return Fail(GetLastError());
  line.Concat(">", filesPath.data);
  installLog.PushBack(line.data);
  if (!MoveEarlierListAside(linksPath)) return Fail(GetLastError());
  line.Concat(">", linksPath.data);
  installLog.PushBack(line.data);
  CountPayloadFiles();

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

  InUseRetry retry(progressDialog, filesPath.data);
  while (!WriteListFile(filesPath, installLog)) {
    if (!retry.Again(GetLastError())) return Fail(GetLastError());
  }
  return true;
}

void PayloadExtractor::PlanInstallLog(const TextString& filesPath, const TextString& linksPath,
                                      StringList& plan) const {
  const TextString& installFolder = g_setupState.installFolder;
  TextString line;
  line.Concat("F", installFolder.data);
  plan.PushBack(line.data);
  line.Concat(">", filesPath.data);
  plan.PushBack(line.data);
  line.Concat(">", linksPath.data);
  plan.PushBack(line.data);
  ArchiveWalker walker(readPosition, archiveEnd - readPosition);
  TextString folder;
  for (;;) {
    switch (walker.Next()) {
      case WalkEvent::SectionOpen:
        folder.Concat(installFolder.data, "\\", kArchiveSections[walker.sectionIndex].folderName);
        line.Concat("F", folder.data);
        break;
      case WalkEvent::FolderOpen:
        folder.Append("\\");
        folder.Append(walker.record.name);
        line.Concat("F", folder.data);
        break;
      case WalkEvent::File:
        line.Concat(">", folder.data, "\\");
        line.Append(walker.record.name);
        break;
      case WalkEvent::FolderClose: {
        const int32_t parentEnd = folder.FindLastBackslash();
        if (parentEnd >= 0) folder.data[parentEnd] = '\0';
        folder.TrimToTerminator();
        continue;
      }
      case WalkEvent::Finished:
      case WalkEvent::Fault:
        return;
    }
    plan.PushBack(line.data);
  }
}

void PayloadExtractor::CountPayloadFiles() {
  lastPercentShown = -1;
  filesWritten = 0;
  totalFiles = CountFileRecords(readPosition, archiveEnd);
}

bool PayloadExtractor::ExtractFolder(const TextString& path) {
  if (!CreateDirectoryA(path.data, nullptr)) {
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return Fail(error);
  }
  TextString line;
  line.Concat("F", path.data);
  installLog.PushBack(line.data);

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
  if (!WriteNewFile(path.data, content, static_cast<size_t>(size), true)) return false;
  TextString companionPath;
  if (CompanionPathOf(path.data, &companionPath)) {
    TextString companionText;
    companionText.Concat(path.data, "\n");
    // The schematic's line also takes its companion out in a rollback.
    if (!WriteNewFile(companionPath.data, companionText.data,
                      static_cast<size_t>(companionText.length), false)) {
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

bool PayloadExtractor::WriteNewFile(const char* path, const void* data, size_t size, bool logged) {
  FILE* opened = CreateReplacing(path);
  if (!opened) return Fail(GetLastError());
  // Logged as soon as the file exists, so that the rollback after a failed
  // write also takes the partly written file; nothing comes in between, so a
  // complete extraction logs exactly as before.
  if (logged) {
    TextString line;
    line.Concat(">", path);
    installLog.PushBack(line.data);
  }
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

FILE* PayloadExtractor::CreateReplacing(const char* path) {
  InUseRetry retry(progressDialog, path);
  bool movedAside = false;
  for (;;) {
    FILE* file = OpenNewFile(path);
    if (file && (movedAside || journal.RecordCreated(path))) return file;
    DWORD error = GetLastError();
    if (file) {
      // Not recorded, so a cut-off run could not take it back: it goes now.
      std::fclose(file);
      DeleteFileA(path);
      SetLastError(error);
      return nullptr;
    }
    if (error == ERROR_FILE_EXISTS && !movedAside) {
      movedAside = MoveAsideRecorded(path);
      if (movedAside) continue;
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
  if (!MoveAside(path)) return false;
  replacedFiles.PushBack(path);
  return true;
}

bool PayloadExtractor::FolderIsEmpty(const char* folder) {
  TextString pattern;
  pattern.Concat(folder, "\\*");
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA(pattern.data, &entry);
  // A missing folder, or a drive's root without "." and "..".
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  bool empty = true;
  do {
    empty = std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0;
  } while (empty && FindNextFileA(find, &entry));
  FindClose(find);
  return empty;
}

bool PayloadExtractor::Fail(DWORD code) {
  failureCode = code;
  return false;
}
