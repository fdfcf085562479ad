// SPDX-License-Identifier: MIT

#include "account_file.h"

#include <charconv>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

#include "control_bytes.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/utf8.h"

namespace wgsim {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const size_t length = platform::Utf8CharLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::optional<int32_t> ParseWhole(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ParseYesNo(std::string_view text) {
  const std::string folded = platform::FoldCase(text);
  if (folded == "yes" || folded == "true" || folded == "1") return true;
  if (folded == "no" || folded == "false" || folded == "0") return false;
  return std::nullopt;
}

// Why `name` cannot be a class or key name, or nullopt when it can: such a
// name travels as one word of a command line and inside a reply value.
std::optional<std::string> WordProblem(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name.find_first_of(kBlanks) != std::string_view::npos) return "holds a blank";
  if (HoldsControlByte(name)) return "holds a control character";
  if (HoldsEndOfValue(name)) return "holds the character \u00F5, which ends reply values";
  return std::nullopt;
}

// Names that SameName takes for the same have the same key.
std::string NameKey(std::string_view name) {
  return std::to_string(name.size()) + ":" + platform::FoldCase(name);
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& source) : text_(text), source_(source) {}

  AccountBook Parse() {
    if (!IsUtf8(text_)) Fail(FirstNonUtf8Line(), "the text is not UTF-8");
    size_t start = 0;
    while (start < text_.size()) {
      size_t end = text_.find('\n', start);
      if (end == std::string_view::npos) end = text_.size();
      std::string_view line = text_.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++line_;
      ParseLine(line);
      start = end + 1;
    }
    CheckClasses();
    return std::move(book_);
  }

 private:
  enum class Section { kNone, kClasses, kSystem, kUser };

  [[noreturn]] void Fail(int line, const std::string& reason) const {
    throw AccountFileError(source_, line, reason);
  }
  [[noreturn]] void Fail(const std::string& reason) const { Fail(line_, reason); }

  int FirstNonUtf8Line() const {
    int line = 1;
    size_t start = 0;
    while (start <= text_.size()) {
      size_t end = text_.find('\n', start);
      if (end == std::string_view::npos) end = text_.size();
      if (!IsUtf8(text_.substr(start, end - start))) return line;
      ++line;
      start = end + 1;
    }
    return 0;
  }

  void ParseLine(std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') return;
    if (line.front() == '[') return ParseHeader(line);
    switch (section_) {
      case Section::kNone:
        Fail("a line outside any section; start with [classes], [system] or [user ID]");
      case Section::kClasses: return ParseClass(line);
      case Section::kSystem: return ParseSystemVariable(line);
      case Section::kUser: return ParseAttribute(line);
    }
  }

  void ParseHeader(std::string_view line) {
    if (line.back() != ']') Fail("a section header must end with ']'");
    const std::string_view inside = line.substr(1, line.size() - 2);
    if (inside == "classes") {
      section_ = Section::kClasses;
    } else if (inside == "system") {
      section_ = Section::kSystem;
    } else if (inside.starts_with("user ")) {
      const std::string_view user_id = Trim(inside.substr(5));
      if (user_id.empty()) Fail("the [user ID] header names no user");
      if (HoldsControlByte(user_id)) Fail("the user ID holds a control character");
      if (!user_ids_.insert(NameKey(user_id)).second) {
        Fail("user \"" + std::string(user_id) + "\" is listed twice");
      }
      book_.accounts.emplace_back().user_id = user_id;
      seen_.clear();
      class_lines_.emplace_back();
      section_ = Section::kUser;
    } else {
      Fail("unknown section [" + std::string(inside) +
           "]; expected [classes], [system] or [user ID]");
    }
  }

  void ParseClass(std::string_view name) {
    if (auto problem = WordProblem(name)) Fail("class name " + *problem);
    if (!class_names_.insert(NameKey(name)).second)
      Fail("class " + std::string(name) + " is listed twice");
    book_.classes.emplace_back(name);
  }

  void ParseSystemVariable(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) Fail("expected NUMBER = VALUE");
    const auto number = ParseWhole(Trim(line.substr(0, equals)));
    const auto value = ParseWhole(Trim(line.substr(equals + 1)));
    if (!number) Fail("the system variable's number is not a whole number");
    if (!value)
      Fail("the value of system variable " + std::to_string(*number) +
           " is not a 32-bit whole number");
    if (!book_.system_variables.emplace(*number, *value).second) {
      Fail("system variable " + std::to_string(*number) + " is listed twice");
    }
  }

  // A value as written: bare (blanks around it removed) or in double quotes.
  std::string Value(std::string_view written) const {
    if (written.empty() || written.front() != '"') return std::string(written);
    if (written.size() < 2 || written.back() != '"') Fail("a quoted value must end with '\"'");
    std::string value;
    const std::string_view inside = written.substr(1, written.size() - 2);
    for (size_t i = 0; i < inside.size(); ++i) {
      const char c = inside[i];
      if (c == '"') Fail("a '\"' inside a quoted value must be written \\\"");
      if (c != '\\') {
        value += c;
        continue;
      }
      if (++i == inside.size()) Fail("a quoted value ends with a lone backslash");
      switch (inside[i]) {
        case '\\': value += '\\'; break;
        case '"': value += '"'; break;
        case 't': value += '\t'; break;
        case 'x': {
          unsigned byte = 0;
          const auto hex = inside.substr(i + 1, 2);
          const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), byte, 16);
          if (hex.size() != 2 || error != std::errc() || end != hex.data() + 2 || byte >= 0x80) {
            Fail("\\x must be followed by two hex digits below 80");
          }
          value += static_cast<char>(byte);
          i += 2;
          break;
        }
        default: Fail(std::string("unknown escape \\") + inside[i]);
      }
    }
    return value;
  }

  int32_t Whole(std::string_view name, const std::string& value, bool not_negative) const {
    const auto number = ParseWhole(value);
    if (!number) Fail(std::string(name) + ": \"" + value + "\" is not a 32-bit whole number");
    if (not_negative && *number < 0) Fail(std::string(name) + " cannot be negative");
    return *number;
  }

  bool YesNo(std::string_view name, const std::string& value) const {
    const auto flag = ParseYesNo(value);
    if (!flag) Fail(std::string(name) + ": expected yes or no, not \"" + value + "\"");
    return *flag;
  }

  void ParseAttribute(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) Fail("expected name = value");
    const std::string name(Trim(line.substr(0, equals)));
    const std::string value = Value(Trim(line.substr(equals + 1)));
    if (!seen_.emplace(platform::FoldCase(name), line_).second)
      Fail(name + " is given twice for this user");
    Account& account = book_.accounts.back();
    if (name == "password") {
      account.password = value;
    } else if (name == "credits") {
      account.credits = Whole(name, value, true);
    } else if (name == "days") {
      account.days = Whole(name, value, true);
    } else if (name == "primary-class" || name == "current-class") {
      // Empty is the default, as if the line were not there: a host
      // without classes has accounts without one, and earlier versions
      // wrote them so.
      if (value.empty()) return;
      if (auto problem = WordProblem(value)) Fail(name + " " + *problem);
      (name == "primary-class" ? account.primary_class : account.current_class) = value;
      (name == "primary-class" ? class_lines_.back().primary : class_lines_.back().current) = line_;
    } else if (name == "keys") {
      ParseKeys(value, account);
    } else if (name == "suspended") {
      account.suspended = YesNo(name, value);
    } else if (name == "deleted") {
      account.deleted = YesNo(name, value);
    } else if (name == "protected") {
      account.is_protected = YesNo(name, value);
    } else if (name == "master") {
      account.master = YesNo(name, value);
    } else if (name == "online") {
      account.online = YesNo(name, value);
    } else if (name == "last-login") {
      account.last_login = Whole(name, value, false);
    } else if (name == "created") {
      account.created = Whole(name, value, false);
    } else if (name.starts_with("field ")) {
      const auto number = ParseWhole(Trim(std::string_view(name).substr(6)));
      if (!number || !IsFieldNumber(*number)) {
        Fail("\"" + name + "\": fields are numbered " + std::to_string(kFirstFieldNumber) + " to " +
             std::to_string(kLastFieldNumber));
      }
      if (!account.fields.emplace(*number, value).second)
        Fail(name + " is given twice for this user");
    } else {
      Fail("unknown attribute \"" + name + "\"");
    }
  }

  void ParseKeys(const std::string& value, Account& account) const {
    std::unordered_set<std::string> held;
    std::string_view rest = value;
    while (!(rest = Trim(rest)).empty()) {
      const std::string_view key = rest.substr(0, rest.find_first_of(kBlanks));
      rest.remove_prefix(key.size());
      if (auto problem = WordProblem(key)) Fail("key " + *problem);
      if (platform::Utf8Length(key) > kMaxKeyLength) {
        Fail("key " + std::string(key) + " is longer than " + std::to_string(kMaxKeyLength) +
             " characters");
      }
      if (held.insert(NameKey(key)).second) account.keys.emplace_back(key);
    }
  }

  // Every class an account names must be listed in [classes], wherever in
  // the file that section stands. An account without classes gets the
  // first class listed.
  void CheckClasses() {
    for (size_t i = 0; i < book_.accounts.size(); ++i) {
      Account& account = book_.accounts[i];
      const ClassLines& lines = class_lines_[i];
      const auto resolve = [&](std::string& name, int line) {
        if (name.empty()) return;
        const std::string* known = book_.FindClass(name);
        if (known == nullptr) Fail(line, "class " + name + " is not listed in [classes]");
        name = *known;
      };
      resolve(account.primary_class, lines.primary);
      resolve(account.current_class, lines.current);
      if (account.primary_class.empty() && !book_.classes.empty()) {
        account.primary_class = book_.classes.front();
      }
      if (account.current_class.empty()) account.current_class = account.primary_class;
    }
  }

  struct ClassLines {
    int primary = 0;
    int current = 0;
  };

  std::string_view text_;
  const std::string& source_;
  int line_ = 0;
  Section section_ = Section::kNone;
  AccountBook book_;
  std::map<std::string, int> seen_;  // attributes of the current user
  std::vector<ClassLines> class_lines_;
  // NameKey of every user ID and class read so far: looking them up in the
  // book would make loading quadratic in the number of users.
  std::unordered_set<std::string> user_ids_;
  std::unordered_set<std::string> class_names_;
};

// Whether a value must be quoted to read back as it is.
bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return false;
  return kBlanks.find(value.front()) != std::string_view::npos ||
         kBlanks.find(value.back()) != std::string_view::npos || value.front() == '"' ||
         HoldsControlByte(value);
}

std::string Written(std::string_view value) {
  if (!NeedsQuotes(value)) return std::string(value);
  std::string out = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (IsControlByte(byte)) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void Line(std::string& out, std::string_view name, std::string_view value) {
  out.append(name).append(" =");
  if (!value.empty()) out.append(" ").append(Written(value));
  out += '\n';
}

const char* YesNoText(bool flag) { return flag ? "yes" : "no"; }

}  // namespace

AccountFileError::AccountFileError(const std::string& source, int line, const std::string& reason)
    : std::runtime_error(source + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                         reason),
      line_(line) {}

AccountBook ParseAccountFile(std::string_view text, const std::string& source) {
  return Parser(text, source).Parse();
}

std::string FormatAccountFile(const AccountBook& book) {
  std::string out =
      "# Accounts of the wgsim server-module simulator (format: docs/wgsim-accounts.md).\n"
      "# wgsim rewrites this file after every change; comments are not kept.\n"
      "\n[classes]\n";
  for (const std::string& name : book.classes) out += name + "\n";
  out += "\n[system]\n";
  for (const auto& [number, value] : book.system_variables) {
    out += std::to_string(number) + " = " + std::to_string(value) + "\n";
  }
  for (const Account& account : book.accounts) {
    out += "\n[user " + account.user_id + "]\n";
    Line(out, "password", account.password);
    Line(out, "credits", std::to_string(account.credits));
    Line(out, "days", std::to_string(account.days));
    // Left out when empty (a host without classes), so that the line never
    // names a class [classes] does not list.
    if (!account.primary_class.empty()) Line(out, "primary-class", account.primary_class);
    if (!account.current_class.empty()) Line(out, "current-class", account.current_class);
    std::string keys;
    for (const std::string& key : account.keys) keys += (keys.empty() ? "" : " ") + key;
    Line(out, "keys", keys);
    Line(out, "suspended", YesNoText(account.suspended));
    Line(out, "deleted", YesNoText(account.deleted));
    Line(out, "protected", YesNoText(account.is_protected));
    Line(out, "master", YesNoText(account.master));
    Line(out, "online", YesNoText(account.online));
    Line(out, "last-login", std::to_string(account.last_login));
    Line(out, "created", std::to_string(account.created));
    for (const auto& [number, content] : account.fields) {
      Line(out, "field " + std::to_string(number), content);
    }
  }
  return out;
}

}  // namespace wgsim
