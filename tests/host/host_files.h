#pragma once
// Files and folders of the host tests, below one fresh temporary folder.
#include <filesystem>
#include <string>
#include <vector>

class HostTempFolder {
 public:
  HostTempFolder();
  ~HostTempFolder();
  HostTempFolder(const HostTempFolder&) = delete;
  HostTempFolder& operator=(const HostTempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes a file, creating the folders above it.
void WriteHostFile(const std::string& path, const std::string& bytes);
std::string ReadHostFile(const std::string& path);
// The names of the entries of a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

// A package tree with the two files every package needs and nothing else.
void MakeMinimalPackage(const std::string& tree);
