#pragma once
#include <cstdint>

// The payload archive: a plain byte sequence read front to back, without
// header, index, compression or checksum. Up to four sections, each a tag byte
// followed by the records of its section folder, tested once each in the
// order B, L, D, E; the archive ends with one 0x00 byte, its last byte.
//
// Records inside a folder:
//   '>' name 0x00 size(4, little-endian, signed, below 2^31) content  a file
//   'F' name 0x00 records...                                          a subfolder
//   'R'                                           closes the folder (consumed)
//   any other byte                      closes the folder without being consumed
//
// This code is shared by the packer (host) and the installer (Win32); it
// never reads a byte at or past the end it is given.

constexpr uint8_t kFileTag = '>';
constexpr uint8_t kFolderTag = 'F';
constexpr uint8_t kEndTag = 'R';
constexpr uint8_t kArchiveEndByte = 0x00;

// While the installer replaces a file that is already there, the earlier file
// waits under its name followed by this suffix, so that a failed run can put
// it back. When an older backup (of a run that could not put it back) holds
// that name, the run takes the first free of "~QVSetu2" to "~QVSetu9", of the
// same length. The packer refuses package names that end in any of them.
constexpr char kBackupSuffix[] = "~QVSetup";
constexpr int32_t kBackupSuffixLength = sizeof kBackupSuffix - 1;
constexpr int32_t kBackupNameCount = 9;

// The backup index of a name: 1 for kBackupSuffix, 2 to 9 for "~QVSetu2" to
// "~QVSetu9", 0 for a name that is no backup name. Any letter case.
int32_t BackupIndexOf(const char* name, int32_t length);

// The install folder that the installer proposes; the packer refuses a
// package whose paths do not fit below it.
constexpr char kDefaultInstallFolder[] = "C:\\DO-Dazuvazav";

struct ArchiveSection {
  uint8_t tag;
  const char* folderName;  // below the install folder
};

constexpr int32_t kSectionCount = 4;
extern const ArchiveSection kArchiveSections[kSectionCount];

// What the byte at a reading position inside a folder turned out to be.
enum class RecordKind {
  File,          // name, size and content are set; the position is past the content
  Folder,        // name is set; the position is past the name
  End,           // 'R': the position is past it
  Close,         // any other byte: the position stays on it
  Overrun,       // the record runs past the end of the archive
  NegativeSize,  // a file size of 2^31 or more
  UnsafeName,    // a name that could leave its folder; name is set
};

struct ArchiveRecord {
  const char* name = nullptr;  // zero-terminated inside the archive
  int32_t nameLength = 0;
  int32_t size = 0;
  const uint8_t* content = nullptr;
};

// Reads the record at *position and moves *position as RecordKind describes.
// On a failure *position stays on the record's tag.
RecordKind ReadFolderRecord(const uint8_t** position, const uint8_t* end, ArchiveRecord* record);

// False for a name that is empty, "." or "..", or holds '\', '/' or ':'.
bool IsSafeArchiveName(const char* name, int32_t length);

// True when position is on the final 0x00 byte and that byte is the last one.
bool IsAtArchiveEnd(const uint8_t* position, const uint8_t* end);

// The counting pass: walks every record from begin, ignoring nesting and
// section order, and counts the file records up to the first 0x00 byte, the
// first byte that is no tag, or the first record that would overrun end.
int32_t CountFileRecords(const uint8_t* begin, const uint8_t* end);

// Little-endian 32-bit size, as the packer writes it.
void StoreSize(uint8_t* out, int32_t size);

// A walk over a whole archive with the installer's rules, one event at a time:
// used to list and verify an archive without unpacking it.
enum class WalkEvent {
  SectionOpen,  // sectionIndex is set
  FolderOpen,   // record.name is set
  File,         // record is set
  FolderClose,  // closes the innermost open folder
  Finished,     // the final 0x00 byte was reached, and it is the last byte
  Fault,        // fault and faultOffset are set; the walk stops here
};

enum class WalkFault {
  None,
  Overrun,         // a record or the archive's end runs past the last byte
  NegativeSize,    // a file size of 2^31 or more
  UnsafeName,      // an empty, ".", ".." name, or one holding '\', '/' or ':'
  UnexpectedByte,  // the final 0x00 byte was expected: a stray byte, a section
                   // out of order, or bytes after the end
};

struct ArchiveWalker {
  const uint8_t* begin = nullptr;
  const uint8_t* position = nullptr;
  const uint8_t* end = nullptr;
  int32_t depth = 0;        // open folders, the section folder included
  int32_t nextSection = 0;  // index of the next section tag to test
  int32_t sectionIndex = -1;
  ArchiveRecord record;
  WalkFault fault = WalkFault::None;
  int64_t faultOffset = 0;

  ArchiveWalker(const uint8_t* data, int64_t size);
  WalkEvent Next();

 private:
  WalkEvent Fail(WalkFault kind, const uint8_t* at);
};

// The Windows "A" file functions take paths of up to MAX_PATH (260) bytes with
// the terminating zero; a folder leaves room for an 8.3 name (248).
constexpr int32_t kMaxFilePathLength = 259;
constexpr int32_t kMaxFolderPathLength = 247;

// The longest install folder, in characters, that the archive's paths fit
// below: every file with its backup name (a backslash, its path below the
// install folder and kBackupSuffix after the folder) within
// kMaxFilePathLength, every folder within kMaxFolderPathLength, and the install
// folder itself too. Walks the archive up to its end or its first fault.
int32_t LongestInstallFolder(const uint8_t* data, int64_t size);

// A short English description of a fault, for the packer's messages.
const char* DescribeWalkFault(WalkFault fault);
