// SPDX-License-Identifier: MIT

// What morvane prints: results as "name: value" lines or as JSON, and the
// member list.

#ifndef MORVANE_TOOL_RESULT_OUTPUT_H_
#define MORVANE_TOOL_RESULT_OUTPUT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/variant.h"

namespace morvane_tool {

// The four result properties of a WG object after a command.
struct ResultProperties {
  int32_t error_number = 0;
  std::string error_description;
  int32_t answer_long = 0;
  std::string answer_string;
};

// The names of the four properties, in the order they are printed.
inline constexpr std::string_view kResultPropertyNames[] = {"error_number", "error_description",
                                                            "answer_long", "answer_string"};

// `text` (UTF-8) as a JSON string with its quotes. Quotes, backslashes and
// control characters are escaped; a byte that is not part of well-formed
// UTF-8 becomes U+FFFD, so the output is always valid JSON.
std::string JsonString(std::string_view text);

// `text` (UTF-8) for a line of plain output: the C0 controls (CR and LF
// included), DEL and bytes that are not well-formed UTF-8 are shown as
// \xHH, the C1 controls U+0080 to U+009F as \uHHHH, so that one value stays
// on one line and nothing from a reply reaches the terminal as a control.
std::string PlainText(std::string_view text);

// The four properties: four "name: value" lines, or one JSON object with
// exactly the keys "error_number", "error_description", "answer_long" and
// "answer_string" on one line. Each ends with a line feed.
std::string FormatResultProperties(const ResultProperties& result, bool json);

// A platform error the member raised: "error N: TEXT" for standard error,
// or with `json` {"platform_error": N, "description": "TEXT"} for standard
// output. Each ends with a line feed.
std::string FormatPlatformError(int32_t number, std::string_view description, bool json);

// A member's value: the value alone on a line, or {"result": VALUE} with
// numbers as JSON numbers, booleans as true/false, texts as strings and no
// value as null. Objects and records are the caller's to describe first.
std::string FormatValue(const platform::Variant& value, bool json);

// Every member, one per line, in interface order: the dispatch identifier
// in hex, the name, the parameters with their types and the result, e.g.
//   0x60030014  GiveCredits(secret As String, userid As String, creds As Long) As Record
std::string FormatMemberList(std::span<const platform::MemberInfo> members);

}  // namespace morvane_tool

#endif  // MORVANE_TOOL_RESULT_OUTPUT_H_
