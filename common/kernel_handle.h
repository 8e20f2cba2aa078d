#pragma once
#include <windows.h>

// The one owner of a kernel object handle (a file, a mutex): closes it when it
// goes out of scope. Holds null for "none", also where CreateFileA reports
// INVALID_HANDLE_VALUE.
class KernelHandle {
 public:
  KernelHandle() = default;
  ~KernelHandle() { Close(); }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;

  // Takes over handle, closing the one held before.
  void Reset(HANDLE handle) {
    Close();
    if (handle != INVALID_HANDLE_VALUE) handle_ = handle;
  }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};
