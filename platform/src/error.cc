// SPDX-License-Identifier: MIT

#include "tessaly/platform/error.h"

#include <cerrno>
#include <cstring>

namespace platform {

const char* StandardErrorText(int32_t number) {
  switch (number) {
    case kInvalidProcedureCall: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kTypeMismatch: return "Type mismatch";
    case kBadFileNameOrNumber: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kDeviceIOError: return "Device I/O error";
    case kPermissionDenied: return "Permission denied";
    case kPathFileAccessError: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    case kCannotCreateObject: return "Component can't create object";
    case kObjectDoesNotSupport: return "Object doesn't support this property or method";
    case kWrongArgumentCount: return "Wrong number of arguments or invalid property assignment";
    default: return "Application-defined or object-defined error";
  }
}

PlatformError::PlatformError(int32_t number)
    : std::runtime_error(StandardErrorText(number)), number_(number) {}

PlatformError::PlatformError(int32_t number, const std::string& detail)
    : std::runtime_error(std::string(StandardErrorText(number)) + ": " + detail), number_(number) {}

PlatformError FileError(int errno_value, const std::string& path) {
  int32_t number = kDeviceIOError;
  switch (errno_value) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: number = kPermissionDenied; break;
    case ENOENT: number = kFileNotFound; break;
    case ENOTDIR: number = kPathNotFound; break;
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP: number = kPathFileAccessError; break;
    default: break;
  }
  return PlatformError(number, path + " (" + std::strerror(errno_value) + ")");
}

}  // namespace platform
