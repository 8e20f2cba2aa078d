#include "tools/qvpack/packer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/archive_bytes.h"
#include "tests/host/host_files.h"
#include "tools/qvpack/windows_names.h"

namespace {

using namespace archive_bytes;
namespace fs = std::filesystem;

std::string AllErrors(const std::vector<std::string>& errors) {
  std::string text;
  for (const std::string& error : errors) text += error + "\n";
  return text;
}

TEST(PackTree, WritesSectionsInOrderAndEntriesSortedByTheirBytes) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  // Created in an order unlike the archive's, which follows the names only.
  WriteHostFile(tree + "/Beispiele/x.sch", "sch");
  fs::create_directories(tree + "/Doc");
  WriteHostFile(tree + "/Bin/sub/b.txt", "");
  WriteHostFile(tree + "/Bin/\xC3\x84.txt", "umlaut");  // "Ä.txt" in UTF-8
  WriteHostFile(tree + "/Bin/alpha", "a");
  WriteHostFile(tree + "/Bin/Zeta", "z");
  MakeMinimalPackage(tree);
  std::vector<std::string> errors;
  ASSERT_TRUE(PackTree(tree, temp / "out", &errors)) << AllErrors(errors);

  const std::string expected =
      "B" + FileRecord("Zeta", "z") + FileRecord("alpha", "a") + FileRecord("pspice.prb", "prb\n") +
      FileRecord("qv.ini", "[qv]\n") + FolderRecord("sub", FileRecord("b.txt", "")) +
      FileRecord("\xC4.txt", "umlaut") + "D" + "E" + FileRecord("x.sch", "sch") + kEnd;
  EXPECT_EQ(ReadHostFile(temp / "out"), expected)
      << ::testing::PrintToString(ReadHostFile(temp / "out"));
}

TEST(PackTree, FilesAndFoldersAreMixedByNameAndNestingIsKept) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Lib/b/c/d/e.txt", "deep");
  WriteHostFile(tree + "/Lib/a", "1");
  WriteHostFile(tree + "/Lib/c", "2");
  fs::create_directories(tree + "/Lib/empty");
  std::vector<std::string> errors;
  ASSERT_TRUE(PackTree(tree, temp / "out", &errors)) << AllErrors(errors);
  const std::string lib =
      "L" + FileRecord("a", "1") +
      FolderRecord("b", FolderRecord("c", FolderRecord("d", FileRecord("e.txt", "deep")))) +
      FileRecord("c", "2") + FolderRecord("empty", "") + kEnd;
  const std::string archive = ReadHostFile(temp / "out");
  ASSERT_GE(archive.size(), lib.size());
  EXPECT_EQ(archive.substr(archive.size() - lib.size()), lib);
}

TEST(PackTree, SameTreeGivesTheSameBytes) {
  HostTempFolder temp;
  const std::vector<std::string> files = {"Bin/a", "Bin/z/y", "Bin/m", "Doc/d1", "Doc/D2"};
  for (const char* name : {"one", "two"}) {
    const std::string tree = temp / name;
    MakeMinimalPackage(tree);
    for (size_t i = 0; i < files.size(); ++i) {
      // The second tree is written back to front.
      const std::string& file = name[0] == 'o' ? files[i] : files[files.size() - 1 - i];
      WriteHostFile(tree + "/" + file, file);
    }
    std::vector<std::string> errors;
    ASSERT_TRUE(PackTree(tree, temp / name + ".qva", &errors)) << AllErrors(errors);
  }
  EXPECT_EQ(ReadHostFile(temp / "one.qva"), ReadHostFile(temp / "two.qva"));
}

// Every rejected tree names the offending path and leaves no archive behind:
// neither a new one, nor a changed old one, nor a temporary file.
struct Rejection {
  const char* what;
  std::string offendingPath;  // relative to the tree
  const char* reason;
  void (*spoil)(const std::string& tree);
};

void ExpectRejected(const Rejection& item) {
  SCOPED_TRACE(item.what);
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Doc/fine.txt", "fine");
  item.spoil(tree);
  WriteHostFile(temp / "old.qva", "old archive");
  std::vector<std::string> errors;
  EXPECT_FALSE(PackTree(tree, temp / "old.qva", &errors));
  EXPECT_FALSE(PackTree(tree, temp / "new.qva", &errors));
  const std::string text = AllErrors(errors);
  EXPECT_NE(text.find(tree + "/" + item.offendingPath + ": "), std::string::npos) << text;
  EXPECT_NE(text.find(item.reason), std::string::npos) << text;
  EXPECT_EQ(ReadHostFile(temp / "old.qva"), "old archive");
  EXPECT_EQ(NamesIn(temp.path()), (std::vector<std::string>{"old.qva", "tree"}));
}

TEST(PackTree, RejectsNamesThatWindowsCannotTake) {
  const Rejection cases[] = {
      {"beyond Windows-1252", "Doc/snow\xE2\x98\x83", "U+2603 cannot be represented",
       [](const std::string& t) { WriteHostFile(t + "/Doc/snow\xE2\x98\x83", ""); }},
      {"no UTF-8", "Doc/bad\xFF", "not valid UTF-8",
       [](const std::string& t) { WriteHostFile(t + "/Doc/bad\xFF", ""); }},
      {"backslash", "Doc/a\\b", "'\\'",
       [](const std::string& t) { WriteHostFile(t + "/Doc/a\\b", ""); }},
      {"colon in a folder name", "Doc/c:d", "':'",
       [](const std::string& t) { WriteHostFile(t + "/Doc/c:d/x", ""); }},
      {"asterisk", "Doc/*", "'*'", [](const std::string& t) { WriteHostFile(t + "/Doc/*", ""); }},
      {"question mark", "Doc/?", "'?'",
       [](const std::string& t) { WriteHostFile(t + "/Doc/?", ""); }},
      {"quote", "Doc/\"q\"", "'\"'",
       [](const std::string& t) { WriteHostFile(t + "/Doc/\"q\"", ""); }},
      {"angle", "Doc/<a>", "'<'", [](const std::string& t) { WriteHostFile(t + "/Doc/<a>", ""); }},
      {"bar", "Doc/a|b", "'|'", [](const std::string& t) { WriteHostFile(t + "/Doc/a|b", ""); }},
      {"control character", "Doc/tab\t", "control character 0x09",
       [](const std::string& t) { WriteHostFile(t + "/Doc/tab\t", ""); }},
      {"trailing dot", "Doc/name.", "ending in a dot",
       [](const std::string& t) { WriteHostFile(t + "/Doc/name.", ""); }},
      {"trailing blank", "Doc/name ", "ending in a blank",
       [](const std::string& t) { WriteHostFile(t + "/Doc/name ", ""); }},
      {"device name", "Doc/CON", "reserved device name",
       [](const std::string& t) { WriteHostFile(t + "/Doc/CON", ""); }},
      {"device name with extension", "Doc/sub/lpt1.txt", "reserved device name",
       [](const std::string& t) { WriteHostFile(t + "/Doc/sub/lpt1.txt", ""); }},
      {"device name and blank", "Doc/nul .x", "reserved device name",
       [](const std::string& t) { WriteHostFile(t + "/Doc/nul .x", ""); }},
      {"case clash", "Doc/\xC3\xA4.txt", "differ only in letter case",
       [](const std::string& t) {
         WriteHostFile(t + "/Doc/\xC3\xA4.txt", "");  // ä
         WriteHostFile(t + "/Doc/\xC3\x84.TXT", "");  // Ä
       }},
      {"backup name", "Doc/amp.sch~qvsetup", "keeps for the files it replaces",
       [](const std::string& t) { WriteHostFile(t + "/Doc/amp.sch~qvsetup", ""); }},
      {"second backup name", "Doc/a.txt~QVSetu2", "ends in \"~QVSetu2\"",
       [](const std::string& t) { WriteHostFile(t + "/Doc/a.txt~QVSetu2", ""); }},
      {"companion clash", "Doc/amp.QV", "companion file",
       [](const std::string& t) {
         WriteHostFile(t + "/Doc/Amp.sch", "");
         WriteHostFile(t + "/Doc/amp.QV", "");
       }},
  };
  for (const Rejection& item : cases) ExpectRejected(item);
}

TEST(PackTree, RejectsWhatTheArchiveCannotHold) {
  const Rejection cases[] = {
      {"file of 2^31 bytes", "Doc/huge", "2^31 bytes or larger",
       [](const std::string& t) {
         WriteHostFile(t + "/Doc/huge", "");
         ASSERT_EQ(truncate((t + "/Doc/huge").c_str(), 0x80000000LL), 0);
       }},
      {"symbolic link to a file", "Bin/link", "symbolic link",
       [](const std::string& t) { fs::create_symlink("qv.ini", t + "/Bin/link"); }},
      {"symbolic link to a folder", "Doc/linked", "symbolic link",
       [](const std::string& t) { fs::create_directory_symlink("../Bin", t + "/Doc/linked"); }},
      {"named pipe", "Doc/pipe", "neither a regular file nor a folder",
       [](const std::string& t) { ASSERT_EQ(mkfifo((t + "/Doc/pipe").c_str(), 0600), 0); }},
      {"other top-level folder", "Extra", "unexpected top-level entry",
       [](const std::string& t) { fs::create_directories(t + "/Extra"); }},
      {"top-level file", "readme.txt", "unexpected top-level entry",
       [](const std::string& t) { WriteHostFile(t + "/readme.txt", ""); }},
      {"section in the wrong case", "bin", "unexpected top-level entry",
       [](const std::string& t) { fs::create_directories(t + "/bin"); }},
      {"section that is a file", "Lib", "must be a folder",
       [](const std::string& t) { WriteHostFile(t + "/Lib", ""); }},
      {"without qv.ini", "Bin/qv.ini", "is missing",
       [](const std::string& t) { fs::remove(t + "/Bin/qv.ini"); }},
      {"without pspice.prb", "Bin/pspice.prb", "is missing",
       [](const std::string& t) { fs::remove(t + "/Bin/pspice.prb"); }},
      {"qv.ini as a folder", "Bin/qv.ini", "is missing",
       [](const std::string& t) {
         fs::remove(t + "/Bin/qv.ini");
         fs::create_directories(t + "/Bin/qv.ini");
       }},
  };
  for (const Rejection& item : cases) ExpectRejected(item);
}

TEST(PackTree, LargestFileSizeIsAccepted) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Doc/big", "");
  ASSERT_EQ(truncate((tree + "/Doc/big").c_str(), 0x7FFFFFFFLL), 0);
  // Only the scan: packing 2 GiB would take too long for a unit test.
  std::vector<std::string> errors;
  EXPECT_FALSE(PackTree(tree, "/nonexistent-folder/out.qva", &errors));
  EXPECT_EQ(AllErrors(errors).find("2^31"), std::string::npos) << AllErrors(errors);
  EXPECT_NE(AllErrors(errors).find("/nonexistent-folder/out.qva: cannot create a temporary file"),
            std::string::npos)
      << AllErrors(errors);
}

TEST(PackTree, MissingTreeIsNamed) {
  HostTempFolder temp;
  std::vector<std::string> errors;
  EXPECT_FALSE(PackTree(temp / "none", temp / "out", &errors));
  EXPECT_EQ(AllErrors(errors), temp / "none" + ": is not a folder\n");
  EXPECT_FALSE(fs::exists(temp / "out"));
}

TEST(WindowsNames, ConvertsUtf8ToWindows1252AndBack) {
  std::string out, reason;
  ASSERT_TRUE(Utf8ToWindows1252("\xE2\x82\xAC \xC3\xBC \xC5\xA0 \xC2\xA0 \xC3\xBF", &out, &reason));
  EXPECT_EQ(out, "\x80 \xFC \x8A \xA0 \xFF");
  EXPECT_EQ(Windows1252ToUtf8(out), "\xE2\x82\xAC \xC3\xBC \xC5\xA0 \xC2\xA0 \xC3\xBF");
  EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81") << "an unassigned byte stays its code point";
  const char* refused[] = {"\xC2\x81",      // U+0081: unassigned in Windows-1252
                           "\xC0\xAF",      // overlong "/"
                           "\xED\xA0\x80",  // surrogate
                           "\xC3",          // cut off
                           "\xF0\x9F\x98\x80"};
  for (const char* name : refused) {
    EXPECT_FALSE(Utf8ToWindows1252(name, &out, &reason)) << ::testing::PrintToString(name);
  }
}

TEST(WindowsNames, AcceptsOrdinaryNamesAndFoldsCase) {
  for (const char* name : {"qv.ini", "CONSOLE", "con2", "COM0", "a b.c", ".hidden", "x..y"}) {
    EXPECT_EQ(WindowsNameProblem(name), "") << name;
  }
  EXPECT_EQ(FoldWindowsCase("abc\xE4\xFF\x9A\xF7\xDF"), "ABC\xC4\x9F\x8A\xF7\xDF");
}

}  // namespace
