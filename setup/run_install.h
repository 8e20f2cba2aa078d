#pragma once
#include <windows.h>

#include <cstdint>

// One installation, run from the welcome dialog's OK button: 0 when it is
// complete, -1 when it failed or the user cancelled.
int32_t RunInstall(HWND owner);
