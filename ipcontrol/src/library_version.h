// SPDX-License-Identifier: MIT

// The version of the Lattix library.

#ifndef LATTIX_SRC_LIBRARY_VERSION_H_
#define LATTIX_SRC_LIBRARY_VERSION_H_

namespace lattix {

// A four-part file version: major.minor.build.revision.
struct LibraryVersion {
  int major = 0;
  int minor = 0;
  int build = 0;
  int revision = 0;
};

// The version of this library, set once in its build.
LibraryVersion ThisLibraryVersion();

}  // namespace lattix

#endif  // LATTIX_SRC_LIBRARY_VERSION_H_
