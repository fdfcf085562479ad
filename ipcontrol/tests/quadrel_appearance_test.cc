// SPDX-License-Identifier: MIT

// Colours, border and self-sizing under a fake host.

#include <gtest/gtest.h>

#include "fake_quadrel_host.h"
#include "quadrel.h"

namespace lattix {
namespace {

using Strings = std::vector<std::string>;

constexpr OleColor kWindowText = 0x80000008u;  // a system colour

class QuadrelAppearance : public ::testing::Test {
 protected:
  QuadrelAppearance() {
    host.Attach(control);
    control.InitProperties();
  }

  testing::FakeQuadrelHost host;
  Quadrel control{host};
};

TEST_F(QuadrelAppearance, ForeColorReachesDigitsAndDotsButNeverTheFrame) {
  control.SetForeColor(kWindowText);
  EXPECT_EQ(control.ForeColor(), kWindowText);
  for (OleColor color : host.field_fore) EXPECT_EQ(color, kWindowText);
  for (int dot = 0; dot < kDotCount; ++dot) {
    EXPECT_EQ(host.dot_outline[dot], kWindowText);
    EXPECT_EQ(host.dot_fill[dot], kWindowText);
  }
  EXPECT_EQ(host.frame_back, 0x00FFFFFFu);
}

TEST_F(QuadrelAppearance, BackColorReachesFieldsAndFrameButNeverTheDots) {
  control.SetBackColor(0x0000FF00);
  for (OleColor color : host.field_back) EXPECT_EQ(color, 0x0000FF00u);
  EXPECT_EQ(host.frame_back, 0x0000FF00u);
  for (OleColor color : host.dot_fill) EXPECT_EQ(color, 0u);  // ForeColor, black
}

TEST_F(QuadrelAppearance, ColoursAreAppliedInTheirOrder) {
  control.SetBackColor(0x00123456);
  EXPECT_EQ(host.log,
            (Strings{"PropertyChanged(BackColor)", "FieldBack(0,123456)", "FieldBack(1,123456)",
                     "FieldBack(2,123456)", "FieldBack(3,123456)", "FieldFore(0,0)",
                     "FieldFore(1,0)", "FieldFore(2,0)", "FieldFore(3,0)", "DotOutline(0,0)",
                     "DotFill(0,0)", "DotOutline(1,0)", "DotFill(1,0)", "DotOutline(2,0)",
                     "DotFill(2,0)", "FrameBack(123456)"}));
}

TEST_F(QuadrelAppearance, APartThatRefusesAColourIsSkipped) {
  host.refuse_field_back_color = true;
  control.SetBackColor(0x00000080);
  EXPECT_EQ(host.frame_back, 0x00000080u);
  EXPECT_EQ(host.field_fore[3], 0u);
  EXPECT_EQ(host.Logged({"FieldBack"}), Strings{});
}

TEST_F(QuadrelAppearance, Border3DSetsTheFrameBorderOnlyForTrueAndFalse) {
  control.SetBorder3D(0);
  EXPECT_EQ(host.border_style, 0);
  control.SetBorder3D(5);
  EXPECT_EQ(control.Border3D(), 5);
  EXPECT_EQ(host.border_style, 0);  // left as it was
  control.SetBorder3D(-1);
  EXPECT_EQ(host.border_style, 1);
  EXPECT_EQ(host.Logged({"Border", "PropertyChanged"}),
            (Strings{"PropertyChanged(Border3D)", "Border(0)", "PropertyChanged(Border3D)",
                     "PropertyChanged(Border3D)", "Border(1)"}));
}

TEST_F(QuadrelAppearance, TheControlSnapsBackToItsFrameAndTheTimerStops) {
  host.ResizeControl(4000, 1000);
  EXPECT_EQ(host.timer_interval, 1);
  control.TimerTick();
  EXPECT_EQ(host.control_size.width, 2205);
  EXPECT_EQ(host.control_size.height, 285);
  EXPECT_EQ(host.frame.left, 0);
  EXPECT_EQ(host.frame.top, 0);
  EXPECT_EQ(host.timer_interval, 0);
  EXPECT_EQ(host.Logged({"Timer", "MoveFrame"}),
            (Strings{"Timer(1)", "MoveFrame(0,0)", "Timer(1)", "Timer(1)", "Timer(0)"}));
}

TEST_F(QuadrelAppearance, ALateResizeNotificationCostsOneMoreTick) {
  host.resize_at_once = false;  // the container reports resizes from its event loop
  host.ResizeControl(4000, 1000);
  host.DeliverResizes();
  control.TimerTick();
  EXPECT_EQ(host.timer_interval, 0);
  host.DeliverResizes();  // the tick's own resizing
  EXPECT_EQ(host.timer_interval, 1);
  control.TimerTick();
  EXPECT_EQ(host.timer_interval, 0);
  EXPECT_EQ(host.pending_resizes, 0);
  EXPECT_EQ(host.control_size.width, 2205);
}

TEST_F(QuadrelAppearance, ATickWithEverythingInPlaceStopsTheTimer) {
  host.frame = TwipRect{0, 0, 2205, 285};
  host.control_size = TwipSize{2205, 285};
  host.timer_interval = 1;
  control.TimerTick();
  EXPECT_EQ(host.timer_interval, 0);
}

}  // namespace
}  // namespace lattix
