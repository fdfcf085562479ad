// SPDX-License-Identifier: MIT

#include "tessaly/platform/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "tessaly/platform/error.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Numeric text taken apart: sign, the digits before the decimal point and
// the digits after it, blanks around removed and an exponent ("1.5E3",
// "1e-07") already applied by moving the point. Empty parts when the text
// is no number.
struct NumberParts {
  bool valid = false;
  bool negative = false;
  std::string whole;
  std::string fraction;
};

// Exponents beyond this only ever give 0 or an overflow.
constexpr int kLargestExponent = 400;

// Moves the decimal point of `parts` by `exponent` places.
void ApplyExponent(NumberParts& parts, int exponent) {
  const std::string digits = parts.whole + parts.fraction;
  if (digits.find_first_not_of('0') == std::string::npos) {
    parts.whole = "0";
    parts.fraction.clear();
    return;
  }
  const long point = static_cast<long>(parts.whole.size()) + exponent;
  if (point <= 0) {
    parts.whole.clear();
    parts.fraction = std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (static_cast<size_t>(point) >= digits.size()) {
    parts.whole = digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    parts.fraction.clear();
  } else {
    parts.whole = digits.substr(0, static_cast<size_t>(point));
    parts.fraction = digits.substr(static_cast<size_t>(point));
  }
}

NumberParts Split(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  NumberParts parts;
  size_t pos = begin;
  if (pos < end && (text[pos] == '+' || text[pos] == '-')) parts.negative = text[pos++] == '-';
  const size_t whole_begin = pos;
  while (pos < end && IsDigit(text[pos])) ++pos;
  parts.whole = text.substr(whole_begin, pos - whole_begin);
  if (pos < end && text[pos] == '.') {
    const size_t fraction_begin = ++pos;
    while (pos < end && IsDigit(text[pos])) ++pos;
    parts.fraction = text.substr(fraction_begin, pos - fraction_begin);
  }
  const bool has_mantissa = !parts.whole.empty() || !parts.fraction.empty();
  if (has_mantissa && pos < end && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    bool negative_exponent = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) negative_exponent = text[pos++] == '-';
    const size_t exponent_begin = pos;
    int exponent = 0;
    for (; pos < end && IsDigit(text[pos]); ++pos) {
      exponent = std::min(exponent * 10 + (text[pos] - '0'), kLargestExponent);
    }
    if (pos == exponent_begin) return parts;  // "1e" is no number
    ApplyExponent(parts, negative_exponent ? -exponent : exponent);
  }
  parts.valid = pos == end && has_mantissa;
  return parts;
}

// The value of `parts` rounded half to even, if it lies in [low, high].
// Worked on the digits, so that no binary fraction blurs a half.
std::optional<int64_t> RoundParts(const NumberParts& parts, int64_t low, int64_t high) {
  constexpr uint64_t kBeyond = uint64_t{1} << 40;  // larger than any range asked for
  uint64_t magnitude = 0;
  for (char digit : parts.whole) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(digit - '0');
    if (magnitude > kBeyond) return std::nullopt;
  }
  if (!parts.fraction.empty()) {
    const char first = parts.fraction.front();
    const bool beyond_half =
        parts.fraction.substr(1).find_first_not_of('0') != std::string_view::npos;
    if (first > '5' || (first == '5' && (beyond_half || magnitude % 2 == 1))) ++magnitude;
  }
  const int64_t value =
      parts.negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (value < low || value > high) return std::nullopt;
  return value;
}

// The most digits a plain whole number may have to be read directly: any
// such number fits an int64_t with room to spare.
constexpr size_t kMostPlainDigits = 9;

// The value of `text` when it is a plain whole number, the usual case: an
// optional sign and at most kMostPlainDigits digits, blanks around. Such
// text reads the same as through Split and RoundParts, without taking it
// apart into strings. nullopt for any other text.
std::optional<int64_t> PlainWhole(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (begin < end && (text[begin] == '+' || text[begin] == '-')) negative = text[begin++] == '-';
  if (begin == end || end - begin > kMostPlainDigits) return std::nullopt;
  int64_t magnitude = 0;
  for (size_t pos = begin; pos < end; ++pos) {
    if (!IsDigit(text[pos])) return std::nullopt;
    magnitude = magnitude * 10 + (text[pos] - '0');
  }
  return negative ? -magnitude : magnitude;
}

// The value of `text` if it lies in [low, high]: nullopt with `valid` false
// when the text is no number, nullopt with `valid` true when it lies
// outside.
std::optional<int64_t> ReadWhole(std::string_view text, int64_t low, int64_t high, bool& valid) {
  valid = true;
  if (const auto plain = PlainWhole(text)) {
    if (*plain < low || *plain > high) return std::nullopt;
    return plain;
  }
  const NumberParts parts = Split(text);
  valid = parts.valid;
  if (!valid) return std::nullopt;
  return RoundParts(parts, low, high);
}

template <class Int>
Int TextToWhole(std::string_view text) {
  bool valid = false;
  const auto value =
      ReadWhole(text, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max(), valid);
  if (!valid) throw PlatformError(kTypeMismatch);
  if (!value) throw PlatformError(kOverflow);
  return static_cast<Int>(*value);
}

}  // namespace

int32_t TextToLong(std::string_view text) { return TextToWhole<int32_t>(text); }

int16_t TextToInteger(std::string_view text) { return TextToWhole<int16_t>(text); }

std::optional<int32_t> ParseLong(std::string_view text) {
  bool valid = false;
  const auto value = ReadWhole(text, std::numeric_limits<int32_t>::min(),
                               std::numeric_limits<int32_t>::max(), valid);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::optional<double> ParseDouble(std::string_view text) {
  const NumberParts parts = Split(text);
  if (!parts.valid) return std::nullopt;
  std::string digits(parts.whole.empty() ? "0" : parts.whole);
  if (!parts.fraction.empty()) digits.append(".").append(parts.fraction);
  double value = 0;
  const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (read.ec == std::errc::result_out_of_range) {
    // Beyond a double's range the value is left alone. Too large must read
    // as infinite, so that a conversion to a number type reports overflow
    // instead of taking 0; too small (no digit before the point) is 0.
    const bool large = parts.whole.find_first_not_of('0') != std::string_view::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return parts.negative ? -value : value;
}

double TextToDouble(std::string_view text) {
  const auto value = ParseDouble(text);
  if (!value) throw PlatformError(kTypeMismatch);
  return *value;
}

std::optional<int32_t> RoundToLong(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default mode rounds half to even
  if (rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

std::string ShortestText(float value) {
  if (value == 0) return "0";  // never "-0"
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace platform
