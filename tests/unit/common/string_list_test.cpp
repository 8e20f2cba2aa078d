#include "common/string_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "common/text_string.h"
#include "support/test_files.h"

namespace {

TEST(StringList, WalkVisitsLinesInOrderThenNone) {
  StringList list;
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Next(), nullptr);
  list.PushBack("one");
  list.PushBack("two");
  list.PushBack(nullptr);
  EXPECT_EQ(list.count, 3);
  EXPECT_STREQ(list.First(), "one");
  EXPECT_STREQ(list.Next(), "two");
  EXPECT_STREQ(list.Next(), "");
  EXPECT_EQ(list.Next(), nullptr);
  EXPECT_EQ(list.cursor, nullptr);
  EXPECT_EQ(list.Next(), nullptr);
  EXPECT_STREQ(list.First(), "one") << "a new walk starts at the head again";
}

TEST(StringList, KeepsOwnCopiesAndDuplicates) {
  StringList list;
  char line[] = "same";
  list.PushBack(line);
  line[0] = 'x';
  list.PushBack("same");
  EXPECT_STREQ(list.head->line, "same");
  EXPECT_STREQ(list.tail->line, "same");
  EXPECT_NE(list.head->line, list.tail->line);
  EXPECT_EQ(list.head->next, list.tail);
  EXPECT_EQ(list.tail->next, nullptr);
}

TEST(StringList, TwoWalksShareTheOneCursor) {
  StringList list;
  list.PushBack("a");
  list.PushBack("b");
  list.PushBack("c");
  EXPECT_STREQ(list.First(), "a");
  EXPECT_STREQ(list.Next(), "b");
  EXPECT_STREQ(list.First(), "a") << "the second walk moves the same cursor";
  EXPECT_STREQ(list.Next(), "b");
}

TEST(StringList, ClearEmptiesAllFourFields) {
  StringList list;
  list.PushBack("a");
  list.PushBack("b");
  list.First();
  list.Clear();
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.tail, nullptr);
  EXPECT_EQ(list.cursor, nullptr);
  list.PushBack("c");
  EXPECT_EQ(list.count, 1);
  EXPECT_STREQ(list.First(), "c");
}

TEST(WriteListFile, WritesEveryLineWithALineFeed) {
  TempFolder folder;
  TextString path;
  path.Assign((folder / "files").c_str());
  StringList list;
  list.PushBack("one");
  list.PushBack("two");
  list.PushBack("");
  list.First();
  ASSERT_TRUE(WriteListFile(path, list));
  EXPECT_EQ(ReadFileBytes(path.data), std::string("one\ntwo\n\n", 9));
  EXPECT_STREQ(list.cursor->line, "one") << "writing must not move the cursor";

  StringList empty;
  ASSERT_TRUE(WriteListFile(path, empty));
  EXPECT_EQ(ReadFileBytes(path.data), "") << "an existing file is truncated";
}

TEST(WriteListFile, FailsWithoutCreatingAnythingWhenTheFileCannotBeOpened) {
  TempFolder folder;
  StringList list;
  list.PushBack("line");
  TextString path;
  path.Assign((folder / "missing\\files").c_str());
  EXPECT_FALSE(WriteListFile(path, list));
  EXPECT_FALSE(FolderExists(folder / "missing"));
  TextString empty;
  EXPECT_FALSE(WriteListFile(empty, list));
}

TEST(WriteListFile, FailsWithTheSystemCodeWhenTheDriveIsFull) {
  // Wine's drive Z: is this machine's root: /dev/full opens, and every byte
  // that reaches it fails as on a full drive, here when the buffer goes out.
  StringList list;
  list.PushBack("line");
  TextString path;
  path.Assign("Z:\\dev\\full");
  SetLastError(0);
  EXPECT_FALSE(WriteListFile(path, list));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}

}  // namespace
