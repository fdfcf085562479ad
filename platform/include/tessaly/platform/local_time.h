// SPDX-License-Identifier: MIT

// The clock as people read it, for dated log lines.

#ifndef TESSALY_PLATFORM_LOCAL_TIME_H_
#define TESSALY_PLATFORM_LOCAL_TIME_H_

#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// The current local date in the short date format of the user's locale, a
// blank, and the current local time as 24-hour hours and minutes (HH:MM).
// On Windows the locale is the user's default one; elsewhere it comes from
// the environment (LC_ALL, LC_TIME, LANG), read without changing the
// process's global locale, and an unknown one gives the classic format.
// UTF-8. Never raises.
PLATFORM_EXPORT std::string ShortDateAndTime();

}  // namespace platform

#endif  // TESSALY_PLATFORM_LOCAL_TIME_H_
