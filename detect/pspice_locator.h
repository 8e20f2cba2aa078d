#pragma once
#include <cstdint>

#include "common/shell_link.h"
#include "common/text_string.h"

// Finds the folder of PSpice Schematics through the Start menu: a shortcut
// Schematics.lnk directly in a Programs root or in a chain of group folders
// named PSpice Student, whose target is psched.exe. Construction runs the whole
// search; afterwards the record only holds the answer.
struct PSpiceLocator {
  int32_t targetBufferSize = 1000;
  // The shell link object's IShellLinkA and IPersistFile, one owner for both;
  // held only while the search runs.
  ShellLink shellLink;
  // The folder of psched.exe in the letter case of the shortcut's target, no
  // trailing backslash; empty until found.
  TextString folder;
  bool found = false;

  // Searches the all-users Programs root and then, only without a match, the
  // current user's.
  PSpiceLocator();
  // Searches one folder tree the way a Programs root is searched.
  explicit PSpiceLocator(const char* folderTree);
  PSpiceLocator(const PSpiceLocator&) = delete;
  PSpiceLocator& operator=(const PSpiceLocator&) = delete;

  void SearchStartMenuFolder(int csidl);
  void WalkFolder(const TextString& folderPath);
  static bool IsPSpiceStudentFolder(const TextString& entryPath);
  void ExamineSchematicsLink(const TextString& shortcutPath);

 private:
  void FindPSpiceFolder(const char* folderTree);
};
