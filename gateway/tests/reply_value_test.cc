// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "gateway_fixture.h"
#include "reply_rules.h"

namespace morvane::testing {
namespace {

TEST(ReplyValue, IsTheTextBetweenMarkerAndEndCharacter) {
  EXPECT_EQ(ReplyValue("Credits is : 150õ\r\n"), "150");
  EXPECT_EQ(ReplyValue("Class is : õ\r\n"), "");
  EXPECT_EQ(ReplyValue("Class IS : Sysop Õ\r\n"), "Sysop ");  // either case, untrimmed
  EXPECT_EQ(ReplyValue("a is : b is : cõ"), "b is : c");      // first marker, first end
}

TEST(ReplyValue, CountsCharactersNotBytes) { EXPECT_EQ(ReplyValue("Clé is : Zoë✓õ"), "Zoë✓"); }

TEST(ReplyValue, WithoutMarkerStartsAtTheFifthCharacter) {
  EXPECT_EQ(ReplyValue("abcd123õ"), "123");
  EXPECT_EQ(ReplyValue("abcdõ"), "");
}

TEST(ReplyValue, RaisesInvalidArgumentWhenTheEndIsMissingOrEarly) {
  EXPECT_EQ(RaisedError([] { ReplyValue("is : 150\r\n"); }), platform::kInvalidProcedureCall);
  EXPECT_EQ(RaisedError([] { ReplyValue(""); }), platform::kInvalidProcedureCall);
  EXPECT_EQ(RaisedError([] { ReplyValue("õ is : 5"); }), platform::kInvalidProcedureCall);
  EXPECT_EQ(RaisedError([] { ReplyValue("abcõ"); }), platform::kInvalidProcedureCall);
}

TEST(ReplyValue, AnEndBeyondCharacter32767Overflows) {
  EXPECT_EQ(ReplyValue("is : " + std::string(32761, '7') + "õ").size(), 32761u);
  EXPECT_EQ(RaisedError([] { ReplyValue("is : " + std::string(32762, '7') + "õ"); }),
            platform::kOverflow);
}

TEST(FoldedReply, ContainsIgnoresCaseAcrossTheCodePage) {
  EXPECT_TRUE(FoldedReply("it is UNKNOWN").Contains("NO"));
  EXPECT_TRUE(FoldedReply("ÉTÉ").Contains("été"));
  EXPECT_FALSE(FoldedReply("yes").Contains("NO"));
}

TEST(FoldedReply, FindsTheFirstPlaceWithoutRegardToCase) {
  constexpr size_t kNowhere = std::string::npos;
  // Longer than what is folded without an allocation.
  const std::string long_reply = std::string(300, 'x') + "Master";
  const struct {
    std::string_view reply;
    std::string_view text;
    size_t at;
  } cases[] = {
      {"Number of credits is : 1200\u00F5\r\n", "IS : ", 18},
      {"Number of credits is : 1200\u00D5\r\n", "\u00F5", 27},
      {"What is your wish my master?\u00F5\u00F5", "WHAT IS YOUR WISH MY MASTER?\u00D5\u00F5", 0},
      {"mamamaster", "MASTER", 4},
      {long_reply, "MASTER", 300},
      {"xxABCDEFGHIJxx", "abcdefghij", 2},
      {"abcdefgX", "ABCDEFGY", kNowhere},
      {"abcdefgh", "ABCDEFGHI", kNowhere},  // longer than the reply
      {"x\u00FF", "\u0178", 1},             // Ÿ folds to a letter of another lead byte
      {"\u0178", "\u00FF", 0},
      {"ÉTÉ", "été", 0},
      {"abc", "", 0},
      {"", "", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FoldedReply(c.reply).Find(c.text), c.at) << c.reply << " / " << c.text;
  }
}

}  // namespace
}  // namespace morvane::testing
