// SPDX-License-Identifier: MIT

#include "ravelset/port_rule.h"

#include <gtest/gtest.h>

namespace ravelset {
namespace {

TEST(ValidPort, TheBoundsAreIncluded) {
  EXPECT_FALSE(ValidPort("0"));
  EXPECT_TRUE(ValidPort("1"));
  EXPECT_TRUE(ValidPort("32000"));
  EXPECT_FALSE(ValidPort("32001"));
  EXPECT_FALSE(ValidPort("-1"));
  EXPECT_FALSE(ValidPort("65535"));
}

TEST(ValidPort, FiveCharactersAsTheyStandAtMost) {
  EXPECT_TRUE(ValidPort("03425"));
  EXPECT_TRUE(ValidPort("3425 "));
  EXPECT_TRUE(ValidPort(" 3425"));
  EXPECT_FALSE(ValidPort("003425"));  // value 3425, but six characters
  EXPECT_FALSE(ValidPort("3425  "));
  EXPECT_FALSE(ValidPort(" 3425 "));
  EXPECT_FALSE(ValidPort("123456"));
}

TEST(ValidPort, TheNearestWholeValueCountsWithHalvesToEven) {
  EXPECT_FALSE(ValidPort("0.5"));  // rounds to 0
  EXPECT_TRUE(ValidPort("0.51"));
  EXPECT_TRUE(ValidPort("1.5"));  // rounds to 2
  EXPECT_TRUE(ValidPort(".9"));
  EXPECT_FALSE(ValidPort(".4"));
  EXPECT_TRUE(ValidPort("+80"));
  EXPECT_TRUE(ValidPort("1e3"));  // the gateway reads it as 1000 too
  EXPECT_FALSE(ValidPort("4e4"));
}

TEST(ValidPort, TextThatIsNoNumberFails) {
  for (const char* text : {"", " ", "     ", "abc", "34a5", "3 425", "1e", "-", ".", "0x10"}) {
    EXPECT_FALSE(ValidPort(text)) << '"' << text << '"';
  }
  EXPECT_FALSE(ValidPort("\xEF\xBC\x93"));  // a full-width digit is no digit
}

}  // namespace
}  // namespace ravelset
