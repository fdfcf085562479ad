// SPDX-License-Identifier: MIT

// The socket object InitWinsock returns: the platform's TCP socket behind
// the library's interface _TCPIP, for script pages that want to see or
// drive what the gateway would connect to.

#ifndef MORVANE_COM_COM_SOCKET_H_
#define MORVANE_COM_COM_SOCKET_H_

#include <memory>

#include "automation_object.h"
#include "morvane.h"
#include "tessaly/platform/tcp_socket.h"

namespace morvane::com {

class ComSocket final : public AutomationObject<_TCPIP> {
 public:
  explicit ComSocket(std::shared_ptr<platform::TcpSocket> socket);

  STDMETHODIMP Connect(short* result) override;
  STDMETHODIMP Receive(VARIANT* data, short mode, short* result) override;
  STDMETHODIMP Send(BSTR line, short* result) override;
  STDMETHODIMP Close() override;
  STDMETHODIMP SetRemotePort(LONG port) override;
  STDMETHODIMP SetRemoteHost(BSTR host) override;
  STDMETHODIMP SetLocalHost(BSTR host) override;
  STDMETHODIMP get_Description(BSTR* result) override;

 private:
  template <class Body>
  HRESULT Guard(Body&& body) {
    return AutomationObject::Guard(L"Morvane.TCPIP", std::forward<Body>(body));
  }

  const std::shared_ptr<platform::TcpSocket> socket_;
};

}  // namespace morvane::com

#endif  // MORVANE_COM_COM_SOCKET_H_
