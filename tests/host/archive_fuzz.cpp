// libFuzzer target for the archive reader that the installer and the packer
// share: any byte sequence is walked without reading past its end, and the
// walk keeps its invariants. scripts/fuzz.sh builds it with -fsanitize=fuzzer;
// the host tests call it on their own inputs.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "payload/archive_format.h"
#include "tools/qvpack/inspect.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that AddressSanitizer sees any read past the end.
  const std::vector<uint8_t> bytes(data, data + size);
  const uint8_t* begin = bytes.data();
  const uint8_t* end = begin + bytes.size();

  ArchiveWalker walker(begin, int64_t(bytes.size()));
  int32_t files = 0;
  int64_t events = 0;
  const uint8_t* last = begin;
  for (;;) {
    const WalkEvent event = walker.Next();
    Check(walker.position >= last && walker.position <= end);
    Check(walker.depth >= 0);
    last = walker.position;
    // Every event consumes a byte, closes a folder or passes a section tag.
    Check(++events <= 3 * int64_t(size) + 8);
    if (event == WalkEvent::File) {
      ++files;
      Check(walker.record.content >= begin && walker.record.size >= 0 &&
            walker.record.content + walker.record.size <= end);
    }
    if (event == WalkEvent::File || event == WalkEvent::FolderOpen) {
      Check(IsSafeArchiveName(walker.record.name, walker.record.nameLength));
    }
    if (event == WalkEvent::Finished) {
      Check(walker.depth == 0 && IsAtArchiveEnd(walker.position, end));
      break;
    }
    if (event == WalkEvent::Fault) {
      Check(walker.fault != WalkFault::None && walker.faultOffset >= 0 &&
            walker.faultOffset <= int64_t(size));
      break;
    }
  }
  // The counting pass sees at least every file that the walk unpacks.
  Check(CountFileRecords(begin, end) >= files);

  std::string listing;
  const ArchiveSummary summary = InspectArchive(bytes, &listing);
  Check(summary.files == files);
  return 0;
}
