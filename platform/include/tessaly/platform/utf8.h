// SPDX-License-Identifier: MIT

// Checks on the characters of UTF-8 text, for the tools that must show
// text from the server or the settings file without letting a terminal or
// a message box act on what it holds.

#ifndef TESSALY_PLATFORM_UTF8_H_
#define TESSALY_PLATFORM_UTF8_H_

#include <cstddef>
#include <string_view>

#include "tessaly/platform/export.h"

namespace platform {

// The C1 control characters, U+0080 to U+009F. Terminals obey them as
// escape sequences, and the five bytes Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) convert to them. In UTF-8 each takes
// kC1ControlUtf8Length bytes: 0xC2, then 0x80 to 0x9F.
inline constexpr char32_t kFirstC1Control = 0x80;
inline constexpr char32_t kLastC1Control = 0x9F;
inline constexpr size_t kC1ControlUtf8Length = 2;

// True when `utf8` starts with a C1 control character, in its well-formed
// two-byte form; false for empty text, any other character and malformed
// bytes (a lone 0xC2, a lone continuation byte, an overlong form).
PLATFORM_EXPORT bool StartsWithC1Control(std::string_view utf8);

// The byte length of the well-formed character `utf8` starts with, or 0
// for empty text and for bytes that start none (malformed, overlong, a
// surrogate, beyond U+10FFFF).
PLATFORM_EXPORT size_t Utf8CharLength(std::string_view utf8);

}  // namespace platform

#endif  // TESSALY_PLATFORM_UTF8_H_
