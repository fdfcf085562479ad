// SPDX-License-Identifier: MIT

// Which declarations leave libmorvane.so. The library is built with hidden
// visibility; a class or function marked MORVANE_EXPORT is part of its
// interface, anything else (the command catalogue, the reply rules) stays
// inside.

#ifndef TESSALY_MORVANE_EXPORT_H_
#define TESSALY_MORVANE_EXPORT_H_

#if defined(_WIN32)
// On Windows the gateway is a static library, linked whole into the
// component server and the tests: nothing crosses a library's edge.
#define MORVANE_EXPORT
#else
#define MORVANE_EXPORT __attribute__((visibility("default")))
#endif

#endif  // TESSALY_MORVANE_EXPORT_H_
