#include "payload/replaced_files.h"

#include <windows.h>

#include "payload/archive_format.h"

void BackupPathOf(const char* path, TextString* backup) { backup->Concat(path, kBackupSuffix); }

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
  return MoveFileExA(path, backup.data, MOVEFILE_REPLACE_EXISTING) != FALSE;
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
