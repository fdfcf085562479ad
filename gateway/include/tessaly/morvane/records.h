// SPDX-License-Identifier: MIT

// The records of the Morvane component: what a session opening and a
// command report.

#ifndef TESSALY_MORVANE_RECORDS_H_
#define TESSALY_MORVANE_RECORDS_H_

#include <cstdint>
#include <memory>
#include <string>

#include "tessaly/morvane/export.h"
#include "tessaly/platform/tcp_socket.h"

namespace morvane {

// An outcome: 0 for success, a negative result code otherwise, and its text.
struct MORVANE_EXPORT MyErrObject {
  int32_t number = 0;
  std::string description;
  friend bool operator==(const MyErrObject&, const MyErrObject&) = default;
};

// What opening a session gives: its outcome and the socket. The socket is
// open only when error_object.number is 0; after a failure it is the closed
// socket object.
struct MORVANE_EXPORT ConnectObject {
  MyErrObject error_object;
  std::shared_ptr<platform::TcpSocket> sock;
};

// What every command method returns; the same four values are kept in the
// WG object's result properties.
struct MORVANE_EXPORT CommandReturn {
  MyErrObject error_object;
  int32_t long_value = 0;
  std::string string_value;
  friend bool operator==(const CommandReturn&, const CommandReturn&) = default;
};

}  // namespace morvane

#endif  // TESSALY_MORVANE_RECORDS_H_
