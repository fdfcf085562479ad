// SPDX-License-Identifier: MIT

// Steps for a ScriptedServer that misbehaves on purpose: it drips its
// bytes, splits them into separate TCP segments, floods the client, or
// holds the connection open in silence. Each step is bounded in time, so a
// test that stops its server never waits long on a conversation.

#ifndef PLATFORM_TESTS_SUPPORT_HOSTILE_STEPS_H_
#define PLATFORM_TESTS_SUPPORT_HOSTILE_STEPS_H_

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "scripted_server.h"

namespace testing_support {

// Sends `bytes` one byte at a time, `interval` apart, each byte in a
// segment of its own. Stops early when the client has gone.
Step Drip(std::string bytes, std::chrono::milliseconds interval);

// Sends each of `pieces` in a segment of its own, `gap` apart. Stops early
// when the client has gone.
Step SendSeparately(std::vector<std::string> pieces, std::chrono::milliseconds gap);

// Sends `total` bytes made of `pattern` repeated, as fast as the client
// takes them. Stops when they are all sent, when the client has gone, or
// when the client has taken nothing for `stall` (it stopped reading but
// kept the connection).
Step Flood(size_t total, std::string pattern,
           std::chrono::milliseconds stall = std::chrono::milliseconds(2000));

// Keeps the connection open without sending anything, throwing away what
// the client sends, until the client closes or `limit` passes.
Step HoldSilent(std::chrono::milliseconds limit);

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_HOSTILE_STEPS_H_
