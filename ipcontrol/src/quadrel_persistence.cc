// SPDX-License-Identifier: MIT

// Creating, saving and loading a Quadrel control through a property bag.

#include <cmath>

#include "quadrel.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"

namespace lattix {
namespace {

// The order in which the part values are saved and loaded: Pos4 first.
constexpr int kPersistOrder[kFieldCount] = {3, 0, 1, 2};

}  // namespace

void Quadrel::InitProperties() {
  // Only the members: the parts already look like these defaults.
  back_color_ = kDefaultBackColor;
  fore_color_ = kDefaultForeColor;
  border_3d_ = platform::Bool16::kTrue;
  for (int index : kPersistOrder) pos_[index] = 0;
}

void Quadrel::WriteProperties(platform::PropertyBag& bag) {
  bag.WriteProperty("ForeColor", static_cast<int32_t>(fore_color_), int32_t{0});
  bag.WriteProperty("BackColor", static_cast<int32_t>(back_color_),
                    static_cast<int32_t>(kDefaultBackColor));
  bag.WriteProperty("Border3D", platform::Bool16{border_3d_}, int32_t{1});
  for (int index : kPersistOrder) bag.WriteProperty(kPosNames[index], pos_[index], int32_t{0});
}

void Quadrel::ReadProperties(platform::PropertyBag& bag) {
  fore_color_ = static_cast<OleColor>(platform::ToLong(bag.ReadProperty("ForeColor", int32_t{0})));
  back_color_ = static_cast<OleColor>(
      platform::ToLong(bag.ReadProperty("BackColor", static_cast<int32_t>(kDefaultBackColor))));
  border_3d_ = platform::ToBool(bag.ReadProperty("Border3D", int32_t{1})).value;
  // Colours and border are applied before the fields get their texts.
  ChangeTextColor();
  SetBorder();
  for (int index : kPersistOrder) {
    const float value = platform::ToSingle(bag.ReadProperty(kPosNames[index], int32_t{0}));
    if (std::isnan(value)) {
      throw platform::PlatformError(platform::kInvalidProcedureCall, std::string(kPosNames[index]));
    }
    pos_[index] = value;
  }
  // Each field whose text changes is processed: Address is composed and
  // Change raised once per changed field, later fields still showing their
  // old text.
  for (int field = 0; field < kFieldCount; ++field) {
    host_.SetFieldText(field, platform::ShortestText(pos_[field]));
  }
}

}  // namespace lattix
