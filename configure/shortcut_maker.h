#pragma once
#include <cstdint>

#include "common/string_list.h"
#include "common/text_string.h"

enum ShortcutKind : int32_t { ExamplesLink = 0, PSpiceLink = 1, UninstallLink = 2, OctaveLink = 3 };

// Creates the program group and desktop shortcuts of one run and the links log.
struct ShortcutMaker {
  TextString currentFolder;
  TextString linkPath;
  StringList linksLog;
  TextString browserPath;

  ShortcutMaker();  // reads the browser path
  ShortcutMaker(const ShortcutMaker&) = delete;
  ShortcutMaker& operator=(const ShortcutMaker&) = delete;

  void ReadBrowserPath();
  bool CreateShortcuts(const TextString& pspiceFolder);
  bool MakeShortcut(ShortcutKind kind, const TextString& pspiceFolder);
  // The icon file for the Octave shortcut; empty when none was found.
  void FindOctaveIcon(TextString& icon);
  void WriteLinksLog();
};
