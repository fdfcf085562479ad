// SPDX-License-Identifier: MIT

// Which declarations leave libmorvane.so. The library is built with hidden
// visibility; a class or function marked MORVANE_EXPORT is part of its
// interface, anything else (the command catalogue, the reply rules) stays
// inside.

#ifndef TESSALY_MORVANE_EXPORT_H_
#define TESSALY_MORVANE_EXPORT_H_

#define MORVANE_EXPORT __attribute__((visibility("default")))

#endif  // TESSALY_MORVANE_EXPORT_H_
