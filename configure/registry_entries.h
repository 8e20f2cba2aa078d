#pragma once
#include <windows.h>

#include "common/reg_key.h"
#include "common/text_string.h"

// Opens the key with full access, or creates it with its missing parents.
bool OpenOrCreateKey(HKEY root, const char* path, RegKey& key);

// Stores both folders under HKEY_CURRENT_USER "SOFTWARE\OrCAD\PSpice\QV".
void WriteInstallKey();

// Registers ".qv" as "VarAVUrivaza" with its open command and the Schematics command.
void RegisterFileType(const TextString& schematicsCommand);
