// SPDX-License-Identifier: MIT

// Reading the server module's replies: the contains-rule every
// classification is made of, and the value carried in a reply.

#ifndef MORVANE_SRC_REPLY_RULES_H_
#define MORVANE_SRC_REPLY_RULES_H_

#include <array>
#include <string>
#include <string_view>

namespace morvane {

// A reply made ready for several contains-rules: folded to one letter case
// once, instead of once per rule.
class FoldedReply {
 public:
  explicit FoldedReply(std::string_view reply);
  // The folded text may stand inside the object itself.
  FoldedReply(const FoldedReply&) = delete;
  FoldedReply& operator=(const FoldedReply&) = delete;

  // Whether `text` occurs anywhere in the reply, letters compared without
  // regard to case (the letters of Windows-1252, so "õ" and "Õ" are one
  // letter). Replies are never compared whole.
  bool Contains(std::string_view text) const;

  // The byte offset of the first `text` in the reply, letters compared
  // without regard to case, or npos.
  size_t Find(std::string_view text) const;

 private:
  // Every reply of the server module fits here, and is folded without an
  // allocation; a longer one is folded into `spilled_`.
  static constexpr size_t kInlineSize = 256;
  std::array<char, kInlineSize> inline_;
  std::string spilled_;
  std::string_view folded_;
};

// The marker before a value in a reply. The value ends with the
// end-of-value character, platform::kEndOfValueText.
inline constexpr std::string_view kValueMarker = "is : ";

// The value in `reply`: the text after the first "is : " up to the first
// end-of-value character (either case), counted in characters. Without the
// marker the value starts at the fifth character; a value that would reach
// past the end of the reply stops there. Raises PlatformError 5 (invalid
// argument) when the end-of-value character is missing or stands before the
// marker's end, and 6 (overflow) when it stands beyond character 32767.
std::string ReplyValue(std::string_view reply);

// The same, for a reply already folded for its rules.
std::string ReplyValue(std::string_view reply, const FoldedReply& folded);

}  // namespace morvane

#endif  // MORVANE_SRC_REPLY_RULES_H_
