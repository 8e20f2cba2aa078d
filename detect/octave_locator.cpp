#include "detect/octave_locator.h"

#include <shlobj.h>

#include <cstring>

#include "common/ansi_path.h"
#include "common/ascii_upper.h"
#include "detect/start_menu.h"

namespace {

void UpperCopy(const char* text, TextString& upper) {
  upper.Assign(text);
  AsciiUpperInPlace(upper.data);
}

}  // namespace

int32_t OctaveLocator::FindOctaveTargets() { return FindTargets(nullptr); }

int32_t OctaveLocator::FindOctaveTargetsBelow(const char* folderTree) {
  return FindTargets(folderTree);
}

int32_t OctaveLocator::FindTargets(const char* folderTree) {
  targets.Clear();
  // The old choice pointed into the entries just released.
  chosen = nullptr;
  if (!shellLink.CreateWithPersistFile()) return targets.count;
  if (folderTree) {
    TextString tree;
    tree.Assign(folderTree);
    WalkFolder(tree);
  } else {
    // Both roots always: the user may have Octave versions in either.
    SearchStartMenuFolder(CSIDL_COMMON_PROGRAMS);
    SearchStartMenuFolder(CSIDL_PROGRAMS);
  }
  shellLink.Release();
  return targets.count;
}

void OctaveLocator::SelectOctaveTarget(int32_t n) {
  const char* line = targets.First();
  if (!line) chosen = nullptr;
  for (int32_t i = 0; line; ++i) {
    chosen = line;
    if (i == n) return;
    line = targets.Next();
  }
}

void OctaveLocator::SearchStartMenuFolder(int csidl) {
  TextString root;
  if (ShellFolderPath(csidl, root)) WalkFolder(root);
}

// Every subfolder is walked, whatever its name, and there is no early stop:
// every reachable Octave shortcut is examined.
void OctaveLocator::WalkFolder(const TextString& folderPath) {
  FolderEntries entries(folderPath);
  while (entries.Next()) {
    if (entries.IsFolder()) {
      WalkFolder(entries.path());
      continue;
    }
    TextString upperName;
    UpperCopy(entries.name(), upperName);
    if (upperName.data && std::strncmp(upperName.data, "OCTAVE", 6) == 0 &&
        EndsWithIgnoringCase(upperName.data, upperName.length, ".LNK")) {
      ExamineOctaveLink(entries.path());
    }
  }
}

void OctaveLocator::ExamineOctaveLink(const TextString& shortcutPath) {
  TextString target;
  if (!shellLink.Load(shortcutPath.data)) return;
  if (!shellLink.GetPath(target, targetBufferSize) || !target.data) return;
  TextString upperName;
  UpperCopy(target.data + target.FindLastBackslash() + 1, upperName);
  if (!IsOctaveTargetName(upperName)) return;
  for (const char* line = targets.First(); line; line = targets.Next()) {
    if (target.Equals(line)) return;
  }
  targets.PushBack(target.data);
}

bool OctaveLocator::IsOctaveTargetName(const TextString& upperName) {
  if (upperName.Equals("OCTAVE.VBS")) return true;
  const char* f = upperName.data;
  if (!f || std::strncmp(f, "OCTAVE-", 7) != 0 ||
      !EndsWithIgnoringCase(f, upperName.length, ".EXE")) {
    return false;
  }
  // "OCTAVE-" + ".EXE" is at least 11 bytes, so f[7] to f[10] exist. The
  // version is one major digit, a point, one minor byte and a point; bytes of
  // 128 and above compare as negative and fail.
  const signed char major = static_cast<signed char>(f[7]);
  const signed char minor = static_cast<signed char>(f[9]);
  if (major < '3' || major > '9') return false;
  if (f[8] != '.' || f[10] != '.') return false;
  if (major == '3' && minor < '2') return false;
  return true;
}
