// SPDX-License-Identifier: MIT

// Errors of the platform: the run-time errors a caller receives when an
// operation fails unexpectedly (a component that cannot be created, a file
// that cannot be opened, text that is no number).
//
// Expected failures of the system (a refused session, an error reply) are
// never raised; they travel as result codes. A PlatformError is the other
// kind: it ends the operation that raised it and reaches the caller.

#ifndef TESSALY_PLATFORM_ERROR_H_
#define TESSALY_PLATFORM_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// Run-time error numbers, as script callers know them.
enum ErrorNumber : int32_t {
  kInvalidProcedureCall = 5,    // "Invalid procedure call or argument"
  kOverflow = 6,                // "Overflow"
  kTypeMismatch = 13,           // "Type mismatch"
  kBadFileNameOrNumber = 52,    // "Bad file name or number"
  kFileNotFound = 53,           // "File not found"
  kDeviceIOError = 57,          // "Device I/O error"
  kPermissionDenied = 70,       // "Permission denied"
  kPathFileAccessError = 75,    // "Path/File access error"
  kPathNotFound = 76,           // "Path not found"
  kCannotCreateObject = 429,    // "Component can't create object"
  kObjectDoesNotSupport = 438,  // "Object doesn't support this property or method"
  kWrongArgumentCount = 450,    // "Wrong number of arguments or invalid property assignment"
};

// The standard text of a run-time error number; "Application-defined or
// object-defined error" for numbers without one.
PLATFORM_EXPORT const char* StandardErrorText(int32_t number);

class PLATFORM_EXPORT PlatformError : public std::runtime_error {
 public:
  // An error with its standard text.
  explicit PlatformError(int32_t number);
  // An error whose text is the standard text followed by ": " and detail,
  // for example the path of a file that could not be opened.
  PlatformError(int32_t number, const std::string& detail);

  int32_t number() const { return number_; }
  // The error's text; the same as what().
  std::string description() const { return what(); }

 private:
  const int32_t number_;
};

// The file error that matches an errno value of a failed open, read or
// write (70 for EACCES, 53 for ENOENT, 57 otherwise and so on), with the
// path and the system's reason as detail.
PLATFORM_EXPORT PlatformError FileError(int errno_value, const std::string& path);

}  // namespace platform

#endif  // TESSALY_PLATFORM_ERROR_H_
