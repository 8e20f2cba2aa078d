#pragma once
#include <windows.h>

#include <cstdint>

// The bytes of one of the program's own resources of type "BIN", locked in
// place (never copied); null and 0 when the program does not carry it.
struct BinResource {
  const uint8_t* data = nullptr;
  DWORD size = 0;
};
BinResource LockBinResource(int id);

// The archive and the record of its SHA-256 made when the program was built:
// 64 lower-case hex digits, as CMake's file(SHA256) writes them.
const int kArchiveResourceId = 103;
const int kChecksumResourceId = 107;

// The longest install folder that the program's archive fits below
// (LongestInstallFolder); kMaxFolderPathLength when it carries none.
int32_t PayloadLongestInstallFolder();

// True when the program carries both resources and the SHA-256 of the archive,
// computed here by the system's CryptoAPI, equals the recorded one.
bool PayloadIsIntact();
