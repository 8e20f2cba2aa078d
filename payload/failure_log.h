#pragma once
#include "payload/payload_extractor.h"

// Leaves "c:\vadodiz.log": the install log as it stood at the failure, the
// system's error code and its text.
void WriteFailureLog(const PayloadExtractor& extractor);
