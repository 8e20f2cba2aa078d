#include "payload/run_recovery.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/find_handle.h"
#include "common/string_list.h"
#include "payload/archive_format.h"
#include "payload/replaced_files.h"
#include "payload/rollback.h"
#include "payload/run_journal.h"

namespace {

bool Listed(const StringList& list, const char* text) {
  for (const StringListNode* node = list.head; node; node = node->next) {
    if (std::strcmp(node->line, text) == 0) return true;
  }
  return false;
}

// Adds the backup that the run made of path, if it is there: its first
// backup name that no older backup held when the run began.
void AddRunBackup(const char* path, const StringList& olderBackups, StringList& backups) {
  TextString backup;
  for (int32_t index = 1; index <= kBackupNameCount; ++index) {
    BackupPathOf(path, index, &backup);
    if (!Listed(olderBackups, backup.data)) break;
  }
  if (GetFileAttributesA(backup.data) != INVALID_FILE_ATTRIBUTES) backups.PushBack(backup.data);
}

// The run's backups of a whole journal: those of its planned files.
void PlannedBackups(JournalContent& journal, StringList& backups) {
  for (const char* line = journal.plan.First(); line; line = journal.plan.Next()) {
    if (line[0] != '>') continue;
    AddRunBackup(line + 1, journal.olderBackups, backups);
    if (TextString companion; CompanionPathOf(line + 1, &companion)) {
      AddRunBackup(companion.data, journal.olderBackups, backups);
    }
  }
}

// Orders backups by their place, and the backups of one place oldest first.
bool BackupBefore(const char* a, const char* b) {
  const int32_t aLength = PlainLength(a);
  const int32_t bLength = PlainLength(b);
  const int32_t aPlace = aLength - kBackupSuffixLength;
  const int32_t bPlace = bLength - kBackupSuffixLength;
  const int order = std::memcmp(a, b, std::min(aPlace, bPlace));
  if (order != 0) return order < 0;
  if (aPlace != bPlace) return aPlace < bPlace;
  return BackupIndexOf(a, aLength) < BackupIndexOf(b, bLength);
}

bool SamePlace(const char* a, const char* b) {
  const int32_t place = PlainLength(a) - kBackupSuffixLength;
  return place == PlainLength(b) - kBackupSuffixLength && std::memcmp(a, b, place) == 0;
}

// The run's backups of a damaged journal, found below its install folder by
// their names: all but the older ones, and of several of one place the
// newest, since a run takes the first free name.
void FoundBackups(JournalContent& journal, StringList& backups) {
  StringList found;
  FindBackupsBelow(journal.installFolder.data, found);
  std::unique_ptr<const char*[]> candidates(new const char*[found.count + 1]);
  int32_t count = 0;
  for (const char* backup = found.First(); backup; backup = found.Next()) {
    if (!Listed(journal.olderBackups, backup)) candidates[count++] = backup;
  }
  std::sort(candidates.get(), candidates.get() + count, BackupBefore);
  for (int32_t i = 0; i < count; ++i) {
    if (i + 1 == count || !SamePlace(candidates[i], candidates[i + 1])) {
      backups.PushBack(candidates[i]);
    }
  }
}

// Deletes what the run of a whole journal created: with an empty folder
// every planned file, else the recorded ones; then the planned folders that
// are empty. Nothing that was put back is deleted: a created file never had
// a backup.
void DeleteCreated(JournalContent& journal) {
  StringList undo;
  for (const char* line = journal.plan.First(); line; line = journal.plan.Next()) {
    if (line[0] == 'F' || journal.folderWasEmpty) undo.PushBack(line);
  }
  if (!journal.folderWasEmpty) {
    for (const char* path = journal.created.First(); path; path = journal.created.Next()) {
      TextString line;
      line.Concat(">", path);
      undo.PushBack(line.data);
    }
  }
  StringList none;
  RollbackInstall(undo, none, none);
}

// "C:\" or "\\server\share\": the root of folder's drive.
void RootOf(const char* folder, TextString* root) {
  int32_t backslashes = folder[0] == '\\' && folder[1] == '\\' ? 4 : 1;
  int32_t length = 0;
  while (folder[length] && !(folder[length++] == '\\' && --backslashes == 0)) {
  }
  root->AssignPrefix(folder, length);
}

bool DriveReachable(const char* folder) {
  TextString root;
  RootOf(folder, &root);
  return GetFileAttributesA(root.data) != INVALID_FILE_ATTRIBUTES;
}

// Renames the journal to a name of its own beside the fixed one.
bool SetAside(const char* journalPath) {
  for (DWORD tag = GetTickCount();; ++tag) {
    char suffix[16];
    wsprintfA(suffix, ".%08x", static_cast<unsigned>(tag));
    TextString aside;
    aside.Concat(journalPath, suffix);
    if (MoveFileExA(journalPath, aside.data, 0)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
}

// Puts right the run of one journal. One whose drive cannot be reached is
// set aside (the fixed one) or left where it is (one set aside before).
bool RecoverJournal(const char* journalPath, bool setAside, HWND owner,
                    UnfinishedRecovery* unfinished) {
  JournalContent journal;
  if (!journal.Read(journalPath)) return false;
  if (journal.state == JournalContent::State::Absent) return true;
  if (journal.state != JournalContent::State::Blank) {
    if (!DriveReachable(journal.installFolder.data)) return !setAside || SetAside(journalPath);
    StringList backups;
    if (journal.state == JournalContent::State::Whole) {
      PlannedBackups(journal, backups);
    } else {
      FoundBackups(journal, backups);
    }
    if (journal.committed) {
      DeleteBackups(backups);
    } else {
      StringList unrestored;
      const DWORD error = RestoreBackups(backups, owner, &unrestored);
      if (journal.state == JournalContent::State::Whole) DeleteCreated(journal);
      if (error != ERROR_SUCCESS) {
        unfinished->installFolder.Assign(journal.installFolder.data);
        PlaceOfBackup(unrestored.First(), &unfinished->file);
        SetLastError(error);
        return false;
      }
    }
  }
  return DeleteFileA(journalPath) != FALSE;
}

}  // namespace

bool RecoverInterruptedRuns(const char* journalPath, HWND owner, UnfinishedRecovery* unfinished) {
  if (!RecoverJournal(journalPath, true, owner, unfinished)) return false;
  TextString pattern;
  pattern.Concat(journalPath, ".*");
  WIN32_FIND_DATAA entry;
  const FindHandle find(FindFirstFileA(pattern.data, &entry));
  if (!find) return true;
  const char* nameStart = std::strrchr(journalPath, '\\');
  const int32_t folderLength = nameStart ? static_cast<int32_t>(nameStart - journalPath) + 1 : 0;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    TextString path;
    path.AssignPrefix(journalPath, folderLength);
    path.Append(entry.cFileName);
    if (!RecoverJournal(path.data, false, owner, unfinished)) return false;
  } while (FindNextFileA(find.get(), &entry));
  return true;
}
