#include "payload/replaced_files.h"

#include <windows.h>

#include <cstring>

#include "common/ascii_upper.h"
#include "common/find_handle.h"
#include "common/kernel_handle.h"
#include "payload/archive_format.h"
#include "payload/in_use_retry.h"

void BackupPathOf(const char* path, int32_t index, TextString* backup) {
  backup->Concat(path, kBackupSuffix);
  if (index > 1) backup->data[backup->length - 1] = static_cast<char>('0' + index);
}

void PlaceOfBackup(const char* backup, TextString* place) {
  place->AssignPrefix(backup, PlainLength(backup) - kBackupSuffixLength);
}

bool CompanionPathOf(const char* path, TextString* companion) {
  const int32_t length = PlainLength(path);
  if (!EndsWithIgnoringCase(path, length, ".SCH")) return false;
  companion->AssignPrefix(path, length - 3);
  companion->Append("qv");
  return true;
}

bool IsReplaceableFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ClearReadOnly(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

bool FileHoldsBytes(const char* path, const void* data, size_t size) {
  // The size first: it needs no open, which is what a file costs most.
  WIN32_FILE_ATTRIBUTE_DATA found;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &found) || found.nFileSizeHigh != 0 ||
      found.nFileSizeLow != size) {
    return false;
  }
  KernelHandle file;
  file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  const char* expected = static_cast<const char*>(data);
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return false;
    // More bytes than its size said: the file grew since.
    if (read > size) return false;
    if (read == 0) return size == 0;
    if (std::memcmp(buffer, expected, read) != 0) return false;
    expected += read;
    size -= read;
  }
}

bool MoveAside(const char* path, TextString* backup) {
  // A folder of the package's file name is not the earlier installation's.
  if (!IsReplaceableFile(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  for (int32_t index = 1; index <= kBackupNameCount; ++index) {
    BackupPathOf(path, index, backup);
    if (MoveFileExA(path, backup->data, 0)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  }
  SetLastError(ERROR_ALREADY_EXISTS);
  return false;
}

DWORD RestoreBackups(StringList& backups, HWND owner, StringList* unrestored) {
  DWORD lastError = ERROR_SUCCESS;
  for (const char* backup = backups.First(); backup; backup = backups.Next()) {
    TextString place;
    PlaceOfBackup(backup, &place);
    InUseRetry retry(owner, place.data);
    while (!MoveFileExA(backup, place.data, MOVEFILE_REPLACE_EXISTING)) {
      if (retry.Again(GetLastError())) continue;
      lastError = GetLastError();
      if (unrestored) unrestored->PushBack(backup);
      break;
    }
  }
  return lastError;
}

void DeleteBackups(StringList& backups) {
  for (const char* backup = backups.First(); backup; backup = backups.Next()) {
    if (DeleteFileA(backup)) continue;
    // A backup keeps its original's read-only attribute until here.
    if (ClearReadOnly(backup) && DeleteFileA(backup)) continue;
    MoveFileExA(backup, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
}

bool FindBackupsBelow(const char* folder, StringList& backups) {
  TextString pattern;
  pattern.Concat(folder, "\\*");
  WIN32_FIND_DATAA entry;
  const FindHandle find(FindFirstFileA(pattern.data, &entry));
  // A drive's root has no "." and "..": an empty one lists nothing.
  if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
  bool listed = true;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    TextString path;
    path.Concat(folder, "\\", entry.cFileName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction may lead outside the folder, or back into it.
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
          !FindBackupsBelow(path.data, backups)) {
        listed = false;
      }
    } else if (BackupIndexOf(entry.cFileName, PlainLength(entry.cFileName)) != 0) {
      backups.PushBack(path.data);
    }
  } while (FindNextFileA(find.get(), &entry));
  return listed && GetLastError() == ERROR_NO_MORE_FILES;
}
