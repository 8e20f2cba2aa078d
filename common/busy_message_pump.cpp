#include "common/busy_message_pump.h"

namespace {

const DWORD kPollInterval = 50;
// WM_POINTERHWHEEL: Windows 8 and later post touch and pen as pointer
// messages before any mouse message is made of them.
const UINT kLastPointerMessage = 0x024F;

// Input the user makes: keys, the mouse in the client area and on the frame
// (a click on the caption would start a move that holds the run), touch and
// pen. Not IsDialogMessage: it would turn Enter and Escape into commands.
bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
         (message >= WM_TOUCH && message <= kLastPointerMessage);
}

}  // namespace

BusyMessagePump::~BusyMessagePump() {
  if (quitTaken_) PostQuitMessage(quitCode_);
}

void BusyMessagePump::Poll() {
  const DWORD now = GetTickCount();
  if (now - lastPoll_ < kPollInterval) return;
  lastPoll_ = now;
  // Sent messages (another program's WM_NULL probe among them) are handled
  // inside PeekMessageA itself.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quitTaken_ = true;
      quitCode_ = static_cast<int>(message.wParam);
    } else if (!IsUserInput(message.message)) {
      DispatchMessageA(&message);
    }
  }
}
