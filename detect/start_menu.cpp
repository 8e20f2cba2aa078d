#include "detect/start_menu.h"

#include <cstring>

FolderEntries::FolderEntries(const TextString& folder) : folder_(folder) {
  TextString pattern;
  pattern.Concat(folder.data, "\\*");
  handle_ = _findfirst64i32(pattern.data, &entry_);
  firstPending_ = handle_ != -1;
}

FolderEntries::~FolderEntries() {
  if (handle_ != -1) _findclose(handle_);
}

bool FolderEntries::Next() {
  for (;;) {
    if (firstPending_) {
      firstPending_ = false;
    } else if (handle_ == -1 || _findnext64i32(handle_, &entry_) != 0) {
      return false;
    }
    if (std::strcmp(entry_.name, ".") != 0 && std::strcmp(entry_.name, "..") != 0) break;
  }
  path_.Concat(folder_.data, "\\", entry_.name);
  return true;
}

bool FolderEntries::IsFolder() const { return (entry_.attrib & _A_SUBDIR) != 0; }

int32_t FolderEntries::nameLength() const { return PlainLength(entry_.name); }
