#include "payload/rollback.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/ascii_upper.h"
#include "common/stdio_file.h"
#include "payload/replaced_files.h"

namespace {

// Files PSpice Schematics keeps beside a schematic; "qv" is the companion
// that the extraction writes, the others appear when the schematic is used.
const char* const kSchematicCompanions[] = {"qv",  "cir", "net", "als", "mvl",
                                            "1op", "dat", "mif", "out"};
const int32_t kSchematicCompanionCount =
    sizeof kSchematicCompanions / sizeof kSchematicCompanions[0];

// The lines of a list in an array, newest line in slot 0.
std::unique_ptr<const char* []> NewestFirst(StringList& list) {
  std::unique_ptr<const char*[]> lines(new const char*[list.count]);
  int32_t slot = list.count;
  for (const char* line = list.First(); line && slot > 0; line = list.Next()) lines[--slot] = line;
  return lines;
}

bool PathBefore(const char* a, const char* b) {
  return std::strcmp(a, b) < 0;
}

// Paths sorted for lookup: a list's lines, or for a list of backups the
// places they were taken from.
struct SortedPaths {
  std::unique_ptr<TextString[]> places;
  std::unique_ptr<const char*[]> paths;
  int32_t count = 0;

  SortedPaths(StringList& list, bool backups)
      : places(new TextString[backups ? list.count : 0]), paths(new const char*[list.count]) {
    for (const char* line = list.First(); line; line = list.Next()) {
      if (backups) {
        PlaceOfBackup(line, &places[count]);
        line = places[count].data;
      }
      paths[count++] = line;
    }
    std::sort(paths.get(), paths.get() + count, PathBefore);
  }

  bool Contain(const char* path) const {
    return std::binary_search(paths.get(), paths.get() + count, path, PathBefore);
  }
};

// Deletes one logged file and the files named after it, unless it was kept.
// Beside a file that was there before the run (replaced or kept) only the
// run's own companion goes: the others are the earlier installation's (a
// simulation's results, say); a kept companion stays too.
bool RemoveLoggedFile(const char* path, const SortedPaths& replaced, const SortedPaths& kept,
                      bool result) {
  const bool wasKept = kept.Contain(path);
  const bool earlier = wasKept || replaced.Contain(path);
  if (!wasKept && !DeleteFileA(path)) result = false;
  const int32_t length = PlainLength(path);
  TextString base;
  if (EndsWithIgnoringCase(path, length, ".SCH")) {
    base.AssignPrefix(path, length - 3);  // keeps the dot
    TextString companion;
    companion.Concat(base.data, kSchematicCompanions[0]);
    const int32_t first = kept.Contain(companion.data) ? 1 : 0;  // "qv" first
    const int32_t names = earlier ? 1 : kSchematicCompanionCount;
    for (int32_t i = first; i < names; ++i) {
      result = DeleteIfPresent(base, kSchematicCompanions[i], result);
    }
  }
  if (!earlier && EndsWithIgnoringCase(path, length, "_PLL_SIM.M")) {
    base.AssignPrefix(path, length - 10);
    base.Append("mexpllsim.");
    result = DeleteIfPresent(base, "mex", result);
  }
  return result;
}

}  // namespace

bool RollbackInstall(StringList& installLog, StringList& backups, StringList& kept, HWND owner,
                     StringList* unrestored) {
  const int32_t count = installLog.count;
  bool result = true;
  // Slot 0 gets the newest line, so every folder's contents go before the
  // folder itself and the install folder, the oldest line, comes last.
  // A folder that holds a backup is not empty and stays for its restore.
  const std::unique_ptr<const char*[]> lines = NewestFirst(installLog);
  const SortedPaths replaced(backups, true);
  const SortedPaths keptPaths(kept, false);
  for (int32_t slot = 0; slot < count; ++slot) {
    const char* line = lines[slot];
    const char* path = line[0] ? line + 1 : line;
    if (line[0] == 'F') {
      // Only an empty folder goes: anything the installation did not
      // create keeps its folder and every folder above it.
      if (!RemoveDirectoryA(path)) result = false;
      continue;
    }
    result = RemoveLoggedFile(path, replaced, keptPaths, result);
  }
  if (RestoreBackups(backups, owner, unrestored) != ERROR_SUCCESS) result = false;
  return result;
}

bool DeleteIfPresent(const TextString& base, const char* extension, bool flag) {
  TextString name;
  name.Concat(base.data, extension);
  {
    StdioFile probe(name.data, "r");
    if (!probe) return flag;
  }
  if (!DeleteFileA(name.data)) return false;
  return flag;
}
