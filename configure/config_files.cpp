#include "configure/config_files.h"

#include <cstdio>
#include <cstring>

#include "common/stdio_file.h"
#include "common/string_list.h"
#include "payload/in_use_retry.h"
#include "payload/replaced_files.h"
#include "setup/setup_state.h"

namespace {

const char kPlaceholder = '\xA7';

// One piece of the file as fgets gave it, up to its first NUL byte, with the
// first placeholder replaced by the install folder and without its final LF.
void RewritePiece(const char* piece, StringList& lines) {
  TextString line;
  const char* mark = std::strchr(piece, kPlaceholder);
  if (mark) {
    line.AssignPrefix(piece, static_cast<int32_t>(mark - piece));
    line.Append(g_setupState.installFolder);
    line.Append(mark + 1);
  } else {
    line.Assign(piece);
  }
  int32_t kept = line.length;
  if (kept > 0 && line.data[kept - 1] == '\n') --kept;
  TextString withoutEnd;
  withoutEnd.AssignPrefix(line.data, kept);
  lines.PushBack(withoutEnd.data);
}

}  // namespace

bool RewriteIniFile(HWND owner) {
  TextString path;
  path.Concat(g_setupState.installFolder.data, "\\Bin\\qv.ini");
  InUseRetry retry(owner, path.data);
  StringList lines;
  {
    FILE* opened;
    while (!(opened = std::fopen(path.data, "r"))) {
      if (!retry.Again(GetLastError())) return false;
    }
    StdioFile file(opened);
    char buffer[1000];
    while (!std::feof(file.get())) {
      if (!std::fgets(buffer, sizeof buffer, file.get())) break;
      RewritePiece(buffer, lines);
    }
  }
  while (!WriteListFile(path, lines)) {
    if (!retry.Again(GetLastError())) return false;
  }
  return true;
}

bool CopyProbeFile(const TextString& pspiceFolder) {
  TextString destinationPath;
  destinationPath.Concat(pspiceFolder.data, "\\Common\\pspice.prb");
  TextString sourcePath;
  sourcePath.Concat(g_setupState.installFolder.data, "\\Bin\\pspice.prb");

  // The source is opened first, so that a missing source leaves an existing
  // destination as it was.
  StdioFile source(sourcePath.data, "r");
  if (!source) return false;
  // PSpice's own file, written on purpose: a read-only one is made writable.
  ClearReadOnly(destinationPath.data);
  StdioFile destination(destinationPath.data, "w");
  if (!destination) return false;
  int c;
  while ((c = std::fgetc(source.get())) != EOF) std::fputc(c, destination.get());
  return destination.Close();
}
