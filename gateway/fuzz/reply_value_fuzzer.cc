// SPDX-License-Identifier: MIT

// The value cut: ReplyValue on the UTF-8 text of a reply must cut the same
// characters, or raise the same error, as the plain reference working on
// the reply's Windows-1252 bytes. Text that is not valid UTF-8 at all must
// not upset it either.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "reference_text.h"
#include "reply_rules.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"

namespace {

// The value, or the error number ReplyValue raises.
morvane::fuzz::ReferenceCut Cut(std::string_view text) {
  try {
    return {0, morvane::ReplyValue(text)};
  } catch (const platform::PlatformError& error) {
    return {error.number(), {}};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);

  if (data[0] % 2 == 0) {
    // Bytes as they come off the wire.
    const morvane::fuzz::ReferenceCut expected = morvane::fuzz::ReferenceValue(rest);
    const morvane::fuzz::ReferenceCut actual = Cut(platform::AnsiToUtf8(rest));
    if (actual.error != expected.error) morvane::fuzz::Fail("ReplyValue raised another error");
    if (actual.value != platform::AnsiToUtf8(expected.value)) {
      morvane::fuzz::Fail("ReplyValue cut other characters");
    }
  } else {
    // Any bytes as UTF-8, malformed sequences included: the cut stays
    // inside the text and raises nothing but its own two errors.
    const morvane::fuzz::ReferenceCut actual = Cut(rest);
    if (actual.error != 0 && actual.error != platform::kInvalidProcedureCall &&
        actual.error != platform::kOverflow) {
      morvane::fuzz::Fail("ReplyValue raised an unexpected error");
    }
    if (actual.error == 0 && rest.find(actual.value) == std::string_view::npos) {
      morvane::fuzz::Fail("the value is not a piece of the reply");
    }
  }
  return 0;
}
