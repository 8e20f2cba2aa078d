#pragma once
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

#include "common/text_string.h"

// Finds the folder of PSpice Schematics through the Start menu. Construction
// runs the whole search; afterwards the record only holds the answer.
struct PSpiceLocator {
  int32_t targetBufferSize = 1000;
  IShellLinkA* shellLink = nullptr;
  IPersistFile* persistFile = nullptr;
  TextString folder;
  bool found = false;

  PSpiceLocator();  // the search
  PSpiceLocator(const PSpiceLocator&) = delete;
  PSpiceLocator& operator=(const PSpiceLocator&) = delete;
};
