#include "ui/octave_dialogs.h"

// Placeholders until the Octave dialogs land: go on without Octave, take the first.
INT_PTR ShowOctaveMissingDialog(HWND) { return 1; }

INT_PTR ShowOctaveChoiceDialog(HWND) { return 0; }
