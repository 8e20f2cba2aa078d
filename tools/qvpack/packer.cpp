#include "tools/qvpack/packer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "payload/archive_format.h"
#include "tools/qvpack/windows_names.h"

namespace {

// Every size in the archive lies below 2^31.
constexpr int64_t kMaxFileSize = 0x7FFFFFFF;

struct Entry {
  std::string hostPath;  // as the host names it, for messages and reading
  std::string name;      // Windows-1252, as written to the archive
  bool isFolder = false;
  int64_t size = 0;
  std::vector<Entry> children;  // sorted by name
};

std::string SystemError(int code) { return std::strerror(code); }

std::string ToUpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

bool EndsWithIgnoringCase(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() &&
         ToUpperAscii(name.substr(name.size() - suffix.size())) == ToUpperAscii(suffix);
}

class TreeScanner {
 public:
  explicit TreeScanner(std::vector<std::string>* errors) : errors_(errors) {}

  void Problem(const std::string& path, const std::string& reason) {
    errors_->push_back(path + ": " + reason);
  }

  // The names in a folder, without "." and "..", sorted.
  bool ReadFolderNames(const std::string& path, std::vector<std::string>* names) {
    DIR* dir = opendir(path.c_str());
    if (!dir) {
      Problem(path, "cannot read folder: " + SystemError(errno));
      return false;
    }
    errno = 0;
    while (dirent* item = readdir(dir)) {
      const std::string name = item->d_name;
      if (name != "." && name != "..") names->push_back(name);
      errno = 0;
    }
    const int readError = errno;
    closedir(dir);
    if (readError != 0) {
      Problem(path, "cannot read folder: " + SystemError(readError));
      return false;
    }
    std::sort(names->begin(), names->end());
    return true;
  }

  // Reads the folder's entries, checks every name and type, and recurses.
  void ScanFolder(Entry* folder) {
    std::vector<std::string> hostNames;
    if (!ReadFolderNames(folder->hostPath, &hostNames)) return;
    for (const std::string& hostName : hostNames) {
      Entry entry;
      entry.hostPath = folder->hostPath + "/" + hostName;
      if (ScanEntry(hostName, &entry)) folder->children.push_back(std::move(entry));
    }
    std::sort(folder->children.begin(), folder->children.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    CheckClashes(*folder);
    for (Entry& child : folder->children) {
      if (child.isFolder) ScanFolder(&child);
    }
  }

 private:
  bool ScanEntry(const std::string& hostName, Entry* entry) {
    std::string reason;
    if (!Utf8ToWindows1252(hostName, &entry->name, &reason)) {
      Problem(entry->hostPath, reason);
      return false;
    }
    reason = WindowsNameProblem(entry->name);
    // The form of name the installer gives an earlier file while it replaces it.
    if (reason.empty() &&
        BackupIndexOf(entry->name.c_str(), static_cast<int32_t>(entry->name.size())) != 0) {
      reason = "name ends in \"" + entry->name.substr(entry->name.size() - kBackupSuffixLength) +
               "\", which the installer keeps for the files it replaces";
    }
    if (!reason.empty()) {
      Problem(entry->hostPath, reason);
      return false;
    }
    struct stat info;
    if (lstat(entry->hostPath.c_str(), &info) != 0) {
      Problem(entry->hostPath, "cannot inspect: " + SystemError(errno));
      return false;
    }
    if (S_ISLNK(info.st_mode)) {
      Problem(entry->hostPath, "is a symbolic link; the archive holds only files and folders");
      return false;
    }
    if (S_ISDIR(info.st_mode)) {
      entry->isFolder = true;
      return true;
    }
    if (!S_ISREG(info.st_mode)) {
      Problem(entry->hostPath, "is neither a regular file nor a folder");
      return false;
    }
    if (info.st_size > kMaxFileSize) {
      Problem(entry->hostPath, "is 2^31 bytes or larger (" + std::to_string(info.st_size) +
                                   " bytes); the archive holds files below 2 GiB");
      return false;
    }
    if (access(entry->hostPath.c_str(), R_OK) != 0) {
      Problem(entry->hostPath, "cannot be read: " + SystemError(errno));
      return false;
    }
    entry->size = info.st_size;
    return true;
  }

  // Names that Windows would treat as one file: differing only in letter
  // case, or a schematic and a file with its companion's name (the installer
  // writes "<name>.qv" beside every "<name>.sch" and would overwrite it).
  void CheckClashes(const Entry& folder) {
    std::map<std::string, const Entry*> seen;
    for (const Entry& child : folder.children) {
      const std::string key = FoldWindowsCase(child.name);
      auto found = seen.find(key);
      if (found != seen.end()) {
        Problem(child.hostPath, "has the same name on Windows as " + found->second->hostPath +
                                    " (names differ only in letter case)");
      } else {
        seen.emplace(key, &child);
      }
    }
    for (const Entry& child : folder.children) {
      if (child.isFolder || !EndsWithIgnoringCase(child.name, ".SCH")) continue;
      const std::string companion = child.name.substr(0, child.name.size() - 3) + "qv";
      auto found = seen.find(FoldWindowsCase(companion));
      if (found != seen.end()) {
        Problem(found->second->hostPath,
                "would be overwritten by the companion file that the "
                "installer writes for the schematic " +
                    child.hostPath);
      }
    }
  }

  std::vector<std::string>* errors_;
};

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Writes the archive to a temporary file; the first write failure is
// reported with the system's reason.
class ArchiveWriter {
 public:
  ArchiveWriter(FILE* out, const std::string& path, std::vector<std::string>* errors)
      : out_(out), path_(path), errors_(errors) {}

  bool WriteSection(uint8_t tag, const Entry& folder) {
    return Put(&tag, 1) && WriteRecords(folder);
  }

  bool Put(const void* bytes, size_t count) {
    if (count == 0 || std::fwrite(bytes, 1, count, out_) == count) return true;
    return WriteFailed();
  }

  // Flushes the archive to the disk and closes it.
  bool Finish() {
    const bool flushed = std::fflush(out_) == 0 && fsync(fileno(out_)) == 0;
    if (!flushed) WriteFailed();
    FILE* out = out_;
    out_ = nullptr;
    if (std::fclose(out) != 0 && flushed) return WriteFailed();
    return flushed;
  }

 private:
  bool WriteRecords(const Entry& folder) {
    for (const Entry& child : folder.children) {
      const uint8_t tag = child.isFolder ? kFolderTag : kFileTag;
      if (!Put(&tag, 1) || !Put(child.name.c_str(), child.name.size() + 1)) return false;
      if (child.isFolder) {
        if (!WriteRecords(child) || !Put(&kEndTag, 1)) return false;
        continue;
      }
      uint8_t size[4];
      StoreSize(size, static_cast<int32_t>(child.size));
      if (!Put(size, 4) || !CopyContent(child)) return false;
    }
    return true;
  }

  // Copies exactly the size seen while scanning; a file that changed size
  // since then would leave a record that lies about its length.
  bool CopyContent(const Entry& file) {
    FilePtr in(std::fopen(file.hostPath.c_str(), "rb"));
    if (!in) {
      errors_->push_back(file.hostPath + ": cannot be read: " + SystemError(errno));
      return false;
    }
    std::vector<char> buffer(1 << 20);
    int64_t left = file.size;
    while (left > 0) {
      const size_t want = size_t(std::min<int64_t>(left, int64_t(buffer.size())));
      const size_t got = std::fread(buffer.data(), 1, want, in.get());
      if (got == 0) break;
      if (!Put(buffer.data(), got)) return false;
      left -= int64_t(got);
    }
    if (std::ferror(in.get())) {
      errors_->push_back(file.hostPath + ": read error: " + SystemError(errno));
      return false;
    }
    if (left != 0 || std::fgetc(in.get()) != EOF) {
      errors_->push_back(file.hostPath + ": changed size while it was packed");
      return false;
    }
    return true;
  }

  bool WriteFailed() {
    if (!failed_) errors_->push_back(path_ + ": cannot write the archive: " + SystemError(errno));
    failed_ = true;
    return false;
  }

  FILE* out_;
  std::string path_;
  std::vector<std::string>* errors_;
  bool failed_ = false;
};

bool IsFileIn(const Entry& folder, const char* upperName) {
  for (const Entry& child : folder.children) {
    if (!child.isFolder && ToUpperAscii(child.name) == upperName) return true;
  }
  return false;
}

// The sections found at the tree's top level, by section index; every other
// top-level entry is a problem.
bool ScanTopLevel(const std::string& tree, std::vector<std::unique_ptr<Entry>>* sections,
                  std::vector<std::string>* errors) {
  TreeScanner scanner(errors);
  struct stat info;
  if (stat(tree.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    scanner.Problem(tree, "is not a folder");
    return false;
  }
  std::vector<std::string> names;
  if (!scanner.ReadFolderNames(tree, &names)) return false;
  sections->resize(kSectionCount);
  for (const std::string& name : names) {
    const std::string path = tree + "/" + name;
    int index = -1;
    for (int k = 0; k < kSectionCount; ++k) {
      if (name == kArchiveSections[k].folderName) index = k;
    }
    if (index < 0) {
      scanner.Problem(path,
                      "unexpected top-level entry; only Bin, Lib, Doc and Beispiele "
                      "are packed");
      continue;
    }
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      scanner.Problem(path, "must be a folder");
      continue;
    }
    auto section = std::make_unique<Entry>();
    section->hostPath = path;
    section->name = name;
    section->isFolder = true;
    scanner.ScanFolder(section.get());
    (*sections)[index] = std::move(section);
  }
  const Entry* bin = (*sections)[0].get();
  for (const char* required : {"qv.ini", "pspice.prb"}) {
    if (!bin || !IsFileIn(*bin, ToUpperAscii(required).c_str())) {
      scanner.Problem(tree + "/Bin/" + required, "is missing; every package needs it");
    }
  }
  return errors->empty();
}

}  // namespace

bool PackTree(const std::string& tree, const std::string& archive,
              std::vector<std::string>* errors) {
  std::vector<std::unique_ptr<Entry>> sections;
  if (!ScanTopLevel(tree, &sections, errors)) return false;

  std::string temp = archive + ".XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0) {
    errors->push_back(archive +
                      ": cannot create a temporary file beside it: " + SystemError(errno));
    return false;
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  FILE* out = fdopen(fd, "wb");
  if (!out) {
    errors->push_back(temp + ": " + SystemError(errno));
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  ArchiveWriter writer(out, temp, errors);
  bool ok = true;
  for (int k = 0; k < kSectionCount && ok; ++k) {
    if (sections[k]) ok = writer.WriteSection(kArchiveSections[k].tag, *sections[k]);
  }
  ok = ok && writer.Put(&kArchiveEndByte, 1);
  // Closed also after a failure, before the temporary file is removed.
  ok = writer.Finish() && ok;
  if (ok && std::rename(temp.c_str(), archive.c_str()) != 0) {
    errors->push_back(archive + ": cannot put the archive in place: " + SystemError(errno));
    ok = false;
  }
  if (!ok) unlink(temp.c_str());
  return ok;
}
