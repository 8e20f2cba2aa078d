#include "payload/payload_extractor.h"

#include <cstdio>

#include "common/ascii_upper.h"
#include "common/stdio_file.h"
#include "payload/archive_format.h"
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
  line.Concat(">", filesPath.data);
  installLog.PushBack(line.data);
  TextString linksPath;
  linksPath.Concat(folder.data, "\\links");
  line.Concat(">", linksPath.data);
  installLog.PushBack(line.data);

  if (!readPosition || !archiveEnd || archiveEnd <= readPosition) {
    return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  }
  if (!MoveEarlierListAside(filesPath) || !MoveEarlierListAside(linksPath)) {
    return Fail(GetLastError());
  }
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

  if (!WriteListFile(filesPath, installLog)) return Fail(GetLastError());
  return true;
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
  StdioFile file(CreateReplacing(path.data));
  if (!file) return Fail(GetLastError());
  // Logged as soon as the file exists, so that the rollback after a failed
  // write also takes the partly written file; nothing comes in between, so a
  // complete extraction logs exactly as before.
  TextString line;
  line.Concat(">", path.data);
  installLog.PushBack(line.data);
  const bool complete =
      std::fwrite(content, 1, static_cast<size_t>(size), file.get()) == static_cast<size_t>(size);
  if (!file.Close() || !complete) return Fail(GetLastError());

  if (EndsWithIgnoringCase(path.data, path.length, ".SCH")) {
    TextString companionPath;
    companionPath.AssignPrefix(path.data, path.length - 3);
    companionPath.Append("qv");
    StdioFile companion(CreateReplacing(companionPath.data));
    if (!companion) return Fail(GetLastError());
    std::fwrite(path.data, 1, static_cast<size_t>(path.length), companion.get());
    std::fputc('\n', companion.get());
    // The schematic's line also takes its companion out in a rollback.
    if (!companion.Close()) return Fail(GetLastError());
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

FILE* PayloadExtractor::CreateReplacing(const char* path) {
  FILE* file = OpenNewFile(path);
  if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  return MoveAsideRecorded(path) ? OpenNewFile(path) : nullptr;
}

bool PayloadExtractor::MoveEarlierListAside(const TextString& path) {
  return !IsReplaceableFile(path.data) || MoveAsideRecorded(path.data);
}

bool PayloadExtractor::MoveAsideRecorded(const char* path) {
  if (!MoveAside(path)) return false;
  replacedFiles.PushBack(path);
  return true;
}

bool PayloadExtractor::Fail(DWORD code) {
  failureCode = code;
  return false;
}
