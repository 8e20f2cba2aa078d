#pragma once
#include <windows.h>

#include "common/kernel_handle.h"
#include "common/string_list.h"
#include "common/text_string.h"

// Where a run keeps its journal: at a fixed place, so that the next run finds
// it whatever install folder it is given, and outside every install folder.
constexpr char kRunJournalPath[] = "c:\\QVSetup.journal";

// What a run that is cut off (ended from outside, a crash, a power cut) needs
// the next run to know to put it right. Text lines ending in LF:
//   "E" or "N"     the install folder was empty when the run began, or not
//   "F..." ">..."  the install log that the run would write if complete
//   "+" path       (after "N") a file the run created where there was none
//   "C"            the run has passed its last point of rollback
// Everything the run moves aside waits under its backup name, which the next
// run finds from the planned paths. A run that ends deletes its journal.
class RunJournal {
 public:
  // Writes the journal before the run changes anything; false with the
  // system's code when it cannot be written.
  bool Begin(const char* path, bool folderWasEmpty, const StringList& plan);
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
  bool Append(const char* tag, const char* text);

  KernelHandle file_;
  TextString path_;
  bool recordsCreated_ = false;
};

// Puts right a run that left its journal at journalPath, before this run
// writes anything. Not past its last point of rollback: every backup goes
// back to its place (a file held by another program is tried again through
// owner's prompt), then what the run created is deleted. Past it: its
// backups are deleted. The journal goes last, so a recovery that is cut off
// itself is done again by the next run. True when there was nothing to put
// right or all is done; false with the system's code when a backup stays
// (named in unrestored) or the journal cannot be read.
bool RecoverInterruptedRun(const char* journalPath, HWND owner, StringList& unrestored);
