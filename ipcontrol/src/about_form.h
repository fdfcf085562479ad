// SPDX-License-Identifier: MIT

// The logic of the control's About box, apart from its window: the version
// label and the System Information button.
//
// The button looks up the System Information program in the registry
// (HKEY_LOCAL_MACHINE):
//   1. "SOFTWARE\Microsoft\Shared Tools\MSINFO", value "PATH": the program
//      itself, started as read (even when no such file exists);
//   2. otherwise "SOFTWARE\Microsoft\Shared Tools Location", value "MSINFO":
//      a directory, whose "\MSINFO32.EXE" is started when that file exists.
// Every failure (no value, no file, a value without data, a start that
// fails) shows the one message kSysInfoUnavailable.

#ifndef LATTIX_SRC_ABOUT_FORM_H_
#define LATTIX_SRC_ABOUT_FORM_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "library_version.h"
#include "tessaly/platform/registry.h"

namespace lattix {

inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";
inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kSysInfoValue = "PATH";
inline constexpr const char* kSysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kSysInfoLocationValue = "MSINFO";
inline constexpr const char* kSysInfoProgramFile = "\\MSINFO32.EXE";
// The access mask the keys are opened with.
inline constexpr uint32_t kSysInfoKeyAccess = 0x2003F;
// The size of the value buffer, in bytes.
inline constexpr uint32_t kValueBufferSize = 1024;

// Whether a normal file exists at a path (backslashes may separate parts).
class FileTest {
 public:
  virtual ~FileTest() = default;
  virtual bool FileExists(const std::string& path) = 0;
};

// Starts a program without waiting for it; raises when it cannot.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual void StartProgram(const std::string& path) = 0;
};

// The window of the About box, as the logic sees it.
class AboutView {
 public:
  virtual ~AboutView() = default;
  // The caption of the version label.
  virtual void SetVersionCaption(const std::string& caption) = 0;
  // A message box with only an OK button, no icon and the library's
  // title; returns when it is closed.
  virtual void ShowMessage(const std::string& text) = 0;
};

// "Version " followed by major, minor and revision: 1.0.0.1 gives
// "Version 1.0.1".
std::string VersionCaption(const LibraryVersion& version);

// The About box's state and logic. One object serves every showing of the
// box on its thread; the window itself is attached by Load and detached by
// Unload.
class AboutForm {
 public:
  // The services must outlive the form.
  AboutForm(LibraryVersion version, platform::RegistryApi& registry, FileTest& files,
            ProgramStarter& starter);

  // Attaches `view` (which must stay alive until Unload) and sets its
  // version label, on every showing.
  void Load(AboutView& view);
  // Detaches the view.
  void Unload();
  bool IsLoaded() const { return view_ != nullptr; }

  // The System Information button: looks up the program and starts it, or
  // shows kSysInfoUnavailable in the attached view. Never raises on its
  // own.
  void StartSysInfo();

  // Reads the value `value_name` of the key `key_name` under `root` into
  // `result` and returns true; on a key or value that cannot be read,
  // empties `result` and returns false. The data is cut to its size, less
  // one final NUL. By type: a string becomes the result; a 32-bit number
  // becomes its decimal text; any other type leaves `result` as it was
  // (and still returns true). Raises PlatformError 5 for a value without
  // any data. The key is closed on every way out.
  bool GetKeyValue(platform::RegKey root, std::string_view key_name, std::string_view value_name,
                   std::string& result);

 private:
  void ShowUnavailable();

  LibraryVersion version_;
  platform::RegistryApi& registry_;
  FileTest& files_;
  ProgramStarter& starter_;
  AboutView* view_ = nullptr;
};

}  // namespace lattix

#endif  // LATTIX_SRC_ABOUT_FORM_H_
