#include "tools/qvpack/inspect.h"

#include <cstdio>

#include "tools/qvpack/windows_names.h"

namespace {

bool IsSchematic(const ArchiveRecord& record) {
  if (record.nameLength < 4) return false;
  std::string ending(record.name + record.nameLength - 4, 4);
  for (char& c : ending) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return ending == ".SCH";
}

void AppendLine(std::string* listing, const char* kind, const std::string& size,
                const std::string& path) {
  char head[32];
  std::snprintf(head, sizeof head, "%s %12s ", kind, size.c_str());
  *listing += head;
  *listing += path;
  *listing += '\n';
}

}  // namespace

ArchiveSummary InspectArchive(const std::vector<uint8_t>& bytes, std::string* listing) {
  ArchiveSummary summary;
  ArchiveWalker walker(bytes.data(), int64_t(bytes.size()));
  std::vector<std::string> folders;  // open folders, host form, ending in "/"
  for (;;) {
    switch (walker.Next()) {
      case WalkEvent::SectionOpen:
        ++summary.sections;
        folders.assign(1, std::string(kArchiveSections[walker.sectionIndex].folderName) + "/");
        if (listing) AppendLine(listing, "d", "", folders.back());
        break;
      case WalkEvent::FolderOpen:
        ++summary.folders;
        folders.push_back(
            folders.back() +
            Windows1252ToUtf8(std::string(walker.record.name, walker.record.nameLength)) + "/");
        if (listing) AppendLine(listing, "d", "", folders.back());
        break;
      case WalkEvent::File:
        ++summary.files;
        summary.bytes += walker.record.size;
        if (IsSchematic(walker.record)) ++summary.schematics;
        if (listing) {
          AppendLine(listing, "-", std::to_string(walker.record.size),
                     folders.back() + Windows1252ToUtf8(std::string(walker.record.name,
                                                                    walker.record.nameLength)));
        }
        break;
      case WalkEvent::FolderClose:
        folders.pop_back();
        break;
      case WalkEvent::Finished:
        return summary;
      case WalkEvent::Fault:
        summary.fault = walker.fault;
        summary.faultOffset = walker.faultOffset;
        return summary;
    }
  }
}

std::string DescribeTotals(const ArchiveSummary& summary) {
  char text[160];
  std::snprintf(text, sizeof text, "%d sections, %d folders, %d files, %lld bytes, %d schematics",
                summary.sections, summary.folders, summary.files,
                static_cast<long long>(summary.bytes), summary.schematics);
  return text;
}
