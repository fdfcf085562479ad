// The TCP socket component, created by the programmatic identifier
// "VBWinsock.TCPIP".
//
// One object is one client connection: set the local address, the remote
// address and the port, Connect, then exchange lines with Send and Receive,
// then Close. Operations report failure through a 16-bit flag, 0 meaning
// failure and nonzero success; they never raise for a network failure.
//
// Text is UTF-8 in the program and Windows-1252 on the wire.

#ifndef PLATFORM_TCP_SOCKET_H_
#define PLATFORM_TCP_SOCKET_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/component.h"
#include "platform/export.h"

namespace platform {

// The programmatic identifier of the socket component.
inline constexpr const char* kTcpSocketProgId = "VBWinsock.TCPIP";

// Success flags of the socket operations.
inline constexpr int16_t kSocketFailed = 0;
inline constexpr int16_t kSocketOk = -1;

// The only receive mode: the data comes back as text.
inline constexpr int16_t kReceiveText = 1;

// The most bytes one Receive holds. A server that sends more in one answer
// has the rest discarded; the client's memory stays bounded.
inline constexpr size_t kMaxReplyBytes = 64 * 1024;

// How long the socket operations wait.
struct PLATFORM_EXPORT SocketTimeouts {
  // Longest time Connect waits for the connection to be made.
  std::chrono::milliseconds connect{5000};
  // Longest time Receive waits for the first bytes of an answer, and the
  // longest a Receive (or a Send) takes in all.
  std::chrono::milliseconds receive{10000};
  // Once bytes have come, Receive returns when no further byte comes for
  // this long although the answer has no line end yet.
  std::chrono::milliseconds quiet_gap{250};
};

// The timeouts that sockets created from now on start with. Thread-safe.
PLATFORM_EXPORT SocketTimeouts DefaultSocketTimeouts();
PLATFORM_EXPORT void SetDefaultSocketTimeouts(const SocketTimeouts& timeouts);

class PLATFORM_EXPORT TcpSocket : public virtual Component {
 public:
  // The address to connect from: a dotted IPv4 address or a host name.
  // Empty means any local address.
  virtual void SetLocalHost(const std::string& host) = 0;
  // The address to connect to: a dotted IPv4 address or a host name.
  virtual void SetRemoteHost(const std::string& host) = 0;
  // The port to connect to. A value outside 1 to 65535 makes Connect fail.
  virtual void SetRemotePort(int32_t port) = 0;
  // Replaces this socket's timeouts (it starts with the defaults).
  virtual void SetTimeouts(const SocketTimeouts& timeouts) = 0;

  // Opens the connection from the local address to the remote address and
  // port. Returns kSocketFailed when a name does not resolve, the local
  // address cannot be bound, the port is out of range, the peer refuses or
  // the connect timeout passes.
  virtual int16_t Connect() = 0;

  // Waits for the peer's answer and stores all text received in `data`.
  // Waits up to the receive timeout for the first bytes; then returns as
  // soon as what it holds ends with CR LF or with two characters 0xF5, and
  // otherwise keeps reading until such an end, until the peer closes, until
  // no byte has come for the quiet gap, until kMaxReplyBytes are held or
  // until the receive timeout since the call has passed. Returns
  // kSocketFailed, with `data` empty, when nothing arrived or when the
  // connection broke (was reset) before the answer ended. `mode` is
  // kReceiveText.
  virtual int16_t Receive(std::string& data, int16_t mode) = 0;

  // Sends `line` as Windows-1252 bytes, all of it. Returns kSocketFailed
  // when the connection is not open or breaks, or the receive timeout
  // passes before everything is sent.
  virtual int16_t Send(const std::string& line) = 0;

  // Closes the connection. Closing a closed socket does nothing.
  virtual void Close() = 0;

  // A short description of the object's settings and state, for people.
  virtual std::string Describe() const = 0;
};

}  // namespace platform

#endif  // PLATFORM_TCP_SOCKET_H_
