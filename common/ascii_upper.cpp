#include "common/ascii_upper.h"

#include <cstring>

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void AsciiUpperInPlace(char* text) {
  if (!text) return;
  for (; *text; ++text) *text = AsciiUpper(*text);
}

bool EndsWithIgnoringCase(const char* text, int32_t length, const char* upperSuffix) {
  const int32_t n = static_cast<int32_t>(std::strlen(upperSuffix));
  if (!text || length < n) return false;
  const char* tail = text + length - n;
  for (int32_t i = 0; i < n; ++i) {
    if (AsciiUpper(tail[i]) != upperSuffix[i]) return false;
  }
  return true;
}
