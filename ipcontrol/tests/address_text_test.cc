// SPDX-License-Identifier: MIT

#include "address_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lattix {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("12a"), 12);
  EXPECT_EQ(LeadingNumber("-5"), -5);
  EXPECT_EQ(LeadingNumber(" 7.5x"), 7.5);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("300"), 300);
  // Exponents are read as the platform's conversion reads them, with a
  // digit of their own.
  const struct {
    const char* text;
    double value;
  } kExponents[] = {{"1e3", 1000}, {"1E2x", 100}, {"2e-1", 0.2}, {"-1e3", -1000},
                    {"1e", 1},     {"1e+", 1},    {"5e-x", 5},   {"1e999", HUGE_VAL}};
  for (const auto& row : kExponents) EXPECT_EQ(LeadingNumber(row.text), row.value) << row.text;
  for (const char* none : {"", "abc", "-", ".", " ", "+x"}) EXPECT_EQ(LeadingNumber(none), 0);
}

TEST(WholeTextNumber, AcceptsOnlyNumbersAsAWhole) {
  EXPECT_EQ(WholeTextNumber("010"), 10.0f);
  EXPECT_EQ(WholeTextNumber("12."), 12.0f);
  EXPECT_EQ(WholeTextNumber(" 5 "), 5.0f);
  for (const char* none : {"", "abc", "1a", "-"}) EXPECT_FALSE(WholeTextNumber(none)) << none;
}

TEST(AddressToLong, PacksFourBytePartsFirstPartLowest) {
  EXPECT_EQ(AddressToLong("192.168.1.10"), 0x0A01A8C0);
  EXPECT_EQ(AddressToLong("1.2.3.200"), static_cast<int32_t>(0xC8030201u));
  EXPECT_EQ(AddressToLong("255.255.255.255"), -1);
  EXPECT_EQ(AddressToLong("0.255.0.0"), 0xFF00);
  EXPECT_EQ(AddressToLong("010.0.0.1"), 0x0100000A);
}

TEST(AddressToLong, IsZeroUnlessFourByteParts) {
  for (const char* text : {"", "1.2.3", "1.2.3.4.5", "1..3.4", "1.2.3.x", "12..0.0.0", "256.0.0.0",
                           "-1.0.0.0", "...", "1.2.3."}) {
    EXPECT_EQ(AddressToLong(text), 0) << text;
  }
}

}  // namespace
}  // namespace lattix
