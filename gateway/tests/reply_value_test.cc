#include "reply_rules.h"

#include <gtest/gtest.h>

#include "gateway_fixture.h"

namespace morvane::testing {
namespace {

TEST(ReplyValue, IsTheTextBetweenMarkerAndEndCharacter) {
  EXPECT_EQ(ReplyValue("Credits is : 150õ\r\n"), "150");
  EXPECT_EQ(ReplyValue("Class is : õ\r\n"), "");
  EXPECT_EQ(ReplyValue("Class IS : Sysop Õ\r\n"), "Sysop ");  // either case, untrimmed
  EXPECT_EQ(ReplyValue("a is : b is : cõ"), "b is : c");       // first marker, first end
}

TEST(ReplyValue, CountsCharactersNotBytes) {
  EXPECT_EQ(ReplyValue("Clé is : Zoë✓õ"), "Zoë✓");
}

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

}  // namespace
}  // namespace morvane::testing
