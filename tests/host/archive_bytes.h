#pragma once
// Archive bytes built record by record, for the tests of the packer (host)
// and of the extraction (under Wine).
#include <cstdint>
#include <string>

namespace archive_bytes {

inline std::string Name(const std::string& name) { return name + std::string(1, '\0'); }

inline std::string Size(uint32_t size) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(size >> (8 * i)));
  return bytes;
}

inline std::string FileRecord(const std::string& name, const std::string& content) {
  return ">" + Name(name) + Size(static_cast<uint32_t>(content.size())) + content;
}

// A subfolder closed by its end record.
inline std::string FolderRecord(const std::string& name, const std::string& records) {
  return "F" + Name(name) + records + "R";
}

const std::string kEnd(1, '\0');

}  // namespace archive_bytes
