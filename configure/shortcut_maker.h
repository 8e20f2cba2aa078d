#pragma once
#include <cstdint>

#include "common/string_list.h"
#include "common/text_string.h"

class ShellLink;

enum ShortcutKind : int32_t { ExamplesLink = 0, PSpiceLink = 1, UninstallLink = 2, OctaveLink = 3 };

// Creates the program group and desktop shortcuts of one run and records every
// shortcut file and the group folder for the links log, which the package's
// uninstaller reads to remove them again.
struct ShortcutMaker {
  // The folder in which shortcuts are being made: the group, then the desktop.
  TextString currentFolder;
  // The full path of the shortcut file being made.
  TextString linkPath;
  // "F" + group folder and ">" + shortcut file, in the order they were made.
  StringList linksLog;
  // The web browser that opens the examples index; empty when none was read.
  TextString browserPath;

  ShortcutMaker();  // reads the browser path
  ShortcutMaker(const ShortcutMaker&) = delete;
  ShortcutMaker& operator=(const ShortcutMaker&) = delete;

  void ReadBrowserPath();
  // False when the Programs folder is unknown or a group shortcut failed.
  bool CreateShortcuts(const TextString& pspiceFolder);
  // One shortcut of the kind in currentFolder; true when its file was saved.
  bool MakeShortcut(ShortcutKind kind, const TextString& pspiceFolder);
  // The icon file for the Octave shortcut; empty when none was found.
  void FindOctaveIcon(TextString& icon);
  void WriteLinksLog();

 private:
  // Sets the kind's properties and returns its file name, "\" + name + ".lnk".
  const char* SetProperties(ShellLink& link, ShortcutKind kind, const TextString& pspiceFolder);
};
