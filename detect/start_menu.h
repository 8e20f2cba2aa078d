#pragma once
#include <io.h>

#include <cstdint>

#include "common/text_string.h"

// What both locators do the same way: enumerate one folder of the Start menu
// (its Programs roots come from ShellFolderPath). How they walk (which
// subfolders, which files, when to stop) stays in each locator.

// The entries of one folder in the order that the runtime's enumeration
// (_findfirst64i32 / _findnext64i32) returns them, without "." and "..". It
// owns the find handle and closes it (_findclose) when it is destroyed.
class FolderEntries {
 public:
  explicit FolderEntries(const TextString& folder);
  ~FolderEntries();
  FolderEntries(const FolderEntries&) = delete;
  FolderEntries& operator=(const FolderEntries&) = delete;

  // Moves to the next entry; false when there is none or the folder could not
  // be enumerated at all.
  bool Next();
  bool IsFolder() const;
  const char* name() const { return entry_.name; }
  int32_t nameLength() const;
  // The folder + "\" + the entry's name, in the entry's own letter case.
  const TextString& path() const { return path_; }

 private:
  const TextString& folder_;
  intptr_t handle_ = -1;
  bool firstPending_ = false;
  _finddata64i32_t entry_ = {};
  TextString path_;
};
