// SPDX-License-Identifier: MIT

// Decoding and encoding of single UTF-8 characters, shared by the text
// conversions of the platform.

#ifndef PLATFORM_SRC_UTF8_H_
#define PLATFORM_SRC_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::utf8 {

// Marks a byte that does not start a well-formed character.
inline constexpr char32_t kMalformed = 0xFFFFFFFF;

// Decodes the character that starts at `text[pos]` and advances `pos`
// past it. A malformed, overlong or surrogate sequence yields kMalformed and
// advances `pos` by one byte.
char32_t Decode(std::string_view text, size_t& pos);

// Appends the UTF-8 form of `c` to `out`.
void Append(std::string& out, char32_t c);

}  // namespace platform::utf8

#endif  // PLATFORM_SRC_UTF8_H_
