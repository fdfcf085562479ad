// SPDX-License-Identifier: MIT

// Slow, obvious versions of the reply reading, written on the Windows-1252
// bytes of the wire (one byte, one character), for the fuzz targets to
// compare the real code with. The real code works on UTF-8, where
// characters and bytes differ; these do not.

#ifndef GATEWAY_FUZZ_REFERENCE_TEXT_H_
#define GATEWAY_FUZZ_REFERENCE_TEXT_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace morvane::fuzz {

// Ends the run as a finding, with `what` on stderr.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// A Windows-1252 byte in lower case: A-Z, the accented capitals 0xC0-0xDE
// but the multiplication sign 0xD7, and Š Œ Ž Ÿ.
inline uint8_t LowerAnsi(uint8_t byte) {
  if (byte >= 'A' && byte <= 'Z') return static_cast<uint8_t>(byte + 32);
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<uint8_t>(byte + 0x20);
  switch (byte) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return byte;
  }
}

// The 0-based position of `needle` in `haystack`, any letter case, or npos.
inline size_t FindAnsi(std::string_view haystack, std::string_view needle) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
    size_t i = 0;
    while (i < needle.size() && LowerAnsi(static_cast<uint8_t>(haystack[at + i])) ==
                                    LowerAnsi(static_cast<uint8_t>(needle[i]))) {
      ++i;
    }
    if (i == needle.size()) return at;
  }
  return std::string_view::npos;
}

inline bool ContainsAnsi(std::string_view haystack, std::string_view needle) {
  return FindAnsi(haystack, needle) != std::string_view::npos;
}

// The reply value cut from Windows-1252 bytes: the text after the first
// "is : " (or from the fifth character without one) up to the first 0xF5
// or 0xD5. `error` is 0, or the run-time error the cut raises: 5 when the
// end is missing or early, 6 when it stands beyond character 32767.
struct ReferenceCut {
  int error = 0;
  std::string value;
};

inline ReferenceCut ReferenceValue(std::string_view reply) {
  const size_t marker = FindAnsi(reply, "is : ");
  const size_t end = FindAnsi(reply, "\xF5");
  const int64_t p = marker == std::string_view::npos ? 0 : static_cast<int64_t>(marker) + 1;
  const int64_t e = end == std::string_view::npos ? 0 : static_cast<int64_t>(end) + 1;
  if (e > 32767) return {6, {}};
  const int64_t length = e - p - 5;
  if (length < 0) return {5, {}};
  const auto start = static_cast<size_t>(p + 5 - 1);
  if (start >= reply.size()) return {0, {}};
  return {0, std::string(reply.substr(start, static_cast<size_t>(length)))};
}

}  // namespace morvane::fuzz

#endif  // GATEWAY_FUZZ_REFERENCE_TEXT_H_
