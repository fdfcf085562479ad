// SPDX-License-Identifier: MIT

#include "com_values.h"

#include <memory>

#include "com_socket.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/tcp_socket.h"
#include "text.h"

namespace morvane::com {
namespace {

using RecordPtr = std::shared_ptr<const platform::Record>;

const platform::Record& AsRecord(const platform::Variant& value) {
  const RecordPtr* record = std::get_if<RecordPtr>(&value);
  if (record == nullptr || *record == nullptr) {
    throw platform::PlatformError(platform::kTypeMismatch);
  }
  return **record;
}

}  // namespace

platform::Variant FromCom(const BSTR* value) {
  return value == nullptr ? std::string() : ToUtf8(*value);
}
platform::Variant FromCom(const LONG* value) {
  return static_cast<int32_t>(value == nullptr ? 0 : *value);
}
platform::Variant FromCom(const short* value) {
  return static_cast<int16_t>(value == nullptr ? 0 : *value);
}

void StoreResult(const platform::Variant& value, LONG* result) {
  *result = platform::ToLong(value);
}

void StoreResult(const platform::Variant& value, BSTR* result) {
  *result = NewBstr(platform::ToText(value));
}

void StoreResult(const platform::Variant& value, ::CommandReturn* result) {
  const platform::Record& record = AsRecord(value);
  const platform::Record& error = AsRecord(record.Field("error_object"));
  // Every value is read before anything is allocated, so that a failure
  // leaves no half-filled record behind.
  const LONG number = platform::ToLong(error.Field("number"));
  const std::string description = platform::ToText(error.Field("description"));
  const LONG long_value = platform::ToLong(record.Field("long_value"));
  const std::string string_value = platform::ToText(record.Field("string_value"));
  BSTR description_bstr = NewBstr(description);
  BSTR string_bstr = nullptr;
  try {
    string_bstr = NewBstr(string_value);
  } catch (...) {
    SysFreeString(description_bstr);
    throw;
  }
  result->error_object.number = number;
  result->error_object.description = description_bstr;
  result->long_value = long_value;
  result->string_value = string_bstr;
}

void StoreResult(const platform::Variant& value, IDispatch** result) {
  const auto* component = std::get_if<std::shared_ptr<platform::Component>>(&value);
  auto socket =
      component == nullptr ? nullptr : std::dynamic_pointer_cast<platform::TcpSocket>(*component);
  if (socket == nullptr) throw platform::PlatformError(platform::kTypeMismatch);
  const HRESULT created = AutomationObject<_TCPIP>::Create<ComSocket>(
      IID_IDispatch, reinterpret_cast<void**>(result), std::move(socket));
  if (created == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(created)) throw platform::PlatformError(platform::kCannotCreateObject);
}

void WriteBack(const platform::Variant& value, BSTR* argument) {
  if (argument != nullptr) ReplaceBstr(argument, platform::ToText(value));
}
void WriteBack(const platform::Variant& value, LONG* argument) {
  if (argument != nullptr) *argument = platform::ToLong(value);
}
void WriteBack(const platform::Variant& value, short* argument) {
  if (argument != nullptr) *argument = platform::ToInteger(value);
}

}  // namespace morvane::com
