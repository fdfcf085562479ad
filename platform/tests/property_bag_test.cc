// SPDX-License-Identifier: MIT

#include "tessaly/platform/property_bag.h"

#include <gtest/gtest.h>

#include "tessaly/platform/testing/equals_default.h"
#include "tessaly/platform/testing/memory_property_bag.h"

namespace platform {
namespace {

TEST(EqualsDefault, ComparesInTheValuesType) {
  EXPECT_TRUE(EqualsDefault(Bool16{Bool16::kTrue}, int32_t{1}));
  EXPECT_FALSE(EqualsDefault(Bool16{Bool16::kFalse}, int32_t{1}));
  EXPECT_FALSE(EqualsDefault(Bool16{5}, int32_t{1}));
  EXPECT_TRUE(EqualsDefault(0.0f, int32_t{0}));
  EXPECT_TRUE(EqualsDefault(int32_t{0x00FFFFFF}, int32_t{0x00FFFFFF}));
  EXPECT_FALSE(EqualsDefault(std::string("abc"), int32_t{0}));
  EXPECT_FALSE(EqualsDefault(int32_t{1}, std::string("not a number")));
}

TEST(MemoryPropertyBag, KeepsEveryWriteInOrderWithItsDefault) {
  MemoryPropertyBag bag;
  bag.WriteProperty("A", int32_t{0}, int32_t{0});
  bag.WriteProperty("B", 1.5f, int32_t{0});
  bag.WriteProperty("A", int32_t{7}, int32_t{0});
  ASSERT_EQ(bag.Entries().size(), 2u);
  EXPECT_EQ(bag.Entries()[0].name, "B");
  EXPECT_EQ(bag.Entries()[1].name, "A");
  EXPECT_EQ(std::get<int32_t>(bag.ReadProperty("A", int32_t{0})), 7);
  EXPECT_EQ(std::get<std::string>(bag.ReadProperty("missing", std::string("d"))), "d");
}

}  // namespace
}  // namespace platform
