#pragma once
#include <cstdint>

// Letter-case rules of every name comparison in the installer: only the ASCII
// letters a to z are upper-cased; every other byte stays as it is, so the
// result does not depend on the locale or the code page.
char AsciiUpper(char c);

// Upper-cases a zero-terminated text in place.
void AsciiUpperInPlace(char* text);

// True when the last bytes of text (of the given length) upper-case to
// upperSuffix, which must already be upper case.
bool EndsWithIgnoringCase(const char* text, int32_t length, const char* upperSuffix);
