// SPDX-License-Identifier: MIT

// The appearance of the Quadrel control: colours, border and the
// self-sizing that keeps the control at its frame's size.

#include "quadrel.h"
#include "tolerant.h"

namespace lattix {
namespace {

constexpr int kSelfSizingInterval = 1;  // milliseconds

}  // namespace

void Quadrel::SetForeColor(OleColor color) {
  fore_color_ = color;
  host_.PropertyChanged("ForeColor");
  ChangeTextColor();
}

void Quadrel::SetBackColor(OleColor color) {
  back_color_ = color;
  host_.PropertyChanged("BackColor");
  ChangeTextColor();
}

void Quadrel::SetBorder3D(int16_t value) {
  border_3d_ = value;
  host_.PropertyChanged("Border3D");
  SetBorder();
}

void Quadrel::ChangeTextColor() {
  // BackColor never reaches the dots, ForeColor never the frame.
  for (int field = 0; field < kFieldCount; ++field) {
    Tolerant([&] { host_.SetFieldBackColor(field, back_color_); });
  }
  for (int field = 0; field < kFieldCount; ++field) {
    Tolerant([&] { host_.SetFieldForeColor(field, fore_color_); });
  }
  for (int dot = 0; dot < kDotCount; ++dot) {
    Tolerant([&] { host_.SetDotOutlineColor(dot, fore_color_); });
    Tolerant([&] { host_.SetDotFillColor(dot, fore_color_); });
  }
  Tolerant([&] { host_.SetFrameBackColor(back_color_); });
}

void Quadrel::SetBorder() {
  if (border_3d_ == platform::Bool16::kTrue) {
    Tolerant([&] { host_.SetFrameBorderStyle(1); });
  } else if (border_3d_ == platform::Bool16::kFalse) {
    Tolerant([&] { host_.SetFrameBorderStyle(0); });
  }
}

void Quadrel::Resized() { host_.SetTimerInterval(kSelfSizingInterval); }

void Quadrel::TimerTick() {
  // The control always takes the frame's size; a container that sizes it
  // otherwise sees it snap back here.
  host_.MoveFrame(0, 0);
  host_.SetControlWidth(host_.FrameGeometry().width);
  host_.SetControlHeight(host_.FrameGeometry().height);
  const TwipRect frame = host_.FrameGeometry();
  const TwipSize size = host_.ControlSize();
  if (frame.left == 0 && frame.top == 0 && size.width == frame.width &&
      size.height == frame.height) {
    host_.SetTimerInterval(0);
  }
}

}  // namespace lattix
