// SPDX-License-Identifier: MIT

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "tessaly/platform/local_time.h"

namespace platform {

std::string ShortDateAndTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::ostringstream out;
  try {
    out.imbue(std::locale(""));
  } catch (const std::runtime_error&) {
    // An unknown locale in the environment: keep the classic one.
  }
  out << std::put_time(&local, "%x %H:%M");
  return out.str();
}

}  // namespace platform
