#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "payload/archive_format.h"

struct ArchiveSummary {
  int32_t sections = 0;
  int32_t folders = 0;  // subfolders, the section folders not included
  int32_t files = 0;
  int64_t bytes = 0;
  int32_t schematics = 0;  // files whose name ends in ".sch" in any letter case
  WalkFault fault = WalkFault::None;
  int64_t faultOffset = 0;
};

// Walks the archive with the installer's rules. When listing is given, every
// folder ("d", path + "/") and file ("-", size, path) is appended as one line,
// like `tar -tv`; paths use "/" and UTF-8.
ArchiveSummary InspectArchive(const std::vector<uint8_t>& bytes, std::string* listing);

// "4 sections, 120 folders, 1764 files, 22764893 bytes, 464 schematics"
std::string DescribeTotals(const ArchiveSummary& summary);
