// SPDX-License-Identifier: MIT

#include "reply_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "ascii_words.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"

namespace morvane {
namespace {

// The end-of-value position is kept in a 16-bit number.
constexpr int64_t kLargestEndPosition = INT16_MAX;

// The number of characters before the value when the reply has no marker.
constexpr size_t kUnmarkedValueStart = 4;

// Texts are compared eight bytes at a time where they are plain ASCII.
using platform::ascii_words::LoadWord;
using platform::ascii_words::LowerAscii;
using platform::ascii_words::Word;

// How `text` compares with the folded reply bytes at `at`.
enum class Match { kNo, kYes, kNeedsFolding };

// Compares `text` with the folded bytes at `at` (at least text.size() of
// them), lowering A-Z of `text` on the way. Folding any other character of
// `text` than those and the end-of-value character is left to FoldCase:
// kNeedsFolding when the comparison meets one.
Match MatchAt(const char* at, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    // Eight ASCII bytes at a time where the text has them.
    if (text.size() - i >= sizeof(Word)) {
      const Word word = LoadWord(text.data() + i);
      if (platform::ascii_words::IsAscii(word)) {
        if (platform::ascii_words::LowerAsciiBytes(word) != LoadWord(at + i)) return Match::kNo;
        i += sizeof(Word) - 1;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      if (at[i] != LowerAscii(text[i])) return Match::kNo;
      continue;
    }
    if (text.substr(i, platform::kEndOfValueText.size()) != platform::kEndOfValueText)
      return Match::kNeedsFolding;
    if (std::memcmp(at + i, platform::kEndOfValueText.data(), platform::kEndOfValueText.size()) !=
        0) {
      return Match::kNo;
    }
    i += platform::kEndOfValueText.size() - 1;
  }
  return Match::kYes;
}

}  // namespace

FoldedReply::FoldedReply(std::string_view reply) {
  if (reply.size() > inline_.size()) spilled_.resize(reply.size());
  const std::span<char> storage(reply.size() > inline_.size() ? spilled_.data() : inline_.data(),
                                reply.size());
  std::copy(reply.begin(), reply.end(), storage.begin());
  platform::FoldCaseInPlace(storage);
  folded_ = std::string_view(storage.data(), storage.size());
}

bool FoldedReply::Contains(std::string_view text) const { return Find(text) != std::string::npos; }

size_t FoldedReply::Find(std::string_view text) const {
  // Folding keeps the size of a text, so a longer one cannot occur.
  if (text.size() > folded_.size()) return std::string::npos;
  if (text.empty()) return 0;
  // A first letter that FoldCase may turn into another lead byte (Ÿ to ÿ)
  // leaves nothing to search for.
  if (static_cast<unsigned char>(text[0]) >= 0x80 && !text.starts_with(platform::kEndOfValueText)) {
    return folded_.find(platform::FoldCase(text));
  }
  // The texts searched for fold like ASCII: folding them is lowering A-Z,
  // done while comparing at the places where the first byte occurs,
  // instead of into a new string for every rule.
  const char first = LowerAscii(text[0]);
  const char* const begin = folded_.data();
  const char* const last_start = begin + (folded_.size() - text.size());
  for (const char* at = begin; at <= last_start; ++at) {
    at = static_cast<const char*>(std::memchr(at, first, static_cast<size_t>(last_start - at) + 1));
    if (at == nullptr) break;
    switch (MatchAt(at, text)) {
      case Match::kYes: return static_cast<size_t>(at - begin);
      case Match::kNeedsFolding: return folded_.find(platform::FoldCase(text));
      case Match::kNo: break;
    }
  }
  return std::string::npos;
}

std::string ReplyValue(std::string_view reply) { return ReplyValue(reply, FoldedReply(reply)); }

std::string ReplyValue(std::string_view reply, const FoldedReply& folded) {
  // Folding keeps byte offsets, and both texts searched for start a
  // character, so the cut works on byte offsets; characters are counted
  // only where the rule is stated in characters.
  const size_t marker = folded.Find(kValueMarker);
  const size_t end = folded.Find(platform::kEndOfValueText);
  if (end != std::string::npos && end >= static_cast<size_t>(kLargestEndPosition) &&
      static_cast<int64_t>(platform::Utf8Length(reply.substr(0, end))) + 1 > kLargestEndPosition) {
    throw platform::PlatformError(platform::kOverflow);
  }
  const size_t first = marker != std::string::npos
                           ? marker + kValueMarker.size()
                           : platform::Utf8Offset(reply, kUnmarkedValueStart);
  if (end == std::string::npos || end < first) {
    throw platform::PlatformError(platform::kInvalidProcedureCall);
  }
  return std::string(reply.substr(first, end - first));
}

}  // namespace morvane
