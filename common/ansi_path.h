#pragma once
#include "common/text_string.h"

// The installer's file functions are "A" functions: they reach a folder only
// by a name whose every letter the ANSI code page holds. A best-fit look-alike
// ("Lukasz" for "Łukasz") names another folder, so it is never used.

// The ANSI form of a UTF-16 path: the path itself when the ANSI code page holds
// every letter, otherwise its short name (which needs the path to exist and
// the drive to keep short names). False, with ansi empty, when neither fits.
bool AnsiPathOf(const wchar_t* path, TextString& ansi);

// The current path of a shell folder (SHGetFolderPathW with the given CSIDL,
// flags 0) in the form of AnsiPathOf; false, with path empty, when the shell
// cannot resolve it or it cannot be named in ANSI.
bool ShellFolderPath(int csidl, TextString& path);
