#include "reply_rules.h"

#include <cstdint>

#include "platform/ansi_text.h"
#include "platform/error.h"

namespace morvane {
namespace {

// The position, counting from 1, of the first `text` in `folded` (a reply
// already case-folded), or 0.
int64_t PositionOf(std::string_view folded, std::string_view text) {
  const size_t offset = folded.find(platform::FoldCase(text));
  if (offset == std::string_view::npos) return 0;
  return static_cast<int64_t>(platform::Utf8Length(folded.substr(0, offset))) + 1;
}

// The end-of-value position is kept in a 16-bit number.
constexpr int64_t kLargestEndPosition = INT16_MAX;

}  // namespace

bool ReplyContains(std::string_view reply, std::string_view text) {
  return FoldedReply(reply).Contains(text);
}

FoldedReply::FoldedReply(std::string_view reply) : folded_(platform::FoldCase(reply)) {}

bool FoldedReply::Contains(std::string_view text) const {
  return folded_.find(platform::FoldCase(text)) != std::string::npos;
}

std::string ReplyValue(std::string_view reply) {
  const std::string folded = platform::FoldCase(reply);
  const int64_t start_marker = PositionOf(folded, kValueMarker);
  const int64_t end = PositionOf(folded, kEndOfValue);
  if (end > kLargestEndPosition) throw platform::PlatformError(platform::kOverflow);
  const int64_t start = start_marker + static_cast<int64_t>(kValueMarker.size());
  const int64_t length = end - start;
  if (length < 0) throw platform::PlatformError(platform::kInvalidProcedureCall);
  const size_t first = platform::Utf8Offset(reply, static_cast<size_t>(start - 1));
  const size_t last = platform::Utf8Offset(reply, static_cast<size_t>(start - 1 + length));
  return std::string(reply.substr(first, last - first));
}

}  // namespace morvane
