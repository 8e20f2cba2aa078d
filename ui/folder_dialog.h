#pragma once
#include <windows.h>

// Asks for the install folder and the user folder (template 111): 0 when both
// were accepted and stored in the setup state, 1 when the user cancelled.
INT_PTR ShowFolderDialog(HWND owner);
