#pragma once
#include <cstdint>

#include "common/shell_link.h"
#include "common/string_list.h"
#include "common/text_string.h"

// Finds the installed Octave start scripts and executables through the
// Start-menu shortcuts named Octave*.lnk of both Programs roots.
struct OctaveLocator {
  int32_t targetBufferSize = 1000;
  // The shell link object's IShellLinkA and IPersistFile, one owner for both;
  // held only while FindOctaveTargets runs.
  ShellLink shellLink;
  // The distinct accepted targets in the order found, letter case unchanged.
  StringList targets;
  // Points at the text of one entry of targets (not a copy); null while
  // nothing is chosen.
  const char* chosen = nullptr;

  // Rebuilds the target list from both Programs roots (all users first) and
  // returns its count.
  int32_t FindOctaveTargets();
  // The same search over one folder tree instead of the Programs roots.
  int32_t FindOctaveTargetsBelow(const char* folderTree);
  // Makes entry n (0-based) the chosen target; an n at or beyond the count, or
  // a negative n, chooses the last entry; an empty list chooses nothing.
  void SelectOctaveTarget(int32_t n);

  void SearchStartMenuFolder(int csidl);
  void WalkFolder(const TextString& folderPath);
  void ExamineOctaveLink(const TextString& shortcutPath);
  // upperName: an upper-cased file name. Accepts OCTAVE.VBS and
  // OCTAVE-<major 3 to 9>.<minor>.<...>.EXE with a minor of 2 or more for major 3.
  static bool IsOctaveTargetName(const TextString& upperName);

 private:
  int32_t FindTargets(const char* folderTree);
};
