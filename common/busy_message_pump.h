#pragma once
#include <windows.h>

// Keeps the thread's windows answering during a long step on the GUI thread
// (the unpacking): Windows marks a window whose messages wait 5 s as not
// responding and offers to end the program. Every 50 ms it handles what
// waits in the queue (painting, sent messages, timers) and drops the user's
// keyboard and mouse input, so that nothing the user does acts on the
// windows meanwhile. A WM_QUIT taken from the queue is posted again when the
// pump is released.
class BusyMessagePump {
 public:
  BusyMessagePump() = default;
  ~BusyMessagePump();
  BusyMessagePump(const BusyMessagePump&) = delete;
  BusyMessagePump& operator=(const BusyMessagePump&) = delete;

  // One look at the clock; the queue only once 50 ms have passed since the
  // last time.
  void Poll();

 private:
  DWORD lastPoll_ = GetTickCount();
  bool quitTaken_ = false;
  int quitCode_ = 0;
};
