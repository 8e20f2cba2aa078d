#pragma once
#include <windows.h>

#include "common/text_string.h"

// What kept the recovery of a cut-off run from finishing: the run's install
// folder and the file whose backup could not be put back in its place.
struct UnfinishedRecovery {
  TextString installFolder;
  TextString file;
};

// Puts right every run that left its journal at journalPath, or set aside
// beside it (journalPath + "." + 8 hex digits), before this run writes
// anything:
// - a whole journal not past its last point of rollback: every backup the run
//   made goes back to its place (a file held by another program is tried
//   again through owner's prompt), then what the run created is deleted;
// - a whole journal past it: the run's backups are deleted;
// - a damaged journal, or one of another version: every backup below its
//   install folder that is not older than the run goes back; nothing else
//   is touched, nothing is deleted;
// - a journal whose install folder's drive cannot be reached is set aside for
//   a later run that reaches it.
// A journal goes once it is put right; a recovery that is cut off itself is
// done again by the next run. True when there was nothing to put right or
// all is done. False with the system's code when a backup stays (named in
// unfinished, and its journal kept) or a journal cannot be read.
bool RecoverInterruptedRuns(const char* journalPath, HWND owner, UnfinishedRecovery* unfinished);
