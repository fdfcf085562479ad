#include "reply_rules.h"

#include <cstdint>

#include "platform/ansi_text.h"
#include "platform/error.h"

namespace morvane {
namespace {

// The end-of-value position is kept in a 16-bit number.
constexpr int64_t kLargestEndPosition = INT16_MAX;

// The number of characters before the value when the reply has no marker.
constexpr size_t kUnmarkedValueStart = 4;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// True when folding `text` changes nothing but A-Z: ASCII, and the
// end-of-value character (already lower case) that ends the handshake
// texts.
bool FoldsLikeAscii(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) < 0x80) continue;
    if (text.substr(i, platform::kEndOfValueText.size()) != platform::kEndOfValueText) return false;
    i += platform::kEndOfValueText.size() - 1;
  }
  return true;
}

}  // namespace

FoldedReply::FoldedReply(std::string_view reply) : folded_(platform::FoldCase(reply)) {}

bool FoldedReply::Contains(std::string_view text) const { return Find(text) != std::string::npos; }

size_t FoldedReply::Find(std::string_view text) const {
  // The texts searched for fold like ASCII: folding them is lowering A-Z,
  // done while comparing instead of into a new string for every rule.
  if (!FoldsLikeAscii(text)) return folded_.find(platform::FoldCase(text));
  if (text.empty()) return 0;
  const char first = LowerAscii(text[0]);
  for (size_t at = folded_.find(first);
       at != std::string::npos && text.size() <= folded_.size() - at;
       at = folded_.find(first, at + 1)) {
    size_t i = 1;
    while (i < text.size() && folded_[at + i] == LowerAscii(text[i])) ++i;
    if (i == text.size()) return at;
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
