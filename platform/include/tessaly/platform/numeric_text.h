// SPDX-License-Identifier: MIT

// Numbers read from text, the way the platform converts a string that is
// assigned to a number: blanks around the number are ignored, a sign may
// lead, a fraction is rounded to the nearest whole number with halves going
// to the even neighbour (12.5 gives 12, 13.5 gives 14).

#ifndef TESSALY_PLATFORM_NUMERIC_TEXT_H_
#define TESSALY_PLATFORM_NUMERIC_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tessaly/platform/export.h"

namespace platform {

// Text as a 32-bit signed number. Raises PlatformError 13 (type mismatch)
// when the text is no number, the empty text included, and 6 (overflow)
// when the rounded value does not fit in 32 bits.
PLATFORM_EXPORT int32_t TextToLong(std::string_view text);

// The same for a 16-bit signed number.
PLATFORM_EXPORT int16_t TextToInteger(std::string_view text);

// Text as a number with its fraction. Raises PlatformError 13 when the text
// is no number.
PLATFORM_EXPORT double TextToDouble(std::string_view text);

// The same checks without raising: the value, or nullopt when the text is
// no number or, for the whole-number forms, out of range.
PLATFORM_EXPORT std::optional<int32_t> ParseLong(std::string_view text);
PLATFORM_EXPORT std::optional<double> ParseDouble(std::string_view text);

// A double rounded to the nearest whole number, halves to the even
// neighbour, as a 32-bit number; nullopt when out of range or not finite.
PLATFORM_EXPORT std::optional<int32_t> RoundToLong(double value);

// The shortest decimal text that reads back as `value` ("192", "12.5", "-3").
PLATFORM_EXPORT std::string ShortestText(float value);

}  // namespace platform

#endif  // TESSALY_PLATFORM_NUMERIC_TEXT_H_
