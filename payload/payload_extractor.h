#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "common/busy_message_pump.h"
#include "common/string_list.h"
#include "common/text_string.h"
#include "payload/run_journal.h"
#include "payload/run_recovery.h"
#include "resources/resource.h"

// Unpacks the embedded archive into the install folder, shows the progress
// and keeps the install log of every folder and file it creates.
struct PayloadExtractor {
  int32_t totalFiles = 0;
  int32_t filesWritten = 0;
  int32_t lastPercentShown = -1;
  int32_t progressControlId = IDC_PROGRESS;
  const uint8_t* readPosition = nullptr;
  StringList installLog;
  HWND progressDialog = nullptr;
  // One past the last byte of the archive: no record is read beyond it.
  const uint8_t* archiveEnd = nullptr;
  // The system's error code at the moment a step of the extraction failed;
  // ERROR_INVALID_DATA for a damaged archive (a record running past its end,
  // an unsafe name, a stray byte where the final 0x00 belongs),
  // ERROR_RESOURCE_DATA_NOT_FOUND without an archive, ERROR_BAD_PATHNAME
  // without an install folder.
  DWORD failureCode = 0;
  // Every backup that this run made of a file of an earlier installation
  // before writing in its place, in the order they were made.
  StringList backupsMade;
  // Every file of an earlier installation that already held the package's
  // bytes and was left as it was: logged, but never the run's to delete.
  StringList keptFiles;
  // Where the run keeps its journal (kRunJournalPath for the installer); the
  // unit tests and the bench run without one when it is null.
  const char* journalPath = nullptr;
  RunJournal journal;
  // Set when the failed step was the journal's: it could not be read or
  // begun (a folder in its place, say). The failure log names the place.
  bool journalFailed = false;
  // Set when an earlier run that was cut off could not be put right: this
  // run has changed nothing.
  UnfinishedRecovery unfinishedRecovery;
  // The backups that a rollback could not put back: they stay for the next
  // run, and the failure log names them.
  StringList unrestoredBackups;
  // Keeps the dialog answering while the files are written; a WM_QUIT that
  // came meanwhile is posted again when the run releases the extractor.
  BusyMessagePump messagePump;

  bool ExtractPayload(HWND dialog);
  void CountPayloadFiles();
  bool ExtractFolder(const TextString& path);
  bool ExtractFile(const uint8_t* content, const TextString& path, int32_t size);

 private:
  // Puts right an earlier run that was cut off (RecoverInterruptedRuns).
  bool RecoverEarlierRun();
  // Writes this run's journal: the plan, the folder's emptiness and the
  // backups already there.
  bool BeginJournal();
  // The install log that a complete run writes, made by the extraction's own
  // walk with nothing written: what a run that is cut off may have created or
  // moved aside.
  void PlanInstallLog(StringList& plan);
  // Moves the earlier lists aside and unpacks every section; the install log
  // gets the lines of the lists and of every folder and file.
  bool ExtractSections();
  // Puts tag + path into the install log, or into the plan while planning.
  void Log(const char* tag, const char* path);
  // True when the folder holds nothing (or is not there yet); a listing that
  // fails counts as not empty.
  static bool FolderIsEmpty(const char* folder);
  // Creates path as a new file (CreateReplacing) and writes size bytes of
  // data to it; logged puts ">" + path into the install log once it exists.
  // With mayKeep, a file already holding those bytes is kept instead
  // (keptFiles), and logged all the same. A file created where none was goes
  // into the journal, or is deleted again when it cannot. A file that
  // another program holds is tried again (InUseRetry).
  bool WriteNewFile(const char* path, const void* data, size_t size, bool logged, bool mayKeep);
  // Opens path as a new file for writing. With compare, a file already there
  // that holds the size bytes at data is left as it is: null, with kept set.
  // Any other is first moved aside (MoveAsideRecorded), never overwritten;
  // movedAside says so.
  FILE* CreateReplacing(const char* path, const void* data, size_t size, bool compare,
                        bool* movedAside, bool* kept);
  // Moves a list that an earlier installation left aside, so that a failed
  // run gives it back; a folder of that name is left. Without an earlier
  // list the run's own will be new: the journal records it.
  bool MoveEarlierListAside(const TextString& path);
  // MoveAside, and on success the backup into backupsMade, so that the
  // rollback puts back every file that was moved.
  bool MoveAsideRecorded(const char* path);
  // Stores the code in failureCode and returns false.
  bool Fail(DWORD code);

  // While the plan is made: where the walk's lines go instead of the install
  // log, and nothing is written.
  StringList* plan_ = nullptr;
  // The install folder held nothing when the run began: no file can be in
  // the way, so none is compared.
  bool folderWasEmpty_ = false;
};
