// SPDX-License-Identifier: MIT

// Which declarations leave liblattix.so. The library is built with hidden
// visibility; a class or function marked LATTIX_EXPORT is part of its
// interface (the control's registration and its widget), the control's
// logic stays inside.

#ifndef TESSALY_LATTIX_EXPORT_H_
#define TESSALY_LATTIX_EXPORT_H_

#define LATTIX_EXPORT __attribute__((visibility("default")))

#endif  // TESSALY_LATTIX_EXPORT_H_
