#include "common/text_string.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <windows.h>

#include <cstring>

namespace {

// The buffer of a non-empty text holds exactly length + 1 bytes, the last one zero.
void ExpectExactBuffer(const TextString& t, const char* expected) {
  ASSERT_NE(t.data, nullptr) << "expected \"" << expected << "\"";
  EXPECT_EQ(t.length, static_cast<int32_t>(std::strlen(expected)));
  EXPECT_STREQ(t.data, expected);
  EXPECT_EQ(_msize(t.data), static_cast<size_t>(t.length) + 1) << "buffer of \"" << t.data << "\"";
}

void ExpectEmpty(const TextString& t) {
  EXPECT_EQ(t.data, nullptr);
  EXPECT_EQ(t.length, 0);
}

TEST(TextString, EveryEmptyResultOwnsNoBuffer) {
  TextString t;
  ExpectEmpty(t);
  t.Assign("x");
  t.Assign("");
  ExpectEmpty(t);
  t.Assign("x");
  t.Assign(nullptr);
  ExpectEmpty(t);
  t.Assign("abc");
  t.AssignPrefix("abc", 0);
  ExpectEmpty(t);
  t.Assign("abc");
  t.AssignPrefix("abc", -3);
  ExpectEmpty(t);
  t.Assign("abc");
  t.Concat("", nullptr, "");
  ExpectEmpty(t);
  t.Assign("abc");
  t.SetLength(-1);
  ExpectEmpty(t);
  EXPECT_FALSE(t.Equals(""));
  EXPECT_FALSE(t.Equals(nullptr));
}

TEST(TextString, AssignAndConcatGiveExactBuffers) {
  TextString t;
  t.Assign("C:\\DO-Dazuvazav");
  ExpectExactBuffer(t, "C:\\DO-Dazuvazav");
  t.AssignPrefix("abcdef", 3);
  ExpectExactBuffer(t, "abc");
  t.Concat("a", "", "b");
  ExpectExactBuffer(t, "ab");
  t.Concat("a", nullptr, "b");
  ExpectExactBuffer(t, "ab");
  t.Concat("\"", "D:\\Sim");
  ExpectExactBuffer(t, "\"D:\\Sim");
}

TEST(TextString, EqualLengthReusesTheBufferOtherLengthReplacesIt) {
  TextString t;
  t.Assign("abc");
  char* before = t.data;
  t.Assign("xyz");
  EXPECT_EQ(t.data, before);
  ExpectExactBuffer(t, "xyz");
  t.Concat("1", "2", "3");
  EXPECT_EQ(t.data, before);
  ExpectExactBuffer(t, "123");
  t.SetLength(3);
  EXPECT_EQ(t.data, before);
  EXPECT_STREQ(t.data, "123") << "SetLength to the same length keeps the content";
  t.Assign("abcd");
  ExpectExactBuffer(t, "abcd");
  t.SetLength(2);
  ASSERT_NE(t.data, nullptr);
  EXPECT_EQ(t.length, 2);
  EXPECT_EQ(t.data[2], 0);
  EXPECT_EQ(_msize(t.data), 3u);
}

TEST(TextString, ReceivesTextFromThePlatformThroughSetLengthAndTrim) {
  char expected[MAX_PATH + 1] = {};
  const UINT n = GetWindowsDirectoryA(expected, MAX_PATH);
  ASSERT_GT(n, 0u);

  TextString t;
  t.SetLength(MAX_PATH);
  ASSERT_EQ(GetWindowsDirectoryA(t.data, MAX_PATH + 1), n);
  t.TrimToTerminator();
  ExpectExactBuffer(t, expected);

  t.SetLength(260);
  std::strcpy(t.data, "C:\\X");
  t.TrimToTerminator();
  ExpectExactBuffer(t, "C:\\X");

  t.SetLength(260);
  t.data[0] = 0;
  t.TrimToTerminator();
  ExpectEmpty(t);
}

TEST(TextString, TrimWithoutInnerZeroChangesNothing) {
  TextString t;
  t.Assign("abc");
  char* before = t.data;
  t.TrimToTerminator();
  EXPECT_EQ(t.data, before);
  ExpectExactBuffer(t, "abc");
  TextString empty;
  empty.TrimToTerminator();
  ExpectEmpty(empty);
}

TEST(TextString, AppendGrowsAndIgnoresEmptyPieces) {
  TextString t;
  t.Append("C:");
  ExpectExactBuffer(t, "C:");
  t.Append("\\Bin");
  ExpectExactBuffer(t, "C:\\Bin");
  char* before = t.data;
  t.AppendPrefix("xyz", 0);
  t.AppendPrefix("xyz", -2);
  TextString empty;
  t.Append(empty);
  t.Append("");
  EXPECT_EQ(t.data, before);
  ExpectExactBuffer(t, "C:\\Bin");
  TextString tail;
  tail.Assign("\\qv.ini");
  t.Append(tail);
  ExpectExactBuffer(t, "C:\\Bin\\qv.ini");
  t.AppendPrefix("\"xyz", 1);
  ExpectExactBuffer(t, "C:\\Bin\\qv.ini\"");
}

TEST(TextString, EqualsIsExactAndCaseSensitive) {
  TextString t;
  t.Assign("abc");
  EXPECT_TRUE(t.Equals("abc"));
  EXPECT_FALSE(t.Equals("ABC"));
  EXPECT_FALSE(t.Equals("ab"));
  EXPECT_FALSE(t.Equals("abcd"));
  EXPECT_FALSE(t.Equals(""));
}

TEST(TextString, FindLastBackslash) {
  TextString t;
  EXPECT_EQ(t.FindLastBackslash(), -1);
  t.Assign("C:\\A\\B");
  EXPECT_EQ(t.FindLastBackslash(), 4);
  t.Assign("\\");
  EXPECT_EQ(t.FindLastBackslash(), 0);
  t.Assign("abc");
  EXPECT_EQ(t.FindLastBackslash(), -1);
  t.Assign("C:\\A\\");
  EXPECT_EQ(t.FindLastBackslash(), 4);
}

TEST(TextString, CutAtLastBackslashKeepsTheFolder) {
  TextString t;
  t.Assign("D:\\Tools\\Sim\\Psched.exe");
  t.data[t.FindLastBackslash()] = 0;
  t.TrimToTerminator();
  ExpectExactBuffer(t, "D:\\Tools\\Sim");
  t.Assign("\\psched.exe");
  t.data[t.FindLastBackslash()] = 0;
  t.TrimToTerminator();
  ExpectEmpty(t);
}

}  // namespace
