// SPDX-License-Identifier: MIT

// Late binding of the control by dispatch identifier.

#include "quadrel_dispatch.h"

#include <gtest/gtest.h>

#include "fake_quadrel_host.h"
#include "raised_error.h"
#include "tessaly/platform/error.h"

namespace lattix {
namespace {

using testing_support::RaisedError;

using platform::Bool16;
using platform::InvokeKind;
using platform::Variant;

// The dispatch interface over a control with a fake host.
class TestDispatch : public QuadrelDispatch {
 public:
  TestDispatch() {
    host.Attach(control);
    control.InitProperties();
  }
  testing::FakeQuadrelHost host;
  Quadrel control{host};
  bool gone = false;

 protected:
  Quadrel& Control() override {
    if (gone) throw platform::PlatformError(91);
    return control;
  }
};

TEST(QuadrelMembers, FollowTheInterfaceOrderWithTheirIdentifiersAndHelp) {
  const auto members = QuadrelMembers();
  ASSERT_EQ(members.size(), 13u);
  const std::pair<const char*, platform::DispId> expected[] = {{"Address", 0x68030008},
                                                               {"ForeColor", 0x68030007},
                                                               {"BackColor", 0x68030006},
                                                               {"Border3D", 0x68030005},
                                                               {"ChangeTextColor", 0x60030021},
                                                               {"SetBorder", 0x60030022},
                                                               {"IPChange", 0x60030023},
                                                               {"Pos4", 0x68030004},
                                                               {"Pos1", 0x68030003},
                                                               {"Pos2", 0x68030002},
                                                               {"Pos3", 0x68030001},
                                                               {"IPLong", 0x68030000},
                                                               {"About", -552}};
  for (size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(members[i].name, expected[i].first);
    EXPECT_EQ(members[i].id, expected[i].second);
  }
  EXPECT_EQ(members[0].help, "Read only - Returns formated IP address (a.b.c.d).");
  EXPECT_EQ(members[8].help, "Set/Return IP address in \"Pos1.Pos2.Pos3.Pos4\" format.");
  EXPECT_EQ(members[11].help, "Returns IPAddress  in long (&Hddccbbaa) format.");
  EXPECT_EQ(members[12].help, "Show About");
  EXPECT_EQ(members[3].result, platform::VarType::kBool);
  EXPECT_EQ(members[9].result, platform::VarType::kSingle);

  const auto events = QuadrelEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2].name, "Change");
  EXPECT_EQ(events[2].id, 3);
  ASSERT_EQ(events[2].params.size(), 1u);
  EXPECT_TRUE(events[2].params[0].written);
}

TEST(QuadrelDispatch, SetsAndReadsThePartsByIdentifier) {
  TestDispatch quadrel;
  for (int n = 1; n <= 4; ++n) quadrel.PutProperty(PosDispId(n), float(n * 10));
  quadrel.PutProperty(quadrel.GetIDOfName("pos3"), std::string("300"));
  EXPECT_EQ(quadrel.GetProperty(kDispIdPos1), Variant(10.0f));
  EXPECT_EQ(quadrel.GetProperty(kDispIdPos3), Variant(255.0f));
  EXPECT_EQ(quadrel.GetProperty(kDispIdAddress), Variant(std::string("10.20.255.40")));
  EXPECT_EQ(quadrel.GetProperty(kDispIdIPLong), Variant(int32_t{0x28FF140A}));
  EXPECT_EQ(RaisedError([&] { quadrel.PutProperty(kDispIdPos2, std::string("abc")); }),
            platform::kTypeMismatch);
  EXPECT_EQ(quadrel.GetProperty(kDispIdPos2), Variant(20.0f));
}

TEST(QuadrelDispatch, LetsOfAddressAndIPLongChangeNothing) {
  TestDispatch quadrel;
  quadrel.PutProperty(kDispIdAddress, std::string("1.2.3.4"));
  quadrel.PutProperty(kDispIdIPLong, int32_t{5});
  quadrel.PutProperty(kDispIdIPLong, std::string("not even a number"));
  EXPECT_EQ(quadrel.GetProperty(kDispIdAddress), Variant(std::string()));
  EXPECT_EQ(quadrel.GetProperty(kDispIdIPLong), Variant(int32_t{0}));
  EXPECT_TRUE(quadrel.host.log.empty());
}

TEST(QuadrelDispatch, CarriesColoursAsLongAndTheBorderAsBoolean) {
  TestDispatch quadrel;
  quadrel.PutProperty(kDispIdForeColor, static_cast<int32_t>(0x80000008u));
  EXPECT_EQ(quadrel.GetProperty(kDispIdForeColor), Variant(static_cast<int32_t>(0x80000008u)));
  EXPECT_EQ(quadrel.host.field_fore[0], 0x80000008u);
  quadrel.PutProperty(kDispIdBorder3D, int32_t{0});
  EXPECT_EQ(quadrel.GetProperty(kDispIdBorder3D), Variant(Bool16{0}));
  EXPECT_EQ(quadrel.host.border_style, 0);
  quadrel.PutProperty(kDispIdBorder3D, Bool16{Bool16::kTrue});
  EXPECT_EQ(quadrel.host.border_style, 1);
}

TEST(QuadrelDispatch, CallsTheMethods) {
  TestDispatch quadrel;
  quadrel.Invoke(kDispIdIPChange, InvokeKind::kMethod, {});
  quadrel.Invoke(kDispIdAbout, InvokeKind::kMethod, {});
  EXPECT_EQ(quadrel.host.Logged({"Change", "About"}),
            (std::vector<std::string>{"Change(0.0.0.0)", "About"}));
  EXPECT_EQ(RaisedError([&] { quadrel.PutProperty(kDispIdAbout, int32_t{1}); }),
            platform::kObjectDoesNotSupport);
}

TEST(QuadrelDispatch, ReportsAControlThatHasGone) {
  TestDispatch quadrel;
  quadrel.gone = true;
  EXPECT_EQ(RaisedError([&] { quadrel.GetProperty(kDispIdPos1); }), 91);
}

}  // namespace
}  // namespace lattix
