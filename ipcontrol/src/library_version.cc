// SPDX-License-Identifier: MIT

#include "library_version.h"

namespace lattix {

// The numbers come from the build (LATTIX_FILE_VERSION in CMakeLists.txt).
LibraryVersion ThisLibraryVersion() {
  return LibraryVersion{LATTIX_VERSION_MAJOR, LATTIX_VERSION_MINOR, LATTIX_VERSION_BUILD,
                        LATTIX_VERSION_REVISION};
}

}  // namespace lattix
