#include "configure/shortcut_maker.h"

#include <shlobj.h>
#include <windows.h>

#include "common/ansi_path.h"
#include "common/reg_key.h"
#include "common/shell_link.h"
#include "common/stdio_file.h"
#include "setup/setup_state.h"

namespace {

const char kBrowserKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\iexplore.exe";
const int32_t kBrowserBufferSize = 1000;

// Appends prefix + text as one line.
void PushLine(StringList& list, const char* prefix, const TextString& text) {
  TextString line;
  line.Concat(prefix, text.data);
  list.PushBack(line.data);
}

bool CanOpenForReading(const char* path) { return static_cast<bool>(StdioFile(path, "rb")); }

// icon = folder + name when that file can be opened; otherwise icon is empty.
bool ProbeIcon(TextString& icon, const TextString& folder, const char* name) {
  icon.Concat(folder.data, name);
  if (CanOpenForReading(icon.data)) return true;
  icon.SetLength(0);
  return false;
}

bool IsVersionCharacter(char c) { return (c >= '0' && c <= '9') || c == '.'; }

}  // namespace

ShortcutMaker::ShortcutMaker() { ReadBrowserPath(); }

void ShortcutMaker::ReadBrowserPath() {
  browserPath.SetLength(0);
  RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
    return;
  char buffer[kBrowserBufferSize];
  DWORD size = kBrowserBufferSize;
  DWORD type = REG_NONE;
  if (RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return;
  // A value stored without its terminator ends at the size the registry gave.
  int32_t length = 0;
  while (length < static_cast<int32_t>(size) && buffer[length] != 0) ++length;
  browserPath.AssignPrefix(buffer, length);
}

bool ShortcutMaker::CreateShortcuts(const TextString& pspiceFolder) {
  // A folder that the "A" functions cannot reach counts as unresolved.
  TextString folder;
  if (!ShellFolderPath(CSIDL_PROGRAMS, folder)) return false;
  currentFolder.Concat(folder.data, "\\DO-Dazuvazav");
  // An existing group folder is fine: its shortcuts are made anew.
  CreateDirectoryA(currentFolder.data, nullptr);
  PushLine(linksLog, "F", currentFolder);

  const bool withOctave = g_setupState.octaveLocator.targets.count > 0;
  if (!MakeShortcut(ExamplesLink, pspiceFolder) || !MakeShortcut(PSpiceLink, pspiceFolder) ||
      !MakeShortcut(UninstallLink, pspiceFolder) ||
      (withOctave && !MakeShortcut(OctaveLink, pspiceFolder)))
    return false;

  if (!ShellFolderPath(CSIDL_DESKTOPDIRECTORY, folder)) return true;
  currentFolder.Assign(folder.data);
  // The desktop gets no uninstall shortcut, and its failures do not count.
  MakeShortcut(ExamplesLink, pspiceFolder);
  MakeShortcut(PSpiceLink, pspiceFolder);
  if (withOctave) MakeShortcut(OctaveLink, pspiceFolder);
  SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, currentFolder.data, nullptr);
  return true;
}

bool ShortcutMaker::MakeShortcut(ShortcutKind kind, const TextString& pspiceFolder) {
  linkPath.Assign(currentFolder.data);
  ShellLink link;
  if (!link.Create()) return false;
  const char* fileName = SetProperties(link, kind, pspiceFolder);
  if (!fileName) return false;
  linkPath.Append(fileName);
  // Logged before the save: the uninstaller may meet a file that a failed save
  // left behind in part.
  PushLine(linksLog, ">", linkPath);
  if (!link.QueryPersistFile()) return false;
  return link.Save(linkPath.data);
}

const char* ShortcutMaker::SetProperties(ShellLink& link, ShortcutKind kind,
                                         const TextString& pspiceFolder) {
  const char* install = g_setupState.installFolder.data;
  TextString text;
  switch (kind) {
    case ExamplesLink:
      link.SetPath(browserPath.data);
      text.Concat(install, "\\Beispiele\\index.htm");
      link.SetArguments(text.data);
      text.Concat(install, "\\Beispiele");
      link.SetWorkingDirectory(text.data);
      text.Concat(install, "\\Bin\\qv.ico");
      link.SetIconLocation(text.data);
      link.SetDescription("DO Dazuvazav");
      return "\\DO Dazuvazav.lnk";
    case PSpiceLink:
      text.Concat("\"", pspiceFolder.data, "\\psched.exe\"");
      link.SetPath(text.data);
      text.Concat(" -i \"", install, "\\Bin\\qv.ini\"");
      link.SetArguments(text.data);
      link.SetWorkingDirectory(g_setupState.userFolder.data);
      link.SetDescription("QV PSpice");
      return "\\QV PSpice.lnk";
    case UninstallLink:
      text.Concat("\"", install, "\\Bin\\roravoduruz.exe\"");
      link.SetPath(text.data);
      text.Concat(install, "\\Bin");
      link.SetWorkingDirectory(text.data);
      link.SetDescription("Deinstallation");
      return "\\Deinstallation.lnk";
    case OctaveLink:
      text.Concat("\"", g_setupState.octaveLocator.chosen, "\"");
      link.SetPath(text.data);
      link.SetArguments("--force-gui --persist --silent _startup.m");
      text.Concat(install, "\\Beispiele\\Octave");
      link.SetWorkingDirectory(text.data);
      FindOctaveIcon(text);
      link.SetIconLocation(text.data);
      link.SetDescription("QV Octave");
      return "\\QV Octave.lnk";
  }
  return nullptr;
}

void ShortcutMaker::FindOctaveIcon(TextString& icon) {
  icon.SetLength(0);
  TextString target;
  target.Assign(g_setupState.octaveLocator.chosen);
  const int32_t lastBackslash = target.FindLastBackslash();
  if (lastBackslash < 0) return;
  TextString folder;
  folder.AssignPrefix(target.data, lastBackslash);
  if (ProbeIcon(icon, folder, "\\octave.ico") || ProbeIcon(icon, folder, "\\octave-logo.ico"))
    return;

  // An Octave folder named like "Octave-4.0.0" keeps its logo below
  // share\octave\4.0.0\imagelib.
  if (folder.length == 0) return;
  int32_t i = folder.length - 1;
  while (i > 0 && IsVersionCharacter(folder.data[i])) --i;
  if (folder.data[i] != '-') return;
  icon.Concat(folder.data, "\\share\\octave\\", folder.data + i + 1);
  icon.Append("\\imagelib\\octave-logo.ico");
  if (!CanOpenForReading(icon.data)) icon.SetLength(0);
}

void ShortcutMaker::WriteLinksLog() {
  TextString path;
  path.Concat(g_setupState.installFolder.data, "\\links");
  WriteListFile(path, linksLog);
}
