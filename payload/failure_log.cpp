#include "payload/failure_log.h"

// Placeholder until the failure log lands: writes nothing.
void WriteFailureLog(const PayloadExtractor&) {}
