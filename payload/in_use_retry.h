#pragma once
#include <windows.h>

// Decides, after a step on one file failed, whether to run the step again.
// A file that another program holds (a document open in a reader, a virus
// scanner reading a file just written) is tried again a few times over half
// a second, then the user is asked to close that program. Any other failure
// is final at once.
class InUseRetry {
 public:
  // owner owns the prompt; without a window nobody can answer it, and the
  // step fails after the silent retries. path is named in the prompt.
  InUseRetry(HWND owner, const char* path) : owner_(owner), path_(path) {}

  // Takes the failed step's error code; true when the step is to run again.
  // False leaves the code as the thread's last error.
  bool Again(DWORD error);

 private:
  // Five pauses of 100 ms: a scanner that lets go within half a second is
  // never noticed.
  static const int kSilentRetries = 5;

  HWND owner_;
  const char* path_;
  int silentRetriesLeft_ = kSilentRetries;
};
