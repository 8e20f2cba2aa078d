#pragma once
#include <windows.h>

#include "common/string_list.h"
#include "common/text_string.h"

// A file of an earlier installation that a run replaces waits beside its place
// under its backup name until the run has passed its last point of rollback:
// a failed run puts it back, a successful one deletes it.

// path followed by kBackupSuffix.
void BackupPathOf(const char* path, TextString* backup);

// The ".qv" companion that the installer writes beside a schematic (a ".sch"
// file, in any letter case) into companion; false for any other file.
bool CompanionPathOf(const char* path, TextString* companion);

// True for a plain file that may be written: neither a folder nor read-only.
bool IsReplaceableFile(const char* path);

// Renames the file at path to its backup name. A backup that is already there
// is older than the file in its place (a run cut off left it): it stays, and
// the file in its place is deleted instead. A folder or a read-only file is
// not moved and fails with ERROR_ACCESS_DENIED, as opening it for writing
// fails on Windows.
bool MoveAside(const char* path);

// Renames every replaced file's backup back over its place; a file that
// another program holds is tried again (InUseRetry, prompting through owner).
// A backup that stays is added to unrestored (when given) for the next run to
// put back. Returns the system's code of the last one that stayed, else 0.
DWORD RestoreBackups(StringList& replacedFiles, HWND owner, StringList* unrestored);

// Deletes the backup of every replaced file; one that cannot be deleted now
// is deleted at the next restart, so that none stays unknown to the
// uninstaller.
void DeleteBackups(StringList& replacedFiles);
