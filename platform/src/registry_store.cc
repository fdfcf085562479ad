// SPDX-License-Identifier: MIT

// Reading the registry export format into a RegistryStore.

#include "registry_store.h"

#include <cctype>
#include <cstdint>
#include <optional>

#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/utf8.h"

namespace platform {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

std::string_view Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// Key paths folded for lookup, without surrounding or doubled separators.
std::string FoldPath(std::string_view path) {
  std::string out;
  for (char c : FoldCase(path)) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

// Only the library's exported calls: the platform's tests build this file
// into themselves to reach the store.
bool IsValidUtf8(std::string_view bytes) {
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t length = Utf8CharLength(bytes.substr(pos));
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

// The byte-order marks of UTF-8, which is read, and of UTF-16LE, which is
// not: a store file is written by hand, and an editor saves UTF-8 or ANSI.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// The file's text as UTF-8, from UTF-8 or Windows-1252.
std::string DecodeFile(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  return IsValidUtf8(bytes) ? std::string(bytes) : AnsiToUtf8(bytes);
}

std::optional<uint8_t> HexByte(std::string_view text) {
  if (text.size() != 2 || !std::isxdigit(static_cast<unsigned char>(text[0])) ||
      !std::isxdigit(static_cast<unsigned char>(text[1]))) {
    return std::nullopt;
  }
  return static_cast<uint8_t>(std::stoul(std::string(text), nullptr, 16));
}

// "01,02,ff" to bytes; an empty list is no bytes.
std::optional<std::string> HexBytes(std::string_view list) {
  std::string out;
  list = Trim(list);
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const auto byte = HexByte(Trim(list.substr(0, comma)));
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
    if (Trim(list).empty()) return std::nullopt;  // a trailing comma
  }
  return out;
}

// A quoted string at the start of `text`: its content (escapes resolved)
// and the rest of the text after the closing quote.
std::optional<std::string> QuotedPrefix(std::string_view text, std::string_view& rest) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      rest = text.substr(i + 1);
      return out;
    }
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      ++i;
    }
    out += text[i];
  }
  return std::nullopt;  // no closing quote
}

// The value text after '=', or nullopt when it is none of the forms read.
std::optional<RegistryValue> ReadValue(std::string_view text) {
  text = Trim(text);
  if (text.starts_with("\"")) {
    std::string_view rest;
    auto content = QuotedPrefix(text, rest);
    if (!content || !Trim(rest).empty()) return std::nullopt;
    return RegistryValue{kRegSz, *content + '\0'};
  }
  if (text.starts_with("dword:")) {
    const std::string_view digits = text.substr(6);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    for (char c : digits) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const auto number = static_cast<uint32_t>(std::stoul(std::string(digits), nullptr, 16));
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(number >> shift);
    return RegistryValue{kRegDword, bytes};
  }
  if (text.starts_with("hex:")) {
    auto bytes = HexBytes(text.substr(4));
    if (!bytes) return std::nullopt;
    return RegistryValue{kRegBinary, std::move(*bytes)};
  }
  return std::nullopt;
}

}  // namespace

RegistryStore RegistryStore::Parse(std::string_view file_bytes,
                                   std::vector<std::string>* problems) {
  RegistryStore store;
  const auto problem = [&](size_t line_number, std::string_view what) {
    if (problems != nullptr) {
      problems->push_back("line " + std::to_string(line_number) + ": " + std::string(what));
    }
  };
  if (file_bytes.starts_with(kUtf16LeMark)) {
    problem(1, "a UTF-16 file; save it as UTF-8");
    return store;
  }
  const std::string text = DecodeFile(file_bytes);

  std::vector<std::string_view> lines;
  for (std::string_view rest = text; !rest.empty();) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }

  size_t index = 0;
  while (index < lines.size() && Trim(lines[index]).empty()) ++index;
  if (index == lines.size()) {
    problem(1, "empty file");
    return store;
  }
  const std::string_view header = Trim(lines[index]);
  if (header != kHeader4 && header != kHeader5) {
    problem(index + 1, "not a registry export file");
    return store;
  }

  std::optional<std::string> key;  // the current key's full path
  for (++index; index < lines.size(); ++index) {
    const size_t line_number = index + 1;
    std::string line(Trim(lines[index]));
    if (line.empty() || line.front() == ';') continue;

    if (line.front() == '[') {
      key.reset();
      if (line.back() != ']' || line.size() < 3) {
        problem(line_number, "bad key line");
        continue;
      }
      const std::string_view path = std::string_view(line).substr(1, line.size() - 2);
      if (path.front() == '-') {
        // The store is only read: there is nothing to delete from.
        problem(line_number, "key deletion");
        continue;
      }
      store.AddKey(path);
      key = std::string(path);
      continue;
    }

    // A value; hex lists may continue on the following lines. Whether it is
    // one is settled by its first line, which is searched once: searching
    // the joined line again after every continuation made a long list
    // quadratic.
    if (line.find("=hex") != std::string::npos) {
      while (line.back() == '\\' && index + 1 < lines.size()) {
        line.pop_back();
        line += Trim(lines[++index]);
      }
    }
    if (!key) {
      problem(line_number, "value outside a key");
      continue;
    }
    std::string name;
    std::string_view rest;
    if (line.starts_with("@")) {
      rest = std::string_view(line).substr(1);
    } else if (auto quoted = QuotedPrefix(line, rest)) {
      name = std::move(*quoted);
    } else {
      problem(line_number, "bad value name");
      continue;
    }
    rest = Trim(rest);
    if (!rest.starts_with("=")) {
      problem(line_number, "missing '='");
      continue;
    }
    std::optional<RegistryValue> value = ReadValue(rest.substr(1));
    if (!value) {
      problem(line_number, "bad value");
      continue;
    }
    store.keys_[FoldPath(*key)][FoldCase(name)] = std::move(*value);
  }
  return store;
}

void RegistryStore::AddKey(std::string_view path) {
  // The key and every parent of it exist.
  const std::string folded = FoldPath(path);
  for (size_t end = folded.find('\\'); end != std::string::npos; end = folded.find('\\', end + 1)) {
    keys_.try_emplace(folded.substr(0, end));
  }
  keys_.try_emplace(folded);
}

bool RegistryStore::HasKey(std::string_view path) const { return keys_.contains(FoldPath(path)); }

const RegistryStore::Values* RegistryStore::ValuesOf(std::string_view path) const {
  const auto it = keys_.find(FoldPath(path));
  return it == keys_.end() ? nullptr : &it->second;
}

const RegistryValue* RegistryStore::Find(std::string_view path, std::string_view name) const {
  const Values* values = ValuesOf(path);
  if (values == nullptr) return nullptr;
  const auto it = values->find(FoldCase(name));
  return it == values->end() ? nullptr : &it->second;
}

}  // namespace platform
