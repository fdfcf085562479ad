// SPDX-License-Identifier: MIT

#include "tessaly/platform/ansi_text.h"

#include <gtest/gtest.h>

#include "tessaly/platform/utf8.h"

namespace platform {
namespace {

TEST(AnsiText, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = AnsiToUtf8(all);
  EXPECT_EQ(Utf8Length(utf8), 256u);
  EXPECT_EQ(Utf8ToAnsi(utf8), all);
  // Longer text than any answer, converted by the other path.
  EXPECT_EQ(AnsiToUtf8(all + "x" + all), utf8 + "x" + utf8);
}

TEST(AnsiText, MapsTheCodePageSpecials) {
  EXPECT_EQ(AnsiToUtf8("\x80"), "\u20AC");
  EXPECT_EQ(AnsiToUtf8("\xF5\xD5"), "õÕ");
  // The end-of-value letter: one byte on the wire, its UTF-8 form inside.
  EXPECT_EQ(AnsiToUtf8(std::string(1, kEndOfValueByte)), kEndOfValueText);
  EXPECT_EQ(Utf8ToAnsi(kEndOfValueText), std::string(1, kEndOfValueByte));
  EXPECT_EQ(FoldCase(AnsiToUtf8(std::string(1, kEndOfValueCapitalByte))), kEndOfValueText);
  EXPECT_EQ(Utf8ToAnsi("€ Ÿ é"), "\x80 \x9F \xE9");
}

TEST(AnsiText, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
  EXPECT_EQ(Utf8ToAnsi("a中b"), "a?b");
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");          // cut sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");       // overlong '/'
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");  // surrogate
  EXPECT_EQ(Utf8ToAnsi("\xC2\x85"), "?");        // a control the code page lacks
  // FitsAnsi tells these apart from a '?' of the caller's own;
  // StartsWithC1Control finds the controls that a terminal would obey and
  // that the undefined bytes of the code page read as.
  const struct {
    const char* text;
    bool fits_ansi;
    bool starts_with_c1;
    size_t first_length;
  } cases[] = {
      {"a中b", false, false, 1},
      {"a\xC3", false, false, 1},
      {"\xC0\xAF", false, false, 0},
      {"\xED\xA0\x80", false, false, 0},
      {"\xC2\x85", false, true, 2},  // a C1 control the code page lacks
      {"Zoē", false, false, 1},
      {"Łukasz", false, false, 2},
      {"", true, false, 0},
      {"plain?", true, false, 1},
      {"€ Ÿ é õ", true, false, 3},
      {"\xC2\x81", true, true, 2},  // the C1 control of an undefined byte
      {"\x7F", true, false, 1},
      {"\x01\x1F", true, false, 1},           // C0 controls are not C1
      {"\xC2\x80", false, true, 2},           // U+0080, the first C1 control
      {"\xC2\x9Fx", false, true, 2},          // U+009F, the last, text after it
      {"\xC2\xA0", true, false, 2},           // U+00A0, the first after them
      {"x\xC2\x80", false, false, 1},         // only the start counts
      {"\xC2", false, false, 0},              // a lead byte cut off
      {"\x85", false, false, 0},              // a lone continuation byte
      {"\xC1\x80", false, false, 0},          // overlong '@'
      {"\xE0\x82\x80", false, false, 0},      // overlong U+0080
      {"\xF0\x9F\x98\x80", false, false, 4},  // four bytes
      {"\xF4\x90\x80\x80", false, false, 0}   // beyond U+10FFFF
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitsAnsi(c.text), c.fits_ansi) << c.text;
    EXPECT_EQ(StartsWithC1Control(c.text), c.starts_with_c1) << c.text;
    EXPECT_EQ(Utf8CharLength(c.text), c.first_length) << c.text;
  }
}

TEST(AnsiText, FoldsTheLettersOfTheCodePageKeepingOffsets) {
  EXPECT_EQ(FoldCase("ABC xyz ÀÉÕÞ × ŠŒŽŸ"), "abc xyz àéõþ × šœžÿ");
  // Eight bytes are folded at a time: letters at and across the edges of
  // such words, next to the bytes just outside A-Z, and in words that hold
  // other bytes as well.
  const struct {
    const char* text;
    const char* folded;
  } cases[] = {
      {"@AZ[`az{", "@az[`az{"},
      {"@AZ[`az{@AZ[`az{Q", "@az[`az{@az[`az{q"},
      {"ABCDEFGÀHIJKLMNO", "abcdefgàhijklmno"},  // À across two words
      {"1234567ŸZ", "1234567ÿz"},
      {"ÉÉÉÉÉÉÉÉÉ", "ééééééééé"},
      {"ß×÷ABCDEFGH", "ß×÷abcdefgh"},
      {"ABCDEFG\xC3", "abcdefg\xC3"},  // a lead byte cut off at the end
      {"ABCDEF\xC3Z\x80", "abcdef\xC3z\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(FoldCase(c.text), c.folded) << c.text;
  const std::string text = "Crédit Õ IS : 5õ";
  EXPECT_EQ(FoldCase(text).size(), text.size());
}

TEST(AnsiText, FindsWithoutRegardToCase) {
  EXPECT_EQ(FindNoCase("xx No such USER", "no such user"), 3u);
  EXPECT_EQ(FindNoCase("valueÕ", "õ"), 5u);
  EXPECT_EQ(FindNoCase("unknown", "NO"), 3u);
  EXPECT_EQ(FindNoCase("yes", "NO"), std::string::npos);
  EXPECT_EQ(FindNoCase("abc", ""), 0u);
}

TEST(AnsiText, CountsAndLocatesCharacters) {
  const std::string text = "aé€b";
  EXPECT_EQ(Utf8Length(text), 4u);
  EXPECT_EQ(Utf8Offset(text, 2), 3u);
  EXPECT_EQ(Utf8Offset(text, 3), 6u);
  EXPECT_EQ(Utf8Offset(text, 9), text.size());
}

}  // namespace
}  // namespace platform
