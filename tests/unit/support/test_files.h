#pragma once
#include <string>

// A fresh folder below the system's temporary folder, removed with everything
// in it when the test ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // path() + "\" + name
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Removes a file or a folder with everything below it; true when it is gone.
bool RemoveTree(const std::string& path);

// The whole content of a file, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Shows bytes readably in a failure message: control bytes as \xNN.
std::string Printable(const std::string& bytes);
