#include "shortcut_files.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdint>

#include "common/shell_link.h"
#include "support/test_files.h"

namespace {

void PutU32(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool SaveShortcut(const std::string& path, const std::string& target) {
  ShellLink link;
  if (!link.CreateWithPersistFile()) return false;
  link.SetPath(target.c_str());
  return link.Save(path.c_str());
}

std::string ShortcutTarget(const std::string& path) {
  ShellLink link;
  TextString target;
  if (!link.CreateWithPersistFile() || !link.Load(path.c_str()) || !link.GetPath(target, 1000))
    return "<unreadable>";
  return target.data ? target.data : "";
}

// Shell link header (76 bytes, flag HasLinkInfo) and a link info with a
// fixed-disk volume id and the local base path; see the shell link binary
// file format ([MS-SHLLINK] 2.1 and 2.3).
std::string ShortcutBytesWithTarget(const std::string& target) {
  std::string bytes;
  PutU32(bytes, 0x4C);
  const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  bytes.append(reinterpret_cast<const char*>(clsid), sizeof clsid);
  PutU32(bytes, 0x2);                     // HasLinkInfo
  bytes.append(4 + 3 * 8 + 4 + 4, '\0');  // attributes, times, size, icon index
  PutU32(bytes, 1);                       // SW_SHOWNORMAL
  bytes.append(2 + 2 + 4 + 4, '\0');      // hot key, reserved

  const uint32_t headerSize = 0x1C;
  const uint32_t volumeSize = 0x11;  // four fields and an empty label
  const uint32_t pathOffset = headerSize + volumeSize;
  const uint32_t suffixOffset = pathOffset + static_cast<uint32_t>(target.size()) + 1;
  PutU32(bytes, suffixOffset + 1);  // total size, the empty suffix included
  PutU32(bytes, headerSize);
  PutU32(bytes, 1);  // VolumeIDAndLocalBasePath
  PutU32(bytes, headerSize);
  PutU32(bytes, pathOffset);
  PutU32(bytes, 0);  // no network location
  PutU32(bytes, suffixOffset);
  PutU32(bytes, volumeSize);
  PutU32(bytes, DRIVE_FIXED);
  PutU32(bytes, 0x12345678);
  PutU32(bytes, 0x10);
  bytes.push_back('\0');
  bytes.append(target);
  bytes.push_back('\0');
  bytes.push_back('\0');
  PutU32(bytes, 0);  // no extra data blocks
  return bytes;
}

bool PlaceShortcut(const std::string& base, const std::string& relative, const std::string& target,
                   std::vector<std::string>* created) {
  for (size_t end = relative.find('\\'); end != std::string::npos;
       end = relative.find('\\', end + 1)) {
    const std::string folder = base + "\\" + relative.substr(0, end);
    if (FolderExists(folder)) continue;
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    if (created) created->push_back(folder);
  }
  const std::string file = base + "\\" + relative;
  if (FileExists(file)) return false;
  if (created) created->push_back(file);
  return SaveShortcut(file, target);
}

RootShortcuts::RootShortcuts(int csidl) {
  char root[MAX_PATH + 1] = {};
  if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, root) == S_OK) root_ = root;
}

RootShortcuts::~RootShortcuts() {
  for (auto path = created_.rbegin(); path != created_.rend(); ++path) {
    if (!DeleteFileA(path->c_str())) RemoveDirectoryA(path->c_str());
  }
}
