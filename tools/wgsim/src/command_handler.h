// SPDX-License-Identifier: MIT

// The server module's answers to command lines: every command word of the
// protocol, carried out on the account store.
//
// A line is the command word, one blank and the arguments. Where a line
// holds a user ID it stands last, or before "%%" and a free text; it may
// contain blanks. Numbers are decimal. A line that cannot be read this way
// is answered "Malformed request syntax", an unknown word "No such
// command". Replies are one line ending in CR LF; a reply carrying a value
// is some words, " is : ", the value and the end mark before CR LF.

#ifndef WGSIM_SRC_COMMAND_HANDLER_H_
#define WGSIM_SRC_COMMAND_HANDLER_H_

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "account_store.h"
#include "audit_log.h"

namespace wgsim {

class CommandHandler {
 public:
  // Receives a line about a fault of the simulator itself (a file that
  // could not be written); the client only sees "Unable to comply".
  using Diagnostics = std::function<void(const std::string&)>;

  CommandHandler(AccountStore& store, const AuditLog& audit, Diagnostics diagnostics = {});

  // The reply to `line` (UTF-8, without its line end) from the client at
  // `peer` ("ADDR:PORT", used in the audit log). Thread-safe.
  std::string Reply(std::string_view line, std::string_view peer) const;

 private:
  std::string UserIdExists(std::string_view args) const;
  std::string AuthUser(std::string_view args) const;
  std::string AccountNumber(std::string_view args, int32_t Account::*number,
                            std::string_view words) const;
  std::string ClassName(std::string_view args, std::string Account::*name,
                        std::string_view words) const;
  std::string SystemVariable(std::string_view args) const;
  std::string GiveCredits(std::string_view args) const;
  std::string GiveDays(std::string_view args) const;
  std::string SwitchClass(std::string_view args) const;
  std::string DeleteUser(std::string_view args) const;
  std::string SetFlag(std::string_view args, bool Account::*flag, bool value,
                      std::string_view done) const;
  std::string KeyCommand(std::string_view args, std::string_view word) const;
  std::string AskFlag(std::string_view args, bool Account::*flag) const;
  std::string UpdateUserField(std::string_view args) const;
  std::string AuditMessage(std::string_view args, std::string_view peer) const;

  // Runs `change` on the account of `user_id` and persists it. `change`
  // returns the reply and whether it changed the account.
  using AccountChange =
      std::function<std::pair<std::string_view, bool>(Account&, const AccountBook&)>;
  std::string ChangeAccount(std::string_view user_id, const AccountChange& change) const;

  AccountStore& store_;
  const AuditLog& audit_;
  Diagnostics diagnostics_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_COMMAND_HANDLER_H_
