// How the WG settings readers reach the settings file.

#ifndef MORVANE_SRC_SETTINGS_READING_H_
#define MORVANE_SRC_SETTINGS_READING_H_

#include <optional>
#include <string>

#include "morvane/settings_file.h"

namespace morvane {

// Record 1 of the settings file at `path`, or nullopt when the file is
// plainly absent (platform::FileIsAbsent: nothing at the path, in a
// directory that exists and can be searched), in which case the readers
// use their defaults. Opens the file straight away instead of looking for
// it first. Raises a file PlatformError for anything else that stops the
// read (permissions, a missing directory, link loops, a dangling link, a
// directory, a FIFO or device), without blocking: settings that cannot be
// read must never send the secret phrase to the built-in default host.
std::optional<SettingsRecord> ReadSettingsRecordIfPresent(const std::string& path);

}  // namespace morvane

#endif  // MORVANE_SRC_SETTINGS_READING_H_
