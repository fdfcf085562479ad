// SPDX-License-Identifier: MIT

#include "ravelset/address_field.h"

#include <cmath>

#include "tessaly/platform/numeric_text.h"

namespace ravelset {

AddressField SplitAddressField(std::string_view field) {
  AddressField result;
  size_t part_begin = 0;
  for (size_t index = 0; index < result.parts.size(); ++index) {
    // The fourth part runs to the end of the field, further dots included;
    // so does the last part of a field that runs out of dots.
    size_t part_end = std::string_view::npos;
    if (index < 3) part_end = field.find('.', part_begin);
    const std::string_view part =
        field.substr(part_begin, part_end == std::string_view::npos ? std::string_view::npos
                                                                    : part_end - part_begin);
    result.parts[index] = platform::ParseDouble(part);
    if (part_end == std::string_view::npos) break;
    ++result.dots;
    part_begin = part_end + 1;
  }
  return result;
}

std::string DottedText(const std::array<float, 4>& parts) {
  std::string text;
  for (float part : parts) {
    if (!text.empty()) text += '.';
    text += platform::ShortestText(part);
  }
  return text;
}

bool IsAddressPart(float value) {
  return std::isfinite(value) && value >= 0 && value <= 255 && std::floor(value) == value &&
         !platform::ShortestText(value).empty();
}

}  // namespace ravelset
