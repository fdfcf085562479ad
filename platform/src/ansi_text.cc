#include "platform/ansi_text.h"

#include <array>
#include <cstdint>
#include <cstring>

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
using Word = uint64_t;
constexpr Word kEveryByte = 0x0101010101010101;
constexpr Word kHighBits = 0x80 * kEveryByte;

Word LoadWord(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Eight ASCII bytes with A-Z lowered. Adding to a byte below 0x80 never
// carries into the next, so the high bit of each sum tells whether the byte
// is at least 'A', and whether it lies beyond 'Z'.
Word LowerAsciiWord(Word word) {
  const Word from_a = word + (0x80 - 'A') * kEveryByte;
  const Word beyond_z = word + (0x80 - 'Z' - 1) * kEveryByte;
  const Word capitals = from_a & ~beyond_z & kHighBits;
  return word | (capitals >> 2);  // 0x80 >> 2 is the case bit, 0x20
}

// The offset of the first byte at or after `at` that is not ASCII, or the
// text's size.
size_t EndOfAscii(std::string_view text, size_t at) {
  while (text.size() - at >= sizeof(Word) && (LoadWord(text.data() + at) & kHighBits) == 0) {
    at += sizeof(Word);
  }
  while (at < text.size() && static_cast<uint8_t>(text[at]) < 0x80) ++at;
  return at;
}

bool IsAscii(std::string_view text) { return EndOfAscii(text, 0) == text.size(); }

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  // Most of what the server sends is plain ASCII, the same in both forms:
  // runs of it are copied whole, the other bytes encoded one by one.
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 8);
  size_t at = 0;
  while (at < ansi.size()) {
    const size_t run = EndOfAscii(ansi, at);
    out.append(ansi.data() + at, run - at);
    if (run == ansi.size()) break;
    const auto byte = static_cast<uint8_t>(ansi[run]);
    if (byte >= 0xA0) {
      // Latin-1 letters and signs: the code point is the byte, two bytes
      // in UTF-8.
      const char pair[2] = {static_cast<char>(0xC0 | (byte >> 6)),
                            static_cast<char>(0x80 | (byte & 0x3F))};
      out.append(pair, sizeof pair);
    } else {
      utf8::Append(out, AnsiChar(byte));
    }
    at = run + 1;
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
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
  char* const p = out.data();
  const size_t n = out.size();
  const auto byte = [p](size_t at) { return static_cast<uint8_t>(p[at]); };
  for (size_t i = 0; i < n; ++i) {
    if (n - i >= sizeof(Word)) {
      const Word word = LoadWord(p + i);
      if ((word & kHighBits) == 0) {
        const Word lowered = LowerAsciiWord(word);
        std::memcpy(p + i, &lowered, sizeof lowered);
        i += sizeof(Word) - 1;
        continue;
      }
    }
    const uint8_t b = byte(i);
    if (b < 0x80) {
      if (static_cast<uint8_t>(b - 'A') < 26) p[i] = static_cast<char>(b + ('a' - 'A'));
      continue;
    }
    if ((b != 0xC3 && b != 0xC5) || i + 1 >= n || (byte(i + 1) & 0xC0) != 0x80) continue;
    const uint8_t next = byte(i + 1);
    if (b == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
      p[i + 1] = static_cast<char>(next + 0x20);  // À..Þ, not ×
    } else if (b == 0xC5 && (next == 0xA0 || next == 0x92 || next == 0xBD)) {
      p[i + 1] = static_cast<char>(next + 1);  // Š, Œ, Ž
    } else if (b == 0xC5 && next == 0xB8) {
      p[i] = static_cast<char>(0xC3);  // Ÿ to ÿ
      p[i + 1] = static_cast<char>(0xBF);
    }
    ++i;
  }
  return out;
}

size_t FindNoCase(std::string_view haystack, std::string_view needle) {
  return FoldCase(haystack).find(FoldCase(needle));
}

}  // namespace platform
