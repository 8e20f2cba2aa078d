#include "detect/pspice_locator.h"

#include <shlobj.h>

#include "common/ansi_path.h"
#include "common/ascii_upper.h"
#include "detect/start_menu.h"

namespace {

// True when the text of the given length, upper-cased, is exactly upperName.
bool IsNameIgnoringCase(const char* text, int32_t length, const char* upperName) {
  return length == PlainLength(upperName) && EndsWithIgnoringCase(text, length, upperName);
}

}  // namespace

PSpiceLocator::PSpiceLocator() { FindPSpiceFolder(nullptr); }

PSpiceLocator::PSpiceLocator(const char* folderTree) { FindPSpiceFolder(folderTree); }

void PSpiceLocator::FindPSpiceFolder(const char* folderTree) {
  targetBufferSize = 1000;
  if (!shellLink.CreateWithPersistFile()) return;
  if (folderTree) {
    TextString tree;
    tree.Assign(folderTree);
    WalkFolder(tree);
  } else {
    SearchStartMenuFolder(CSIDL_COMMON_PROGRAMS);
    // A match among all users' shortcuts ends the search.
    if (!found) SearchStartMenuFolder(CSIDL_PROGRAMS);
  }
  shellLink.Release();
}

void PSpiceLocator::SearchStartMenuFolder(int csidl) {
  TextString root;
  if (ShellFolderPath(csidl, root)) WalkFolder(root);
}

// Only PSpice Student folders are entered, so a PSpice Student group inside
// another group is never reached; the first match in enumeration order wins.
void PSpiceLocator::WalkFolder(const TextString& folderPath) {
  FolderEntries entries(folderPath);
  while (!found && entries.Next()) {
    if (entries.IsFolder()) {
      if (IsPSpiceStudentFolder(entries.path())) WalkFolder(entries.path());
    } else if (IsNameIgnoringCase(entries.name(), entries.nameLength(), "SCHEMATICS.LNK")) {
      ExamineSchematicsLink(entries.path());
    }
  }
}

bool PSpiceLocator::IsPSpiceStudentFolder(const TextString& entryPath) {
  if (!entryPath.data) return false;
  const int32_t nameStart = entryPath.FindLastBackslash() + 1;
  return IsNameIgnoringCase(entryPath.data + nameStart, entryPath.length - nameStart,
                            "PSPICE STUDENT");
}

void PSpiceLocator::ExamineSchematicsLink(const TextString& shortcutPath) {
  TextString target;
  if (!shellLink.Load(shortcutPath.data)) return;
  if (!shellLink.GetPath(target, targetBufferSize)) return;
  const int32_t lastBackslash = target.FindLastBackslash();
  if (lastBackslash < 0) return;
  const int32_t nameStart = lastBackslash + 1;
  if (!IsNameIgnoringCase(target.data + nameStart, target.length - nameStart, "PSCHED.EXE")) return;
  // The folder keeps the letter case in which the shortcut gave it.
  folder.AssignPrefix(target.data, lastBackslash);
  found = true;
}
