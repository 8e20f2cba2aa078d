#include "common/text_string.h"

#include <cstring>

int32_t PlainLength(const char* s) {
  return s ? static_cast<int32_t>(std::strlen(s)) : 0;
}

TextString::~TextString() { Release(); }

void TextString::Release() {
  delete[] data;
  data = nullptr;
  length = 0;
}

void TextString::SetLength(int32_t n) {
  if (n <= 0) {
    Release();
    return;
  }
  if (n != length) {
    Release();
    data = new char[n + 1];
    length = n;
  }
  data[n] = 0;
}

void TextString::Assign(const char* s) { AssignPrefix(s, PlainLength(s)); }

void TextString::AssignPrefix(const char* s, int32_t n) {
  SetLength(n);
  if (n > 0) std::memcpy(data, s, n);
}

void TextString::Concat(const char* a, const char* b) { Concat(a, b, nullptr); }

void TextString::Concat(const char* a, const char* b, const char* c) {
  const int32_t la = PlainLength(a), lb = PlainLength(b), lc = PlainLength(c);
  SetLength(la + lb + lc);
  if (!data) return;
  if (la) std::memcpy(data, a, la);
  if (lb) std::memcpy(data + la, b, lb);
  if (lc) std::memcpy(data + la + lb, c, lc);
}

void TextString::Append(const char* s) { AppendPrefix(s, PlainLength(s)); }

void TextString::Append(const TextString& t) { AppendPrefix(t.data, PlainLength(t.data)); }

void TextString::AppendPrefix(const char* s, int32_t n) {
  if (n <= 0) return;
  char* grown = new char[length + n + 1];
  if (length) std::memcpy(grown, data, length);
  std::memcpy(grown + length, s, n);
  grown[length + n] = 0;
  delete[] data;
  data = grown;
  length += n;
}

void TextString::TrimToTerminator() {
  if (!data) return;
  const int32_t c = PlainLength(data);
  if (c >= length) return;
  if (c == 0) {
    Release();
    return;
  }
  char* trimmed = new char[c + 1];
  std::memcpy(trimmed, data, c);
  trimmed[c] = 0;
  delete[] data;
  data = trimmed;
  length = c;
}

bool TextString::Equals(const char* s) const {
  if (!data) return false;
  return length == PlainLength(s) && std::memcmp(data, s, length) == 0;
}

int32_t TextString::FindLastBackslash() const {
  for (int32_t i = length - 1; i >= 0; --i) {
    if (data[i] == '\\') return i;
  }
  return -1;
}
