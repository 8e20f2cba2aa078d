#pragma once
#include <cstdint>

// An owned byte text with an explicit length. The buffer holds exactly
// length + 1 bytes and ends in a zero byte; an empty text owns no buffer at all
// (data is null). Every change of length allocates a new exact-size buffer.
struct TextString {
  char* data = nullptr;
  int32_t length = 0;

  TextString() = default;
  ~TextString();
  TextString(const TextString&) = delete;
  TextString& operator=(const TextString&) = delete;

  // n <= 0 empties; the same length keeps buffer and content; any other
  // length gives a new buffer whose first n bytes are undefined.
  void SetLength(int32_t n);
  void Assign(const char* s);
  void AssignPrefix(const char* s, int32_t n);
  void Concat(const char* a, const char* b);
  void Concat(const char* a, const char* b, const char* c);
  void Append(const char* s);
  void Append(const TextString& t);
  void AppendPrefix(const char* s, int32_t n);
  // Cuts the text at its first zero byte, after a platform call filled it.
  void TrimToTerminator();
  bool Equals(const char* s) const;
  // Index of the last backslash, or -1 when there is none.
  int32_t FindLastBackslash() const;

 private:
  void Release();
};

// The string length of a plain string; null counts as the empty string.
int32_t PlainLength(const char* s);
