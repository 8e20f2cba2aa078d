#pragma once
#include "common/string_list.h"
#include "common/text_string.h"

// Removes what the install log lists, newest first, with the files named
// after schematics and PLL simulations. False when any removal failed.
bool RollbackInstall(StringList& installLog);

// Deletes base + extension when it can be opened for reading; false when it
// exists and cannot be deleted, otherwise flag.
bool DeleteIfPresent(const TextString& base, const char* extension, bool flag);
