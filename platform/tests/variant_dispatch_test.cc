// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <array>

#include "raised_error.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/error.h"

namespace platform {
namespace {

using testing_support::RaisedError;

TEST(Variant, CoercesWithThePlatformRules) {
  EXPECT_EQ(ToLong(Variant(std::string(" 12.5 "))), 12);
  EXPECT_EQ(ToLong(Variant(13.5f)), 14);
  EXPECT_EQ(ToLong(Variant(Bool16{Bool16::kTrue})), -1);
  EXPECT_EQ(ToInteger(Variant(int32_t{-32768})), -32768);
  EXPECT_FLOAT_EQ(ToSingle(Variant(std::string("192"))), 192.0f);
  EXPECT_EQ(ToText(Variant(12.5f)), "12.5");
  EXPECT_EQ(ToText(Variant(int32_t{-3})), "-3");
  EXPECT_EQ(ToBool(Variant(int32_t{5})).value, Bool16::kTrue);
  EXPECT_EQ(ToBool(Variant(std::string("False"))).value, Bool16::kFalse);
  EXPECT_EQ(RaisedError([] { ToInteger(Variant(int32_t{40000})); }), kOverflow);
  EXPECT_EQ(RaisedError([] { ToLong(Variant(std::string("x"))); }), kTypeMismatch);
  EXPECT_EQ(RaisedError([] { ToLong(Variant(std::shared_ptr<Component>())); }), kTypeMismatch);
}

TEST(Variant, RecordsNameTheirFields) {
  Record record{"Pair", {{"a", int32_t{1}}, {"b", std::string("two")}}};
  EXPECT_EQ(std::get<std::string>(record.Field("b")), "two");
  EXPECT_EQ(RaisedError([&] { record.Field("c"); }), kObjectDoesNotSupport);
}

// A counter with one read-only property, one property and one method that
// replaces its by-reference argument.
class Counter : public Dispatch {
 public:
  static constexpr std::array<ParamInfo, 1> kEchoParams = {{{"text", VarType::kString, true}}};
  static constexpr std::array<MemberInfo, 3> kMembers = {{
      {"Count", 1, MemberKind::kReadOnlyProperty, VarType::kLong, {}},
      {"Step", 2, MemberKind::kProperty, VarType::kLong, {}},
      {"Echo", 3, MemberKind::kMethod, VarType::kEmpty, kEchoParams},
  }};

  std::span<const MemberInfo> Members() const override { return kMembers; }

  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override {
    CheckCall(id, kind, args.size());
    switch (id) {
      case 1: return count_;
      case 2:
        if (kind == InvokeKind::kPropertyPut) step_ = ToLong(args[0]);
        return step_;
      default:
        count_ += step_;
        args[0] = ToText(args[0]) + "!";
        return {};
    }
  }

 private:
  int32_t count_ = 0;
  int32_t step_ = 1;
};

TEST(Dispatch, CallsMembersByNameAndIdentifier) {
  Counter counter;
  EXPECT_EQ(counter.GetIDOfName("eCHO"), 3);
  counter.PutProperty(counter.GetIDOfName("step"), std::string("5"));
  Variant arg = std::string("hi");
  counter.Invoke(3, InvokeKind::kMethod, std::span(&arg, 1));
  EXPECT_EQ(std::get<std::string>(arg), "hi!");
  EXPECT_EQ(std::get<int32_t>(counter.GetProperty(1)), 5);
}

TEST(Dispatch, RefusesUnknownMembersWrongKindsAndArgumentCounts) {
  Counter counter;
  EXPECT_EQ(RaisedError([&] { counter.GetIDOfName("Nothing"); }), kObjectDoesNotSupport);
  EXPECT_EQ(RaisedError([&] { counter.PutProperty(1, int32_t{2}); }), kObjectDoesNotSupport);
  EXPECT_EQ(RaisedError([&] { counter.GetProperty(99); }), kObjectDoesNotSupport);
  EXPECT_EQ(RaisedError([&] { counter.Invoke(3, InvokeKind::kMethod, {}); }), kWrongArgumentCount);
}

}  // namespace
}  // namespace platform
