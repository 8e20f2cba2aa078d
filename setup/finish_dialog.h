#pragma once
#include <windows.h>

// Template 102: closes only through OK.
INT_PTR CALLBACK FinishDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
