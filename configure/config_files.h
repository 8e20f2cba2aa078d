#pragma once
#include <windows.h>

#include "common/text_string.h"

// Writes the install folder into "\Bin\qv.ini" in place of the first placeholder
// byte 0xA7 of every line. The file is read in text mode and written back with
// LF line ends. False when it cannot be opened for reading or for writing.
// A file held by another program is tried again; owner owns the prompt.
bool RewriteIniFile(HWND owner = nullptr);

// Copies "\Bin\pspice.prb" of the install folder in text mode into the PSpice
// folder's "Common" folder, which must exist. False when either file cannot be
// opened or the copy cannot be written completely.
bool CopyProbeFile(const TextString& pspiceFolder);
