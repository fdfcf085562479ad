// SPDX-License-Identifier: MIT

#include <windows.h>

#include <string>

#include "system_error_win.h"
#include "tessaly/platform/program_start.h"
#include "unique_handle_win.h"

namespace platform {

void StartProgram(const std::string& path) {
  if (path.empty()) throw FileErrorFromCode(ERROR_FILE_NOT_FOUND, path);
  // The program file is named on its own, so that no search and no
  // splitting at blanks takes place; the command line, which the program
  // reads as its arguments, is the path alone, quoted.
  std::string command_line = "\"" + path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
    throw LastFileError(path);
  }
  // Nobody waits for the program: its handles go at once, and the system
  // forgets the process when it ends.
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
}

}  // namespace platform
