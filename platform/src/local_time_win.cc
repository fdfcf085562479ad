// SPDX-License-Identifier: MIT

#include <windows.h>

#include <cstdio>

#include "tessaly/platform/local_time.h"

namespace platform {
namespace {

// Wide text as UTF-8.
std::string ToUtf8(const wchar_t* wide) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string result(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<size_t>(size - 1));  // without the NUL
  return result;
}

}  // namespace

std::string ShortDateAndTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  // Asked for in wide characters: a date format may hold characters of any
  // script, which the ANSI code page need not have.
  wchar_t date[80];
  std::string result;
  if (::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 80) > 0) {
    result = ToUtf8(date);
  } else {
    char numeric[16];
    std::snprintf(numeric, sizeof numeric, "%02u/%02u/%04u", now.wMonth, now.wDay, now.wYear);
    result = numeric;
  }
  char time[8];
  std::snprintf(time, sizeof time, " %02u:%02u", now.wHour % 100u, now.wMinute % 100u);
  return result + time;
}

}  // namespace platform
