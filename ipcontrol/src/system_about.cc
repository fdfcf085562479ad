// SPDX-License-Identifier: MIT

#include "system_about.h"

#include <algorithm>
#include <memory>

#include "tessaly/platform/file_system.h"
#include "tessaly/platform/program_start.h"

namespace lattix {

std::string NativePath(std::string_view path) {
  std::string native(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

bool SystemFileTest::FileExists(const std::string& path) {
  return platform::FileExists(NativePath(path));
}

void SystemProgramStarter::StartProgram(const std::string& path) {
  platform::StartProgram(NativePath(path));
}

AboutForm& ThisThreadsAboutForm() {
  // The About window is one object per thread, as a form of the library is
  // one object per apartment of its host; it keeps no window between
  // showings, so it may live as long as its thread.
  struct Services {
    std::unique_ptr<platform::RegistryApi> registry = platform::MakeFileRegistry();
    SystemFileTest files;
    SystemProgramStarter starter;
  };
  thread_local Services services;
  thread_local AboutForm form(ThisLibraryVersion(), *services.registry, services.files,
                              services.starter);
  return form;
}

}  // namespace lattix
