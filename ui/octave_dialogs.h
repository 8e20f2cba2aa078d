#pragma once
#include <windows.h>

// No Octave found (template 110): 0 to abort the installation, any other
// value to go on without Octave.
INT_PTR ShowOctaveMissingDialog(HWND owner);

// Several Octave targets (template 122): the 0-based index of the chosen one.
INT_PTR ShowOctaveChoiceDialog(HWND owner);
