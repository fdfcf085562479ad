// SPDX-License-Identifier: MIT

// When the bytes a socket has gathered make a whole answer. Shared by the
// socket backends, so that every system ends answers alike.

#ifndef PLATFORM_SRC_ANSWER_END_H_
#define PLATFORM_SRC_ANSWER_END_H_

#include <cstdint>
#include <string_view>

namespace platform {

// Whether `bytes` hold anything besides CR and LF.
bool HoldsContent(std::string_view bytes);

// Whether the answer in `bytes`, read in receive `mode` (kReceiveText or
// kReceivePrompt), is complete. Only the end of `bytes` is looked at: the
// caller has checked that they hold content.
bool EndsAnswer(std::string_view bytes, int16_t mode);

}  // namespace platform

#endif  // PLATFORM_SRC_ANSWER_END_H_
