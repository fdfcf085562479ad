// SPDX-License-Identifier: MIT

// What the four fields of an address control show, as OK judges it before
// saving: the control's part values keep their old value when a field is
// emptied or holds pasted letters, so OK reads the fields themselves.

#ifndef RAVELSET_SRC_SHOWN_ADDRESS_H_
#define RAVELSET_SRC_SHOWN_ADDRESS_H_

#include <optional>
#include <string_view>
#include <vector>

#include "tessaly/platform/dispatch.h"

namespace ravelset {

struct ShownAddress {
  // Stands for the control as a whole when the field at fault cannot be
  // told (a field that holds a pasted '.' moves the dots of the address).
  static constexpr int kWholeControl = -1;

  // The first field (0 to 3) that shows something other than nothing or a
  // whole number from 0 to 255, or kWholeControl; nullopt when none does.
  std::optional<int> offending_field;
  // The fields that show nothing, in order.
  std::vector<int> empty_fields;
};

// Judges the dotted text `address` composed from four fields' texts.
ShownAddress JudgeShownAddress(std::string_view address);

// Has `control` compose its Address from its fields as they stand
// (IPChange), then judges it. A control that composes no address (one that
// answers only Pos1 to Pos4, as the command line's) shows nothing to judge:
// the result is empty, and its part values alone are checked.
ShownAddress ReadShownAddress(platform::Dispatch& control);

}  // namespace ravelset

#endif  // RAVELSET_SRC_SHOWN_ADDRESS_H_
