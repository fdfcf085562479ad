// SPDX-License-Identifier: MIT

#include "address_text.h"

#include <string>

#include "tessaly/platform/numeric_text.h"

namespace lattix {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the longest start of `text` that the platform's numeric
// conversion reads as a number: blanks, a sign, digits with a fraction and
// an exponent ("1e3", "2.5E-1"). 0 when there is none.
size_t LeadingNumberLength(std::string_view text) {
  size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string_view::npos) return 0;
  if (text[pos] == '+' || text[pos] == '-') ++pos;
  size_t digits = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) ++digits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) ++digits;
  }
  if (digits == 0) return 0;
  // An exponent counts only with a digit of its own: "1e" reads as 1.
  size_t end = pos;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    if (pos < text.size() && IsDigit(text[pos])) {
      while (pos < text.size() && IsDigit(text[pos])) ++pos;
      end = pos;
    }
  }
  return end;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  // One reader for the range checks and the part value: the platform's.
  return platform::ParseDouble(text.substr(0, LeadingNumberLength(text))).value_or(0);
}

std::optional<float> WholeTextNumber(std::string_view text) {
  const auto value = platform::ParseDouble(text);
  if (!value) return std::nullopt;
  return static_cast<float>(*value);
}

int32_t AddressToLong(std::string_view address) {
  uint32_t packed = 0;
  int count = 0;
  for (size_t begin = 0;; ++count) {
    const size_t dot = address.find('.', begin);
    const std::string_view part = address.substr(begin, dot - begin);
    if (count >= 4) return 0;  // more than four parts
    const auto byte = platform::ParseLong(part);
    if (!byte || *byte < 0 || *byte > 255) return 0;
    packed |= static_cast<uint32_t>(*byte) << (8 * count);
    if (dot == std::string_view::npos) break;
    begin = dot + 1;
  }
  if (count != 3) return 0;  // fewer than four parts
  return static_cast<int32_t>(packed);
}

}  // namespace lattix
