#include "payload/in_use_retry.h"

#include "common/text_string.h"

namespace {

const DWORD kRetryPause = 100;  // ms

bool HeldByAnotherProgram(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool UserChoosesRetry(HWND owner, const char* path) {
  TextString text;
  text.Concat("Die Datei\r\n", path,
              "\r\nwird von einem anderen Programm verwendet. Schlie\xDF"
              "en Sie das Programm und klicken Sie dann auf Wiederholen.");
  return MessageBoxA(owner, text.data, "QV Setup", MB_RETRYCANCEL) == IDRETRY;
}

}  // namespace

bool InUseRetry::Again(DWORD error) {
  if (HeldByAnotherProgram(error)) {
    if (silentRetriesLeft_ > 0) {
      --silentRetriesLeft_;
      Sleep(kRetryPause);
      return true;
    }
    if (owner_ && UserChoosesRetry(owner_, path_)) {
      silentRetriesLeft_ = kSilentRetries;
      return true;
    }
  }
  SetLastError(error);
  return false;
}
