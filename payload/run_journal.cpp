#include "payload/run_journal.h"

#include <sddl.h>

#include <cstring>
#include <memory>

namespace {

const uint32_t kHashStart = 2166136261u;  // FNV-1a, 32 bits
const uint32_t kHashPrime = 16777619u;
const int32_t kSealLength = 9;  // "*" and 8 hex digits

uint32_t HashOf(uint32_t hash, const char* data, int32_t size) {
  for (int32_t i = 0; i < size; ++i) {
    hash = (hash ^ static_cast<uint8_t>(data[i])) * kHashPrime;
  }
  return hash;
}

void SealOf(uint32_t hash, char* seal) {
  static const char kDigits[] = "0123456789abcdef";
  seal[0] = '*';
  for (int32_t i = 8; i >= 1; --i, hash >>= 4) seal[i] = kDigits[hash & 15];
  seal[kSealLength] = '\0';
}

// The bytes of a journal put together in memory, so that the part before the
// run's first change takes one write.
class JournalText {
 public:
  explicit JournalText(int32_t capacity) : bytes_(new char[capacity]) {}
  void Line(const char* tag, const char* text) {
    Put(tag, PlainLength(tag));
    Put(text, PlainLength(text));
    Put("\n", 1);
  }
  const char* data() const { return bytes_.get(); }
  int32_t size() const { return size_; }

 private:
  void Put(const char* data, int32_t size) {
    std::memcpy(bytes_.get() + size_, data, size);
    size_ += size;
  }
  std::unique_ptr<char[]> bytes_;
  int32_t size_ = 0;
};

int32_t LinesLength(const StringList& list, int32_t tagLength) {
  int32_t total = 0;
  for (const StringListNode* node = list.head; node; node = node->next) {
    total += tagLength + PlainLength(node->line) + 1;
  }
  return total;
}

// The journal's lines one at a time, each with the hash of every byte before it.
struct LineReader {
  const char* at;
  const char* end;
  uint32_t hashBefore = kHashStart;
  const char* line = nullptr;
  int32_t length = 0;
  // A last line without its line feed, or a line with a zero byte in it.
  bool torn = false;

  LineReader(const char* bytes, int32_t size) : at(bytes), end(bytes + size) {}

  bool Next() {
    if (line) hashBefore = HashOf(hashBefore, line, length + 1);
    line = nullptr;
    if (at >= end) return false;
    const char* feed = static_cast<const char*>(std::memchr(at, '\n', end - at));
    const int32_t size = static_cast<int32_t>((feed ? feed : end) - at);
    if (!feed || std::memchr(at, '\0', size)) {
      torn = true;
      return false;
    }
    line = at;
    length = size;
    at = feed + 1;
    return true;
  }

  bool Is(const char* text) const {
    return length == PlainLength(text) && std::memcmp(line, text, length) == 0;
  }

  // The line is tag, a text and the seal of what came before it.
  bool IsSealed(char tag) const {
    if (length < 1 + kSealLength || line[0] != tag) return false;
    char seal[kSealLength + 1];
    SealOf(hashBefore, seal);
    return std::memcmp(line + length - kSealLength, seal, kSealLength) == 0;
  }
};

void PushLine(StringList& list, const char* line, int32_t length) {
  TextString text;
  text.AssignPrefix(line, length);
  list.PushBack(text.data);
}

// Reads the lines after the header; the state the journal is in.
JournalContent::State ReadBody(LineReader& reader, JournalContent& content) {
  using State = JournalContent::State;
  if (!reader.Next() || !(reader.Is("E") || reader.Is("N"))) return State::Damaged;
  content.folderWasEmpty = reader.line[0] == 'E';
  while (reader.Next() && !reader.IsSealed('P')) {
    const char tag = reader.line[0];
    if (tag == 'O' && content.plan.count == 0) {
      PushLine(content.olderBackups, reader.line + 1, reader.length - 1);
    } else if (tag == 'F' || tag == '>') {
      PushLine(content.plan, reader.line, reader.length);
    } else {
      return State::Damaged;
    }
  }
  if (!reader.line) return State::Damaged;
  content.olderBackupsKnown = true;
  while (reader.Next()) {
    if (content.committed) return State::Damaged;  // nothing follows the mark
    if (reader.IsSealed('+')) {
      PushLine(content.created, reader.line + 1, reader.length - 1 - kSealLength);
    } else if (reader.IsSealed('C') && reader.length == 1 + kSealLength) {
      content.committed = true;
    } else {
      return State::Damaged;
    }
  }
  return reader.torn ? State::Damaged : State::Whole;
}

}  // namespace

bool RunJournal::Begin(const char* path, const char* installFolder, bool folderWasEmpty,
                       const StringList& olderBackups, const StringList& plan) {
  JournalText text(PlainLength(kJournalMagic) + 1 + PlainLength(installFolder) + 2 + 2 +
                   LinesLength(olderBackups, 1) + LinesLength(plan, 0) + 2 + kSealLength);
  text.Line(kJournalMagic, "");
  text.Line("F", installFolder);
  text.Line(folderWasEmpty ? "E" : "N", "");
  for (const StringListNode* node = olderBackups.head; node; node = node->next) {
    text.Line("O", node->line);
  }
  for (const StringListNode* node = plan.head; node; node = node->next) text.Line("", node->line);
  char seal[kSealLength + 1];
  SealOf(HashOf(kHashStart, text.data(), text.size()), seal);
  text.Line("P", seal);

  JournalSecurity security;
  if (!security.get()) return false;
  file_.Reset(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, security.get(), CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  path_.Assign(path);
  recordsCreated_ = !folderWasEmpty;
  hash_ = kHashStart;
  return Write(text.data(), text.size()) && FlushFileBuffers(file_.get());
}

bool RunJournal::RecordCreated(const char* path) {
  return !recordsCreated_ || AppendSealed("+", path);
}

void RunJournal::MarkCommitted() {
  if (file_ && !(AppendSealed("C", "") && FlushFileBuffers(file_.get()))) Finish();
}

void RunJournal::Finish() {
  if (!path_.data) return;
  file_.Close();
  DeleteFileA(path_.data);
  path_.SetLength(0);
}

bool RunJournal::Write(const char* data, int32_t size) {
  DWORD written = 0;
  if (!WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr)) return false;
  hash_ = HashOf(hash_, data, static_cast<int32_t>(written));
  // A write that took less without an error of its own ran out of room.
  if (written != static_cast<DWORD>(size)) SetLastError(ERROR_DISK_FULL);
  return written == static_cast<DWORD>(size);
}

bool RunJournal::AppendSealed(const char* tag, const char* text) {
  char seal[kSealLength + 1];
  SealOf(hash_, seal);
  TextString line;
  line.Concat(tag, text, seal);
  line.Append("\n");
  return Write(line.data, line.length);
}

JournalSecurity::JournalSecurity() {
  ConvertStringSecurityDescriptorToSecurityDescriptorA(kJournalSecurity, SDDL_REVISION_1,
                                                       &descriptor_, nullptr);
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = descriptor_;
  attributes_.bInheritHandle = FALSE;
}

JournalSecurity::~JournalSecurity() {
  if (descriptor_) LocalFree(descriptor_);
}

bool JournalContent::Read(const char* path) {
  KernelHandle file;
  file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE) return false;
  std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.get(), size, &read, nullptr) || read != size) return false;

  // The install folder is the second line in every version; without it
  // nothing can be put right, and nothing was changed: the header reached
  // the disk before the run's first change.
  LineReader reader(bytes.get(), static_cast<int32_t>(size));
  state = State::Blank;
  if (!reader.Next()) return true;
  const bool knownVersion = reader.Is(kJournalMagic);
  if (!reader.Next() || reader.line[0] != 'F' || reader.length < 4) return true;
  installFolder.AssignPrefix(reader.line + 1, reader.length - 1);
  state = knownVersion ? ReadBody(reader, *this) : State::Damaged;
  if (state == State::Damaged) {
    committed = false;
    if (!olderBackupsKnown) olderBackups.Clear();
  }
  return true;
}
