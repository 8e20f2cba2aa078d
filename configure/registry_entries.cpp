#include "configure/registry_entries.h"

#include "setup/setup_state.h"

namespace {

// Stores a text as REG_SZ with its terminating NUL; the result is not needed.
void SetText(HKEY key, const char* name, const TextString& text) {
  const char* data = text.data ? text.data : "";
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                 static_cast<DWORD>(text.length) + 1);
}

void SetDefaultText(HKEY root, const char* path, const TextString& text) {
  RegKey key;
  if (!OpenOrCreateKey(root, path, key)) return;
  SetText(key.get(), "", text);
}

}  // namespace

bool OpenOrCreateKey(HKEY root, const char* path, RegKey& key) {
  if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) return true;
  char emptyClass[] = "";
  DWORD disposition = 0;
  if (RegCreateKeyExA(root, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      key.Receive(), &disposition) == ERROR_SUCCESS) {
    return true;
  }
  key.Close();
  return false;
}

void WriteInstallKey() {
  RegKey key;
  if (!OpenOrCreateKey(HKEY_CURRENT_USER, "SOFTWARE\\OrCAD\\PSpice\\QV", key)) return;
  SetText(key.get(), "InstallationFolder", g_setupState.installFolder);
  SetText(key.get(), "UserFolder", g_setupState.userFolder);
}

void RegisterFileType(const TextString& schematicsCommand) {
  TextString typeName;
  typeName.Assign("VarAVUrivaza");
  SetDefaultText(HKEY_CLASSES_ROOT, ".qv", typeName);

  TextString openCommand;
  openCommand.Concat("\"", g_setupState.installFolder.data, "\\Bin\\zurar.exe\" %1");
  SetDefaultText(HKEY_CLASSES_ROOT, "VarAVUrivaza\\shell\\open\\command", openCommand);

  SetDefaultText(HKEY_CLASSES_ROOT, "VarAVUrivaza\\psched", schematicsCommand);
}
