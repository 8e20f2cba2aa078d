#pragma once
#include <windows.h>
#include <objbase.h>

// COM on the test's thread, in a single-threaded apartment as in the installer.
class ComScope {
 public:
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
};
