// SPDX-License-Identifier: MIT

#include "socket_calls.h"
#include "socket_headers.h"

namespace testing_support {
namespace {

// Winsock, started once for the process and never stopped.
bool StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

SOCKET AsSocket(int socket) { return static_cast<SOCKET>(socket); }

// A Winsock handle as the int the servers keep; -1 for none.
int AsInt(SOCKET socket) { return socket == INVALID_SOCKET ? -1 : static_cast<int>(socket); }

void SetNonBlocking(int socket, bool non_blocking) {
  u_long value = non_blocking ? 1 : 0;
  ::ioctlsocket(AsSocket(socket), FIONBIO, &value);
}

}  // namespace

void CloseSocket(int socket) { ::closesocket(AsSocket(socket)); }

UniqueSocket NewTcpSocket(bool non_blocking) {
  if (!StartWinsock()) return UniqueSocket();
  UniqueSocket socket(AsInt(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)));
  if (!socket) return socket;
  ::SetHandleInformation(reinterpret_cast<HANDLE>(AsSocket(socket.get())), HANDLE_FLAG_INHERIT, 0);
  if (non_blocking) SetNonBlocking(socket.get(), true);
  return socket;
}

UniqueSocket AcceptClient(int listener) {
  UniqueSocket client(AsInt(::accept(AsSocket(listener), nullptr, nullptr)));
  // A client inherits its listener's mode; the servers' clients block.
  if (client) SetNonBlocking(client.get(), false);
  return client;
}

short WaitFor(int socket, short events, int timeout_ms) {
  WSAPOLLFD entry{AsSocket(socket), events, 0};
  return ::WSAPoll(&entry, 1, timeout_ms) > 0 ? entry.revents : 0;
}

long SendSome(int socket, const char* data, size_t size, bool wait) {
  // Winsock has no flag for a send that does not wait: the socket itself
  // is made non-blocking for it.
  if (!wait) SetNonBlocking(socket, true);
  const int done = ::send(AsSocket(socket), data, static_cast<int>(size), 0);
  const int error = ::WSAGetLastError();
  if (!wait) SetNonBlocking(socket, false);
  if (done >= 0) return done;
  return error == WSAEWOULDBLOCK ? 0 : -1;
}

long RecvSome(int socket, char* buffer, size_t size) {
  return ::recv(AsSocket(socket), buffer, static_cast<int>(size), 0);
}

bool ConnectUnderWay() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }

}  // namespace testing_support
