// SPDX-License-Identifier: MIT

#include "result_output.h"

#include <cstdio>
#include <type_traits>

#include "tessaly/platform/numeric_text.h"
#include "tessaly/platform/utf8.h"

namespace morvane_tool {
namespace {

std::string Hex(const char* format, unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text[0]);
    const size_t length = platform::Utf8CharLength(text);
    if (length == 0) {
      out += "\\ufffd";
      text.remove_prefix(1);
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += Hex("\\u%04x", c);
        } else {
          out.append(text.substr(0, length));
        }
    }
    text.remove_prefix(length);
  }
  return out + "\"";
}

std::string PlainText(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text[0]);
    const size_t length = platform::Utf8CharLength(text);
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      // A control character, or a byte a terminal might read as one.
      out += Hex("\\x%02X", byte);
      text.remove_prefix(1);
      continue;
    }
    // The C1 controls (from reply bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D),
    // which terminals obey as escape sequences, are shown by code point:
    // their second byte is the code point itself.
    if (platform::StartsWithC1Control(text)) {
      out += Hex("\\u%04X", static_cast<unsigned char>(text[1]));
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

std::string FormatResultProperties(const ResultProperties& result, bool json) {
  const std::string number = std::to_string(result.error_number);
  const std::string answer = std::to_string(result.answer_long);
  if (json) {
    return "{\"error_number\": " + number +
           ", \"error_description\": " + JsonString(result.error_description) +
           ", \"answer_long\": " + answer +
           ", \"answer_string\": " + JsonString(result.answer_string) + "}\n";
  }
  return "error_number: " + number + "\nerror_description: " + PlainText(result.error_description) +
         "\nanswer_long: " + answer + "\nanswer_string: " + PlainText(result.answer_string) + "\n";
}

std::string FormatPlatformError(int32_t number, std::string_view description, bool json) {
  if (json) {
    return "{\"platform_error\": " + std::to_string(number) +
           ", \"description\": " + JsonString(description) + "}\n";
  }
  return "error " + std::to_string(number) + ": " + PlainText(description) + "\n";
}

std::string FormatValue(const platform::Variant& value, bool json) {
  const std::string text = std::visit(
      [json](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return json ? "null" : "";
        } else if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>) {
          return std::to_string(v);
        } else if constexpr (std::is_same_v<T, float>) {
          return platform::ShortestText(v);
        } else if constexpr (std::is_same_v<T, platform::Bool16>) {
          if (json) return v.value != 0 ? "true" : "false";
          return v.value != 0 ? "True" : "False";
        } else if constexpr (std::is_same_v<T, std::string>) {
          return json ? JsonString(v) : PlainText(v);
        } else {
          return json ? "null" : "";
        }
      },
      value);
  return json ? "{\"result\": " + text + "}\n" : text + "\n";
}

std::string FormatMemberList(std::span<const platform::MemberInfo> members) {
  std::string out;
  for (const platform::MemberInfo& member : members) {
    out += Hex("0x%08x", static_cast<unsigned>(member.id)) + "  " + std::string(member.name);
    if (member.kind == platform::MemberKind::kMethod) {
      out += "(";
      for (size_t i = 0; i < member.params.size(); ++i) {
        const platform::ParamInfo& param = member.params[i];
        if (i > 0) out += ", ";
        out += std::string(param.name) + " As " + platform::VarTypeName(param.type);
        if (param.written) out += " (written back)";
      }
      out += ")";
    }
    if (member.result != platform::VarType::kEmpty) {
      out += std::string(" As ") + platform::VarTypeName(member.result);
    }
    if (member.kind == platform::MemberKind::kReadOnlyProperty) out += "  [read-only property]";
    if (member.kind == platform::MemberKind::kProperty) out += "  [property]";
    out += "\n";
  }
  return out;
}

}  // namespace morvane_tool
