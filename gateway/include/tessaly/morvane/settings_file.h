// SPDX-License-Identifier: MIT

// The settings file "morvane.ini" in the Windows directory: where the
// server module listens and which local address to connect from.
//
// Despite its extension it is one fixed record of 60 bytes: remote host,
// local host and port, each a text of exactly 20 single-byte (Windows-1252)
// characters, left-aligned and filled with spaces, with no terminator.
// Bytes after the record are not read and are kept when it is rewritten.
// The gateway only reads the file; the settings tool writes it.

#ifndef TESSALY_MORVANE_SETTINGS_FILE_H_
#define TESSALY_MORVANE_SETTINGS_FILE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tessaly/morvane/export.h"

namespace morvane {

inline constexpr const char* kSettingsFileName = "morvane.ini";

// What the readers report when the file does not exist. The settings
// tool's first run writes the same remote host and port (its local host
// is its own).
inline constexpr const char* kDefaultLocalHost = "192.168.0.2";
inline constexpr const char* kDefaultRemoteHost = "192.168.0.2";
inline constexpr int32_t kDefaultPort = 3425;

// The path of the settings file: the Windows directory followed by
// "/morvane.ini". Computed afresh on every call.
MORVANE_EXPORT std::string SettingsFilePath();

class MORVANE_EXPORT SettingsRecord {
 public:
  static constexpr size_t kFieldWidth = 20;

  // Where each field stands in the record, counted in fields: field `f`
  // takes the kFieldWidth bytes from FieldOffset(f).
  static constexpr size_t kRemoteHostField = 0;
  static constexpr size_t kLocalHostField = 1;
  static constexpr size_t kPortField = 2;
  static constexpr size_t kFieldCount = 3;

  static constexpr size_t kSize = kFieldCount * kFieldWidth;

  // The byte offset in the record of `field`, one of the positions above.
  static constexpr size_t FieldOffset(size_t field) { return field * kFieldWidth; }

  // A record of three blank fields.
  SettingsRecord();

  // A record holding the three values (UTF-8), each converted to
  // Windows-1252, cut to its first 20 characters and filled with spaces.
  static SettingsRecord FromValues(std::string_view remote_host, std::string_view local_host,
                                   std::string_view port);

  // The record stored in `bytes`; only the first kSize bytes are used, and
  // bytes missing from a shorter text read as spaces.
  static SettingsRecord FromBytes(std::string_view bytes);

  // The kSize bytes of the record as they are stored.
  std::string_view bytes() const { return {bytes_.data(), bytes_.size()}; }

  // The fields as UTF-8, all 20 characters, spaces included.
  std::string remote_host() const { return Field(kRemoteHostField); }
  std::string local_host() const { return Field(kLocalHostField); }
  std::string port() const { return Field(kPortField); }

 private:
  std::string Field(size_t field) const;
  void SetField(size_t field, std::string_view value);

  std::array<char, kSize> bytes_;
};

// `text` without leading and trailing spaces (only the space character;
// tabs and NULs stay).
MORVANE_EXPORT std::string_view TrimSpaces(std::string_view text);

// Record 1 of the settings file at `path`, or nullopt when the file is
// plainly absent (platform::FileIsAbsent: nothing at the path, in a
// directory that exists and can be searched), in which case the readers
// use their defaults and the settings tool has its first run. Looks and
// reads in one step: the file is opened straight away instead of being
// looked for first, so no change between a look and the read can mislead.
// `bytes_found`, when given, receives how many bytes of the record the
// file held (less than kSize for a short file, whose missing part reads as
// spaces).
// Raises a file PlatformError for anything else that stops the read
// (permissions, a missing directory, link loops, a dangling link), and
// platform::NotARegularFileError for a directory, a FIFO or a device,
// without blocking: settings that cannot be read must never send the
// secret phrase to the built-in default host.
MORVANE_EXPORT std::optional<SettingsRecord> ReadSettingsRecordIfPresent(
    const std::string& path, size_t* bytes_found = nullptr);

// Writes `record` as record 1 of the file at `path`, keeping any bytes
// after the record. An existing file gets the 60 bytes in one positioned
// write, so a reader sees either the old record or the new one. A new file
// is created all or nothing: it appears complete or not at all, never
// empty or cut short. Both reach the disk before the call returns. Raises
// a file PlatformError naming the path and the reason when the file cannot
// be created or written; anything at the path that is not a regular file
// (a directory, a FIFO, a device, a dangling link) is refused without
// blocking and nothing is written.
MORVANE_EXPORT void WriteSettingsRecord(const std::string& path, const SettingsRecord& record);

}  // namespace morvane

#endif  // TESSALY_MORVANE_SETTINGS_FILE_H_
