#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "common/busy_message_pump.h"
#include "common/string_list.h"
#include "common/text_string.h"
#include "payload/run_journal.h"
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
  // Every file of an earlier installation that this run moved aside to its
  // backup name before writing in its place, in the order they were moved.
  StringList replacedFiles;
  // Where the run keeps its journal (kRunJournalPath for the installer); the
  // unit tests and the bench run without one when it is null.
  const char* journalPath = nullptr;
  RunJournal journal;
  // The backups that a rollback, or the recovery of a run cut off before,
  // could not put back: they stay for the next run, and the failure log
  // names them.
  StringList unrestoredBackups;
  // Keeps the dialog answering while the files are written; a WM_QUIT that
  // came meanwhile is posted again when the run releases the extractor.
  BusyMessagePump messagePump;

  bool ExtractPayload(HWND dialog);
  void CountPayloadFiles();
  bool ExtractFolder(const TextString& path);
  bool ExtractFile(const uint8_t* content, const TextString& path, int32_t size);

 private:
  // The install log that a complete run writes, made from the archive alone:
  // what a run that is cut off may have created or moved aside.
  void PlanInstallLog(const TextString& filesPath, const TextString& linksPath,
                      StringList& plan) const;
  // True when the folder holds nothing (or is not there yet).
  static bool FolderIsEmpty(const char* folder);
  // Creates path as a new file (CreateReplacing) and writes size bytes of
  // data to it; logged puts ">" + path into the install log once it exists.
  // A file that another program holds is tried again (InUseRetry).
  bool WriteNewFile(const char* path, const void* data, size_t size, bool logged);
  // Opens path as a new file for writing. A file already there is first
  // moved aside and recorded in replacedFiles, never overwritten; a file
  // created where none was goes into the journal.
  FILE* CreateReplacing(const char* path);
  // Moves a list that an earlier installation left aside, so that a failed
  // run gives it back; a folder or a read-only file of that name is left,
  // since neither can be overwritten or deleted. Without an earlier list the
  // run's own will be new: the journal records it.
  bool MoveEarlierListAside(const TextString& path);
  // MoveAside, and on success the path into replacedFiles, so that the
  // rollback puts back every file that was moved.
  bool MoveAsideRecorded(const char* path);
  // Stores the code in failureCode and returns false.
  bool Fail(DWORD code);
};
