// SPDX-License-Identifier: MIT

#include "shown_address.h"

#include <algorithm>
#include <span>

#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/variant.h"

namespace ravelset {
namespace {

constexpr int kFields = 4;
// A field holds at most three characters.
constexpr size_t kMostDigits = 3;
constexpr int kHighestPart = 255;

bool IsDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsPartText(std::string_view text) {
  if (text.size() > kMostDigits || !IsDigits(text)) return false;
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value <= kHighestPart;
}

}  // namespace

ShownAddress JudgeShownAddress(std::string_view address) {
  ShownAddress shown;
  if (std::count(address.begin(), address.end(), '.') != kFields - 1) {
    shown.offending_field = ShownAddress::kWholeControl;
    return shown;
  }
  for (int field = 0; field < kFields; ++field) {
    const size_t dot = address.find('.');
    const std::string_view text = address.substr(0, dot);
    address.remove_prefix(dot == std::string_view::npos ? address.size() : dot + 1);
    if (text.empty()) {
      shown.empty_fields.push_back(field);
    } else if (!IsPartText(text)) {
      shown.offending_field = field;
      shown.empty_fields.clear();
      return shown;
    }
  }
  return shown;
}

ShownAddress ReadShownAddress(platform::Dispatch& control) {
  std::string address;
  try {
    control.Invoke(lattix::kDispIdIPChange, platform::InvokeKind::kMethod, {});
    address = platform::ToText(control.GetProperty(lattix::kDispIdAddress));
  } catch (const platform::PlatformError&) {
    return {};
  }
  return JudgeShownAddress(address);
}

}  // namespace ravelset
