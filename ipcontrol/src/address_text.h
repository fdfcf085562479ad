// SPDX-License-Identifier: MIT

// The number rules of the Quadrel control's texts.

#ifndef LATTIX_SRC_ADDRESS_TEXT_H_
#define LATTIX_SRC_ADDRESS_TEXT_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace lattix {

// The value of the number at the start of `text`, read by the platform's
// numeric conversion like WholeTextNumber: blanks, then an optional sign,
// digits, a fraction and an exponent ("12a" gives 12, "-5" gives -5,
// " 7.5x" gives 7.5, "1e3" gives 1000, "1e" gives 1). 0 when the text does
// not begin with a number ("abc", "", "-").
double LeadingNumber(std::string_view text);

// The text as a part value when it is a number as a whole (blanks around
// allowed, "12." counts), otherwise nullopt ("", "abc", "1a").
std::optional<float> WholeTextNumber(std::string_view text);

// The dotted address packed into 32 bits, the first part the least
// significant byte: "192.168.1.10" gives 0x0A01A8C0 and "1.2.3.200" the
// negative value of the bits 0xC8030201. The result is 0 unless the text
// has exactly four parts that are whole numbers (rounded, blanks allowed)
// from 0 to 255: "", "1.2.3", "1.2.3.4.5", "1..3.4" and "1.2.3.x" give 0.
int32_t AddressToLong(std::string_view address);

}  // namespace lattix

#endif  // LATTIX_SRC_ADDRESS_TEXT_H_
