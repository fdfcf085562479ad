// SPDX-License-Identifier: MIT

#include "ravelset/address_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

#include "shown_address.h"

namespace ravelset {
namespace {

using Parts = std::array<std::optional<double>, 4>;

TEST(SplitAddressField, AStoredAddressGivesItsFourParts) {
  const AddressField field = SplitAddressField("192.168.0.1         ");
  EXPECT_EQ(field.dots, 3);
  EXPECT_EQ(field.parts, (Parts{192, 168, 0, 1}));
}

TEST(SplitAddressField, BlanksAroundAPartAreIgnored) {
  EXPECT_EQ(SplitAddressField(" 10 . 0. 0 .7").parts, (Parts{10, 0, 0, 7}));
}

TEST(SplitAddressField, TheFourthPartRunsToTheEndOfTheField) {
  const AddressField field = SplitAddressField("1.2.3.4.5           ");
  EXPECT_EQ(field.dots, 3);
  EXPECT_EQ(field.parts, (Parts{1, 2, 3, 4.5}));
  EXPECT_EQ(SplitAddressField("1.2.3.4 5").parts[3], std::nullopt);
}

TEST(SplitAddressField, PartsThatAreNoNumberHaveNoValue) {
  EXPECT_EQ(SplitAddressField("192.168..x").parts, (Parts{192, 168, std::nullopt, std::nullopt}));
  EXPECT_EQ(SplitAddressField(std::string("1.2.3.4\0", 8)).parts[3], std::nullopt);
}

TEST(SplitAddressField, AFieldWithFewerDotsKeepsTheTextAfterItsLastDot) {
  AddressField field = SplitAddressField("10.0.1              ");
  EXPECT_EQ(field.dots, 2);
  EXPECT_EQ(field.parts, (Parts{10, 0, 1, std::nullopt}));
  EXPECT_TRUE(field.HasPart(2));
  EXPECT_FALSE(field.HasPart(3));

  field = SplitAddressField("                    ");
  EXPECT_EQ(field.dots, 0);
  EXPECT_EQ(field.parts, (Parts{}));
  EXPECT_TRUE(field.HasPart(0));
  EXPECT_FALSE(field.HasPart(1));

  EXPECT_EQ(SplitAddressField("77").parts, (Parts{77, std::nullopt, std::nullopt, std::nullopt}));
}

TEST(DottedText, PartsAreWrittenShortestFirstPartFirst) {
  EXPECT_EQ(DottedText({192, 168, 0, 1}), "192.168.0.1");
  EXPECT_EQ(DottedText({255, 255, 255, 255}), "255.255.255.255");
  EXPECT_EQ(DottedText({0, 0, 0, 0}), "0.0.0.0");
  EXPECT_EQ(DottedText({-0.0f, 10, 1, 2}), "0.10.1.2");
}

TEST(IsAddressPart, OnlyWholeNumbersFromZeroTo255) {
  for (float good : {0.0f, -0.0f, 1.0f, 255.0f}) EXPECT_TRUE(IsAddressPart(good)) << good;
  for (float bad : {-1.0f, 256.0f, 12.5f, 0.001f, std::nanf(""), INFINITY}) {
    EXPECT_FALSE(IsAddressPart(bad)) << bad;
  }
}

// OK judges the texts the fields show, joined by the control's Address.
TEST(JudgeShownAddress, EmptyFieldsStandForZeroAndAnythingElseIsAtFault) {
  constexpr int kWhole = ShownAddress::kWholeControl;
  const struct {
    std::string_view address;
    std::optional<int> offending;
    std::vector<int> empty;
  } kRows[] = {
      {"192.168.0.1", std::nullopt, {}},
      {"010.0.0.255", std::nullopt, {}},
      {"10..1.", std::nullopt, {1, 3}},
      {"...", std::nullopt, {0, 1, 2, 3}},
      {"1.ab.3.4", 1, {}},
      {".2.3.x", 3, {}},  // a fault wins over empty fields
      {"1.256.3.4", 1, {}},
      {"1. 2.3.4", 1, {}},
      {"1.2.3.-1", 3, {}},
      {"1.2.3.1e2", 3, {}},
      {"", kWhole, {}},  // never composed
      {"1.2.3", kWhole, {}},
      {"1.2.3.4.5", kWhole, {}},  // a pasted dot
  };
  for (const auto& row : kRows) {
    const ShownAddress shown = JudgeShownAddress(row.address);
    EXPECT_EQ(shown.offending_field, row.offending) << row.address;
    EXPECT_EQ(shown.empty_fields, row.empty) << row.address;
  }
}

}  // namespace
}  // namespace ravelset
