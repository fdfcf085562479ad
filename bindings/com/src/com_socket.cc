// SPDX-License-Identifier: MIT

#include "com_socket.h"

#include <string>
#include <utility>

#include "text.h"

namespace morvane::com {

ComSocket::ComSocket(std::shared_ptr<platform::TcpSocket> socket) : socket_(std::move(socket)) {}

STDMETHODIMP ComSocket::Connect(short* result) {
  if (result == nullptr) return E_POINTER;
  return Guard([&] { *result = socket_->Connect(); });
}

STDMETHODIMP ComSocket::Receive(VARIANT* data, short mode, short* result) {
  if (data == nullptr || result == nullptr) return E_POINTER;
  return Guard([&] {
    std::string text;
    const short received = socket_->Receive(text, mode);
    BSTR bstr = NewBstr(text);
    VariantClear(data);
    V_VT(data) = VT_BSTR;
    V_BSTR(data) = bstr;
    *result = received;
  });
}

STDMETHODIMP ComSocket::Send(BSTR line, short* result) {
  if (result == nullptr) return E_POINTER;
  return Guard([&] { *result = socket_->Send(ToUtf8(line)); });
}

STDMETHODIMP ComSocket::Close() {
  return Guard([&] { socket_->Close(); });
}

STDMETHODIMP ComSocket::SetRemotePort(LONG port) {
  return Guard([&] { socket_->SetRemotePort(port); });
}

STDMETHODIMP ComSocket::SetRemoteHost(BSTR host) {
  return Guard([&] { socket_->SetRemoteHost(ToUtf8(host)); });
}

STDMETHODIMP ComSocket::SetLocalHost(BSTR host) {
  return Guard([&] { socket_->SetLocalHost(ToUtf8(host)); });
}

STDMETHODIMP ComSocket::get_Description(BSTR* result) {
  if (result == nullptr) return E_POINTER;
  return Guard([&] { *result = NewBstr(socket_->Describe()); });
}

}  // namespace morvane::com
