// SPDX-License-Identifier: MIT

// The registry: keys holding named, typed values, reached through the
// three calls a program needs to read one value (open a key, query a
// value, close the key).
//
// This platform has no system registry. Its store is a text file in the
// registry export format, "registry.reg" in the Windows directory (see
// windows_directory.h), for example:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   "PATH"="/usr/bin/hardinfo"
//
// The first line is "REGEDIT4" or "Windows Registry Editor Version 5.00".
// Sections name keys by their full path; value lines are "name"=... or
// @=... (the unnamed value) with a quoted string (escapes \\ and \"), a
// dword:XXXXXXXX or hex:bytes (binary; lines may continue after a final
// backslash). Lines starting with ';' are comments. The file is UTF-8 or
// Windows-1252. What the About box, the one reader, never needs is not
// read and counts as a damaged line: typed hex(n) values, deletions
// ("[-...]" keys, "name"=- values); a UTF-16 file is an empty registry.
// Key paths and value names are matched without regard to letter case.
//
// The store is read afresh on every OpenKey, so edits take effect at the
// next lookup. A missing, unreadable or damaged file never fails a
// program: a file that cannot be read, or lacks the first line, is an
// empty registry; a line that cannot be read is skipped.

#ifndef TESSALY_PLATFORM_REGISTRY_H_
#define TESSALY_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "tessaly/platform/export.h"

namespace platform {

// A key handle as programs pass it: 32 bits.
using RegKey = uint32_t;

// The predefined root keys.
inline constexpr RegKey kHKeyClassesRoot = 0x80000000;
inline constexpr RegKey kHKeyCurrentUser = 0x80000001;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002;
inline constexpr RegKey kHKeyUsers = 0x80000003;
inline constexpr RegKey kHKeyCurrentConfig = 0x80000005;

// Value types.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

// Result codes of the registry calls.
inline constexpr int32_t kRegSuccess = 0;
inline constexpr int32_t kRegFileNotFound = 2;
inline constexpr int32_t kRegInvalidHandle = 6;
inline constexpr int32_t kRegMoreData = 234;

// The name of the store file in the Windows directory.
inline constexpr const char* kRegistryFileName = "registry.reg";

// The full path of the store file: the Windows directory (read afresh)
// followed by "/registry.reg".
PLATFORM_EXPORT std::string RegistryFilePath();

// The three registry calls. Implementations are thread-safe.
class PLATFORM_EXPORT RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // Opens the key `sub_key` (a path with backslashes; empty for `root`
  // itself) under `root`, a predefined key or a handle from OpenKey, and
  // stores its handle in `key`. `access` is the requested access mask.
  // Returns kRegSuccess, kRegFileNotFound when there is no such key (`key`
  // is then 0) or kRegInvalidHandle for an unknown root.
  virtual int32_t OpenKey(RegKey root, std::string_view sub_key, uint32_t access, RegKey& key) = 0;

  // Reads the value `name` (empty for the unnamed value) of an open key:
  // its type into `type`, its bytes into `data` and their number into
  // `size`. String values end with one NUL byte, which `size` counts; a
  // 32-bit number is four bytes, least significant first. Returns
  // kRegSuccess, kRegFileNotFound when there is no such value,
  // kRegInvalidHandle for a key that is not open, or kRegMoreData (with
  // `type` and the needed `size` set and `data` untouched) when `data` is
  // too small.
  virtual int32_t QueryValue(RegKey key, std::string_view name, uint32_t& type,
                             std::span<char> data, uint32_t& size) = 0;

  // Closes an open key. Returns kRegSuccess, or kRegInvalidHandle for a key
  // that is not open (0 included) or a predefined key.
  virtual int32_t CloseKey(RegKey key) = 0;
};

// The registry kept in a store file: a new object of its own, which may be
// shared between threads. `path` names the file; empty means
// RegistryFilePath(), looked up again at every OpenKey. The access mask is
// accepted as given: the store has no access control and offers no
// writing.
PLATFORM_EXPORT std::unique_ptr<RegistryApi> MakeFileRegistry(std::string path = {});

}  // namespace platform

#endif  // TESSALY_PLATFORM_REGISTRY_H_
