#include "dialog_driver.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace {

DialogDriver* g_driver = nullptr;
const DWORD kTimeoutMs = 10000;
const DWORD kLingerMs = 2000;

bool IsDialogWindow(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

BOOL CALLBACK FindFront(HWND window, LPARAM found) {
  if (!IsDialogWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BOOL CALLBACK EndThreadDialog(HWND window, LPARAM) {
  if (IsDialogWindow(window)) EndDialog(window, -99);
  return TRUE;
}

}  // namespace

DialogDriver& DialogDriver::Then(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

INT_PTR DialogDriver::Run(const std::function<INT_PTR()>& show) {
  g_driver = this;
  start_ = GetTickCount();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, OnCallWndProc, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, OnTimer);
  const INT_PTR result = show();
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(hook);
  g_driver = nullptr;
  EXPECT_EQ(next_, steps_.size()) << "the dialog closed before step " << next_ + 1 << " of "
                                  << steps_.size() << " ran";
  return result;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_driver) g_driver->Tick();
}

LRESULT CALLBACK DialogDriver::OnCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  // Button clicks and menu or accelerator commands; not the edit notifications.
  if (code == HC_ACTION && g_driver && call->message == WM_COMMAND && HIWORD(call->wParam) == 0 &&
      IsDialogWindow(call->hwnd))
    g_driver->sentCommands_.push_back(LOWORD(call->wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Tick() {
  // A step may start a nested message loop (a dialog or message box that it
  // opens); ticks inside that loop wait for the step to return.
  if (inStep_) return;
  const DWORD now = GetTickCount();
  if (timedOut_ || now - start_ > kTimeoutMs || (doneAt_ && now - doneAt_ > kLingerMs)) {
    if (!timedOut_)
      ADD_FAILURE() << "dialog still open at step " << next_ + 1 << " of " << steps_.size()
                    << ", front window \"" << WindowText(FrontDialog()) << "\"";
    timedOut_ = true;
    EnumThreadWindows(GetCurrentThreadId(), EndThreadDialog, 0);
    return;
  }
  if (next_ >= steps_.size()) return;
  inStep_ = true;
  const bool done = steps_[next_](FrontDialog());
  inStep_ = false;
  if (done && ++next_ == steps_.size()) doneAt_ = now;
}

DialogDriver::Step WaitForDialog(HWND& dialog) {
  return [&dialog](HWND front) {
    dialog = front;
    return front != nullptr;
  };
}

DialogDriver::Step CloseMessageBox(const HWND& dialog, SeenMessage& seen) {
  return [&dialog, &seen](HWND front) {
    if (!front || front == dialog) return false;
    seen.caption = WindowText(front);
    seen.text = MessageBoxText(front);
    seen.buttons = ButtonCount(front);
    seen.owner = GetWindow(front, GW_OWNER);
    PostMessageA(front, WM_COMMAND, IDOK, 0);
    return true;
  };
}

HWND FrontDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindFront, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string WindowText(HWND window) {
  char text[2048] = {};
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  std::string text(4096, '\0');
  text.resize(GetDlgItemTextA(dialog, id, &text[0], static_cast<int>(text.size())));
  return text;
}

DialogSnapshot Snapshot(HWND dialog) {
  DialogSnapshot seen;
  seen.caption = WindowText(dialog);
  seen.style = GetWindowLongA(dialog, GWL_STYLE);
  seen.focus = GetDlgCtrlID(GetFocus());
  seen.controls = Controls(dialog);
  return seen;
}

void ExpectTemplate(const DialogSnapshot& seen, const char* caption,
                    const ExpectedControl* expected, size_t count) {
  EXPECT_EQ(seen.caption, caption) << Printable(seen.caption);
  // The system adds WS_CLIPSIBLINGS and DS_3DLOOK to every dialog.
  EXPECT_EQ(
      seen.style & ~(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK),
      DWORD(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_SETFOREGROUND))
      << std::hex << seen.style;
  EXPECT_EQ(seen.focus, 116);
  const std::vector<ControlInfo>& controls = seen.controls;
  ASSERT_EQ(controls.size(), count);
  for (size_t i = 0; i < count; ++i) {
    const ExpectedControl& e = expected[i];
    const ControlInfo& c = controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(c.id));
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.kind, e.kind);
    // An edit field turns its WS_BORDER into WS_EX_CLIENTEDGE.
    DWORD style = c.style;
    if (c.kind == "Edit" && (c.exStyle & WS_EX_CLIENTEDGE)) style |= WS_BORDER;
    EXPECT_EQ(style, e.style) << std::hex << style;
    EXPECT_EQ(c.text, e.text) << Printable(c.text);
  }
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM joined) {
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  const std::string text = WindowText(child);
  if (std::string(name) == "Static" && !text.empty())
    *reinterpret_cast<std::string*>(joined) += text;
  return TRUE;
}

BOOL CALLBACK CountButton(HWND child, LPARAM count) {
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  if (std::string(name) == "Button" && IsWindowVisible(child)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

struct ControlWalk {
  HWND dialog;
  std::vector<ControlInfo> controls;
};

BOOL CALLBACK CollectControl(HWND child, LPARAM walkPointer) {
  auto& walk = *reinterpret_cast<ControlWalk*>(walkPointer);
  if (GetParent(child) != walk.dialog) return TRUE;
  ControlInfo control;
  control.window = child;
  control.id = GetDlgCtrlID(child);
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  control.kind = name;
  control.style = GetWindowLongA(child, GWL_STYLE) & ~(WS_CHILD | WS_VISIBLE);
  control.exStyle = GetWindowLongA(child, GWL_EXSTYLE);
  // A marked radio button gets WS_TABSTOP, so that Tab reaches the group.
  const DWORD type = control.style & BS_TYPEMASK;
  if (control.kind == "Button" && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
      SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED)
    control.style &= ~WS_TABSTOP;
  control.text = WindowText(child);
  wchar_t wide[2048] = {};
  GetWindowTextW(child, wide, 2048);
  control.textW = wide;
  walk.controls.push_back(control);
  return TRUE;
}

}  // namespace

std::vector<ControlInfo> Controls(HWND dialog) {
  ControlWalk walk = {dialog, {}};
  EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&walk));
  return walk.controls;
}

std::string MessageBoxText(HWND box) {
  std::string joined;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&joined));
  return joined;
}

int ButtonCount(HWND dialog) {
  int count = 0;
  EnumChildWindows(dialog, CountButton, reinterpret_cast<LPARAM>(&count));
  return count;
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressKey(HWND window, UINT key) {
  const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}
