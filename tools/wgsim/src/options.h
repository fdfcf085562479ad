// SPDX-License-Identifier: MIT

// The command line of wgsim.

#ifndef WGSIM_SRC_OPTIONS_H_
#define WGSIM_SRC_OPTIONS_H_

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "listen_address.h"

namespace wgsim {

struct Options {
  ListenAddress listen;                      // --listen ADDR:PORT
  bool allow_remote = false;                 // --allow-remote
  std::string secret = "secret";             // --secret TEXT, or the line of --secret-file FILE
  std::string accounts;                      // --accounts FILE; empty: in memory
  std::string audit_log;                     // --audit-log FILE; empty: see AuditLogPath
  int max_sessions = 16;                     // --max-sessions N
  int max_per_address = 0;                   // --max-per-address N; 0: the pending share
  std::string banner;                        // --banner TEXT
  std::chrono::milliseconds timeout{10000};  // --timeout MS
  std::chrono::milliseconds secret_timeout{3000};  // --secret-timeout MS
  bool verbose = false;                            // --verbose
  bool help = false;                               // --help
  bool version = false;                            // --version
};

// The options in `args` (without the program name), or nullopt with the
// reason in `error`. A non-loopback --listen address without
// --allow-remote is an error: the simulator accepts any account command
// from whoever knows the secret. --secret-file is read here: its first
// line is the secret (a file that cannot be read, is no regular file, is
// empty, or holds more than one line is an error), and it cannot be given
// with --secret.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Where audit messages go: --audit-log, else the accounts file's path
// followed by ".audit", else empty (standard error).
std::string AuditLogPath(const Options& options);

// The secret in the file at `path`: its one line, without the line end.
// nullopt with the reason in `error` otherwise.
std::optional<std::string> ReadSecretFile(const std::string& path, std::string& error);

// The usage text.
std::string UsageText();

}  // namespace wgsim

#endif  // WGSIM_SRC_OPTIONS_H_
