// How the WG settings readers reach the settings file.

#ifndef MORVANE_SRC_SETTINGS_READING_H_
#define MORVANE_SRC_SETTINGS_READING_H_

#include <optional>
#include <string>

#include "morvane/settings_file.h"

namespace morvane {

// Record 1 of the settings file at `path`, or nullopt when no file is there
// (nothing at the path, or a directory), in which case the readers use
// their defaults. The same as platform::FileExists followed by
// ReadSettingsRecord, but without the separate look at the file first: a
// command reads the settings three times, and the look cost as much as
// another system call each time. Raises a file PlatformError when a file
// is there but cannot be opened or read.
std::optional<SettingsRecord> ReadSettingsRecordIfPresent(const std::string& path);

}  // namespace morvane

#endif  // MORVANE_SRC_SETTINGS_READING_H_
