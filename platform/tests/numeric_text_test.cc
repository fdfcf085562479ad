// SPDX-License-Identifier: MIT

#include "tessaly/platform/numeric_text.h"

#include <gtest/gtest.h>

#include "raised_error.h"
#include "tessaly/platform/error.h"

namespace platform {
namespace {

int32_t ErrorOf(std::string_view text) {
  return testing_support::RaisedError([&] { TextToLong(text); });
}

TEST(NumericText, ReadsWholeNumbersWithBlanksAndSign) {
  EXPECT_EQ(TextToLong("  4000              "), 4000);
  EXPECT_EQ(TextToLong(" 42 "), 42);
  EXPECT_EQ(TextToLong("-7"), -7);
  EXPECT_EQ(TextToLong("+7"), 7);
  EXPECT_EQ(TextToLong("007"), 7);
  EXPECT_EQ(TextToLong("\t-0\t"), 0);
  EXPECT_EQ(TextToLong("123456789"), 123456789);
  EXPECT_EQ(TextToLong(" -1234567890 "), -1234567890);
}

TEST(NumericText, RoundsFractionsHalfToEven) {
  EXPECT_EQ(TextToLong("12.5"), 12);
  EXPECT_EQ(TextToLong("13.5"), 14);
  EXPECT_EQ(TextToLong("12.50000001"), 13);
  EXPECT_EQ(TextToLong("-2.5"), -2);
  EXPECT_EQ(TextToLong("-0.4"), 0);
  EXPECT_EQ(TextToLong(".6"), 1);
  EXPECT_EQ(TextToLong("3."), 3);
}

// The shortest text of a Single may carry an exponent; it must read back.
TEST(NumericText, ReadsExponentsAsTheShortestTextWritesThem) {
  EXPECT_EQ(TextToLong("1.5E3"), 1500);
  EXPECT_EQ(TextToLong("25e-1"), 2);  // 2.5, half to even
  EXPECT_EQ(TextToLong("35E-1"), 4);
  EXPECT_EQ(TextToLong("1e-07"), 0);
  EXPECT_EQ(TextToLong("0e999999"), 0);
  EXPECT_THROW(TextToLong("1e10"), PlatformError);
  EXPECT_THROW(TextToLong("1e999999"), PlatformError);
  EXPECT_EQ(ErrorOf("1e"), kTypeMismatch);
  EXPECT_EQ(ErrorOf("e5"), kTypeMismatch);
  for (float value : {1e-7f, 3.4e38f, 1.17549435e-38f, 12.5f, 255.0f}) {
    EXPECT_EQ(static_cast<float>(TextToDouble(ShortestText(value))), value) << ShortestText(value);
  }
}

TEST(NumericText, RaisesTypeMismatchForTextThatIsNoNumber) {
  for (const char* text :
       {"", "   ", "abc", "1 2", "12a", "-", ".", "1.2.3", "0x10", "1e+", "- 5", "+-1", "1-"}) {
    EXPECT_EQ(ErrorOf(text), kTypeMismatch) << '"' << text << '"';
  }
}

TEST(NumericText, RaisesOverflowOutsideThirtyTwoBits) {
  EXPECT_EQ(TextToLong("2147483647"), 2147483647);
  EXPECT_EQ(TextToLong("-2147483648"), INT32_MIN);
  EXPECT_EQ(ErrorOf("2147483648"), kOverflow);
  EXPECT_EQ(ErrorOf("2147483647.5"), kOverflow);
  EXPECT_EQ(ErrorOf("99999999999999999999999"), kOverflow);
  EXPECT_THROW(TextToInteger("32768"), PlatformError);
  EXPECT_EQ(testing_support::RaisedError([] { TextToInteger(" -99999 "); }), kOverflow);
  EXPECT_EQ(TextToInteger("-32768"), -32768);
}

TEST(NumericText, NonRaisingFormsAgree) {
  EXPECT_EQ(ParseLong(" 3425 "), 3425);
  EXPECT_EQ(ParseLong("x"), std::nullopt);
  EXPECT_EQ(ParseLong("4294967296"), std::nullopt);
  EXPECT_DOUBLE_EQ(*ParseDouble(" 12.25 "), 12.25);
  EXPECT_EQ(RoundToLong(0.5), 0);
  EXPECT_EQ(RoundToLong(1.5), 2);
  EXPECT_EQ(RoundToLong(3e10), std::nullopt);
}

TEST(NumericText, WritesTheShortestText) {
  EXPECT_EQ(ShortestText(192.0f), "192");
  EXPECT_EQ(ShortestText(12.5f), "12.5");
  EXPECT_EQ(ShortestText(-3.0f), "-3");
  EXPECT_EQ(ShortestText(-0.0f), "0");
}

}  // namespace
}  // namespace platform
