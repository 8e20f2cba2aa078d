#pragma once
#include <windows.h>

#include <cstdint>

#include "common/kernel_handle.h"
#include "common/string_list.h"
#include "common/text_string.h"

// Where a run keeps its journal: at a fixed place, so that the next run finds
// it whatever install folder it is given, outside every install folder, and
// where a standard user can create no file.
constexpr char kRunJournalPath[] = "c:\\QVSetup.journal";

// The journal's first line: its magic and format version.
constexpr char kJournalMagic[] = "QVSetup journal 2";

// Administrators and the system, full control, nothing inherited: a standard
// user can neither change a journal that waits for the next run nor read it.
constexpr char kJournalSecurity[] = "D:P(A;;FA;;;BA)(A;;FA;;;SY)";

// The security attributes a journal is created with; the one owner of their
// descriptor.
class JournalSecurity {
 public:
  JournalSecurity();
  ~JournalSecurity();
  JournalSecurity(const JournalSecurity&) = delete;
  JournalSecurity& operator=(const JournalSecurity&) = delete;

  // Null when the descriptor could not be made: then no journal is made.
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_ = {};
};

// What a run that is cut off (ended from outside, a crash, a power cut) needs
// the next run to know to put it right. Text lines ending in LF:
//   kJournalMagic
//   "F" folder     the install folder
//   "E" or "N"     the install folder was empty when the run began, or not
//   "O" path       (after "N") a backup that was there before the run began:
//                  never the run's to put back or delete
//   "F..." ">..."  the install log that the run would write if complete
//   "P*" seal      end of the part written before the run's first change
//   "+" path seal  (after "N") a file the run created where there was none
//   "C*" seal      the run has passed its last point of rollback
// A seal is "*" and 8 hex digits: the FNV-1a hash of every byte before its
// line. The part up to "P" and the line "C" are flushed to the disk before
// the run goes on, so a power cut cannot leave a "C" that the disk never had.
// Only the administrators and the system may open the journal (JournalSecurity).
class RunJournal {
 public:
  // Writes the journal before the run changes anything; false with the
  // system's code when it cannot be written.
  bool Begin(const char* path, const char* installFolder, bool folderWasEmpty,
             const StringList& olderBackups, const StringList& plan);
  // Records a file that the run created where no file was. Only a run into a
  // folder that was not empty records: into an empty one, everything there
  // after a cut is the run's, so the path costs no write.
  bool RecordCreated(const char* path);
  // The run has passed its last point of rollback. If the mark cannot be
  // written the journal goes at once: without it the next run would undo a
  // complete installation.
  void MarkCommitted();
  // The run has ended and left nothing to put back: the journal goes.
  void Finish();

 private:
  bool Write(const char* data, int32_t size);
  bool AppendSealed(const char* tag, const char* text);

  KernelHandle file_;
  TextString path_;
  bool recordsCreated_ = false;
  uint32_t hash_ = 0;
};

// A journal as the next run reads it.
struct JournalContent {
  enum class State {
    Absent,   // no journal: nothing to put right
    Blank,    // no install folder can be read: the run changed nothing
    Damaged,  // cut short, zeroed in part, or of another version
    Whole,    // every line as it was written, seals included
  };
  State state = State::Absent;
  TextString installFolder;
  bool folderWasEmpty = false;
  bool committed = false;
  // Trustworthy only when its part of the journal was sealed.
  bool olderBackupsKnown = false;
  StringList olderBackups;
  StringList plan;
  StringList created;  // the "+" lines, seals cut off

  // False with the system's code when the journal is there but cannot be
  // read (a folder in its place, say).
  bool Read(const char* path);
};
