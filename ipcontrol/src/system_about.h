// SPDX-License-Identifier: MIT

// The About box's services on this system, and the one About form object
// of each thread.

#ifndef LATTIX_SRC_SYSTEM_ABOUT_H_
#define LATTIX_SRC_SYSTEM_ABOUT_H_

#include <string>
#include <string_view>

#include "about_form.h"

namespace lattix {

// A registry path with backslashes as this system's path: every '\'
// becomes '/' ("/opt/info\MSINFO32.EXE" gives "/opt/info/MSINFO32.EXE").
std::string NativePath(std::string_view path);

// platform::FileExists on the native path.
class SystemFileTest : public FileTest {
 public:
  bool FileExists(const std::string& path) override;
};

// platform::StartProgram on the native path.
class SystemProgramStarter : public ProgramStarter {
 public:
  void StartProgram(const std::string& path) override;
};

// The About form of the calling thread, created on the first call with
// this library's version, the registry of the Windows directory
// (platform::MakeFileRegistry) and the services above; later calls on the same
// thread return the same object.
AboutForm& ThisThreadsAboutForm();

}  // namespace lattix

#endif  // LATTIX_SRC_SYSTEM_ABOUT_H_
