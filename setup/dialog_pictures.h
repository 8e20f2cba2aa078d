#pragma once
#include <windows.h>

// Scales each picture of the dialog to the width of its place, keeping its
// proportions. The places are given in dialog units, which grow with the font
// at a higher DPI, while the bitmaps have a fixed size in pixels.
void FitPictures(HWND dialog);
