#pragma once
#include <cstdio>

// The one owner of a C runtime stream: closes it when it goes out of scope.
class StdioFile {
 public:
  StdioFile(const char* path, const char* mode) : file_(path ? std::fopen(path, mode) : nullptr) {}
  ~StdioFile() {
    if (file_) std::fclose(file_);
  }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  explicit operator bool() const { return file_ != nullptr; }
  FILE* get() const { return file_; }

 private:
  FILE* file_;
};
