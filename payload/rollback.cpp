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

// The places of the backups that the run made, sorted for lookup.
struct ReplacedPaths {
  std::unique_ptr<TextString[]> places;
  std::unique_ptr<const char*[]> paths;
  int32_t count = 0;

  explicit ReplacedPaths(StringList& backups)
      : places(new TextString[backups.count]), paths(new const char*[backups.count]) {
    for (const char* backup = backups.First(); backup; backup = backups.Next()) {
      PlaceOfBackup(backup, &places[count]);
      paths[count] = places[count].data;
      ++count;
    }
    std::sort(paths.get(), paths.get() + count, PathBefore);
  }

  bool Contain(const char* path) const {
    return std::binary_search(paths.get(), paths.get() + count, path, PathBefore);
  }
};

// Deletes one logged file and the files named after it. Beside a file that
// replaced an earlier one only the run's own companion goes: the others are
// the earlier installation's (a simulation's results, say).
bool RemoveLoggedFile(const char* path, bool replaced, bool result) {
  if (!DeleteFileA(path)) result = false;
  const int32_t length = PlainLength(path);
  TextString base;
  if (EndsWithIgnoringCase(path, length, ".SCH")) {
    base.AssignPrefix(path, length - 3);                            // keeps the dot
    const int32_t names = replaced ? 1 : kSchematicCompanionCount;  // "qv" first
    for (int32_t i = 0; i < names; ++i) {
      result = DeleteIfPresent(base, kSchematicCompanions[i], result);
    }
  }
  if (!replaced && EndsWithIgnoringCase(path, length, "_PLL_SIM.M")) {
    base.AssignPrefix(path, length - 10);
    base.Append("mexpllsim.");
    result = DeleteIfPresent(base, "mex", result);
  }
  return result;
}

}  // namespace

bool RollbackInstall(StringList& installLog, StringList& backups, HWND owner,
                     StringList* unrestored) {
  const int32_t count = installLog.count;
  bool result = true;
  // Slot 0 gets the newest line, so every folder's contents go before the
  // folder itself and the install folder, the oldest line, comes last.
  // A folder that holds a backup is not empty and stays for its restore.
  const std::unique_ptr<const char*[]> lines = NewestFirst(installLog);
  const ReplacedPaths replaced(backups);
  for (int32_t slot = 0; slot < count; ++slot) {
    const char* line = lines[slot];
    const char* path = line[0] ? line + 1 : line;
    if (line[0] == 'F') {
      // Only an empty folder goes: anything the installation did not
      // create keeps its folder and every folder above it.
      if (!RemoveDirectoryA(path)) result = false;
      continue;
    }
    result = RemoveLoggedFile(path, replaced.Contain(path), result);
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
