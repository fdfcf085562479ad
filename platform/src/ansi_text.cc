// SPDX-License-Identifier: MIT

#include "tessaly/platform/ansi_text.h"

#include <array>
#include <bit>
#include <cstdint>

#include "ascii_words.h"
#include "utf8.h"

namespace platform {
namespace {

// Characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined stand for the control characters of the same code.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t AnsiChar(uint8_t byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHighControlRange[byte - 0x80] : byte;
}

// What a character the code page lacks becomes.
constexpr char kReplacementByte = '?';

// The byte of `c` in Windows-1252, or kReplacementByte when the code page
// lacks it (a '?' of its own maps to itself).
char AnsiByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] == c) return static_cast<char>(0x80 + i);
  }
  return kReplacementByte;
}

// Text is scanned eight bytes at a time where it is plain ASCII: a word
// without any high bit set holds no byte that any conversion changes but
// A-Z.
using ascii_words::kHighBits;
using ascii_words::LoadWord;
using ascii_words::LowerAsciiBytes;
using ascii_words::Word;

// The offset of the first byte at or after `at` that is not ASCII, or the
// text's size.
size_t EndOfAscii(std::string_view text, size_t at) {
  while (text.size() - at >= sizeof(Word)) {
    const Word high = LoadWord(text.data() + at) & kHighBits;
    if (high != 0) {
      // The lowest set bit is that of the first byte in memory.
      if constexpr (std::endian::native == std::endian::little) {
        return at + static_cast<size_t>(std::countr_zero(high)) / 8;
      }
      break;
    }
    at += sizeof(Word);
  }
  while (at < text.size() && static_cast<uint8_t>(text[at]) < 0x80) ++at;
  return at;
}

// The characters of the code page lie below U+0800 but for a few
// punctuation marks and signs of 0x80 to 0x9F.
constexpr char32_t kFirstOfThreeBytes = 0x800;

// The most bytes a code page character takes in UTF-8.
constexpr size_t kMostBytesPerChar = 3;

// The longest text converted to UTF-8 on the stack.
constexpr size_t kLongestStackConversion = 256;

// The size of a code page character in UTF-8.
size_t EncodedSize(char32_t c) {
  if (c < 0x80) return 1;
  return c < kFirstOfThreeBytes ? 2 : kMostBytesPerChar;
}

// Writes the UTF-8 form of a code page character that is not ASCII at
// `out`; returns the end of what it wrote.
char* Encode(char32_t c, char* out) {
  if (c < kFirstOfThreeBytes) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
  } else {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  *out++ = static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

// Folds the letter whose lead byte is at p[i], if it has one: the
// accented capitals of Latin-1, Š, Œ, Ž and Ÿ, each replaced by a
// lower-case form of the same UTF-8 length.
void FoldLetterAt(char* p, size_t n, size_t i) {
  const auto b = static_cast<uint8_t>(p[i]);
  if ((b != 0xC3 && b != 0xC5) || i + 1 >= n) return;
  const auto next = static_cast<uint8_t>(p[i + 1]);
  if ((next & 0xC0) != 0x80) return;
  if (b == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
    p[i + 1] = static_cast<char>(next + 0x20);  // À..Þ, not ×
  } else if (b == 0xC5 && (next == 0xA0 || next == 0x92 || next == 0xBD)) {
    p[i + 1] = static_cast<char>(next + 1);  // Š, Œ, Ž
  } else if (b == 0xC5 && next == 0xB8) {
    p[i] = static_cast<char>(0xC3);  // Ÿ to ÿ
    p[i + 1] = static_cast<char>(0xBF);
  }
}

// Writes the UTF-8 form of Windows-1252 text at `out`, which has room for
// it; returns the end of what it wrote. Plain ASCII goes eight bytes at a
// time.
char* ConvertInto(std::string_view ansi, char* out) {
  const auto put = [&out](uint8_t byte) {
    if (byte < 0x80) {
      *out++ = static_cast<char>(byte);
    } else {
      out = Encode(AnsiChar(byte), out);
    }
  };
  size_t i = 0;
  for (; ansi.size() - i >= sizeof(Word); i += sizeof(Word)) {
    const Word word = LoadWord(ansi.data() + i);
    if (ascii_words::IsAscii(word)) {
      ascii_words::StoreWord(out, word);
      out += sizeof word;
      continue;
    }
    for (size_t k = i; k < i + sizeof(Word); ++k) put(static_cast<uint8_t>(ansi[k]));
  }
  for (; i < ansi.size(); ++i) put(static_cast<uint8_t>(ansi[i]));
  return out;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  // Short text, all the server ever sends, is converted on the stack and
  // copied once into a string of the right size; longer text is measured
  // first.
  if (ansi.size() <= kLongestStackConversion) {
    char buffer[kLongestStackConversion * kMostBytesPerChar];
    return std::string(buffer, ConvertInto(ansi, buffer));
  }
  size_t size = 0;
  for (char c : ansi) size += EncodedSize(AnsiChar(static_cast<uint8_t>(c)));
  std::string out(size, '\0');
  ConvertInto(ansi, out.data());
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  if (ascii_words::IsAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t run = EndOfAscii(text, pos);
    out.append(text.data() + pos, run - pos);
    pos = run;
    if (pos == text.size()) break;
    const char32_t c = utf8::Decode(text, pos);
    out += (c == utf8::kMalformed) ? kReplacementByte : AnsiByte(c);
  }
  return out;
}

bool FitsAnsi(std::string_view text) {
  size_t pos = EndOfAscii(text, 0);
  while (pos < text.size()) {
    if (static_cast<uint8_t>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const char32_t c = utf8::Decode(text, pos);
    if (c == utf8::kMalformed || AnsiByte(c) == kReplacementByte) return false;
  }
  return true;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) utf8::Decode(text, pos);
  return count;
}

size_t Utf8Offset(std::string_view text, size_t index) {
  size_t pos = 0;
  for (size_t i = 0; i < index && pos < text.size(); ++i) utf8::Decode(text, pos);
  return pos;
}

std::string FoldCase(std::string_view text) {
  std::string out(text);
  FoldCaseInPlace(out);
  return out;
}

void FoldCaseInPlace(std::span<char> text) {
  // A-Z are lowered eight bytes at a time; the other letters are two-byte
  // sequences, each folded where its lead byte is. A continuation byte is
  // never a lead byte, before folding or after.
  char* const p = text.data();
  const size_t n = text.size();
  size_t i = 0;
  for (; n - i >= sizeof(Word); i += sizeof(Word)) {
    const Word word = LoadWord(p + i);
    const Word lowered = LowerAsciiBytes(word);
    if (lowered != word) ascii_words::StoreWord(p + i, lowered);
    if (ascii_words::IsAscii(word)) continue;
    for (size_t k = i; k < i + sizeof(Word); ++k) {
      if (static_cast<uint8_t>(p[k]) >= 0x80) FoldLetterAt(p, n, k);
    }
  }
  for (; i < n; ++i) {
    const auto b = static_cast<uint8_t>(p[i]);
    if (b < 0x80) {
      if (static_cast<uint8_t>(b - 'A') < 26) p[i] = static_cast<char>(b + ('a' - 'A'));
    } else {
      FoldLetterAt(p, n, i);
    }
  }
}

size_t FindNoCase(std::string_view haystack, std::string_view needle) {
  return FoldCase(haystack).find(FoldCase(needle));
}

}  // namespace platform
