// SPDX-License-Identifier: MIT

#include "tessaly/morvane/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "read_settings_record.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/unique_fd.h"
#include "tessaly/platform/windows_directory.h"

namespace morvane {

std::string SettingsFilePath() { return platform::WindowsDirectory() + "/" + kSettingsFileName; }

SettingsRecord::SettingsRecord() { bytes_.fill(' '); }

SettingsRecord SettingsRecord::FromValues(std::string_view remote_host, std::string_view local_host,
                                          std::string_view port) {
  SettingsRecord record;
  record.SetField(kRemoteHostField, remote_host);
  record.SetField(kLocalHostField, local_host);
  record.SetField(kPortField, port);
  return record;
}

SettingsRecord SettingsRecord::FromBytes(std::string_view bytes) {
  SettingsRecord record;
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), record.bytes_.begin());
  return record;
}

std::string SettingsRecord::Field(size_t field) const {
  return platform::AnsiToUtf8(bytes().substr(FieldOffset(field), kFieldWidth));
}

void SettingsRecord::SetField(size_t field, std::string_view value) {
  const std::string ansi = platform::Utf8ToAnsi(value);
  std::copy_n(ansi.begin(), std::min(ansi.size(), kFieldWidth),
              bytes_.begin() + FieldOffset(field));
}

std::string_view TrimSpaces(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  if (begin == end) return {};
  while (text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

SettingsRecord ReadSettingsRecord(const std::string& path, size_t* bytes_found) {
  std::optional<SettingsRecord> record = ReadSettingsRecordIfPresent(path, bytes_found);
  if (!record) throw platform::FileError(ENOENT, path);
  return *record;
}

std::optional<SettingsRecord> ReadSettingsRecordIfPresent(const std::string& path,
                                                          size_t* bytes_found) {
  const platform::UniqueFd file = platform::OpenRegularFileIfPresent(path, O_RDONLY);
  if (!file) return std::nullopt;
  char buffer[SettingsRecord::kSize];
  const size_t held = platform::ReadAllAt(file.get(), buffer, sizeof buffer, 0, path);
  if (bytes_found != nullptr) *bytes_found = held;
  return SettingsRecord::FromBytes(std::string_view(buffer, held));
}

void WriteSettingsRecord(const std::string& path, const SettingsRecord& record) {
  // Two rounds at most: when another writer creates the file between our
  // look and our create, the second round rewrites the file it made.
  for (int round = 0; round < 2; ++round) {
    const platform::UniqueFd file = platform::OpenRegularFileIfPresent(path, O_WRONLY);
    if (file) {
      // One positioned write of the whole record, so that a reader sees
      // either the old record or the new one, and the tail stays.
      platform::WriteAllAt(file.get(), record.bytes(), 0, path);
      platform::SyncToDisk(file.get(), path);
      return;
    }
    if (platform::CreateFileWhole(path, record.bytes())) return;
  }
  throw platform::FileError(EEXIST, path);
}

}  // namespace morvane
