#include "common/ansi_path.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>

namespace {

// UTF-16 to the ANSI code page, letter for letter; false when a letter has no
// exact form there.
bool ConvertExactly(const wchar_t* text, TextString& ansi) {
  // With UTF-8 as the ANSI code page every letter has its form; that code
  // page takes neither the best-fit flag nor the lost-letter report.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lost = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, utf8 ? nullptr : &lost);
  if (size <= 1 || lost) return false;
  ansi.SetLength(size - 1);
  WideCharToMultiByte(CP_ACP, flags, text, -1, ansi.data, size, nullptr, nullptr);
  return true;
}

}  // namespace

bool AnsiPathOf(const wchar_t* path, TextString& ansi) {
  ansi.SetLength(0);
  if (ConvertExactly(path, ansi)) return true;
  // Short names are plain letters as a rule; a component without one keeps
  // its long name, which then fails the conversion again.
  const DWORD size = GetShortPathNameW(path, nullptr, 0);
  if (size == 0) return false;
  std::unique_ptr<wchar_t[]> shortPath(new wchar_t[size]);
  const DWORD length = GetShortPathNameW(path, shortPath.get(), size);
  if (length == 0 || length >= size) return false;
  return ConvertExactly(shortPath.get(), ansi);
}

bool ShellFolderPath(int csidl, TextString& path) {
  wchar_t folder[MAX_PATH + 1] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, folder) != S_OK) {
    path.SetLength(0);
    return false;
  }
  return AnsiPathOf(folder, path);
}
