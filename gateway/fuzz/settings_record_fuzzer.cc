// SPDX-License-Identifier: MIT

// The settings record: any bytes as the file "morvane.ini". The record is
// their first 60 bytes filled with spaces; its fields convert to text and
// back without change; writing it keeps the bytes after it; and the WG
// readers report the trimmed fields, the port as a number or error 13 or
// 6, never anything else. Nothing connects anywhere.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "read_settings_record.h"
#include "reference_text.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"

namespace {

using morvane::SettingsRecord;
using morvane::fuzz::Fail;

std::string g_path;

// A private Windows directory, in memory when the machine has one, so that
// each run's write and flush cost little.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string pattern = std::string(base) + "/morvane-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) Fail("no temporary directory");
  ::setenv("WINDIR", pattern.c_str(), 1);
  g_path = morvane::SettingsFilePath();
  std::atexit([] { std::filesystem::remove_all(std::filesystem::path(g_path).parent_path()); });
  return 0;
}

std::string ReadFile() {
  std::ifstream in(g_path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(std::string_view bytes) {
  std::ofstream(g_path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void CheckRecord(std::string_view bytes) {
  const SettingsRecord record = SettingsRecord::FromBytes(bytes);
  std::string expected(bytes.substr(0, SettingsRecord::kSize));
  expected.resize(SettingsRecord::kSize, ' ');
  if (record.bytes() != expected) Fail("the record is not the first 60 bytes filled with spaces");

  // Each field is 20 Windows-1252 characters, which convert to text and
  // back unchanged: the tool that rewrites the record keeps what it read.
  const SettingsRecord again =
      SettingsRecord::FromValues(record.remote_host(), record.local_host(), record.port());
  if (again.bytes() != record.bytes()) Fail("the fields do not convert back to the same bytes");
  for (const std::string& field : {record.remote_host(), record.local_host(), record.port()}) {
    if (platform::Utf8Length(field) != SettingsRecord::kFieldWidth) Fail("a field is not 20 long");
    const std::string_view trimmed = morvane::TrimSpaces(field);
    if (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.back() == ' ')) {
      Fail("a trimmed field keeps a space at an end");
    }
    if (field.find(trimmed) == std::string::npos) Fail("a trimmed field is not part of the field");
  }
}

void CheckFileAndReaders(std::string_view bytes) {
  // The readers on the file as it is.
  WriteFile(bytes);
  const SettingsRecord record = SettingsRecord::FromBytes(bytes);
  morvane::WG wg;
  if (wg.GetLocalHost() != morvane::TrimSpaces(record.local_host())) Fail("GetLocalHost");
  if (wg.GetRemoteHost() != morvane::TrimSpaces(record.remote_host())) Fail("GetRemoteHost");
  const std::string port_text(morvane::TrimSpaces(record.port()));
  try {
    const int32_t port = wg.GetLocalPort();
    if (platform::ParseLong(port_text) != port) Fail("GetLocalPort differs from the text");
  } catch (const platform::PlatformError& error) {
    if (error.number() != platform::kTypeMismatch && error.number() != platform::kOverflow) {
      Fail("GetLocalPort raised an unexpected error");
    }
    if (platform::ParseLong(port_text)) Fail("GetLocalPort raised for a number");
  }
  if (wg.error_number() != 0 || !wg.error_description().empty()) {
    Fail("a settings reader changed the result properties");
  }

  // Rewriting the record keeps the bytes after it.
  const SettingsRecord replacement = SettingsRecord::FromValues("127.0.0.1", "127.0.0.2", "3425");
  morvane::WriteSettingsRecord(g_path, replacement);
  const std::string after = ReadFile();
  if (after.substr(0, SettingsRecord::kSize) != replacement.bytes())
    Fail("the record was not written");
  if (bytes.size() > SettingsRecord::kSize &&
      after.substr(SettingsRecord::kSize) != bytes.substr(SettingsRecord::kSize)) {
    Fail("writing the record changed the bytes after it");
  }
  size_t found = 0;
  if (morvane::ReadSettingsRecord(g_path, &found).bytes() != replacement.bytes() ||
      found != SettingsRecord::kSize) {
    Fail("the record read back differs");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckRecord(bytes);
  CheckFileAndReaders(bytes);
  return 0;
}
