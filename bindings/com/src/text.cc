// SPDX-License-Identifier: MIT

#include "text.h"

#include <windows.h>

#include <new>

namespace morvane::com {

std::string ToUtf8(const wchar_t* text, size_t length) {
  if (text == nullptr || length == 0) return {};
  const int wide_length = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, wide_length, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string ToUtf8(BSTR text) { return ToUtf8(text, text == nullptr ? 0 : SysStringLen(text)); }

std::wstring ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int utf8_length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), utf8_length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), utf8_length, wide.data(), size);
  return wide;
}

BSTR NewBstr(std::string_view text) {
  const std::wstring wide = ToUtf16(text);
  BSTR bstr = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (bstr == nullptr) throw std::bad_alloc();
  return bstr;
}

void ReplaceBstr(BSTR* slot, std::string_view text) {
  BSTR replacement = NewBstr(text);
  SysFreeString(*slot);
  *slot = replacement;
}

}  // namespace morvane::com
