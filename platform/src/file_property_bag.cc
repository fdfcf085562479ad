#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/numeric_text.h"
#include "platform/property_bag.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

template <class Int>
std::optional<Int> ParseExactInt(std::string_view text) {
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::optional<float> ParseExactSingle(std::string_view text) {
  float value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::optional<std::string> Unquote(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '"') return std::nullopt;  // an unescaped quote inside
    if (c == '\\') {
      if (i + 2 >= text.size()) return std::nullopt;  // escape of the closing quote
      switch (text[++i]) {
        case '\\': c = '\\'; break;
        case '"': c = '"'; break;
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        default: return std::nullopt;
      }
    }
    out += c;
  }
  return out;
}

// "Type:value" of a value; raises 13 for what the file cannot hold.
std::string Encode(const Variant& value) {
  struct Visitor {
    std::string operator()(int16_t v) const { return "Integer:" + std::to_string(v); }
    std::string operator()(int32_t v) const { return "Long:" + std::to_string(v); }
    std::string operator()(float v) const {
      if (!std::isfinite(v)) throw PlatformError(kOverflow);
      return "Single:" + ShortestText(v);
    }
    std::string operator()(Bool16 v) const {
      if (v.value == Bool16::kTrue) return "Boolean:True";
      if (v.value == Bool16::kFalse) return "Boolean:False";
      return "Boolean:" + std::to_string(v.value);
    }
    std::string operator()(const std::string& v) const { return "String:" + Quote(v); }
    std::string operator()(std::monostate) const { throw PlatformError(kTypeMismatch); }
    std::string operator()(const std::shared_ptr<Component>&) const {
      throw PlatformError(kTypeMismatch);
    }
    std::string operator()(const std::shared_ptr<const Record>&) const {
      throw PlatformError(kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value);
}

std::optional<Variant> Decode(std::string_view type, std::string_view text) {
  if (type == "Integer") {
    if (auto v = ParseExactInt<int16_t>(text)) return Variant(*v);
  } else if (type == "Long") {
    if (auto v = ParseExactInt<int32_t>(text)) return Variant(*v);
  } else if (type == "Single") {
    if (auto v = ParseExactSingle(text)) return Variant(*v);
  } else if (type == "Boolean") {
    if (text == "True") return Variant(Bool16{Bool16::kTrue});
    if (text == "False") return Variant(Bool16{Bool16::kFalse});
    if (auto v = ParseExactInt<int16_t>(text)) return Variant(Bool16{*v});
  } else if (type == "String") {
    if (auto v = Unquote(text)) return Variant(std::move(*v));
  }
  return std::nullopt;
}

bool IsValidName(std::string_view name) {
  return !name.empty() && name.front() != '#' &&
         name.find_first_of("=\r\n") == std::string_view::npos;
}

std::string ReadWholeFile(const std::string& path, bool& missing) {
  missing = false;
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT) {
      missing = true;
      return {};
    }
    throw FileError(errno, path);
  }
  std::string content;
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(errno, path);
    if (got == 0) break;
    content.append(chunk, static_cast<size_t>(got));
  }
  return content;
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) throw FileError(errno, path);
    bytes.remove_prefix(static_cast<size_t>(done));
  }
}

}  // namespace

FilePropertyBag::FilePropertyBag(std::string path) : path_(std::move(path)) {}

FilePropertyBag FilePropertyBag::Load(const std::string& path) {
  FilePropertyBag bag(path);
  bool missing = false;
  const std::string content = ReadWholeFile(path, missing);
  std::vector<std::pair<std::string, Variant>> read;
  std::unordered_map<std::string, size_t> last_line_of;
  std::string_view rest = content;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const size_t equals = line.find('=');
    const size_t colon = equals == std::string_view::npos ? equals : line.find(':', equals);
    std::optional<Variant> value;
    if (colon != std::string_view::npos && equals > 0) {
      value = Decode(line.substr(equals + 1, colon - equals - 1), line.substr(colon + 1));
    }
    if (!value) {
      ++bag.skipped_lines_;
      continue;
    }
    std::string name(line.substr(0, equals));
    last_line_of[name] = read.size();
    read.emplace_back(std::move(name), std::move(*value));
  }
  // A name written twice keeps its last value, in the place of its last
  // line, as if each line had been written in turn.
  for (size_t i = 0; i < read.size(); ++i) {
    if (last_line_of[read[i].first] == i) bag.values_.push_back(std::move(read[i]));
  }
  return bag;
}

Variant FilePropertyBag::ReadProperty(std::string_view name, const Variant& default_value) {
  const auto it = std::find_if(values_.begin(), values_.end(),
                               [&](const auto& entry) { return entry.first == name; });
  return it == values_.end() ? default_value : it->second;
}

void FilePropertyBag::WriteProperty(std::string_view name, const Variant& value,
                                    const Variant& default_value) {
  if (!IsValidName(name)) throw PlatformError(kInvalidProcedureCall, std::string(name));
  Encode(value);  // refuses what the file cannot hold before anything changes
  std::erase_if(values_, [&](const auto& entry) { return entry.first == name; });
  if (!EqualsDefault(value, default_value)) values_.emplace_back(std::string(name), value);
}

std::string FilePropertyBag::ToText() const {
  std::string text;
  for (const auto& [name, value] : values_) text += name + "=" + Encode(value) + "\n";
  return text;
}

void FilePropertyBag::Save() const {
  // Write a sibling file first and rename it over the old one, so that a
  // failed save leaves the old file whole.
  const std::string temporary = path_ + ".new";
  {
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) throw FileError(errno, temporary);
    try {
      WriteAll(fd.get(), ToText(), temporary);
      if (::fsync(fd.get()) != 0) throw FileError(errno, temporary);
    } catch (...) {
      ::unlink(temporary.c_str());
      throw;
    }
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw FileError(error, path_);
  }
}

}  // namespace platform
