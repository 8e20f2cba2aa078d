#include "common/ascii_upper.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AsciiUpper, ChangesOnlyTheLettersAToZ) {
  // Bytes next to the letter ranges and Windows-1252 letters stay as they are.
  std::string text = "az@[`{AZ09 \xE4\xFC\xDF\xA7.sch";
  AsciiUpperInPlace(&text[0]);
  EXPECT_EQ(text, "AZ@[`{AZ09 \xE4\xFC\xDF\xA7.SCH");
  for (int c = 0; c < 256; ++c) {
    const char in = static_cast<char>(c);
    const char expected = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : in;
    EXPECT_EQ(AsciiUpper(in), expected) << "byte " << c;
  }
}

TEST(AsciiUpper, EndsWithIgnoringCase) {
  EXPECT_TRUE(EndsWithIgnoringCase("amp.sch", 7, ".SCH"));
  EXPECT_TRUE(EndsWithIgnoringCase("C:\\x\\Amp.Sch", 12, ".SCH"));
  EXPECT_FALSE(EndsWithIgnoringCase("C:\\x\\SCH", 8, ".SCH"));
  EXPECT_FALSE(EndsWithIgnoringCase("sch", 3, ".SCH"));
  EXPECT_FALSE(EndsWithIgnoringCase(nullptr, 0, ".SCH"));
  EXPECT_TRUE(EndsWithIgnoringCase("foo_pll_sim.m", 13, "_PLL_SIM.M"));
}

}  // namespace
