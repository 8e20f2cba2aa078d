// Runs the installer's check at start and its extraction once: the archive is
// this program's own resource "BIN" 103 with its checksum "BIN" 107, found and
// locked as the installer does, and is unpacked into the folder given as the
// argument, an empty folder or one that holds an earlier installation; then
// the backups of the files it replaced are deleted, as after a successful run,
// and with them the run's journal.
// Prints the times of the check, of ExtractPayload alone and of the deletion,
// how many files it replaced and kept, and the peak memory of the process.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <cstdio>

#include "payload/payload_extractor.h"
#include "payload/payload_resource.h"
#include "payload/replaced_files.h"
#include "setup/setup_state.h"

namespace {

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& stop) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(stop.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: extract_bench <existing folder>\n");
    return 2;
  }
  LARGE_INTEGER start, checked;
  QueryPerformanceCounter(&start);
  const bool intact = PayloadIsIntact();
  QueryPerformanceCounter(&checked);

  PayloadExtractor extractor;
  const BinResource archive = LockBinResource(kArchiveResourceId);
  if (!archive.data) {
    std::fprintf(stderr, "extract_bench: no archive resource\n");
    return 1;
  }
  extractor.readPosition = archive.data;
  extractor.archiveEnd = archive.data + archive.size;
  g_setupState.installFolder.Assign(argv[1]);
  // The journal as the installer keeps it, beside the folder in the bench.
  TextString journalPath;
  journalPath.Concat(argv[1], ".journal");
  extractor.journalPath = journalPath.data;

  LARGE_INTEGER extracting, stop, deleted;
  QueryPerformanceCounter(&extracting);
  const bool ok = extractor.ExtractPayload(nullptr);
  QueryPerformanceCounter(&stop);
  extractor.journal.MarkCommitted();
  DeleteBackups(extractor.backupsMade);
  extractor.journal.Finish();
  QueryPerformanceCounter(&deleted);

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf(
      "ok %d\nintact %d\nfiles %d\nlog_lines %d\nreplaced %d\nkept %d\ncheck_ms %.1f\n"
      "extract_ms %.1f\ndelete_backups_ms %.1f\n"
      "peak_working_set_kb %lu\npeak_private_kb %lu\n",
      ok ? 1 : 0, intact ? 1 : 0, extractor.filesWritten, extractor.installLog.count,
      extractor.backupsMade.count, extractor.keptFiles.count, Milliseconds(start, checked),
      Milliseconds(extracting, stop),
      Milliseconds(stop, deleted), static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
      static_cast<unsigned long>(memory.PeakPagefileUsage / 1024));
  return ok ? 0 : 1;
}
