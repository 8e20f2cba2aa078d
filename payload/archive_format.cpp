#include "payload/archive_format.h"

#include <algorithm>
#include <cstring>

#include "common/ascii_upper.h"

const ArchiveSection kArchiveSections[kSectionCount] = {
    {'B', "Bin"},
    {'L', "Lib"},
    {'D', "Doc"},
    {'E', "Beispiele"},
};

namespace {

// The name that starts at position, up to its 0x00 byte; false when that byte
// lies at or past end.
bool ReadName(const uint8_t** position, const uint8_t* end, ArchiveRecord* record) {
  const uint8_t* p = *position;
  while (p < end && *p != 0) ++p;
  if (p == end) return false;
  record->name = reinterpret_cast<const char*>(*position);
  record->nameLength = static_cast<int32_t>(p - *position);
  *position = p + 1;
  return true;
}

bool IsSectionTag(uint8_t byte) {
  for (const ArchiveSection& section : kArchiveSections) {
    if (section.tag == byte) return true;
  }
  return false;
}

// Lowers longest to what the folder at *position allows, whose path below the
// install folder is length characters long, and moves *position past its
// records, as the extraction reads them; a faulty record ends the folder.
int32_t FitFolder(const uint8_t** position, const uint8_t* end, int32_t length, int32_t longest) {
  const int32_t suffix = kBackupSuffixLength;
  longest = std::min(longest, kMaxFolderPathLength - 1 - length);
  for (;;) {
    ArchiveRecord record;
    switch (ReadFolderRecord(position, end, &record)) {
      case RecordKind::File:
        longest =
            std::min(longest, kMaxFilePathLength - 1 - length - 1 - record.nameLength - suffix);
        break;
      case RecordKind::Folder:
        longest = FitFolder(position, end, length + 1 + record.nameLength, longest);
        break;
      default:
        return longest;
    }
  }
}

}  // namespace

int32_t BackupIndexOf(const char* name, int32_t length) {
  // kBackupSuffix without its last letter, upper-cased.
  if (length < 1 || !EndsWithIgnoringCase(name, length - 1, "~QVSETU")) return 0;
  const char last = name[length - 1];
  if (last == 'p' || last == 'P') return 1;
  return last >= '2' && last <= '9' ? last - '0' : 0;
}

RecordKind ReadFolderRecord(const uint8_t** position, const uint8_t* end, ArchiveRecord* record) {
  const uint8_t* p = *position;
  if (p >= end) return RecordKind::Overrun;
  const uint8_t tag = *p;
  if (tag == kEndTag) {
    *position = p + 1;
    return RecordKind::End;
  }
  if (tag != kFileTag && tag != kFolderTag) return RecordKind::Close;
  ++p;
  if (!ReadName(&p, end, record)) return RecordKind::Overrun;
  if (!IsSafeArchiveName(record->name, record->nameLength)) return RecordKind::UnsafeName;
  if (tag == kFolderTag) {
    *position = p;
    return RecordKind::Folder;
  }
  if (end - p < 4) return RecordKind::Overrun;
  const uint32_t raw =
      uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  if (raw >= 0x80000000u) return RecordKind::NegativeSize;
  p += 4;
  record->size = static_cast<int32_t>(raw);
  if (end - p < record->size) return RecordKind::Overrun;
  record->content = p;
  *position = p + record->size;
  return RecordKind::File;
}

bool IsSafeArchiveName(const char* name, int32_t length) {
  if (length == 0) return false;
  if (name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.'))) return false;
  for (int32_t i = 0; i < length; ++i) {
    if (name[i] == '\\' || name[i] == '/' || name[i] == ':') return false;
  }
  return true;
}

bool IsAtArchiveEnd(const uint8_t* position, const uint8_t* end) {
  return position < end && *position == kArchiveEndByte && position + 1 == end;
}

int32_t CountFileRecords(const uint8_t* begin, const uint8_t* end) {
  int32_t files = 0;
  const uint8_t* p = begin;
  while (p < end && *p != kArchiveEndByte) {
    const uint8_t tag = *p;
    if (IsSectionTag(tag) || tag == kEndTag) {
      ++p;
      continue;
    }
    if (tag != kFileTag && tag != kFolderTag) break;
    // A faulty record ends the count; the extraction fails on it anyway.
    ArchiveRecord record;
    const RecordKind kind = ReadFolderRecord(&p, end, &record);
    if (kind == RecordKind::File) {
      ++files;
    } else if (kind != RecordKind::Folder) {
      break;
    }
  }
  return files;
}

void StoreSize(uint8_t* out, int32_t size) {
  const uint32_t value = static_cast<uint32_t>(size);
  out[0] = uint8_t(value);
  out[1] = uint8_t(value >> 8);
  out[2] = uint8_t(value >> 16);
  out[3] = uint8_t(value >> 24);
}

ArchiveWalker::ArchiveWalker(const uint8_t* data, int64_t size)
    : begin(data), position(data), end(data + size) {}

WalkEvent ArchiveWalker::Fail(WalkFault kind, const uint8_t* at) {
  fault = kind;
  faultOffset = at - begin;
  return WalkEvent::Fault;
}

WalkEvent ArchiveWalker::Next() {
  if (fault != WalkFault::None) return WalkEvent::Fault;
  if (depth > 0) {
    const uint8_t* at = position;
    switch (ReadFolderRecord(&position, end, &record)) {
      case RecordKind::File:
        return WalkEvent::File;
      case RecordKind::Folder:
        ++depth;
        return WalkEvent::FolderOpen;
      case RecordKind::End:
      case RecordKind::Close:
        --depth;
        return WalkEvent::FolderClose;
      case RecordKind::Overrun:
        return Fail(WalkFault::Overrun, at);
      case RecordKind::NegativeSize:
        return Fail(WalkFault::NegativeSize, at);
      case RecordKind::UnsafeName:
        return Fail(WalkFault::UnsafeName, at);
    }
  }
  while (nextSection < kSectionCount) {
    if (position >= end) return Fail(WalkFault::Overrun, position);
    const int32_t index = nextSection++;
    if (*position == kArchiveSections[index].tag) {
      ++position;
      depth = 1;
      sectionIndex = index;
      return WalkEvent::SectionOpen;
    }
  }
  if (position >= end) return Fail(WalkFault::Overrun, position);
  if (!IsAtArchiveEnd(position, end)) return Fail(WalkFault::UnexpectedByte, position);
  return WalkEvent::Finished;
}

int32_t LongestInstallFolder(const uint8_t* data, int64_t size) {
  int32_t longest = kMaxFolderPathLength;
  const uint8_t* position = data;
  const uint8_t* end = data + size;
  for (const ArchiveSection& section : kArchiveSections) {
    if (position >= end || *position != section.tag) continue;
    ++position;
    const int32_t length = static_cast<int32_t>(std::strlen(section.folderName));
    longest = FitFolder(&position, end, length, longest);
  }
  return longest;
}

const char* DescribeWalkFault(WalkFault fault) {
  switch (fault) {
    case WalkFault::None:
      return "no fault";
    case WalkFault::Overrun:
      return "record runs past the end of the archive";
    case WalkFault::NegativeSize:
      return "file size of 2^31 bytes or more";
    case WalkFault::UnsafeName:
      return "unsafe name (empty, \".\", \"..\", or holding \\ / or :)";
    case WalkFault::UnexpectedByte:
      return "unexpected byte where the final 0x00 byte was expected";
  }
  return "unknown fault";
}
