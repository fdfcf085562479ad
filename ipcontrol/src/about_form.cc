// SPDX-License-Identifier: MIT

#include "about_form.h"

#include <array>
#include <exception>

#include "tessaly/platform/error.h"

namespace lattix {
namespace {

// Closes an open key when it goes out of scope.
class OpenKey {
 public:
  OpenKey(platform::RegistryApi& registry, platform::RegKey key) : registry_(registry), key_(key) {}
  ~OpenKey() { registry_.CloseKey(key_); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

 private:
  platform::RegistryApi& registry_;
  platform::RegKey key_;
};

// The decimal text of a 32-bit registry number whose bytes (least
// significant first) are `bytes`. The data may have lost a final NUL byte
// (a zero top byte) to the cut; more than four bytes is an overflow.
std::string NumberValueText(std::string_view bytes) {
  uint64_t value = 0;
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
    value = (value << 8) | static_cast<unsigned char>(*it);
    if (value > 0xFFFFFFFFu) throw platform::PlatformError(platform::kOverflow);
  }
  return std::to_string(value);
}

}  // namespace

std::string VersionCaption(const LibraryVersion& version) {
  return "Version " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.revision);
}

AboutForm::AboutForm(LibraryVersion version, platform::RegistryApi& registry, FileTest& files,
                     ProgramStarter& starter)
    : version_(version), registry_(registry), files_(files), starter_(starter) {}

void AboutForm::Load(AboutView& view) {
  view_ = &view;
  view.SetVersionCaption(VersionCaption(version_));
}

void AboutForm::Unload() { view_ = nullptr; }

void AboutForm::StartSysInfo() {
  try {
    std::string path;
    if (!GetKeyValue(platform::kHKeyLocalMachine, kSysInfoKey, kSysInfoValue, path)) {
      if (!GetKeyValue(platform::kHKeyLocalMachine, kSysInfoLocationKey, kSysInfoLocationValue,
                       path)) {
        ShowUnavailable();
        return;
      }
      path += kSysInfoProgramFile;
      if (!files_.FileExists(path)) {
        ShowUnavailable();
        return;
      }
    }
    // The path from the first key is started as read: a missing program
    // shows up as a failed start.
    starter_.StartProgram(path);
    return;
  } catch (const std::exception&) {
    // Any failed step ends in the message below.
  }
  ShowUnavailable();
}

void AboutForm::ShowUnavailable() {
  if (view_ != nullptr) view_->ShowMessage(kSysInfoUnavailable);
}

bool AboutForm::GetKeyValue(platform::RegKey root, std::string_view key_name,
                            std::string_view value_name, std::string& result) {
  platform::RegKey key = 0;
  if (registry_.OpenKey(root, key_name, kSysInfoKeyAccess, key) != platform::kRegSuccess) {
    result.clear();
    return false;
  }
  const OpenKey closer(registry_, key);

  std::array<char, kValueBufferSize> buffer{};  // all NUL
  uint32_t type = 0;
  uint32_t size = kValueBufferSize;
  if (registry_.QueryValue(key, value_name, type, buffer, size) != platform::kRegSuccess) {
    result.clear();
    return false;
  }
  if (size == 0 || size > kValueBufferSize) {
    throw platform::PlatformError(platform::kInvalidProcedureCall,
                                  "registry value " + std::string(value_name) + " has no data");
  }
  std::string_view data(buffer.data(), size);
  if (data.back() == '\0') data.remove_suffix(1);

  switch (type) {
    case platform::kRegSz: result = std::string(data); break;
    case platform::kRegDword: result = NumberValueText(data); break;
    default: break;  // other types leave the result as it came
  }
  return true;
}

}  // namespace lattix
