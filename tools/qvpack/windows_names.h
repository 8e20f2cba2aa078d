#pragma once
#include <string>

// Names as the installer's system sees them: bytes in Windows-1252, the ANSI
// code page of the German Windows the installer runs on.

// Converts a UTF-8 name to Windows-1252. False, with a reason, when the name is
// no valid UTF-8 or holds a character that Windows-1252 cannot represent.
bool Utf8ToWindows1252(const std::string& utf8, std::string* out, std::string* reason);

// The reverse, for showing archive names on the host; never fails (the five
// unassigned bytes become the control characters of the same value, as
// Windows' own conversion does).
std::string Windows1252ToUtf8(const std::string& bytes);

// Why Windows refuses a Windows-1252 file or folder name, or empty when it
// accepts it: a reserved character, a control character, a trailing dot or
// blank, or a device name such as CON or LPT1.
std::string WindowsNameProblem(const std::string& name);

// The name upper-cased the way Windows compares names within a folder, for
// finding two names that would be the same file there.
std::string FoldWindowsCase(const std::string& name);
