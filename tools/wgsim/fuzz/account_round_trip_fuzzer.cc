// SPDX-License-Identifier: MIT

// The account file's round trip: load, change, write, load. Whatever file
// wgsim accepts at start, and whatever the commands of a client make of
// it, the text it would write back must load again as the same book and
// be written the same way. Nothing is written to disk.
//
// Input: an account file, then a line "---", then command lines, each
// sent in a session of its own as a client's bytes (Windows-1252).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "account_file.h"
#include "account_store.h"
#include "audit_log.h"
#include "command_handler.h"
#include "session_protocol.h"

namespace {

constexpr std::string_view kCommandsFollow = "\n---\n";
constexpr std::string_view kSecret = "s";
// Enough to reach any state a few changes make; more only slow a run.
constexpr int kMostCommands = 64;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

int LinesOf(std::string_view text) {
  int lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

// What `book` is written as must load as `book` and be written alike.
void CheckRoundTrip(const wgsim::AccountBook& book) {
  const std::string text = wgsim::FormatAccountFile(book);
  wgsim::AccountBook again;
  try {
    again = wgsim::ParseAccountFile(text, "written");
  } catch (const wgsim::AccountFileError& error) {
    Fail(std::string("the written file does not load: ") + error.what() + "\n" + text);
  }
  if (!(again == book)) Fail("the written file loads as another book:\n" + text);
  if (wgsim::FormatAccountFile(again) != text) Fail("the book is written another way:\n" + text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find(kCommandsFollow);
  const std::string_view file = input.substr(0, split);
  std::string_view commands = split == std::string_view::npos
                                  ? std::string_view()
                                  : input.substr(split + kCommandsFollow.size());

  wgsim::AccountBook book;
  try {
    book = wgsim::ParseAccountFile(file, "fuzz");
  } catch (const wgsim::AccountFileError& error) {
    if (error.line() < 0 || error.line() > LinesOf(file)) Fail("a fault outside the file's lines");
    return 0;
  }
  CheckRoundTrip(book);

  wgsim::AccountStore store(std::move(book));
  const wgsim::AuditLog audit("/dev/null");
  const wgsim::CommandHandler handler(store, audit);
  for (int i = 0; i < kMostCommands && !commands.empty(); ++i) {
    const size_t end = commands.find('\n');
    const std::string_view line = commands.substr(0, end);
    commands.remove_prefix(end == std::string_view::npos ? commands.size() : end + 1);
    wgsim::SessionProtocol session(kSecret, "", handler, "127.0.0.1:1");
    session.OnLine(kSecret);
    session.OnLine(line);
    store.Read([](const wgsim::AccountBook& changed) {
      CheckRoundTrip(changed);
      return 0;
    });
  }
  return 0;
}
