// SPDX-License-Identifier: MIT

// account_check: asks the server module whether a user ID exists and how
// many credits it has, through WG.
//
//   account_check SECRET USERID
//
// The hosts and the port come from morvane.ini in $WINDIR. Prints the four
// results of each command; exits 0 when the user exists, 1 when it does not
// or a command failed, 2 on a wrong command line or a platform error.

#include <cstdio>
#include <exception>
#include <string>

#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/error.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitFailure = 2;

// UserIDExists answers this when the account exists.
constexpr int32_t kExists = 1;

void Print(const char* what, const morvane::CommandReturn& result) {
  std::printf("%s: error_number=%d error_description=\"%s\" answer_long=%d answer_string=\"%s\"\n",
              what, result.error_object.number, result.error_object.description.c_str(),
              result.long_value, result.string_value.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: account_check SECRET USERID\n");
    return kExitFailure;
  }
  const std::string secret = argv[1];
  const std::string userid = argv[2];
  try {
    morvane::WG wg;
    const morvane::CommandReturn exists = wg.UserIDExists(secret, userid);
    Print("UserIDExists", exists);
    if (exists.error_object.number != morvane::kSuccess || exists.long_value != kExists) {
      return kExitNotFound;
    }
    const morvane::CommandReturn credits = wg.NumberofCredits(secret, userid);
    Print("NumberofCredits", credits);
    return credits.error_object.number == morvane::kSuccess ? kExitFound : kExitNotFound;
  } catch (const platform::PlatformError& error) {
    // Unexpected failures only: a damaged settings file, an unreadable value.
    std::fprintf(stderr, "platform error %d: %s\n", error.number(), error.what());
    return kExitFailure;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return kExitFailure;
  }
}
