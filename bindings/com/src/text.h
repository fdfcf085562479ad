// SPDX-License-Identifier: MIT

// Text between script callers and the gateway: BSTRs are UTF-16, the
// gateway's strings UTF-8. What goes on the wire or into the settings file
// is converted to Windows-1252 by the gateway itself, as on every system.

#ifndef MORVANE_COM_TEXT_H_
#define MORVANE_COM_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace morvane::com {

// UTF-16 to UTF-8; a null BSTR is empty text. A lone surrogate becomes
// U+FFFD, which the gateway then refuses to send like any character
// Windows-1252 lacks.
std::string ToUtf8(const wchar_t* text, size_t length);
std::string ToUtf8(BSTR text);

// UTF-8 to UTF-16.
std::wstring ToUtf16(std::string_view text);

// A new BSTR holding `text`; raises std::bad_alloc when there is no memory.
BSTR NewBstr(std::string_view text);

// Replaces the BSTR at `slot`, freeing the one it held.
void ReplaceBstr(BSTR* slot, std::string_view text);

}  // namespace morvane::com

#endif  // MORVANE_COM_TEXT_H_
