#include "detect/octave_locator.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shortcut_files.h"
#include "support/com_scope.h"
#include "support/test_files.h"

namespace {

std::vector<std::string> Entries(const OctaveLocator& locator) {
  std::vector<std::string> lines;
  for (const StringListNode* node = locator.targets.head; node; node = node->next) {
    lines.push_back(node->line);
  }
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Only the entries below prefix: the Programs roots are shared with other tests.
std::vector<std::string> EntriesBelow(const OctaveLocator& locator, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : Entries(locator)) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

TEST(OctaveLocatorWalk, ShortcutNamesStartingWithOctaveAndEndingInLnkAreExamined) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.lnk", "C:\\A\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "octave-4.0.0.lnk", "C:\\B\\Octave-4.0.0.exe"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave CLI.LNK", "C:\\C\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "GNU Octave.lnk", "C:\\D\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.url", "C:\\E\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.lnk.old", "C:\\F\\octave.vbs"));
  ASSERT_TRUE(WriteFileBytes(tree / "Octave broken.lnk", "not a shortcut"));
  OctaveLocator locator;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 3);
  EXPECT_EQ(Sorted(Entries(locator)),
            (std::vector<std::string>{"C:\\A\\octave.vbs", "C:\\B\\Octave-4.0.0.exe",
                                      "C:\\C\\octave.vbs"}));
  EXPECT_EQ(locator.shellLink.link(), nullptr) << "the shell link object is released";
}

TEST(OctaveLocatorWalk, EveryFolderIsWalkedWhateverItsName) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(PlaceShortcut(tree.path(), "GNU Octave\\3.2\\Tools\\Deep\\Octave.lnk",
                            "C:\\Octave\\3.2.4\\bin\\octave-3.2.4.exe"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "PSpice Student\\Octave 4.lnk",
                            "C:\\Octave\\Octave-4.0.0\\octave.vbs"));
  OctaveLocator locator;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 2);
  EXPECT_EQ(Sorted(Entries(locator)),
            (std::vector<std::string>{"C:\\Octave\\3.2.4\\bin\\octave-3.2.4.exe",
                                      "C:\\Octave\\Octave-4.0.0\\octave.vbs"}));
}

TEST(OctaveLocatorWalk, UnsuitableTargetsAreSkippedAndTheWalkGoesOn) {
  ComScope com;
  TempFolder tree;
  const char* rejected[] = {"octave-3.0.5.exe",  "Octave-3.1.0.exe", "octave-10.1.0.exe",
                            "octave-3.10.0.exe", "octave.exe",       "octave-cli.exe",
                            "octave.vbs.bak",    "notepad.exe"};
  int i = 0;
  for (const char* name : rejected) {
    const std::string n = std::to_string(i++);
    ASSERT_TRUE(PlaceShortcut(tree.path(), "g" + n + "\\Octave " + n + ".lnk",
                              std::string("C:\\Rejected\\") + name));
  }
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.lnk", "C:\\Prog\\Octave-3.2.4\\Octave-3.2.4.EXE"));
  OctaveLocator locator;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 1);
  EXPECT_EQ(Entries(locator),
            (std::vector<std::string>{"C:\\Prog\\Octave-3.2.4\\Octave-3.2.4.EXE"}));
}

TEST(OctaveLocatorWalk, DuplicatesAreDroppedButOtherLetterCaseCountsAsDistinct) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.lnk", "C:\\Octave\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Group\\Octave.lnk", "C:\\Octave\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Other\\Octave.lnk", "C:\\OCTAVE\\octave.vbs"));
  OctaveLocator locator;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 2);
  EXPECT_EQ(Sorted(Entries(locator)),
            (std::vector<std::string>{"C:\\OCTAVE\\octave.vbs", "C:\\Octave\\octave.vbs"}));
}

TEST(OctaveLocatorWalk, TargetWithoutBackslashIsTestedAsAWhole) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(WriteFileBytes(tree / "Octave 1.lnk", ShortcutBytesWithTarget("OCTAVE.VBS")));
  ASSERT_TRUE(WriteFileBytes(tree / "Octave 2.lnk", ShortcutBytesWithTarget("octave-5.2.exe")));
  ASSERT_TRUE(WriteFileBytes(tree / "Octave 3.lnk", ShortcutBytesWithTarget("xoctave.vbs")));
  ASSERT_EQ(ShortcutTarget(tree / "Octave 3.lnk"), "xoctave.vbs") << "the shortcut loads";
  OctaveLocator locator;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 2);
  EXPECT_EQ(Sorted(Entries(locator)), (std::vector<std::string>{"OCTAVE.VBS", "octave-5.2.exe"}));
}

TEST(OctaveLocatorWalk, ASecondSearchDiscardsTheEntriesAndTheChoice) {
  ComScope com;
  TempFolder first;
  ASSERT_TRUE(PlaceShortcut(first.path(), "Octave.lnk", "C:\\First\\octave.vbs"));
  ASSERT_TRUE(PlaceShortcut(first.path(), "G\\Octave.lnk", "C:\\First\\G\\octave.vbs"));
  TempFolder second;
  ASSERT_TRUE(PlaceShortcut(second.path(), "Octave.lnk", "C:\\Second\\octave.vbs"));
  OctaveLocator locator;
  ASSERT_EQ(locator.FindOctaveTargetsBelow(first.path().c_str()), 2);
  locator.SelectOctaveTarget(1);
  ASSERT_NE(locator.chosen, nullptr);
  EXPECT_EQ(locator.FindOctaveTargetsBelow(second.path().c_str()), 1);
  EXPECT_EQ(Entries(locator), (std::vector<std::string>{"C:\\Second\\octave.vbs"}));
  EXPECT_EQ(locator.chosen, nullptr) << "the old choice pointed into released entries";
  TempFolder empty;
  EXPECT_EQ(locator.FindOctaveTargetsBelow(empty.path().c_str()), 0);
  EXPECT_EQ(locator.targets.head, nullptr);
}

TEST(OctaveLocatorWalk, NoShellLinkObjectGivesAnEmptyList) {
  TempFolder tree;
  {
    ComScope com;
    ASSERT_TRUE(PlaceShortcut(tree.path(), "Octave.lnk", "C:\\Octave\\octave.vbs"));
  }
  OctaveLocator locator;
  locator.targets.PushBack("C:\\Old\\octave.vbs");
  EXPECT_EQ(locator.FindOctaveTargetsBelow(tree.path().c_str()), 0);
  EXPECT_EQ(locator.targets.count, 0);
}

TEST(OctaveLocatorNames, VersionRules) {
  const char* accepted[] = {"OCTAVE.VBS",       "OCTAVE-3.2.4.EXE",  "OCTAVE-3.9.0.EXE",
                            "OCTAVE-4.0.0.EXE", "OCTAVE-5.2.EXE",    "OCTAVE-4.X.1.EXE",
                            "OCTAVE-9.0.EXE",   "OCTAVE-4.0.EXE.EXE"};
  const char* rejected[] = {"OCTAVE-3.0.5.EXE",    "OCTAVE-3.1.0.EXE",     "OCTAVE-10.1.0.EXE",
                            "OCTAVE-3.10.0.EXE",   "OCTAVE.EXE",           "OCTAVE-CLI.EXE",
                            "OCTAVE-2.9.0.EXE",    "OCTAVE-3.2.4.EXE.BAK", "OCTAVE-3.2-4.EXE",
                            "OCTAVE-4-0.0.EXE",    "OCTAVE-.EXE",          "OCTAVE-3.EXE",
                            "OCTAVE.VBS.LNK",      "XOCTAVE.VBS",          "octave.vbs",
                            "OCTAVE-3.\xB2.0.EXE", "OCTAVE-\xB3.2.0.EXE",  ""};
  TextString name;
  for (const char* f : accepted) {
    name.Assign(f);
    EXPECT_TRUE(OctaveLocator::IsOctaveTargetName(name)) << f;
  }
  for (const char* f : rejected) {
    name.Assign(f);
    EXPECT_FALSE(OctaveLocator::IsOctaveTargetName(name)) << Printable(f);
  }
}

TEST(OctaveLocatorSelect, IndexInRangeChoosesItsEntryOtherwiseTheLast) {
  OctaveLocator locator;
  locator.SelectOctaveTarget(0);
  EXPECT_EQ(locator.chosen, nullptr) << "an empty list chooses nothing";

  locator.targets.PushBack("C:\\One\\octave.vbs");
  locator.SelectOctaveTarget(0);
  ASSERT_NE(locator.chosen, nullptr);
  EXPECT_EQ(locator.chosen, locator.targets.head->line) << "the choice is the entry, not a copy";

  locator.targets.PushBack("C:\\Two\\octave.vbs");
  locator.targets.PushBack("C:\\Three\\octave.vbs");
  const struct {
    int32_t n;
    const char* expected;
  } cases[] = {{0, "C:\\One\\octave.vbs"},   {1, "C:\\Two\\octave.vbs"},
               {2, "C:\\Three\\octave.vbs"}, {5, "C:\\Three\\octave.vbs"},
               {3, "C:\\Three\\octave.vbs"}, {-1, "C:\\Three\\octave.vbs"}};
  for (const auto& c : cases) {
    locator.SelectOctaveTarget(c.n);
    EXPECT_STREQ(locator.chosen, c.expected) << "index " << c.n;
  }
  locator.SelectOctaveTarget(1);
  EXPECT_EQ(locator.chosen, locator.targets.head->next->line);
}

// Both Programs roots of the test prefix, below group folders of this test.
TEST(OctaveLocatorStartMenu, BothRootsAllUsersFirstAndDuplicatesAcrossRootsOnce) {
  ComScope com;
  RootShortcuts allUsers(CSIDL_COMMON_PROGRAMS);
  RootShortcuts user(CSIDL_PROGRAMS);
  const std::string group = "QV detect test " + std::to_string(GetCurrentProcessId());
  const std::string prefix = "C:\\QV detect target\\";
  ASSERT_TRUE(
      allUsers.Place(group + "\\Octave.lnk", prefix + "Octave-3.2.4\\bin\\octave-3.2.4.exe"))
      << allUsers.root();
  ASSERT_TRUE(user.Place(group + "\\Octave.lnk", prefix + "Octave-3.2.4\\bin\\octave-3.2.4.exe"))
      << user.root();
  ASSERT_TRUE(user.Place(group + "\\Neu\\Octave 4.lnk", prefix + "Octave-4.0.0\\octave.vbs"));
  OctaveLocator locator;
  const int32_t count = locator.FindOctaveTargets();
  EXPECT_EQ(EntriesBelow(locator, prefix),
            (std::vector<std::string>{prefix + "Octave-3.2.4\\bin\\octave-3.2.4.exe",
                                      prefix + "Octave-4.0.0\\octave.vbs"}));
  EXPECT_EQ(count, locator.targets.count);
}

TEST(OctaveLocatorStartMenu, UserRootIsSearchedAfterAMatchInTheAllUsersRoot) {
  ComScope com;
  RootShortcuts allUsers(CSIDL_COMMON_PROGRAMS);
  RootShortcuts user(CSIDL_PROGRAMS);
  const std::string group = "QV detect order " + std::to_string(GetCurrentProcessId());
  const std::string prefix = "C:\\QV detect order\\";
  ASSERT_TRUE(user.Place(group + "\\Octave.lnk", prefix + "user\\octave.vbs"));
  ASSERT_TRUE(allUsers.Place(group + "\\Octave.lnk", prefix + "all\\octave.vbs"));
  OctaveLocator locator;
  locator.FindOctaveTargets();
  EXPECT_EQ(EntriesBelow(locator, prefix),
            (std::vector<std::string>{prefix + "all\\octave.vbs", prefix + "user\\octave.vbs"}));
}

}  // namespace
