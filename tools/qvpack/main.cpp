// qvpack: packs a package tree into the installer's payload archive, and
// lists or verifies such an archive.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/qvpack/inspect.h"
#include "tools/qvpack/packer.h"

namespace {

const char kUsage[] =
    "usage: qvpack pack <tree> <archive>   pack a package tree (Bin, Lib, Doc, Beispiele)\n"
    "       qvpack list <archive>          print every folder and file with its size\n"
    "       qvpack verify <archive>        check the structure; name the first fault\n";

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    std::fprintf(stderr, "qvpack: %s: %s\n", path, std::strerror(errno));
    return false;
  }
  uint8_t buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes->insert(bytes->end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) std::fprintf(stderr, "qvpack: %s: read error\n", path);
  return !failed;
}

int ReportFault(const char* path, const ArchiveSummary& summary) {
  std::fprintf(stderr, "qvpack: %s: offset %lld: %s\n", path,
               static_cast<long long>(summary.faultOffset), DescribeWalkFault(summary.fault));
  return 1;
}

// Packs the tree and tells the maintainer how long an install folder the
// package allows; a package that does not fit below the default install
// folder is refused, since its deepest files would fail to unpack on Windows.
int Pack(const char* tree, const char* archive) {
  std::vector<std::string> errors;
  std::vector<uint8_t> bytes;
  if (PackTree(tree, archive, &errors) && ReadWholeFile(archive, &bytes)) {
    const int32_t longest = LongestInstallFolder(bytes.data(), int64_t(bytes.size()));
    if (longest >= int32_t(sizeof kDefaultInstallFolder - 1)) {
      std::printf("qvpack: %s: install folders of up to %d characters\n", archive, longest);
      return 0;
    }
    std::remove(archive);
    errors.push_back(std::string(tree) + ": its longest paths need an install folder of at most " +
                     std::to_string(longest) + " characters, shorter than " +
                     kDefaultInstallFolder);
  }
  for (const std::string& error : errors) std::fprintf(stderr, "qvpack: %s\n", error.c_str());
  std::fprintf(stderr, "qvpack: no archive written\n");
  return 1;
}

int Inspect(const char* archive, bool list) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(archive, &bytes)) return 1;
  std::string listing;
  const ArchiveSummary summary = InspectArchive(bytes, list ? &listing : nullptr);
  std::fputs(listing.c_str(), stdout);
  if (summary.fault != WalkFault::None) return ReportFault(archive, summary);
  std::printf("%s%s\n", list ? "" : "ok: ", DescribeTotals(summary).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "pack" && argc == 4) return Pack(argv[2], argv[3]);
  if (command == "list" && argc == 3) return Inspect(argv[2], true);
  if (command == "verify" && argc == 3) return Inspect(argv[2], false);
  std::fputs(kUsage, stderr);
  return 2;
}
