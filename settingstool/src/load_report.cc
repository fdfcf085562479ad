// SPDX-License-Identifier: MIT

#include "load_report.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "ravelset/form1_host.h"
#include "ravelset/port_rule.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/utf8.h"

namespace ravelset {
namespace {

// `text` without its surrounding blanks, in quotes, with control
// characters (NULs of a damaged file, the C1 controls the code page's
// undefined bytes read as) shown as '?' so that the message box shows what
// is there instead of nothing or an empty box.
std::string Quoted(std::string_view text) {
  std::string_view rest = morvane::TrimSpaces(text);
  std::string quoted = "\"";
  while (!rest.empty()) {
    if (platform::StartsWithC1Control(rest)) {
      quoted += '?';
      rest.remove_prefix(platform::kC1ControlUtf8Length);
      continue;
    }
    const auto byte = static_cast<unsigned char>(rest.front());
    quoted += (byte < 0x20 || byte == 0x7F) ? '?' : rest.front();
    rest.remove_prefix(1);
  }
  return quoted + "\"";
}

bool IsBlank(std::string_view text) { return morvane::TrimSpaces(text).empty(); }

}  // namespace

void LoadReport::ShortFile(size_t bytes_found) {
  faults_.push_back("The file holds " + std::to_string(bytes_found) + " of the " +
                    std::to_string(morvane::SettingsRecord::kSize) +
                    " bytes of a complete record.");
}

void LoadReport::Address(std::string_view name, std::string_view field, const AddressField& parts) {
  const std::string the_address = "the " + std::string(name);
  if (IsBlank(field)) {
    faults_.push_back("The " + std::string(name) + " is empty.");
    return;
  }
  if (parts.dots < 3) {
    faults_.push_back("The " + std::string(name) + " " + Quoted(field) +
                      " has fewer than three dots.");
  }
  for (size_t index = 0; index < parts.parts.size(); ++index) {
    if (!parts.HasPart(index)) break;
    const auto& value = parts.parts[index];
    const std::string part =
        "Part " + std::to_string(index + 1) + " of " + the_address + " " + Quoted(field);
    if (!value) {
      faults_.push_back(part + " is not a number.");
    } else if (*value < 0 || *value > 255 || std::floor(*value) != *value) {
      faults_.push_back(part + " is not a whole number from 0 to 255.");
    }
  }
}

void LoadReport::Port(std::string_view field, std::string_view box_text) {
  const std::string_view stored = morvane::TrimSpaces(field);
  if (stored.empty()) {
    faults_.push_back("The Port Number is empty.");
  } else if (platform::Utf8Length(stored) > kPortBoxMaxLength) {
    faults_.push_back("The Port Number " + Quoted(stored) + " is longer than " +
                      std::to_string(kPortBoxMaxLength) +
                      " characters; the window shows only its beginning.");
  } else if (!ValidPort(box_text)) {
    faults_.push_back("The Port Number " + Quoted(stored) + " is not a number from " +
                      std::to_string(kLowestPort) + " to " + std::to_string(kHighestPort) + ".");
  }
}

std::string LoadReport::Message(const std::string& path, SaveAdvice advice) const {
  std::string message = "The settings file " + path + " is damaged:\n";
  for (const std::string& fault : faults_) message += "\n" + fault;
  message += "\n\nParts of an address that could not be read are shown as 0. ";
  message += advice == SaveAdvice::kWindow
                 ? "Correct the settings and press OK to save them, or Cancel to leave the file "
                   "as it is."
                 : "Save corrected settings with ravelset --set --local-host A.B.C.D "
                   "--remote-host A.B.C.D --port P, or leave the file as it is.";
  return message;
}

std::string FileErrorReason(const platform::PlatformError& error) {
  // File errors read "<standard text>: <path> (<system's reason>)".
  const std::string text = error.description();
  const size_t open = text.rfind(" (");
  if (!text.empty() && text.back() == ')' && open != std::string::npos) {
    return text.substr(open + 2, text.size() - open - 3);
  }
  return text;
}

std::string UnreadableFileMessage(const std::string& path, const std::string& reason,
                                  SaveAdvice advice) {
  return "The settings file " + path + " cannot be read: " + reason + ".\n\n" +
         (advice == SaveAdvice::kWindow
              ? "The window shows the addresses 0.0.0.0 and no port. Enter the settings and "
                "press OK to write the file anew, or Cancel to leave it as it is."
              : "Write the settings anew with ravelset --set, or leave the file as it is.");
}

std::string NotAFileMessage(const std::string& path, SaveAdvice advice) {
  return "The settings file " + path +
         " is not a regular file but a directory, a pipe or a device, so it is neither read "
         "nor written.\n\nRemove or rename it, then " +
         (advice == SaveAdvice::kWindow ? "start again to write a new settings file."
                                        : "write a new settings file with ravelset --set.");
}

std::optional<std::string> DanglingLinkTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
    return std::nullopt;
  }
  if (std::filesystem::exists(path, error) || error) return std::nullopt;
  const std::filesystem::path target = std::filesystem::read_symlink(path, error);
  if (error) return std::nullopt;
  return target.string();
}

std::string DanglingLinkReason(const std::string& target) {
  return "it is a symbolic link to " + target +
         ", which does not exist (the settings are never written through such a link)";
}

std::string SaveFailedMessage(const std::string& path, const std::string& reason) {
  return "The settings could not be saved to the file " + path + ": " + reason + ".";
}

}  // namespace ravelset
