#pragma once
#include <cstdint>

struct TextString;

struct StringListNode {
  char* line;  // owned zero-terminated copy; never null
  StringListNode* next;
};

// A singly linked list of owned line copies, appended at the tail and walked
// from the head with the one cursor that every walk shares.
struct StringList {
  int32_t count = 0;
  StringListNode* head = nullptr;
  StringListNode* tail = nullptr;
  StringListNode* cursor = nullptr;

  StringList() = default;
  ~StringList();
  StringList(const StringList&) = delete;
  StringList& operator=(const StringList&) = delete;

  void PushBack(const char* s);
  void Clear();
  // Start a walk at the head; null when the list is empty.
  const char* First();
  // Move the cursor on; null once the walk has passed the last line.
  const char* Next();

 private:
  void ReleaseNodes();
};

// Writes every line followed by one line feed (no carriage return) to a file
// opened in mode "wb". False only when the path is empty or cannot be opened.
bool WriteListFile(const TextString& path, const StringList& list);
