// Every static text and button of the installer's dialogs shows its whole
// text: measured in the font the dialog manager gave the control, against the
// control's client width, less a push button's frame or a radio button's
// glyph and the gap after it.
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "support/test_files.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

TEST(DialogTexts, EveryStaticTextAndButtonShowsItsWholeText) {
  int measured = 0;
  for (int id : {101, 102, 110, 111, 122}) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     PlainDialogProc, 0);
    ASSERT_TRUE(dialog) << "dialog " << id << ", error " << GetLastError();
    for (const ControlInfo& c : Controls(dialog)) {
      const bool button = c.kind == "Button";
      if (!(button || (c.kind == "Static" && (c.style & SS_TYPEMASK) != SS_BITMAP))) continue;
      HDC dc = GetDC(c.window);
      HGDIOBJ old =
          SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(c.window, WM_GETFONT, 0, 0)));
      SIZE text = {};
      TEXTMETRICA font = {};
      GetTextExtentPoint32A(dc, c.text.data(), static_cast<int>(c.text.size()), &text);
      GetTextMetricsA(dc, &font);
      SelectObject(dc, old);
      ReleaseDC(c.window, dc);
      RECT client = {};
      GetClientRect(c.window, &client);
      const bool push = (c.style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
      const int frame = push ? 2 * GetSystemMetrics(SM_CXEDGE)
                             : GetSystemMetrics(SM_CXMENUCHECK) + font.tmAveCharWidth;
      EXPECT_LE(text.cx, client.right - (button ? frame : 0))
          << "pixels, dialog " << id << ", control " << c.id << " \"" << Printable(c.text) << "\"";
      ++measured;
    }
    DestroyWindow(dialog);
  }
  EXPECT_EQ(measured, 17) << "texts in the five dialogs";
}

}  // namespace
