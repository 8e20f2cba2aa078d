#pragma once
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

// Opens path for binary writing only when no file of that name exists, so an
// existing file is never truncated: the open then fails with ERROR_FILE_EXISTS.
// Costs the same one system call as a plain "wb" open.
inline FILE* OpenNewFile(const char* path) {
  const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE* file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

// The one owner of a C runtime stream: closes it when it goes out of scope.
class StdioFile {
 public:
  // An open that replaces a file leaves 183 as the last error; it is cleared,
  // so that a write failing later reports its own cause.
  StdioFile(const char* path, const char* mode) : file_(path ? std::fopen(path, mode) : nullptr) {
    if (file_) SetLastError(ERROR_SUCCESS);
  }
  // Takes over a stream that is already open (or null).
  explicit StdioFile(FILE* file) : file_(file) {
    if (file_) SetLastError(ERROR_SUCCESS);
  }
  ~StdioFile() {
    if (file_) std::fclose(file_);
  }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  explicit operator bool() const { return file_ != nullptr; }
  FILE* get() const { return file_; }

  // Closes the stream and says whether everything written reached the file.
  // A full drive may show only when the buffered bytes go out, so the flush
  // and the close count as much as the writes. On failure the thread's last
  // error is that of the write that failed.
  bool Close() {
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const DWORD error = flushed ? ERROR_SUCCESS : WriteError();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed) SetLastError(error);
    return flushed && closed;
  }

 private:
  // A write that the system took only in part, without an error of its own
  // (Wine does so when a drive fills up), failed for want of room.
  static DWORD WriteError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_DISK_FULL;
  }

  FILE* file_;
};
