// SPDX-License-Identifier: MIT

// The TCP socket component, created by the programmatic identifier
// "VBWinsock.TCPIP".
//
// One object is one client connection: set the local address, the remote
// address and the port, Connect, then exchange lines with Send and Receive,
// then Close. Operations report failure through a 16-bit flag, 0 meaning
// failure and nonzero success; they never raise for a network failure.
//
// Text is UTF-8 in the program and Windows-1252 on the wire.
//
// Threads: a TcpSocket object is not thread-safe. It belongs to one thread
// at a time, and calls on it must not overlap; in particular Close must not
// be called while another thread waits in Connect, Receive or Send on the
// same object. Separate objects may be used on separate threads at the
// same time. The default timeouts below are state of the whole process,
// shared by all sockets; their functions are thread-safe.

#ifndef TESSALY_PLATFORM_TCP_SOCKET_H_
#define TESSALY_PLATFORM_TCP_SOCKET_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tessaly/platform/component.h"
#include "tessaly/platform/export.h"

namespace platform {

// The programmatic identifier of the socket component.
inline constexpr const char* kTcpSocketProgId = "VBWinsock.TCPIP";

// Success flags of the socket operations.
inline constexpr int16_t kSocketFailed = 0;
inline constexpr int16_t kSocketOk = -1;

// Receive modes. The data comes back as text in both; they differ in what
// ends an answer (see Receive).
//
// kReceiveText: an answer ends with CR LF, the way every answer to a
// command ends.
inline constexpr int16_t kReceiveText = 1;
// kReceivePrompt: an answer ends with CR LF or with two end-of-value
// characters, the way the server's prompts end. Only for the texts of the
// handshake, the greeting and the answer to the secret phrase: an answer to
// a command may repeat what was sent, such as a user ID ending in those two
// characters, and must not end there.
inline constexpr int16_t kReceivePrompt = 2;

// The most bytes one Receive holds. An answer that is not complete when
// this many bytes have come is no answer: the client's memory stays bounded
// and a flood is never taken for a reply.
inline constexpr size_t kMaxReplyBytes = 64 * 1024;

// The longest any of the timeouts below may be. Longer values, up to the
// largest a duration holds, are taken as this one; negative values as 0.
// No page is kept waiting longer, and every deadline the socket computes
// stays within what its clocks and system calls can represent.
inline constexpr std::chrono::milliseconds kLongestSocketTimeout = std::chrono::hours(1);

// How long the socket operations wait.
struct PLATFORM_EXPORT SocketTimeouts {
  // Longest time Connect takes in all, the resolution of the local and
  // remote host names included.
  std::chrono::milliseconds connect{5000};
  // Longest time the exchange takes once connected: every Receive and Send
  // on the connection ends by this long after Connect returned. A peer that
  // drips its bytes cannot hold the caller longer.
  std::chrono::milliseconds receive{10000};
  // 0 (the default) turns this off. Otherwise, once an answer holds
  // something besides line ends, Receive also returns it when no further
  // byte comes for this long, complete or not. Only for a server that never
  // ends its answers: it trades safety for compatibility, since a reply
  // delayed on the network for this long (a retransmitted segment waits
  // 200 ms or more) is then cut off and taken for the whole.
  std::chrono::milliseconds quiet_gap{0};
};

// `timeouts` with each value brought within 0 to kLongestSocketTimeout.
PLATFORM_EXPORT SocketTimeouts ClampSocketTimeouts(const SocketTimeouts& timeouts);

// The timeouts that sockets created from now on start with, clamped as by
// ClampSocketTimeouts. Process-wide: setting them affects the sockets every
// thread creates afterwards, and none that exist. Thread-safe.
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
  // Replaces this socket's timeouts (it starts with the defaults), clamped
  // as by ClampSocketTimeouts. On a connected socket the new receive
  // timeout counts from Connect.
  virtual void SetTimeouts(const SocketTimeouts& timeouts) = 0;

  // Opens the connection from the local address to the remote address and
  // port. Returns kSocketFailed when a name does not resolve, the local
  // address cannot be bound, the port is out of range, the peer refuses or
  // the connect timeout passes (name lookups included).
  virtual int16_t Connect() = 0;

  // Waits for the peer's next answer and stores it in `data`. An answer is
  // complete when it holds something besides CR and LF and ends with CR LF,
  // or, in `mode` kReceivePrompt, with two end-of-value characters (0xF5 or
  // its capital 0xD5, in any mix). Line ends alone, such as those a server sends after
  // its prompt, complete nothing: they stay at the front of the answer
  // that follows. Returns kSocketFailed, with `data` empty, when no
  // complete answer has come by the time the peer closes the connection
  // (in order or by reset), the receive timeout since Connect passes or
  // kMaxReplyBytes are held; a piece of an answer never passes for a whole
  // one. Only an opted-in quiet gap (see SocketTimeouts) returns an answer
  // that is not complete. Any `mode` other than kReceivePrompt is
  // kReceiveText.
  virtual int16_t Receive(std::string& data, int16_t mode) = 0;

  // Sends `line` as Windows-1252 bytes, all of it. Returns kSocketFailed
  // when the connection is not open or breaks, or the receive timeout
  // since Connect passes before everything is sent.
  virtual int16_t Send(const std::string& line) = 0;

  // Closes the connection. Closing a closed socket does nothing.
  virtual void Close() = 0;

  // A short description of the object's settings and state, for people.
  virtual std::string Describe() const = 0;
};

}  // namespace platform

#endif  // TESSALY_PLATFORM_TCP_SOCKET_H_
