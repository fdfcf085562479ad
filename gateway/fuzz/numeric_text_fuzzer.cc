// SPDX-License-Identifier: MIT

// The number conversion: TextToLong, TextToInteger, ParseLong, ParseDouble
// and ShortestText must agree with each other on any text, and a rounded
// whole number must lie within a half of the exact one.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "reference_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"

namespace {

using morvane::fuzz::Fail;

// The number a conversion gives, or the error number it raises.
struct Converted {
  int error = 0;
  int64_t value = 0;
};

template <class Convert>
Converted Run(Convert&& convert) {
  try {
    return {0, static_cast<int64_t>(convert())};
  } catch (const platform::PlatformError& error) {
    return {error.number(), 0};
  }
}

void CheckText(std::string_view text) {
  const std::optional<double> exact = platform::ParseDouble(text);
  const std::optional<int32_t> whole = platform::ParseLong(text);
  const Converted as_long = Run([&] { return platform::TextToLong(text); });
  const Converted as_integer = Run([&] { return platform::TextToInteger(text); });

  // No number: both whole-number forms say type mismatch.
  if (!exact) {
    if (whole || as_long.error != platform::kTypeMismatch ||
        as_integer.error != platform::kTypeMismatch) {
      Fail("a text that is no number converted");
    }
    if (Run([&] { return platform::TextToDouble(text); }).error != platform::kTypeMismatch) {
      Fail("TextToDouble took a text that is no number");
    }
    return;
  }
  // A number: ParseLong and TextToLong agree, out of range is overflow.
  if (whole) {
    if (as_long.error != 0 || as_long.value != *whole) Fail("TextToLong differs from ParseLong");
    // Rounded to the nearest whole number: never more than a half away
    // (with room for the double's own rounding of long digit strings).
    const double distance = std::fabs(*exact - static_cast<double>(*whole));
    if (!(distance <= 0.5 + 1e-9 * std::fmax(1.0, std::fabs(*exact)))) {
      Fail("the whole number is more than a half from the exact one");
    }
    const bool fits_16 = *whole >= std::numeric_limits<int16_t>::min() &&
                         *whole <= std::numeric_limits<int16_t>::max();
    if (fits_16 ? (as_integer.error != 0 || as_integer.value != *whole)
                : as_integer.error != platform::kOverflow) {
      Fail("TextToInteger differs from ParseLong");
    }
    // Written back as plain decimal text, it reads as itself.
    if (platform::ParseLong(std::to_string(*whole)) != whole) Fail("a whole number reread differs");
  } else {
    if (as_long.error != platform::kOverflow || as_integer.error != platform::kOverflow) {
      Fail("a number outside 32 bits did not overflow");
    }
    if (std::fabs(*exact) < 2147483647.0) Fail("ParseLong refused a number inside 32 bits");
  }
}

void CheckShortestText(const uint8_t* data, size_t size) {
  if (size < sizeof(float)) return;
  float value;
  std::memcpy(&value, data, sizeof value);
  if (!std::isfinite(value)) return;
  const std::string text = platform::ShortestText(value);
  // Very large and very small values are written with an exponent; they
  // must read back as well as the plain form.
  const std::optional<double> reread = platform::ParseDouble(text);
  if (!reread) Fail("ShortestText wrote a text that is no number");
  if (static_cast<float>(*reread) != value) Fail("ShortestText does not read back as itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckText(std::string_view(reinterpret_cast<const char*>(data), size));
  CheckShortestText(data, size);
  return 0;
}
