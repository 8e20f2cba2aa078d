// Every text of the installer's dialogs fits its control, measured in the font
// that the dialog manager gave the control, as the system draws it.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_driver.h"
#include "support/test_files.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// The pixels a control has across for its text: a static text its client
// width; a push button that less its frame; a radio button or check box that
// less its glyph and the gap after it. -1 for controls without a text of
// their own (pictures, edit fields, lists).
int TextRoom(const ControlInfo& control, HDC dc) {
  RECT client = {};
  GetClientRect(control.window, &client);
  if (control.kind == "Static") {
    const DWORD type = control.style & SS_TYPEMASK;
    return type == SS_BITMAP || type == SS_ICON ? -1 : client.right;
  }
  if (control.kind != "Button") return -1;
  const DWORD type = control.style & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
    return client.right - 2 * GetSystemMetrics(SM_CXEDGE);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  return client.right - GetSystemMetrics(SM_CXMENUCHECK) - metrics.tmAveCharWidth;
}

TEST(DialogTexts, EveryStaticTextAndButtonShowsItsWholeTextInTheDialogFont) {
  int measured = 0;
  for (int id : {101, 102, 110, 111, 122}) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     PlainDialogProc, 0);
    ASSERT_TRUE(dialog) << "dialog " << id << ", error " << GetLastError();
    for (const ControlInfo& control : Controls(dialog)) {
      HFONT font = reinterpret_cast<HFONT>(SendMessageA(control.window, WM_GETFONT, 0, 0));
      HDC dc = GetDC(control.window);
      HGDIOBJ old = SelectObject(dc, font);
      const int room = TextRoom(control, dc);
      SIZE needed = {};
      GetTextExtentPoint32A(dc, control.text.data(), static_cast<int>(control.text.size()),
                            &needed);
      SelectObject(dc, old);
      ReleaseDC(control.window, dc);
      if (room < 0) continue;
      RECT client = {};
      GetClientRect(control.window, &client);
      SCOPED_TRACE("dialog " + std::to_string(id) + ", control " + std::to_string(control.id) +
                   " \"" + Printable(control.text) + "\"");
      EXPECT_NE(font, nullptr) << "the control has the dialog's font";
      EXPECT_LE(needed.cx, room) << "text width in pixels";
      EXPECT_LE(needed.cy, client.bottom) << "text height in pixels";
      ++measured;
    }
    DestroyWindow(dialog);
  }
  EXPECT_EQ(measured, 17) << "texts measured in the five dialogs";
}

}  // namespace
