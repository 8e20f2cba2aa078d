#include "common/string_list.h"

#include <cstdio>
#include <cstring>

#include "common/stdio_file.h"
#include "common/text_string.h"

StringList::~StringList() { ReleaseNodes(); }

void StringList::ReleaseNodes() {
  StringListNode* node = head;
  while (node) {
    StringListNode* next = node->next;
    delete[] node->line;
    delete node;
    node = next;
  }
}

void StringList::PushBack(const char* s) {
  StringListNode* node = new StringListNode{nullptr, nullptr};
  if (tail)
    tail->next = node;
  else
    head = node;
  tail = node;
  const size_t size = PlainLength(s) + 1;
  node->line = new char[size];
  if (size > 1)
    std::memcpy(node->line, s, size);
  else
    node->line[0] = 0;
  ++count;
}

void StringList::Clear() {
  ReleaseNodes();
  count = 0;
  head = tail = cursor = nullptr;
}

const char* StringList::First() {
  cursor = head;
  return cursor ? cursor->line : nullptr;
}

const char* StringList::Next() {
  if (cursor) cursor = cursor->next;
  return cursor ? cursor->line : nullptr;
}

bool WriteListFile(const TextString& path, const StringList& list) {
  if (!path.data) return false;
  StdioFile file(path.data, "wb");
  if (!file) return false;
  for (const StringListNode* node = list.head; node; node = node->next) {
    std::fputs(node->line, file.get());
    std::fputc('\n', file.get());
  }
  return file.Close();
}
