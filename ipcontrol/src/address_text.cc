#include "lattix/address_text.h"

#include <charconv>
#include <string>

#include "platform/numeric_text.h"

namespace lattix {

double LeadingNumber(std::string_view text) {
  size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string_view::npos) return 0;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';
  const size_t begin = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  }
  std::string digits(text.substr(begin, pos - begin));
  if (digits.empty() || digits == ".") return 0;
  if (digits.front() == '.') digits.insert(digits.begin(), '0');
  double value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return negative ? -value : value;
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
