#pragma once
#include <windows.h>

#include <cstdint>

#include "common/string_list.h"
#include "common/text_string.h"

// A file of an earlier installation that a run replaces waits beside its place
// under a backup name until the run has passed its last point of rollback:
// a failed run puts it back, a successful one deletes it. The run's backup
// of a file is its first free backup name (archive_format.h), so that an
// older backup left there stays as it is.

// path followed by the suffix of backup name index (1 to kBackupNameCount).
void BackupPathOf(const char* path, int32_t index, TextString* backup);

// The place a backup was taken from: its path without the backup suffix.
void PlaceOfBackup(const char* backup, TextString* place);

// The ".qv" companion that the installer writes beside a schematic (a ".sch"
// file, in any letter case) into companion; false for any other file.
bool CompanionPathOf(const char* path, TextString* companion);

// True for a file that a run may move aside: there, and not a folder. A
// read-only file counts: its backup keeps the attribute.
bool IsReplaceableFile(const char* path);

// Clears the read-only attribute of the file at path, as Windows neither
// opens such a file for writing nor deletes it; false when it had none or
// keeps it.
bool ClearReadOnly(const char* path);

// True when the file at path holds exactly the size bytes at data. It is only
// read, with every sharing allowed, so that a program holding it open for
// reading does not stand in the way.
bool FileHoldsBytes(const char* path, const void* data, size_t size);

// Renames the file at path to its first free backup name, given in backup.
// A folder is not moved and fails with ERROR_ACCESS_DENIED; when every
// backup name is taken, ERROR_ALREADY_EXISTS.
bool MoveAside(const char* path, TextString* backup);

// Renames every backup back over its place; a file that another program
// holds is tried again (InUseRetry, prompting through owner). A backup that
// stays is added to unrestored (when given) for the next run to put back.
// Returns the system's code of the last one that stayed, else 0.
DWORD RestoreBackups(StringList& backups, HWND owner, StringList* unrestored);

// Deletes every backup, a read-only one too (the backups are the run's own);
// one that cannot be deleted now is deleted at the next restart, so that none
// stays unknown to the uninstaller.
void DeleteBackups(StringList& backups);

// Adds every file below folder (in it and in its subfolders) that has a
// backup name to backups. False when a folder could not be listed, or folder
// itself is missing; what could be listed is added all the same.
bool FindBackupsBelow(const char* folder, StringList& backups);
