// SPDX-License-Identifier: MIT

// Which declarations leave libtessaly-platform.so. The library is built
// with hidden visibility; a class or function marked PLATFORM_EXPORT is part
// of its interface, anything else stays inside. Classes with virtual members
// or thrown as exceptions are marked whole, so that their type information is
// one and the same in the library and in its users.

#ifndef TESSALY_PLATFORM_EXPORT_H_
#define TESSALY_PLATFORM_EXPORT_H_

#if defined(_WIN32)
// On Windows the platform is a static library, linked whole into each
// program and DLL that uses it: nothing crosses a library's edge.
#define PLATFORM_EXPORT
#else
#define PLATFORM_EXPORT __attribute__((visibility("default")))
#endif

#endif  // TESSALY_PLATFORM_EXPORT_H_
