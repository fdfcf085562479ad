// SPDX-License-Identifier: MIT

#include "system_error_win.h"

#include <windows.h>

namespace platform {

std::string SystemErrorText(uint32_t code) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "error " + std::to_string(code);
  std::string result(text, length);
  ::LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result;
}

PlatformError FileErrorFromCode(uint32_t code, const std::string& path) {
  int32_t number = kDeviceIOError;
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_BAD_EXE_FORMAT: number = kPermissionDenied; break;
    case ERROR_FILE_NOT_FOUND: number = kFileNotFound; break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH: number = kPathNotFound; break;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: number = kPathFileAccessError; break;
    default: break;
  }
  return PlatformError(number, path + " (" + SystemErrorText(code) + ")");
}

PlatformError LastFileError(const std::string& path) {
  return FileErrorFromCode(::GetLastError(), path);
}

}  // namespace platform
