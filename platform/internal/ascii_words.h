// SPDX-License-Identifier: MIT

// Text scanned eight bytes at a time: the word-at-a-time steps that the
// text conversion, the class table, the socket's sends and the gateway's
// reply rules and settings fields share, and the byte-at-a-time lowering
// of A-Z that the member names use too.
// Not installed: reached through the build target platform_internal.

#ifndef PLATFORM_INTERNAL_ASCII_WORDS_H_
#define PLATFORM_INTERNAL_ASCII_WORDS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform::ascii_words {

using Word = uint64_t;
inline constexpr Word kEveryByte = 0x0101010101010101;
// The high bit of every byte: set in a word that holds a byte beyond ASCII.
inline constexpr Word kHighBits = 0x80 * kEveryByte;

// The eight bytes at `at`, in memory order; `at` need not be aligned.
inline Word LoadWord(const char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline void StoreWord(char* at, Word word) { std::memcpy(at, &word, sizeof word); }

// `c` with A-Z lowered; every other byte kept.
inline constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Whether none of the eight bytes lies beyond ASCII.
inline constexpr bool IsAscii(Word word) { return (word & kHighBits) == 0; }

// Whether no byte of `bytes` lies beyond ASCII, which reads the same in
// UTF-8 and Windows-1252 and needs no conversion either way.
inline bool IsAscii(std::string_view bytes) {
  size_t at = 0;
  for (; bytes.size() - at >= sizeof(Word); at += sizeof(Word)) {
    if (!IsAscii(LoadWord(bytes.data() + at))) return false;
  }
  for (; at < bytes.size(); ++at) {
    if (static_cast<unsigned char>(bytes[at]) >= 0x80) return false;
  }
  return true;
}

// Eight bytes with A-Z lowered and every other byte kept. Adding to a byte
// below 0x80 never carries into the next, so with the high bits cleared the
// high bit of each sum tells whether the byte is at least 'A', and whether
// it lies beyond 'Z'; bytes that had the high bit set are left alone.
inline constexpr Word LowerAsciiBytes(Word word) {
  const Word low = word & ~kHighBits;
  const Word from_a = low + (0x80 - 'A') * kEveryByte;
  const Word beyond_z = low + (0x80 - 'Z' - 1) * kEveryByte;
  const Word capitals = from_a & ~beyond_z & ~word & kHighBits;
  return word | (capitals >> 2);  // 0x80 >> 2 is the case bit, 0x20
}

}  // namespace platform::ascii_words

#endif  // PLATFORM_INTERNAL_ASCII_WORDS_H_
