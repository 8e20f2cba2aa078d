#pragma once
#include <windows.h>

// The one owner of an open registry key: closes it when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // Where the platform writes a newly opened key; closes any key held before.
  HKEY* Receive() {
    Close();
    return &key_;
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

  void Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};
