#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Acts on the modal dialogs of the test's own thread as a user would. A thread
// timer, served by the dialog's own message loop (and by the loop of any
// message box above it), runs the steps in order. Each step gets the dialog in
// front (the enabled top-level dialog of the thread, or null) and returns true
// when it is done; otherwise it is called again on the next tick.
class DialogDriver {
 public:
  using Step = std::function<bool(HWND front)>;

  DialogDriver& Then(Step step);
  // Calls `show`, which runs a modal dialog, while the steps act on it, and
  // returns what it returned. A dialog still open 10 s after the start, or
  // after the last step, fails the test and is closed with -99.
  INT_PTR Run(const std::function<INT_PTR()>& show);
  // The ids of the commands sent (not posted) to dialogs during Run, such as
  // the ones the dialog manager sends for Enter and Escape.
  const std::vector<int>& sentCommands() const { return sentCommands_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  static LRESULT CALLBACK OnCallWndProc(int code, WPARAM wParam, LPARAM lParam);
  void Tick();

  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD start_ = 0;
  DWORD doneAt_ = 0;
  bool inStep_ = false;
  bool timedOut_ = false;
  std::vector<int> sentCommands_;
};

// A step that waits for a dialog in front and keeps its handle in `dialog`.
DialogDriver::Step WaitForDialog(HWND& dialog);

// What a message box showed; CloseMessageBox fills it.
struct SeenMessage {
  std::string caption;
  std::string text;
  int buttons = 0;
  HWND owner = nullptr;
};
// A step that waits for a window in front of `dialog`, notes what it shows and
// presses its OK button.
DialogDriver::Step CloseMessageBox(const HWND& dialog, SeenMessage& seen);

// The enabled, visible top-level dialog (class "#32770") of this thread.
HWND FrontDialog();
// The text of a window and of a dialog item, as the "A" functions give them.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
// One child window of a dialog as the dialog manager created it.
struct ControlInfo {
  HWND window;
  int id;            // 0xFFFF for the template's -1
  std::string kind;  // window class
  DWORD style;       // as in the template: without WS_CHILD and WS_VISIBLE, and
                     // without what the system adds at run time
  DWORD exStyle;
  std::string text;    // GetWindowTextA
  std::wstring textW;  // GetWindowTextW
};
// The children of a dialog in template order.
std::vector<ControlInfo> Controls(HWND dialog);

// One row of a dialog's control table.
struct ExpectedControl {
  int id;
  const char* kind;
  DWORD style;
  const char* text;  // as GetWindowTextA gives it
};
// What an open dialog looked like.
struct DialogSnapshot {
  std::string caption;
  DWORD style = 0;
  int focus = 0;  // id of the control with the focus
  std::vector<ControlInfo> controls;
};
DialogSnapshot Snapshot(HWND dialog);
// Checks a dialog against its template: the caption, a modal frame with a
// caption and no system menu, centred and brought to the foreground, the
// focus on OK (116), and every control of the table in template (tab) order.
void ExpectTemplate(const DialogSnapshot& seen, const char* caption,
                    const ExpectedControl* expected, size_t count);

// The text of a message box: its static text controls, joined.
std::string MessageBoxText(HWND box);
// The number of push buttons in a dialog.
int ButtonCount(HWND dialog);
// What a click on a button sends to its dialog.
void Click(HWND dialog, int id);
// A key press arriving at `window` through the message loop.
void PressKey(HWND window, UINT key);
