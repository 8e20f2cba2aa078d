#pragma once
#include "common/text_string.h"

// Writes the install folder into "\Bin\qv.ini" in place of its placeholder byte.
bool RewriteIniFile();

// Copies "\Bin\pspice.prb" into the PSpice folder's "Common" folder.
bool CopyProbeFile(const TextString& pspiceFolder);
