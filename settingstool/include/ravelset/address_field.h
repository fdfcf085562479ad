// SPDX-License-Identifier: MIT

// Addresses as the settings file holds them: dotted decimal text in a field
// of 20 characters, taken apart into the four part values of an address
// control and put together again.

#ifndef RAVELSET_ADDRESS_FIELD_H_
#define RAVELSET_ADDRESS_FIELD_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ravelset {

// An address field taken apart.
struct AddressField {
  // How many of the three separating dots the field has (0 to 3).
  int dots = 0;
  // The value of each part that reads as a number; nullopt for a part that
  // is no number and for a part the field lacks (part N exists only when
  // the field has at least N - 1 dots).
  std::array<std::optional<double>, 4> parts;

  // True when part `index` (0 to 3) exists in the field.
  bool HasPart(size_t index) const { return static_cast<int>(index) <= dots; }
};

// Takes `field` apart at its first three dots: part 1 is the text before
// the first dot, parts 2 and 3 the texts between the dots, part 4
// everything after the third dot up to the end of the field, trailing
// spaces and any further dots included. Each part is read as a number,
// blanks around it ignored. A field with fewer dots has its text after the
// last dot as its last part.
AddressField SplitAddressField(std::string_view field);

// The dotted text of four part values, each as its shortest decimal text:
// {192, 168, 0, 1} gives "192.168.0.1".
std::string DottedText(const std::array<float, 4>& parts);

// True when `value` can stand in a dotted address: a whole number from 0 to
// 255 whose decimal text is not empty.
bool IsAddressPart(float value);

}  // namespace ravelset

#endif  // RAVELSET_ADDRESS_FIELD_H_
