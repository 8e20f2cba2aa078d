// Runs the installer's extraction once: the archive is this program's own
// resource "BIN" 103, found and locked as the install driver does, and is
// unpacked into the folder given as the argument. Prints the time of
// ExtractPayload alone and the peak memory of the process.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <cstdio>

#include "payload/payload_extractor.h"
#include "setup/setup_state.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: extract_bench <existing empty folder>\n");
    return 2;
  }
  PayloadExtractor extractor;
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(103), "BIN");
  HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    std::fprintf(stderr, "extract_bench: no archive resource\n");
    return 1;
  }
  extractor.readPosition = static_cast<const uint8_t*>(bytes);
  extractor.archiveEnd = extractor.readPosition + SizeofResource(nullptr, resource);
  g_setupState.installFolder.Assign(argv[1]);

  LARGE_INTEGER frequency, start, stop;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const bool ok = extractor.ExtractPayload(nullptr);
  QueryPerformanceCounter(&stop);

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf(
      "ok %d\nfiles %d\nlog_lines %d\nextract_ms %.1f\npeak_working_set_kb %lu\n"
      "peak_private_kb %lu\n",
      ok ? 1 : 0, extractor.filesWritten, extractor.installLog.count,
      double(stop.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart),
      static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
      static_cast<unsigned long>(memory.PeakPagefileUsage / 1024));
  return ok ? 0 : 1;
}
