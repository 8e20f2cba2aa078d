#include "detect/pspice_locator.h"

#include <gtest/gtest.h>
#include <io.h>
#include <shlobj.h>

#include <string>

#include "shortcut_files.h"
#include "support/com_scope.h"
#include "support/test_files.h"

namespace {

std::string FolderOf(const PSpiceLocator& locator) {
  return locator.folder.data ? locator.folder.data : "<empty>";
}

// The name of the entry that the runtime's enumeration returns first among
// the given two, so that a test does not assume an order.
std::string FirstEnumerated(const std::string& folder, const std::string& a, const std::string& b) {
  _finddata64i32_t entry;
  const intptr_t find = _findfirst64i32((folder + "\\*").c_str(), &entry);
  std::string first;
  if (find == -1) return first;
  do {
    if (entry.name == a || entry.name == b) first = entry.name;
  } while (first.empty() && _findnext64i32(find, &entry) == 0);
  _findclose(find);
  return first;
}

TEST(PSpiceLocatorWalk, SchematicsShortcutInPSpiceStudentGroupGivesTargetFolder) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(
      PlaceShortcut(tree.path(), "PSpice Student\\Schematics.lnk", "D:\\Tools\\Sim\\Psched.exe"));
  PSpiceLocator locator(tree.path().c_str());
  EXPECT_TRUE(locator.found);
  EXPECT_EQ(FolderOf(locator), "D:\\Tools\\Sim");
  EXPECT_EQ(locator.folder.length, 12);
  EXPECT_EQ(locator.shellLink.link(), nullptr)
      << "the shell link object is released after the search";
}

TEST(PSpiceLocatorWalk, NamesMatchInAnyLetterCaseAndTheTargetKeepsItsOwn) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(PlaceShortcut(tree.path(), "pspice student\\schematics.lnk",
                            "C:\\orcad\\PSpice Stud\\psched.EXE"));
  PSpiceLocator locator(tree.path().c_str());
  EXPECT_TRUE(locator.found);
  EXPECT_EQ(FolderOf(locator), "C:\\orcad\\PSpice Stud");
}

TEST(PSpiceLocatorWalk, NearMissNamesAndBrokenShortcutsDoNotMatch) {
  ComScope com;
  TempFolder tree;
  // Each near miss has its own target folder, so a wrong match names itself.
  ASSERT_TRUE(PlaceShortcut(tree.path(), "PSpice Student\\Schematics (2).lnk",
                            "C:\\copy-name\\psched.exe"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "PSpice Student 9.1\\Schematics.lnk",
                            "C:\\group-9.1\\psched.exe"));
  ASSERT_TRUE(
      PlaceShortcut(tree.path(), "PSpice Student\\Schematics.lnk.bak", "C:\\link-bak\\psched.exe"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "PSpice Student\\PSpice Student\\Schematics.lnk",
                            "C:\\target-bak\\psched.exe.bak"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Schematics.lnk", "C:\\Windows\\notepad.exe"));
  ASSERT_TRUE(
      CreateDirectoryA((tree / "PSpice Student\\PSpice Student\\PSpice Student").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(
      tree / "PSpice Student\\PSpice Student\\PSpice Student\\Schematics.lnk", "not a shortcut"));
  ASSERT_TRUE(PlaceShortcut(tree.path(), "My PSpice Student\\Schematics.lnk",
                            "C:\\other-group\\psched.exe"));
  PSpiceLocator locator(tree.path().c_str());
  EXPECT_FALSE(locator.found) << "matched " << FolderOf(locator);
  EXPECT_EQ(locator.folder.data, nullptr);
}

TEST(PSpiceLocatorWalk, TargetsWithoutOrWithOnlyALeadingBackslash) {
  ComScope com;
  TempFolder noBackslash;
  ASSERT_TRUE(
      WriteFileBytes(noBackslash / "Schematics.lnk", ShortcutBytesWithTarget("psched.exe")));
  ASSERT_EQ(ShortcutTarget(noBackslash / "Schematics.lnk"), "psched.exe") << "the shortcut loads";
  PSpiceLocator none(noBackslash.path().c_str());
  EXPECT_FALSE(none.found) << "a target without a backslash has no folder; got " << FolderOf(none);

  TempFolder leading;
  ASSERT_TRUE(WriteFileBytes(leading / "Schematics.lnk", ShortcutBytesWithTarget("\\PSCHED.exe")));
  PSpiceLocator root(leading.path().c_str());
  EXPECT_TRUE(root.found);
  EXPECT_EQ(root.folder.length, 0) << FolderOf(root);
  EXPECT_EQ(root.folder.data, nullptr);
}

TEST(PSpiceLocatorWalk, OnlyChainsOfPSpiceStudentFoldersAreEntered) {
  ComScope com;
  TempFolder direct;
  ASSERT_TRUE(PlaceShortcut(direct.path(), "Schematics.lnk", "C:\\root-level\\psched.exe"));
  PSpiceLocator atRoot(direct.path().c_str());
  EXPECT_EQ(FolderOf(atRoot), "C:\\root-level");

  TempFolder chain;
  ASSERT_TRUE(PlaceShortcut(chain.path(), "PSpice Student\\PSPICE STUDENT\\Schematics.lnk",
                            "C:\\chain\\psched.exe"));
  PSpiceLocator inChain(chain.path().c_str());
  EXPECT_EQ(FolderOf(inChain), "C:\\chain");

  TempFolder vendor;
  ASSERT_TRUE(PlaceShortcut(vendor.path(), "OrCAD\\PSpice Student\\Schematics.lnk",
                            "C:\\vendor\\psched.exe"));
  PSpiceLocator inVendorGroup(vendor.path().c_str());
  EXPECT_FALSE(inVendorGroup.found) << "reached " << FolderOf(inVendorGroup);
}

// Without an early stop the later match would overwrite the folder.
TEST(PSpiceLocatorWalk, FirstMatchInEnumerationOrderWins) {
  ComScope com;
  TempFolder tree;
  ASSERT_TRUE(PlaceShortcut(tree.path(), "Schematics.lnk", "C:\\at-root\\psched.exe"));
  ASSERT_TRUE(
      PlaceShortcut(tree.path(), "PSpice Student\\Schematics.lnk", "C:\\in-group\\psched.exe"));
  const std::string first = FirstEnumerated(tree.path(), "Schematics.lnk", "PSpice Student");
  PSpiceLocator locator(tree.path().c_str());
  EXPECT_EQ(FolderOf(locator), first == "Schematics.lnk" ? "C:\\at-root" : "C:\\in-group")
      << "the enumeration returned " << first << " first";
}

TEST(PSpiceLocatorWalk, MissingTreeOrNoShellLinkObjectFindsNothing) {
  {
    ComScope com;
    PSpiceLocator missing("C:\\no such folder for the locator");
    EXPECT_FALSE(missing.found);
  }
  TempFolder tree;
  ASSERT_TRUE(
      WriteFileBytes(tree / "Schematics.lnk", ShortcutBytesWithTarget("C:\\Sim\\psched.exe")));
  {
    ComScope com;
    PSpiceLocator withCom(tree.path().c_str());
    ASSERT_EQ(FolderOf(withCom), "C:\\Sim") << "the shortcut itself is sound";
  }
  // Without COM on the thread the shell link object cannot be created.
  PSpiceLocator withoutCom(tree.path().c_str());
  EXPECT_FALSE(withoutCom.found);
  EXPECT_EQ(withoutCom.folder.data, nullptr);
}

TEST(PSpiceLocatorNames, PSpiceStudentFolderIsTheLastPathComponent) {
  TextString path;
  const struct {
    const char* path;
    bool expected;
  } cases[] = {
      {"C:\\Start\\PSpice Student", true},
      {"C:\\Start\\pspice STUDENT", true},
      {"PSpice Student", true},
      {"C:\\PSpice Student\\Tools", false},
      {"C:\\Start\\PSpice Student ", false},
      {"C:\\Start\\PSpice Student\\", false},
      {"C:\\Start\\PSpice", false},
  };
  for (const auto& c : cases) {
    path.Assign(c.path);
    EXPECT_EQ(PSpiceLocator::IsPSpiceStudentFolder(path), c.expected) << c.path;
  }
}

// Both Programs roots of the test prefix. The group folder name is fixed, so
// these tests own whatever PSpice Student shortcut they place there.
TEST(PSpiceLocatorStartMenu, AllUsersMatchWinsAndTheUserRootIsNotSearched) {
  ComScope com;
  RootShortcuts allUsers(CSIDL_COMMON_PROGRAMS);
  RootShortcuts user(CSIDL_PROGRAMS);
  ASSERT_TRUE(allUsers.Place("PSpice Student\\Schematics.lnk", "D:\\Tools\\Sim\\Psched.exe"))
      << allUsers.root();
  ASSERT_TRUE(user.Place("PSpice Student\\Schematics.lnk", "E:\\User\\Sim\\psched.exe"))
      << user.root();
  PSpiceLocator locator;
  EXPECT_TRUE(locator.found);
  EXPECT_EQ(FolderOf(locator), "D:\\Tools\\Sim");
}

TEST(PSpiceLocatorStartMenu, MatchOnlyInTheUserRootIsFoundAfterASkippedShortcut) {
  ComScope com;
  RootShortcuts allUsers(CSIDL_COMMON_PROGRAMS);
  RootShortcuts user(CSIDL_PROGRAMS);
  ASSERT_TRUE(allUsers.Place("PSpice Student\\Schematics.lnk", "C:\\Windows\\notepad.exe"));
  ASSERT_TRUE(user.Place("PSpice Student\\Schematics.lnk", "E:\\User\\Sim\\psched.exe"));
  PSpiceLocator locator;
  EXPECT_TRUE(locator.found);
  EXPECT_EQ(FolderOf(locator), "E:\\User\\Sim");
}

}  // namespace
