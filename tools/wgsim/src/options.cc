#include "options.h"

#include <charconv>

namespace wgsim {
namespace {

std::optional<long long> WholeNumber(const std::string& text, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--allow-remote") {
      options.allow_remote = true;
      continue;
    }
    if (option == "--verbose" || option == "-v") {
      options.verbose = true;
      continue;
    }
    const bool takes_value = option == "--listen" || option == "--secret" || option == "--accounts" ||
                             option == "--audit-log" || option == "--max-sessions" ||
                             option == "--banner" || option == "--timeout";
    if (!takes_value) {
      error = "unknown option " + option;
      return std::nullopt;
    }
    if (i + 1 == args.size()) {
      error = option + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (option == "--listen") {
      auto address = ParseListenAddress(value, error);
      if (!address) {
        error = "--listen " + value + ": " + error;
        return std::nullopt;
      }
      options.listen = *address;
    } else if (option == "--secret") {
      options.secret = value;
    } else if (option == "--accounts") {
      options.accounts = value;
    } else if (option == "--audit-log") {
      options.audit_log = value;
    } else if (option == "--banner") {
      options.banner = value;
    } else if (option == "--max-sessions") {
      const auto number = WholeNumber(value, 1, 10000);
      if (!number) {
        error = "--max-sessions must be a number from 1 to 10000";
        return std::nullopt;
      }
      options.max_sessions = static_cast<int>(*number);
    } else if (option == "--timeout") {
      const auto number = WholeNumber(value, 1, 3'600'000);
      if (!number) {
        error = "--timeout must be a number of milliseconds from 1 to 3600000";
        return std::nullopt;
      }
      options.timeout = std::chrono::milliseconds(*number);
    }
  }
  if (!options.listen.IsLoopback() && !options.allow_remote) {
    error = "refusing to listen on " + options.listen.ToString() +
            ", which other machines can reach; add --allow-remote if that is meant";
    return std::nullopt;
  }
  return options;
}

std::string AuditLogPath(const Options& options) {
  if (!options.audit_log.empty()) return options.audit_log;
  if (!options.accounts.empty()) return options.accounts + ".audit";
  return {};
}

std::string UsageText() {
  return R"(usage: wgsim [OPTION...]
A server-module simulator: answers the account commands of the gateway
over TCP, one command per session, from an account file.

  --listen ADDR:PORT   where to listen (default 127.0.0.1:3425; port 0 picks
                       a free port; IPv6 as [::1]:PORT)
  --allow-remote       allow an address that is not loopback
  --secret TEXT        the secret phrase clients must send (default "secret")
  --accounts FILE      the account file (docs/wgsim-accounts.md); every change
                       is written back to it at once. Without it the accounts
                       live in memory and start empty.
  --audit-log FILE     where AUDITMESSAGE lines go (default FILE.audit beside
                       the account file, else standard error)
  --max-sessions N     sessions at once; beyond them clients get the busy
                       greeting (default 16)
  --banner TEXT        a line sent before the secret prompt
  --timeout MS         longest wait for a client's line or for it to take a
                       reply (default 10000)
  --verbose            log every session on standard error
  --help               this text

On start it prints "listening on ADDR:PORT" with the port bound. SIGINT and
SIGTERM stop it; the account file is always complete on disk.
)";
}

}  // namespace wgsim
