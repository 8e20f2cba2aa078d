#include "configure/registry_entries.h"

// Placeholders until the registry entries land.
bool OpenOrCreateKey(HKEY, const char*, RegKey&) { return false; }

void WriteInstallKey() {}

void RegisterFileType(const TextString&) {}
