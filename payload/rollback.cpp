#include "payload/rollback.h"

#include <windows.h>

#include <memory>

#include "common/ascii_upper.h"
#include "common/stdio_file.h"

namespace {

// Files PSpice Schematics keeps beside a schematic; "qv" is the companion
// that the extraction writes, the others appear when the schematic is used.
const char* const kSchematicCompanions[] = {"qv",  "cir", "net", "als", "mvl",
                                            "1op", "dat", "mif", "out"};

// Deletes one logged file and the files named after it.
bool RemoveLoggedFile(const char* path, bool result) {
  if (!DeleteFileA(path)) result = false;
  const int32_t length = PlainLength(path);
  TextString base;
  if (EndsWithIgnoringCase(path, length, ".SCH")) {
    base.AssignPrefix(path, length - 3);  // keeps the dot
    for (const char* extension : kSchematicCompanions) {
      result = DeleteIfPresent(base, extension, result);
    }
  }
  if (EndsWithIgnoringCase(path, length, "_PLL_SIM.M")) {
    base.AssignPrefix(path, length - 10);
    base.Append("mexpllsim.");
    result = DeleteIfPresent(base, "mex", result);
  }
  return result;
}

}  // namespace

bool RollbackInstall(StringList& installLog) {
  const int32_t count = installLog.count;
  if (count <= 0) return true;

  // Slot 0 gets the newest line, so every folder's contents go before the
  // folder itself and the install folder, the oldest line, comes last.
  std::unique_ptr<const char*[]> lines(new const char*[count]);
  int32_t first = count;
  for (const char* line = installLog.First(); line && first > 0; line = installLog.Next()) {
    lines[--first] = line;
  }

  bool result = true;
  for (int32_t slot = first; slot < count; ++slot) {
    const char* line = lines[slot];
    const char* path = line[0] ? line + 1 : line;
    if (line[0] == 'F') {
      // Only an empty folder goes: anything the installation did not
      // create keeps its folder and every folder above it.
      if (!RemoveDirectoryA(path)) result = false;
      continue;
    }
    result = RemoveLoggedFile(path, result);
  }
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
