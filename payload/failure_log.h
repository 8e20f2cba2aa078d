#pragma once
#include "payload/payload_extractor.h"

// Leaves "c:\vadodiz.log": the install log as it stood at the failure, the
// system's error code and its text, and "Journal = " + the journal's place
// when the journal was the step that failed.
void WriteFailureLog(const PayloadExtractor& extractor);

// Adds a line "Not restored = " + backup path for every backup that a
// rollback could not put back: it waits under that name for the next run.
void AppendUnrestoredBackups(const StringList& backups);
