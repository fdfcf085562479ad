// SPDX-License-Identifier: MIT

// Creating, saving and loading the control through property bags.

#include <gtest/gtest.h>

#include "fake_quadrel_host.h"
#include "quadrel.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/property_bag.h"
#include "tessaly/platform/testing/memory_property_bag.h"

namespace lattix {
namespace {

using platform::Bool16;
using platform::Variant;
using Strings = std::vector<std::string>;

class QuadrelPersistence : public ::testing::Test {
 protected:
  QuadrelPersistence() { host.Attach(control); }

  testing::FakeQuadrelHost host;
  Quadrel control{host};
};

TEST_F(QuadrelPersistence, InitPropertiesSetsTheDefaultsWithoutTouchingTheParts) {
  control.SetBackColor(0x00123456);
  control.SetBorder3D(0);
  control.SetPos(2, 9);
  host.log.clear();
  control.InitProperties();
  EXPECT_EQ(control.BackColor(), 0x00FFFFFFu);
  EXPECT_EQ(control.ForeColor(), 0u);
  EXPECT_EQ(control.Border3D(), -1);
  EXPECT_EQ(control.Pos(2), 0.0f);
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(host.text[1], "9");
}

TEST_F(QuadrelPersistence, WritePropertiesSavesInOrderWithDefaults) {
  control.InitProperties();
  control.SetForeColor(0x80000008u);
  control.SetPos(1, 192);
  control.SetPos(4, 10);
  platform::MemoryPropertyBag bag;
  control.WriteProperties(bag);

  Strings names;
  for (const auto& entry : bag.Entries()) names.push_back(entry.name);
  EXPECT_EQ(names, (Strings{"ForeColor", "BackColor", "Border3D", "Pos4", "Pos1", "Pos2", "Pos3"}));
  const auto& e = bag.Entries();
  EXPECT_EQ(e[0].value, Variant(static_cast<int32_t>(0x80000008u)));
  EXPECT_EQ(e[0].default_value, Variant(int32_t{0}));
  EXPECT_EQ(e[1].value, Variant(int32_t{0x00FFFFFF}));
  EXPECT_EQ(e[1].default_value, Variant(int32_t{0x00FFFFFF}));
  EXPECT_EQ(e[2].value, Variant(Bool16{Bool16::kTrue}));
  EXPECT_EQ(e[2].default_value, Variant(int32_t{1}));
  EXPECT_EQ(e[3].value, Variant(10.0f));
  EXPECT_EQ(e[4].value, Variant(192.0f));
  for (size_t i = 3; i < 7; ++i) EXPECT_EQ(e[i].default_value, Variant(int32_t{0}));
  EXPECT_TRUE(host.Logged({"PropertyChanged(ForeColor)"}).size() == 1);
}

TEST_F(QuadrelPersistence, LoadingRaisesChangeOncePerChangedFieldInFieldOrder) {
  platform::MemoryPropertyBag bag;
  bag.Set("Pos1", 192.0f);
  bag.Set("Pos2", 168.0f);
  bag.Set("Pos3", 1.0f);
  bag.Set("Pos4", 10.0f);
  control.ReadProperties(bag);
  EXPECT_EQ(host.Events(), (Strings{"Change(192.0.0.0)", "Change(192.168.0.0)",
                                    "Change(192.168.1.0)", "Change(192.168.1.10)"}));
  EXPECT_EQ(control.IPLong(), 0x0A01A8C0);
}

TEST_F(QuadrelPersistence, AnEmptyBagAppliesTheDefaultLookAndChangesNoField) {
  platform::MemoryPropertyBag bag;
  control.ReadProperties(bag);
  EXPECT_TRUE(host.Events().empty());
  EXPECT_EQ(control.Address(), "");
  EXPECT_EQ(host.field_fore, (std::array<OleColor, 4>{0, 0, 0, 0}));
  EXPECT_EQ(host.field_back, (std::array<OleColor, 4>{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
  EXPECT_EQ(host.border_style, 1);
  // Colours and border come before any field text.
  EXPECT_EQ(host.log.back(), "Border(1)");
}

TEST_F(QuadrelPersistence, ABagValueThatDoesNotConvertFailsTheLoad) {
  platform::MemoryPropertyBag bag;
  bag.Set("ForeColor", std::string("red"));
  try {
    control.ReadProperties(bag);
    FAIL();
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.number(), platform::kTypeMismatch);
  }
}

TEST_F(QuadrelPersistence, RoundTripsThroughABag) {
  control.InitProperties();
  control.SetForeColor(0x80000008u);
  control.SetBorder3D(0);
  control.SetPos(1, 10);
  control.SetPos(3, 254.5f);  // "254.5" is cut to "254"
  platform::MemoryPropertyBag saved;
  control.WriteProperties(saved);

  testing::FakeQuadrelHost other_host;
  Quadrel other(other_host);
  other_host.Attach(other);
  other.ReadProperties(saved);
  EXPECT_EQ(other.ForeColor(), 0x80000008u);
  EXPECT_EQ(other.BackColor(), 0x00FFFFFFu);
  EXPECT_EQ(other.Border3D(), 0);
  EXPECT_EQ(other_host.border_style, 0);
  EXPECT_EQ(other_host.dot_fill[1], 0x80000008u);
  EXPECT_EQ(other.Pos(1), 10.0f);
  EXPECT_EQ(other.Pos(3), 254.0f);
  EXPECT_EQ(other.Address(), "10.0.254.0");
}

}  // namespace
}  // namespace lattix
