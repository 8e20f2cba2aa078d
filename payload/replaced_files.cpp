#include "payload/replaced_files.h"

#include <windows.h>

#include "common/ascii_upper.h"
#include "payload/archive_format.h"
#include "payload/in_use_retry.h"

void BackupPathOf(const char* path, TextString* backup) { backup->Concat(path, kBackupSuffix); }

bool CompanionPathOf(const char* path, TextString* companion) {
  const int32_t length = PlainLength(path);
  if (!EndsWithIgnoringCase(path, length, ".SCH")) return false;
  companion->AssignPrefix(path, length - 3);
  companion->Append("qv");
  return true;
}

bool IsReplaceableFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

bool MoveAside(const char* path) {
  if (!IsReplaceableFile(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  TextString backup;
  BackupPathOf(path, &backup);
  if (MoveFileExA(path, backup.data, 0)) return true;
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  return DeleteFileA(path) != FALSE;
}

DWORD RestoreBackups(StringList& replacedFiles, HWND owner, StringList* unrestored) {
  DWORD lastError = ERROR_SUCCESS;
  for (const char* path = replacedFiles.First(); path; path = replacedFiles.Next()) {
    TextString backup;
    BackupPathOf(path, &backup);
    InUseRetry retry(owner, path);
    while (!MoveFileExA(backup.data, path, MOVEFILE_REPLACE_EXISTING)) {
      if (retry.Again(GetLastError())) continue;
      lastError = GetLastError();
      if (unrestored) unrestored->PushBack(backup.data);
      break;
    }
  }
  return lastError;
}

void DeleteBackups(StringList& replacedFiles) {
  for (const char* path = replacedFiles.First(); path; path = replacedFiles.Next()) {
    TextString backup;
    BackupPathOf(path, &backup);
    if (!DeleteFileA(backup.data)) {
      MoveFileExA(backup.data, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
  }
}
