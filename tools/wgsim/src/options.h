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
  ListenAddress listen;             // --listen ADDR:PORT
  bool allow_remote = false;        // --allow-remote
  std::string secret = "secret";    // --secret TEXT
  std::string accounts;             // --accounts FILE; empty: in memory
  std::string audit_log;            // --audit-log FILE; empty: see AuditLogPath
  int max_sessions = 16;            // --max-sessions N
  std::string banner;               // --banner TEXT
  std::chrono::milliseconds timeout{10000};  // --timeout MS
  bool verbose = false;             // --verbose
  bool help = false;                // --help
};

// The options in `args` (without the program name), or nullopt with the
// reason in `error`. A non-loopback --listen address without
// --allow-remote is an error: the simulator accepts any account command
// from whoever knows the secret.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Where audit messages go: --audit-log, else the accounts file's path
// followed by ".audit", else empty (standard error).
std::string AuditLogPath(const Options& options);

// The usage text.
std::string UsageText();

}  // namespace wgsim

#endif  // WGSIM_SRC_OPTIONS_H_
