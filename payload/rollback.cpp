#include "payload/rollback.h"

// Placeholder until the rollback lands: removes nothing.
bool RollbackInstall(StringList&) { return true; }

bool DeleteIfPresent(const TextString&, const char*, bool flag) { return flag; }
