#pragma once
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

#include "common/string_list.h"
#include "common/text_string.h"

// Finds the installed Octave start scripts and executables through the
// Start-menu shortcuts of both Programs roots.
struct OctaveLocator {
  int32_t targetBufferSize = 1000;
  IShellLinkA* shellLink = nullptr;
  IPersistFile* persistFile = nullptr;
  StringList targets;
  const char* chosen = nullptr;

  // Rebuilds the target list and returns its count.
  int32_t FindOctaveTargets();
  // Makes entry n the chosen target; an n out of range chooses the last one.
  void SelectOctaveTarget(int32_t n);
};
