// SPDX-License-Identifier: MIT

// Reading the settings file when it must be there: for the gateway's tests
// and fuzz targets, which look at the record a writer left. Neither
// installed nor exported; programs use ReadSettingsRecordIfPresent
// (settings_file.h), which tells an absent file from one that cannot be
// read.

#ifndef MORVANE_SRC_READ_SETTINGS_RECORD_H_
#define MORVANE_SRC_READ_SETTINGS_RECORD_H_

#include <cstddef>
#include <string>

#include "tessaly/morvane/settings_file.h"

namespace morvane {

// Reads record 1 of the file at `path`. When `bytes_found` is given it
// receives how many bytes of the record the file held (less than kSize for
// a short file, whose missing part reads as spaces). Raises a file
// PlatformError when the file cannot be opened or read (53 when it does
// not exist, platform::NotARegularFileError, 75, when it is not a regular
// file); never blocks on a FIFO or a device.
SettingsRecord ReadSettingsRecord(const std::string& path, size_t* bytes_found = nullptr);

}  // namespace morvane

#endif  // MORVANE_SRC_READ_SETTINGS_RECORD_H_
