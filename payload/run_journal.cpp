#include "payload/run_journal.h"

#include <cstring>
#include <memory>

#include "payload/replaced_files.h"
#include "payload/rollback.h"

namespace {

bool WriteAll(HANDLE file, const char* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// Adds path to backups when its backup is there.
void AddIfBackedUp(const char* path, StringList& backups) {
  TextString backup;
  BackupPathOf(path, &backup);
  if (GetFileAttributesA(backup.data) != INVALID_FILE_ATTRIBUTES) backups.PushBack(path);
}

// A journal read into memory, its lines cut at their line feeds.
struct JournalText {
  std::unique_ptr<char[]> bytes;
  DWORD size = 0;

  // False with the system's code; an absent journal reads as empty.
  bool Read(const char* path) {
    KernelHandle file;
    file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE) return false;
    bytes.reset(new char[size + 1]);
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.get(), size, &read, nullptr) || read != size) return false;
    bytes[size] = '\0';
    for (DWORD i = 0; i < size; ++i) {
      if (bytes[i] == '\n') bytes[i] = '\0';
    }
    return true;
  }

  // The line that starts at offset, or null past the end.
  const char* LineAt(DWORD offset) const { return offset < size ? bytes.get() + offset : nullptr; }
};

}  // namespace

bool RunJournal::Begin(const char* path, bool folderWasEmpty, const StringList& plan) {
  int32_t total = 2;
  for (const StringListNode* node = plan.head; node; node = node->next) {
    total += PlainLength(node->line) + 1;
  }
  std::unique_ptr<char[]> text(new char[total]);
  char* end = text.get();
  *end++ = folderWasEmpty ? 'E' : 'N';
  *end++ = '\n';
  for (const StringListNode* node = plan.head; node; node = node->next) {
    const int32_t length = PlainLength(node->line);
    std::memcpy(end, node->line, length);
    end += length;
    *end++ = '\n';
  }
  file_.Reset(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  path_.Assign(path);
  recordsCreated_ = !folderWasEmpty;
  return WriteAll(file_.get(), text.get(), static_cast<DWORD>(total));
}

bool RunJournal::RecordCreated(const char* path) { return !recordsCreated_ || Append("+", path); }

void RunJournal::MarkCommitted() {
  if (file_ && !Append("C", "")) Finish();
}

void RunJournal::Finish() {
  if (!path_.data) return;
  file_.Close();
  DeleteFileA(path_.data);
  path_.SetLength(0);
}

bool RunJournal::Append(const char* tag, const char* text) {
  TextString line;
  line.Concat(tag, text, "\n");
  return WriteAll(file_.get(), line.data, static_cast<DWORD>(line.length));
}

bool RecoverInterruptedRun(const char* journalPath, HWND owner, StringList& unrestored) {
  JournalText journal;
  if (!journal.Read(journalPath)) return false;
  if (!journal.bytes) return true;

  // Only a journal that says so lets every planned file count as the run's.
  const bool folderWasEmpty = std::strcmp(journal.bytes.get(), "E") == 0;
  bool committed = false;
  StringList backups;
  StringList folders;
  StringList created;
  for (DWORD offset = 0; const char* line = journal.LineAt(offset);
       offset += PlainLength(line) + 1) {
    const char* path = line + 1;
    switch (line[0]) {
      case 'F':
        folders.PushBack(line);
        break;
      case '>':
        AddIfBackedUp(path, backups);
        if (TextString companion; CompanionPathOf(path, &companion)) {
          AddIfBackedUp(companion.data, backups);
        }
        if (folderWasEmpty) created.PushBack(line);
        break;
      case '+':
        created.PushBack(line);  // its '+' reads as a file line below
        break;
      case 'C':
        committed = true;
        break;
    }
  }

  if (committed) {
    DeleteBackups(backups);
  } else {
    const DWORD error = RestoreBackups(backups, owner, &unrestored);
    // The files the run created, after the folders they lie in: the
    // rollback takes the newest line first. A created file never had a
    // backup, so nothing that was put back is deleted.
    StringList undo;
    for (const char* line = folders.First(); line; line = folders.Next()) undo.PushBack(line);
    for (const char* line = created.First(); line; line = created.Next()) undo.PushBack(line);
    StringList none;
    RollbackInstall(undo, none);
    if (error != ERROR_SUCCESS) {
      SetLastError(error);
      return false;
    }
  }
  return DeleteFileA(journalPath) != FALSE;
}
