// SPDX-License-Identifier: MIT

// The floor the gateway is measured against: the least a client can do to
// run one command. It makes the same connection as WG (from 127.0.0.1,
// which a connection to 127.0.0.1 comes from without asking), sends the
// same bytes and reads until the same ends, with one blocking system call
// per step and nothing else: no settings file, no bind to a local address,
// no timeouts, no text conversion, no classification.
//
// With SystemCalls::kAsGateway it also makes every system call the gateway
// must make for a command: it reads the settings file afresh (open, fstat,
// pread, close), binds to the local address and sets the send and receive
// timeouts. That is the floor for any client that keeps the gateway's
// promises; what the gateway costs above it is its own work.

#ifndef BENCH_FLOOR_CLIENT_H_
#define BENCH_FLOOR_CLIENT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace bench {

enum class SystemCalls { kFewest, kAsGateway };

class FloorClient {
 public:
  // A client for the server at 127.0.0.1:`port` that proves `secret` and
  // sends `command` (both without their CR LF). With kAsGateway the
  // settings file read is `settings_path`.
  FloorClient(uint16_t port, std::string_view secret, std::string_view command,
              SystemCalls calls = SystemCalls::kFewest, std::string settings_path = {});

  // Runs one command and leaves the reply's bytes in `reply`. False when a
  // step failed.
  bool Run(std::string& reply) const;

 private:
  // The gateway's calls before the exchange; false when one failed.
  bool ReadSettingsFile() const;
  bool PrepareSocket(int fd) const;

  const uint16_t port_;
  const SystemCalls calls_;
  const std::string settings_path_;
  const std::string secret_line_;
  const std::string command_line_;
};

}  // namespace bench

#endif  // BENCH_FLOOR_CLIENT_H_
