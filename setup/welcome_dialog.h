#pragma once
#include <windows.h>

// Template 101: OK runs the installation inside this handler and ends the
// dialog with its result; "Abbrechen" ends it with 1. From OK on, commands
// are ignored.
INT_PTR CALLBACK WelcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Called by the run right before its first change on disk: from then until
// the run returns, a sign-out or shutdown is asked to wait.
void BlockSessionEnd(HWND dialog);
