#include "payload/archive_format.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/host/archive_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using namespace archive_bytes;

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(ReadFolderRecord, ReadsEachKindAndMovesAsItSays) {
  const std::string file = FileRecord("a.txt", "xyz") + "R";
  const uint8_t* p = Bytes(file);
  const uint8_t* end = p + file.size();
  ArchiveRecord record;
  ASSERT_EQ(ReadFolderRecord(&p, end, &record), RecordKind::File);
  EXPECT_EQ(std::string(record.name, record.nameLength), "a.txt");
  EXPECT_EQ(record.size, 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.content), 3), "xyz");
  EXPECT_EQ(p, end - 1) << "past the content";
  EXPECT_EQ(ReadFolderRecord(&p, end, &record), RecordKind::End);
  EXPECT_EQ(p, end);
  EXPECT_EQ(ReadFolderRecord(&p, end, &record), RecordKind::Overrun) << "nothing left to read";

  const std::string folder = "F" + Name("sub") + "X";
  p = Bytes(folder);
  ASSERT_EQ(ReadFolderRecord(&p, p + folder.size(), &record), RecordKind::Folder);
  EXPECT_STREQ(record.name, "sub");
  EXPECT_EQ(*p, 'X');
  for (char closing : {'X', 'B', 'L', 'D', 'E', '\0'}) {
    const std::string one(1, closing);
    const uint8_t* at = Bytes(one);
    EXPECT_EQ(ReadFolderRecord(&at, at + 1, &record), RecordKind::Close) << int(closing);
    EXPECT_EQ(at, Bytes(one)) << "a closing byte is not consumed";
  }
}

TEST(ReadFolderRecord, FaultsLeaveThePositionOnTheRecord) {
  const std::vector<std::pair<std::string, RecordKind>> cases = {
      {">" + Name("a") + Size(4) + "abc", RecordKind::Overrun},
      {">" + Name("a") + "\1\0\0", RecordKind::Overrun},
      {">abc", RecordKind::Overrun},
      {"Fsub", RecordKind::Overrun},
      {">" + Name("a") + Size(0x80000000u), RecordKind::NegativeSize},
      {">" + Name("a") + Size(0xFFFFFFFFu), RecordKind::NegativeSize},
      {">" + Name("..") + Size(0), RecordKind::UnsafeName},
      {"F" + Name("a\\b"), RecordKind::UnsafeName},
  };
  for (const auto& item : cases) {
    const uint8_t* p = Bytes(item.first);
    ArchiveRecord record;
    EXPECT_EQ(ReadFolderRecord(&p, p + item.first.size(), &record), item.second) << item.first;
    EXPECT_EQ(p, Bytes(item.first)) << item.first;
  }
  const std::string largest = ">" + Name("a") + Size(0x7FFFFFFF);
  const uint8_t* p = Bytes(largest);
  ArchiveRecord record;
  EXPECT_EQ(ReadFolderRecord(&p, p + largest.size(), &record), RecordKind::Overrun)
      << "2^31 - 1 is a valid size, only longer than this archive";
}

TEST(IsSafeArchiveName, RefusesNamesThatLeaveTheirFolder) {
  for (const char* name : {"", ".", "..", "a\\b", "\\", "a/b", "c:", "x:y"}) {
    EXPECT_FALSE(IsSafeArchiveName(name, int32_t(std::string(name).size()))) << name;
  }
  for (const char* name : {"...", ".a", "a..", "qv.ini", "Beispiele", "\xE4\xF6\xFC.sch"}) {
    EXPECT_TRUE(IsSafeArchiveName(name, int32_t(std::string(name).size()))) << name;
  }
}

TEST(CountFileRecords, CountsEveryFileUpToTheEndIgnoringNesting) {
  const std::string archive = "L" + FileRecord("a", "B>FR") +
                              FolderRecord("f", FileRecord("b", "")) + "B" + FileRecord("c", "") +
                              kEnd + FileRecord("after", "");
  EXPECT_EQ(CountFileRecords(Bytes(archive), Bytes(archive) + archive.size()), 3)
      << "content bytes are skipped, sections out of order counted, nothing after the 0x00";
  const std::string stray = "B" + FileRecord("a", "") + "X" + FileRecord("b", "") + kEnd;
  EXPECT_EQ(CountFileRecords(Bytes(stray), Bytes(stray) + stray.size()), 1);
  const std::string cut = "B" + FileRecord("a", "") + FileRecord("b", "long");
  EXPECT_EQ(CountFileRecords(Bytes(cut), Bytes(cut) + cut.size() - 1), 1)
      << "a record running past the end is not counted";
  EXPECT_EQ(CountFileRecords(Bytes(cut), Bytes(cut)), 0);
}

struct Walk {
  std::vector<std::string> events;
  WalkFault fault = WalkFault::None;
  int64_t offset = -1;
};

Walk WalkArchive(const std::string& archive) {
  Walk walk;
  ArchiveWalker walker(Bytes(archive), int64_t(archive.size()));
  for (;;) {
    switch (walker.Next()) {
      case WalkEvent::SectionOpen:
        walk.events.push_back(std::string("section ") +
                              kArchiveSections[walker.sectionIndex].folderName);
        break;
      case WalkEvent::FolderOpen:
        walk.events.push_back(std::string("folder ") + walker.record.name);
        break;
      case WalkEvent::File:
        walk.events.push_back(std::string("file ") + walker.record.name + " " +
                              std::to_string(walker.record.size));
        break;
      case WalkEvent::FolderClose:
        walk.events.push_back("close");
        break;
      case WalkEvent::Finished:
        return walk;
      case WalkEvent::Fault:
        walk.fault = walker.fault;
        walk.offset = walker.faultOffset;
        return walk;
    }
  }
}

TEST(ArchiveWalker, FollowsTheInstallersClosingRules) {
  const std::string example =
      "B" + FileRecord("a.txt", "xyz") + FolderRecord("sub", FileRecord("b.txt", "")) + kEnd;
  const std::vector<std::string> exampleEvents = {"section Bin",  "file a.txt 3", "folder sub",
                                                  "file b.txt 0", "close",        "close"};
  EXPECT_EQ(WalkArchive(example).events, exampleEvents);
  EXPECT_EQ(WalkArchive(example).fault, WalkFault::None);

  // A subfolder closed by the next section tag closes its section too.
  const Walk nested = WalkArchive("B" + std::string("F") + Name("s") + "L" + kEnd);
  EXPECT_EQ(nested.fault, WalkFault::None);
  EXPECT_EQ(nested.events, (std::vector<std::string>{"section Bin", "folder s", "close", "close",
                                                     "section Lib", "close"}));
  EXPECT_EQ(WalkArchive("BRLRDRER" + kEnd).events.size(), 8u);
  EXPECT_EQ(WalkArchive(kEnd).events.size(), 0u);
}

TEST(ArchiveWalker, NamesTheFirstFaultAndItsOffset) {
  const std::string file = FileRecord("a", "1");  // 8 bytes
  const std::vector<std::tuple<std::string, WalkFault, int64_t>> cases = {
      {"", WalkFault::Overrun, 0},
      {"B" + file, WalkFault::Overrun, 9},
      {"B" + file + "R", WalkFault::Overrun, 10},
      {"B" + file.substr(0, 7), WalkFault::Overrun, 1},
      {"B" + file + "X" + kEnd, WalkFault::UnexpectedByte, 9},
      {"L" + file + "B" + file + kEnd, WalkFault::UnexpectedByte, 9},
      {"B" + file + kEnd + kEnd, WalkFault::UnexpectedByte, 9},
      {"B" + file + ">" + Name("") + Size(0) + kEnd, WalkFault::UnsafeName, 9},
      {"B>" + Name("a") + Size(0x90000000u) + kEnd, WalkFault::NegativeSize, 1},
  };
  for (const auto& item : cases) {
    const Walk walk = WalkArchive(std::get<0>(item));
    EXPECT_EQ(walk.fault, std::get<1>(item)) << ::testing::PrintToString(std::get<0>(item));
    EXPECT_EQ(walk.offset, std::get<2>(item)) << ::testing::PrintToString(std::get<0>(item));
  }
}

// The fuzz target on inputs that reach each of its branches; the fuzzer itself
// runs with `make fuzz`.
TEST(ArchiveFuzzTarget, KeepsItsInvariantsOnKnownInputs) {
  const std::vector<std::string> inputs = {
      "",
      kEnd,
      "B" + FileRecord("a.txt", "xyz") + FolderRecord("sub", FileRecord("b.sch", "")) + kEnd,
      "BFaFbFcX",
      "LB" + kEnd,
      ">" + Name("a") + Size(0x7FFFFFFF),
      std::string(1000, 'F'),
      "B" + std::string(500, 'R'),
  };
  for (const std::string& input : inputs) {
    EXPECT_EQ(LLVMFuzzerTestOneInput(Bytes(input), input.size()), 0);
  }
}

}  // namespace
