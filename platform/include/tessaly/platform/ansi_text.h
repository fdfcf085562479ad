// SPDX-License-Identifier: MIT

// The single-byte text of the wire and of the settings file.
//
// The system's strings are UTF-8. The server module and the settings file
// use the Western ANSI code page, Windows-1252: one byte per character.
// Conversion happens only where text leaves or enters the process.

#ifndef TESSALY_PLATFORM_ANSI_TEXT_H_
#define TESSALY_PLATFORM_ANSI_TEXT_H_

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "tessaly/platform/export.h"

namespace platform {

// The byte that ends the server module's prompts and reply values on the
// wire: the letter "õ" of Windows-1252. Its capital "Õ" ends them as well,
// since the server's texts are searched without regard to letter case.
inline constexpr char kEndOfValueByte = static_cast<char>(0xF5);
inline constexpr char kEndOfValueCapitalByte = static_cast<char>(0xD5);

// The end-of-value letter as UTF-8, the form it has inside the process.
// Windows-1252 and Unicode agree from 0xA0 on, so the byte is the code
// point, written as two UTF-8 bytes.
inline constexpr char kEndOfValueUtf8[] = {
    static_cast<char>(0xC0 | (static_cast<unsigned char>(kEndOfValueByte) >> 6)),
    static_cast<char>(0x80 | (static_cast<unsigned char>(kEndOfValueByte) & 0x3F))};
inline constexpr std::string_view kEndOfValueText(kEndOfValueUtf8, sizeof kEndOfValueUtf8);

// Windows-1252 bytes to UTF-8. Every byte maps to one character; the five
// bytes the code page leaves undefined map to the control characters of
// the same code.
PLATFORM_EXPORT std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252. A character the code page cannot hold, and each
// byte of a malformed UTF-8 sequence, becomes '?'.
PLATFORM_EXPORT std::string Utf8ToAnsi(std::string_view utf8);

// True when every character of the UTF-8 text has a byte in Windows-1252,
// so that Utf8ToAnsi keeps it as it is; false for a character the code
// page lacks and for malformed UTF-8.
PLATFORM_EXPORT bool FitsAnsi(std::string_view utf8);

// The number of characters (code points) in UTF-8 text; a malformed byte
// counts as one character.
PLATFORM_EXPORT size_t Utf8Length(std::string_view utf8);

// The byte offset of character `index` (0-based) in UTF-8 text, or the
// text's size when it has no more characters.
PLATFORM_EXPORT size_t Utf8Offset(std::string_view utf8, size_t index);

// UTF-8 text with the upper-case letters of Windows-1252 (A-Z, the
// accented capitals, Š, Œ, Ž and Ÿ) replaced by their lower-case forms.
// Every replacement has the same UTF-8 length as the letter it replaces,
// so byte offsets in the result are offsets in the input.
PLATFORM_EXPORT std::string FoldCase(std::string_view utf8);

// FoldCase done where the text stands: for a caller that keeps the folded
// text in storage of its own.
PLATFORM_EXPORT void FoldCaseInPlace(std::span<char> utf8);

// The byte offset of the first occurrence of `needle` in `haystack`, letters
// compared without regard to case as FoldCase defines it, or npos.
PLATFORM_EXPORT size_t FindNoCase(std::string_view haystack, std::string_view needle);

}  // namespace platform

#endif  // TESSALY_PLATFORM_ANSI_TEXT_H_
