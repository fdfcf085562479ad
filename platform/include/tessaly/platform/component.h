// SPDX-License-Identifier: MIT

// Components created by programmatic identifier.
//
// A program asks for an object by a name such as "VBWinsock.TCPIP" and gets
// a counted reference to it; which class serves that name is decided by
// whoever registered it. The platform registers its own socket component;
// a library registers its classes when it is loaded.
//
// Shared state: the class table below is process-wide, and so are the
// socket component's default timeouts (SetDefaultSocketTimeouts in
// tcp_socket.h). Nothing else in the platform is shared between objects;
// all of these are guarded and may be used from any thread.

#ifndef TESSALY_PLATFORM_COMPONENT_H_
#define TESSALY_PLATFORM_COMPONENT_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tessaly/platform/error.h"
#include "tessaly/platform/export.h"

namespace platform {

// The base of every component object. Interfaces derive from it
// virtually; a caller obtains an interface with QueryInterface below.
class PLATFORM_EXPORT Component {
 public:
  virtual ~Component() = default;
};

using ComponentFactory = std::function<std::shared_ptr<Component>()>;

// Makes `progid` create its objects with `factory`, replacing any earlier
// registration of that name. Names are matched without regard to case.
// Thread-safe.
PLATFORM_EXPORT void RegisterClass(std::string_view progid, ComponentFactory factory);

// Creates a new object of the class registered under `progid`.
// Raises PlatformError 429 when no class is registered under that name.
// Thread-safe.
PLATFORM_EXPORT std::shared_ptr<Component> CreateObject(std::string_view progid);

// The interface `I` of `object`. Raises PlatformError 13 (type mismatch)
// when the object does not implement it, as assigning it to a variable of
// that interface would.
template <class I>
std::shared_ptr<I> QueryInterface(const std::shared_ptr<Component>& object) {
  auto result = std::dynamic_pointer_cast<I>(object);
  if (!result) throw PlatformError(kTypeMismatch);
  return result;
}

// CreateObject followed by QueryInterface.
template <class I>
std::shared_ptr<I> CreateObjectAs(std::string_view progid) {
  return QueryInterface<I>(CreateObject(progid));
}

}  // namespace platform

#endif  // TESSALY_PLATFORM_COMPONENT_H_
