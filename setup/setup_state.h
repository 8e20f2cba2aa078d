#pragma once
#include <windows.h>

#include "common/text_string.h"
#include "detect/octave_locator.h"

// Process-wide state of the installer. Members are destroyed in reverse order
// at exit: the Octave target list, then the user folder, then the install folder.
struct SetupState {
  HINSTANCE moduleInstance = nullptr;
  TextString installFolder;
  TextString userFolder;
  OctaveLocator octaveLocator;
};

extern SetupState g_setupState;
