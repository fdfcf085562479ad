// SPDX-License-Identifier: MIT

// For tests: a name service of the test's own in place of the system
// resolver, one that is slow or never answers, for the socket component's
// Connect (tcp_socket.h). Not installed; exported all the same, since the
// lookup in use lives in the library.

#ifndef PLATFORM_INTERNAL_HOST_NAME_LOOKUP_H_
#define PLATFORM_INTERNAL_HOST_NAME_LOOKUP_H_

#include <functional>
#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// Looks up the IPv4 address of a host name for Connect: returns it as a
// dotted address, or empty when the name does not resolve. May block for
// long; Connect waits for it only until its timeout, and a lookup it gave
// up on finishes unobserved. Must be thread-safe.
using HostNameLookup = std::function<std::string(const std::string& name)>;

// Replaces the lookup that Connect uses for names that are not dotted
// addresses; an empty function restores the system resolver. Process-wide,
// for every socket's next lookup. Thread-safe.
PLATFORM_EXPORT void SetHostNameLookup(HostNameLookup lookup);

}  // namespace platform

#endif  // PLATFORM_INTERNAL_HOST_NAME_LOOKUP_H_
