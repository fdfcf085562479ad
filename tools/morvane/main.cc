// SPDX-License-Identifier: MIT

// morvane: calls one member of a Morvane.WG object from the command line.

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "script_host.h"

namespace {

// Turns off the terminal's echo for as long as it lives.
class EchoOff {
 public:
  EchoOff() : active_(::tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (active_) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_;
};

// The first line of standard input, without its line end. On a terminal
// it asks for it and does not echo it.
std::optional<std::string> ReadSecretFromStdin() {
  if (!::isatty(STDIN_FILENO)) return morvane_tool::ReadSecretLine(std::cin);
  std::cerr << "Secret phrase: " << std::flush;
  std::optional<std::string> secret;
  {
    EchoOff quiet;
    secret = morvane_tool::ReadSecretLine(std::cin);
  }
  std::cerr << "\n";
  return secret;
}

}  // namespace

int main(int argc, char** argv) {
  return morvane_tool::RunScriptHost(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                     std::cerr, ReadSecretFromStdin);
}
