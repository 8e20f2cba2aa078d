#include "common/shell_link.h"

#include <gtest/gtest.h>

#include "support/com_scope.h"
#include "support/test_files.h"

namespace {

TEST(ShellLink, SavedShortcutLoadsBackWithItsTarget) {
  ComScope com;
  TempFolder folder;
  const std::string target = folder / "Prog Files\\psched.exe";
  ASSERT_TRUE(CreateDirectoryA((folder / "Prog Files").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(target, "stand-in"));
  const std::string linkPath = folder / "Schematics.lnk";

  ShellLink writer;
  ASSERT_TRUE(writer.Create());
  writer.SetPath(("\"" + target + "\"").c_str());
  writer.SetArguments(" -i \"C:\\x\\qv.ini\"");
  writer.SetWorkingDirectory(folder.path().c_str());
  writer.SetDescription("QV PSpice");
  writer.SetIconLocation("");
  ASSERT_TRUE(writer.QueryPersistFile());
  ASSERT_TRUE(writer.Save(linkPath.c_str()));
  writer.Release();
  ASSERT_TRUE(FileExists(linkPath));

  ShellLink reader;
  ASSERT_TRUE(reader.CreateWithPersistFile());
  ASSERT_TRUE(reader.Load(linkPath.c_str()));
  TextString path;
  ASSERT_TRUE(reader.GetPath(path, 1000));
  EXPECT_STREQ(path.data, target.c_str()) << "the quotes around the target are not stored";
  char arguments[1000] = {};
  ASSERT_EQ(reader.link()->GetArguments(arguments, sizeof arguments), S_OK);
  EXPECT_STREQ(arguments, " -i \"C:\\x\\qv.ini\"");
}

TEST(ShellLink, LoadOfAMissingOrBrokenFileFails) {
  ComScope com;
  TempFolder folder;
  ShellLink link;
  ASSERT_TRUE(link.CreateWithPersistFile());
  EXPECT_FALSE(link.Load((folder / "none.lnk").c_str()));
  ASSERT_TRUE(WriteFileBytes(folder / "broken.lnk", "not a shortcut"));
  EXPECT_FALSE(link.Load((folder / "broken.lnk").c_str()));
}

TEST(ShellLink, ShortcutWithoutTargetPathGivesNoPath) {
  ComScope com;
  TempFolder folder;
  const std::string linkPath = folder / "Empty.lnk";
  ShellLink writer;
  ASSERT_TRUE(writer.Create());
  writer.SetDescription("no target");
  ASSERT_TRUE(writer.QueryPersistFile());
  ASSERT_TRUE(writer.Save(linkPath.c_str()));

  ShellLink reader;
  ASSERT_TRUE(reader.CreateWithPersistFile());
  ASSERT_TRUE(reader.Load(linkPath.c_str()));
  TextString path;
  path.Assign("stale");
  EXPECT_FALSE(reader.GetPath(path, 1000)) << "S_FALSE is no success";
  EXPECT_EQ(path.data, nullptr);
}

// The ANSI path reaches the shell whole: the file that Save made is found
// again under the same ANSI name, last character included.
TEST(ShellLink, AnsiPathsWithWesternLettersSaveAndLoadUnderTheSameName) {
  ComScope com;
  TempFolder folder;
  const std::string linkPath = folder / "Gr\xFC\xDF \xC4rger.lnk";
  const std::string target = folder / "\xD6l\\psched.exe";
  ShellLink writer;
  ASSERT_TRUE(writer.Create());
  writer.SetPath(target.c_str());
  ASSERT_TRUE(writer.QueryPersistFile());
  ASSERT_TRUE(writer.Save(linkPath.c_str()));
  EXPECT_TRUE(FileExists(linkPath)) << Printable(linkPath);

  ShellLink reader;
  ASSERT_TRUE(reader.CreateWithPersistFile());
  ASSERT_TRUE(reader.Load(linkPath.c_str()));
  TextString path;
  ASSERT_TRUE(reader.GetPath(path, 1000));
  EXPECT_EQ(std::string(path.data), target) << Printable(path.data);
}

TEST(WideText, ConvertsTheWholeAnsiText) {
  WideText empty("");
  EXPECT_STREQ(empty.get(), L"");
  WideText none(nullptr);
  EXPECT_STREQ(none.get(), L"");
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  WideText western("Gr\xFCn");
  EXPECT_STREQ(western.get(), L"Gr\u00FCn");
}

TEST(ShellLink, OperationsWithoutAnObjectFail) {
  ShellLink link;
  TextString path;
  EXPECT_FALSE(link.QueryPersistFile());
  // No COM on this thread: the object cannot be created, nothing is held.
  EXPECT_FALSE(link.CreateWithPersistFile());
  EXPECT_EQ(link.link(), nullptr);
  EXPECT_FALSE(link.Load("C:\\x.lnk"));
  EXPECT_FALSE(link.Save("C:\\x.lnk"));
  EXPECT_FALSE(link.GetPath(path, 1000));
  link.SetPath("C:\\x.exe");
  link.SetArguments("-x");
  link.SetWorkingDirectory("C:\\");
  link.SetDescription("none");
  link.SetIconLocation("C:\\x.ico");
}

}  // namespace
