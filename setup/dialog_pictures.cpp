#include "setup/dialog_pictures.h"

namespace {

bool IsPicture(HWND control) {
  char kind[8] = {};
  GetClassNameA(control, kind, sizeof kind);
  return lstrcmpiA(kind, "Static") == 0 &&
         (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

}  // namespace

// The pictures have SS_REALSIZECONTROL: the control keeps the size of its
// place and stretches the bitmap to it. Only the height changes here, to
// the bitmap's proportions, as at 96 DPI where the bitmaps fit the width.
void FitPictures(HWND dialog) {
  for (HWND control = GetWindow(dialog, GW_CHILD); control;
       control = GetWindow(control, GW_HWNDNEXT)) {
    if (!IsPicture(control)) continue;
    const HANDLE picture =
        reinterpret_cast<HANDLE>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bitmap = {};
    if (!picture || !GetObjectA(picture, sizeof bitmap, &bitmap) || bitmap.bmWidth == 0) continue;
    RECT place = {};
    GetClientRect(control, &place);
    SetWindowPos(control, nullptr, 0, 0, place.right,
                 MulDiv(place.right, bitmap.bmHeight, bitmap.bmWidth),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}
