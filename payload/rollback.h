#pragma once
#include <windows.h>

#include "common/string_list.h"
#include "common/text_string.h"

// Removes what the install log lists, newest first, with the files named
// after schematics and PLL simulations, then puts every backup that the run
// made back in its place. A kept file (one that already held the package's
// bytes) stays. The files named after a replaced or kept schematic or PLL
// simulation belong to the earlier installation and stay. A restore that
// fails is tried again like a file in use (RestoreBackups, owner's prompt);
// a backup that stays is added to unrestored. False when any removal or
// restore failed.
bool RollbackInstall(StringList& installLog, StringList& backups, StringList& kept,
                     HWND owner = nullptr, StringList* unrestored = nullptr);

// Deletes base + extension when it can be opened for reading; false when it
// exists and cannot be deleted, otherwise flag.
bool DeleteIfPresent(const TextString& base, const char* extension, bool flag);
