// Writes a synthetic package tree shaped like the shipped one: 1,764 files
// in 120 subfolders nested at most four levels below the four section
// folders, 22,764,893 bytes of content, 464 schematics (437 ending in ".sch"),
// one "_pll_sim.m" file, ASCII names of at most 39 characters. The same
// tree every time: all choices come from a fixed pseudo-random sequence.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 120;
constexpr int kFiles = 1764;
constexpr int64_t kBytes = 22764893;
constexpr int kSchematics = 464;
constexpr int kLowerSchematics = 437;
constexpr int kMaxDepth = 4;

uint32_t state = 20240601;
uint32_t Random() {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

struct Folder {
  fs::path path;
  int depth;  // 0 for a section folder
};

std::string Word(int index) {
  static const char* words[] = {"filter", "amp",   "osc",    "mixer", "pll",  "bridge",
                                "diode",  "trans", "ladder", "tank",  "coil", "opamp"};
  return std::string(words[index % 12]) + std::to_string(index);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_package <empty folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  std::vector<Folder> folders;
  for (const char* section : {"Bin", "Lib", "Doc", "Beispiele"}) {
    folders.push_back({root / section, 0});
    fs::create_directories(root / section);
  }
  for (int i = 0; i < kFolders; ++i) {
    // Most folders hold examples; parents are picked among those not yet at
    // the deepest level.
    std::vector<size_t> parents;
    for (size_t k = 0; k < folders.size(); ++k) {
      if (folders[k].depth < kMaxDepth && (k == 3 || k >= 4 || Random() % 4 == 0)) {
        parents.push_back(k);
      }
    }
    const Folder& parent = folders[parents[Random() % parents.size()]];
    const Folder child{parent.path / ("Kapitel_" + Word(i)), parent.depth + 1};
    fs::create_directories(child.path);
    folders.push_back(child);
  }

  // File sizes: mostly small, a few large ones; the last file takes the rest.
  std::vector<int64_t> sizes(kFiles);
  int64_t sum = 0;
  for (int i = 0; i < kFiles - 1; ++i) {
    const uint32_t r = Random() % 100;
    sizes[i] = r < 70   ? Random() % 8000
               : r < 97 ? 8000 + Random() % 40000
                        : 100000 + Random() % 300000;
    sum += sizes[i];
  }
  const double scale = double(kBytes) / double(sum) * 0.98;
  sum = 0;
  for (int i = 0; i < kFiles - 1; ++i) {
    sizes[i] = int64_t(sizes[i] * scale);
    sum += sizes[i];
  }
  sizes[kFiles - 1] = kBytes - sum;

  std::vector<char> content(512 * 1024);
  for (size_t i = 0; i < content.size(); ++i)
    content[i] = char("0123456789abcdef\n"[Random() % 17]);
  auto write = [&](const fs::path& path, int64_t size) {
    std::ofstream out(path, std::ios::binary);
    size_t offset = Random() % 1024;
    for (int64_t left = size; left > 0;) {
      const int64_t n = std::min<int64_t>(left, int64_t(content.size() - offset));
      out.write(content.data() + offset, std::streamsize(n));
      left -= n;
      offset = 0;
    }
  };

  write(root / "Bin" / "qv.ini", sizes[0]);
  write(root / "Bin" / "pspice.prb", sizes[1]);
  for (int i = 2; i < kFiles; ++i) {
    std::string name;
    const int schematic = i - 2;
    if (schematic < kSchematics) {
      name = Word(i) + (schematic < kLowerSchematics ? ".sch" : schematic % 2 ? ".SCH" : ".Sch");
    } else if (i == kFiles - 1) {
      name = "qv_pll_sim.m";
    } else {
      static const char* endings[] = {".txt", ".m", ".lib", ".pdf", ".dat", ".cir", ".stl"};
      name = "Datei_" + Word(i) + endings[Random() % 7];
    }
    // Schematics go to the examples; other files anywhere.
    const size_t first = schematic < kSchematics ? 3 : 0;
    size_t index = first + Random() % (folders.size() - first);
    if (schematic < kSchematics && index < 4) index = 3;
    write(folders[index].path / name, sizes[i]);
  }
  return 0;
}
