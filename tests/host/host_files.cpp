#include "tests/host/host_files.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

HostTempFolder::HostTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qvhost-XXXXXX").string();
  if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

HostTempFolder::~HostTempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void MakeMinimalPackage(const std::string& tree) {
  WriteHostFile(tree + "/Bin/qv.ini", "[qv]\n");
  WriteHostFile(tree + "/Bin/pspice.prb", "prb\n");
}
