// SPDX-License-Identifier: MIT

#include "options.h"

#include <charconv>

#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"

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

// The most sessions an option takes, and the longest wait.
constexpr long long kMaxCount = 10'000;
constexpr long long kMaxMilliseconds = 3'600'000;

// The value of a session-count option, or nullopt with the reason in `error`.
std::optional<int> Count(const std::string& option, const std::string& value, std::string& error) {
  const auto number = WholeNumber(value, 1, kMaxCount);
  if (!number) {
    error = option + " must be a number from 1 to " + std::to_string(kMaxCount);
    return std::nullopt;
  }
  return static_cast<int>(*number);
}

// The value of a wait option, or nullopt with the reason in `error`.
std::optional<std::chrono::milliseconds> Milliseconds(const std::string& option,
                                                      const std::string& value,
                                                      std::string& error) {
  const auto number = WholeNumber(value, 1, kMaxMilliseconds);
  if (!number) {
    error =
        option + " must be a number of milliseconds from 1 to " + std::to_string(kMaxMilliseconds);
    return std::nullopt;
  }
  return std::chrono::milliseconds(*number);
}

// The longest secret file read; a secret is one line of a command session,
// and no line may be longer.
constexpr size_t kMaxSecretFileBytes = 4096;

}  // namespace

std::optional<std::string> ReadSecretFile(const std::string& path, std::string& error) {
  std::string text;
  try {
    text = platform::ReadWholeFile(path, kMaxSecretFileBytes);
  } catch (const platform::PlatformError& failure) {
    error = std::string("--secret-file: ") + failure.what();
    return std::nullopt;
  }
  // One line, with or without its line end.
  if (text.ends_with("\n")) text.pop_back();
  if (text.ends_with("\r")) text.pop_back();
  if (text.empty()) {
    error = "--secret-file " + path + ": the file is empty";
    return std::nullopt;
  }
  if (text.find_first_of("\r\n") != std::string::npos) {
    error = "--secret-file " + path + ": the secret must be the file's only line";
    return std::nullopt;
  }
  return text;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool secret_given = false;
  std::optional<std::string> secret_file;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--version") {
      options.version = true;
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
    const bool takes_value = option == "--listen" || option == "--secret" ||
                             option == "--accounts" || option == "--audit-log" ||
                             option == "--max-sessions" || option == "--banner" ||
                             option == "--timeout" || option == "--secret-file" ||
                             option == "--secret-timeout" || option == "--max-per-address";
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
      secret_given = true;
    } else if (option == "--secret-file") {
      secret_file = value;
    } else if (option == "--accounts") {
      options.accounts = value;
    } else if (option == "--audit-log") {
      options.audit_log = value;
    } else if (option == "--banner") {
      options.banner = value;
    } else if (option == "--max-sessions" || option == "--max-per-address") {
      const auto count = Count(option, value, error);
      if (!count) return std::nullopt;
      (option == "--max-sessions" ? options.max_sessions : options.max_per_address) = *count;
    } else if (option == "--timeout" || option == "--secret-timeout") {
      const auto wait = Milliseconds(option, value, error);
      if (!wait) return std::nullopt;
      (option == "--timeout" ? options.timeout : options.secret_timeout) = *wait;
    }
  }
  if (secret_file) {
    if (secret_given) {
      error = "--secret and --secret-file cannot both be given";
      return std::nullopt;
    }
    auto secret = ReadSecretFile(*secret_file, error);
    if (!secret) return std::nullopt;
    options.secret = std::move(*secret);
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
  --secret TEXT        the secret phrase clients must send (default "secret").
                       Every user of the machine can read it in the process
                       list: prefer --secret-file.
  --secret-file FILE   read the secret from FILE, whose one line it is (keep
                       the file readable by wgsim's user only)
  --accounts FILE      the account file (docs/wgsim-accounts.md); every change
                       is written back to it at once. Without it the accounts
                       live in memory and start empty.
  --audit-log FILE     where AUDITMESSAGE lines go (default FILE.audit beside
                       the account file, else standard error)
  --max-sessions N     sessions at once (default 16). A quarter of them is
                       kept for addresses that have sent the right secret
                       lately. A newcomer takes the place of a session still
                       waiting for the secret; the busy greeting goes only
                       to one that finds every session past it.
  --max-per-address N  sessions waiting for the secret at once from one
                       address (default: the three quarters not kept)
  --banner TEXT        a line sent before the secret prompt
  --timeout MS         longest wait for a client's line or for it to take a
                       reply (default 10000)
  --secret-timeout MS  longest wait for the secret (default 3000, at most
                       --timeout)
  --verbose            log every session and command on standard error
  --version            the version
  --help               this text

On start it prints "listening on ADDR:PORT" with the port bound. SIGINT and
SIGTERM stop it; the account file is always complete on disk. Log lines on
standard error start with the UTC time; wrong secrets, refused clients and
failed writes are always logged; commands are logged by their first word
and reply, never with their arguments or the secret.
)";
}

}  // namespace wgsim
