// SPDX-License-Identifier: MIT

#include "command_handler.h"

#include <charconv>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>

#include "tessaly/platform/ansi_text.h"
#include "wire_texts.h"

namespace wgsim {
namespace {

using Pair = std::pair<std::string_view, bool>;

std::string Line(std::string_view text) { return std::string(text) + std::string(wire::kLineEnd); }

std::string ValueLine(std::string_view words, std::string_view value) {
  return std::string(words) + std::string(wire::kValueMarker) + std::string(value) +
         std::string(wire::kEndMark) + std::string(wire::kLineEnd);
}

// A number as clients write it: decimal digits with an optional leading '-'.
std::optional<int32_t> Number(std::string_view text) {
  if (text.empty() || text.front() == '+') return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "FIRST REST": the first word and everything after the blank that ends it.
// Both must be non-empty.
std::optional<std::pair<std::string_view, std::string_view>> FirstWordAndRest(
    std::string_view args) {
  const size_t blank = args.find(' ');
  if (blank == std::string_view::npos || blank == 0 || blank + 1 == args.size())
    return std::nullopt;
  return std::pair(args.substr(0, blank), args.substr(blank + 1));
}

// "USERID%%TEXT": a user ID may itself hold "%%", so the split taken is the
// first one whose left part is a known user. nullopt without any "%%";
// a pair with an unknown user ID when no split names a known user.
std::optional<std::pair<std::string, std::string>> UserAndText(std::string_view args,
                                                               const AccountBook& book) {
  std::optional<std::pair<std::string, std::string>> first;
  for (size_t at = args.find("%%"); at != std::string_view::npos; at = args.find("%%", at + 1)) {
    std::pair split(std::string(args.substr(0, at)), std::string(args.substr(at + 2)));
    if (book.Find(split.first) != nullptr) return split;
    if (!first) first = std::move(split);
  }
  return first;
}

}  // namespace

CommandHandler::CommandHandler(AccountStore& store, const AuditLog& audit, Diagnostics diagnostics)
    : store_(store), audit_(audit), diagnostics_(std::move(diagnostics)) {}

std::string CommandHandler::Reply(std::string_view line, std::string_view peer) const {
  using Handler =
      std::string (*)(const CommandHandler&, std::string_view args, std::string_view peer);
  struct Entry {
    std::string_view word;
    Handler handle;
  };
  // clang-format off
  static constexpr Entry kCommands[] = {
      {"USERIDEXISTS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.UserIdExists(a); }},
      {"AUTHUSER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AuthUser(a); }},
      {"NUMBEROFCREDITS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AccountNumber(a, &Account::credits, "Number of credits"); }},
      {"NUMBEROFDAYS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AccountNumber(a, &Account::days, "Number of days"); }},
      {"LASTLOGIN", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AccountNumber(a, &Account::last_login, "Last login date"); }},
      {"CREATIONDATE", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AccountNumber(a, &Account::created, "Creation date"); }},
      {"PRIMARYCLASS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.ClassName(a, &Account::primary_class, "Primary class"); }},
      {"CURRENTCLASS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.ClassName(a, &Account::current_class, "Current class"); }},
      {"SYSTEMVARIABLE", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.SystemVariable(a); }},
      {"GIVECREDITS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.GiveCredits(a); }},
      {"GIVEDAYS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.GiveDays(a); }},
      {"SWITCHCLASS", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.SwitchClass(a); }},
      {"DELETEUSER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.DeleteUser(a); }},
      {"UNDELETEUSER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.SetFlag(a, &Account::deleted, false, wire::kUserUndeleted); }},
      {"SUSPENDUSER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.SetFlag(a, &Account::suspended, true, wire::kUserSuspended); }},
      {"UNSUSPENDUSER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.SetFlag(a, &Account::suspended, false, wire::kUserUnsuspended); }},
      {"GIVEKEY", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.KeyCommand(a, "GIVEKEY"); }},
      {"TAKEKEY", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.KeyCommand(a, "TAKEKEY"); }},
      {"HASKEY", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.KeyCommand(a, "HASKEY"); }},
      {"HASMASTER", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AskFlag(a, &Account::master); }},
      {"ISSUSPENDED", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AskFlag(a, &Account::suspended); }},
      {"USERONLINE", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.AskFlag(a, &Account::online); }},
      {"UPDATEUSERFIELD", [](const CommandHandler& h, std::string_view a, std::string_view) { return h.UpdateUserField(a); }},
      {"AUDITMESSAGE", [](const CommandHandler& h, std::string_view a, std::string_view p) { return h.AuditMessage(a, p); }},
  };
  // clang-format on

  const size_t blank = line.find(' ');
  const std::string_view word = line.substr(0, blank);
  if (word.empty()) return Line(wire::kMalformed);
  for (const Entry& entry : kCommands) {
    // Command words are upper case on the wire; people typing them by hand
    // get the same answers in lower case.
    if (SameName(entry.word, word)) {
      if (blank == std::string_view::npos) return Line(wire::kMalformed);
      return entry.handle(*this, line.substr(blank + 1), peer);
    }
  }
  return Line(wire::kNoSuchCommand);
}

std::string CommandHandler::UserIdExists(std::string_view user_id) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return Line(store_.Read([&](const AccountBook& book) {
    return book.Find(user_id) != nullptr ? wire::kUserExists : wire::kNoSuchUser;
  }));
}

std::string CommandHandler::AuthUser(std::string_view args) const {
  return store_.Read([&](const AccountBook& book) {
    const auto split = UserAndText(args, book);
    if (!split || split->first.empty()) return Line(wire::kMalformed);
    const Account* account = book.Find(split->first);
    if (account == nullptr) return Line(wire::kNoSuchUser);
    return Line(account->password == split->second ? wire::kPasswordCorrect
                                                   : wire::kPasswordIncorrect);
  });
}

std::string CommandHandler::AccountNumber(std::string_view user_id, int32_t Account::*number,
                                          std::string_view words) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return store_.Read([&](const AccountBook& book) {
    const Account* account = book.Find(user_id);
    if (account == nullptr) return Line(wire::kNoSuchUser);
    return ValueLine(words, std::to_string(account->*number));
  });
}

std::string CommandHandler::ClassName(std::string_view user_id, std::string Account::*name,
                                      std::string_view words) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return store_.Read([&](const AccountBook& book) {
    const Account* account = book.Find(user_id);
    if (account == nullptr) return Line(wire::kNoSuchUser);
    return ValueLine(words, account->*name);
  });
}

std::string CommandHandler::SystemVariable(std::string_view args) const {
  const auto number = Number(args);
  if (!number) return Line(wire::kMalformed);
  return store_.Read([&](const AccountBook& book) {
    const auto it = book.system_variables.find(*number);
    if (it == book.system_variables.end()) return Line(wire::kNoSuchSystemVariable);
    return ValueLine("System variable " + std::to_string(*number), std::to_string(it->second));
  });
}

std::string CommandHandler::ChangeAccount(std::string_view user_id,
                                          const AccountChange& change) const {
  std::string_view reply = wire::kNoSuchUser;
  std::string error;
  const auto result = store_.Change(
      [&](AccountBook& book) {
        Account* account = book.Find(user_id);
        if (account == nullptr) return false;
        bool changed;
        std::tie(reply, changed) = change(*account, book);
        return changed;
      },
      &error);
  if (result == AccountStore::ChangeResult::kSaveFailed) {
    if (diagnostics_) diagnostics_(error);
    return Line(wire::kUnableToComply);
  }
  return Line(reply);
}

std::string CommandHandler::GiveCredits(std::string_view args) const {
  const auto parts = FirstWordAndRest(args);
  const auto amount = parts ? Number(parts->first) : std::nullopt;
  if (!amount) return Line(wire::kMalformed);
  return ChangeAccount(parts->second, [&](Account& account, const AccountBook&) -> Pair {
    const int64_t credits = int64_t{account.credits} + *amount;
    // Credits never go below nothing, nor beyond what the host can count.
    if (credits < 0 || credits > std::numeric_limits<int32_t>::max())
      return {wire::kUnableToComply, false};
    account.credits = static_cast<int32_t>(credits);
    return {wire::kOk, *amount != 0};
  });
}

std::string CommandHandler::GiveDays(std::string_view args) const {
  const auto parts = FirstWordAndRest(args);
  const auto amount = parts ? Number(parts->first) : std::nullopt;
  if (!amount) return Line(wire::kMalformed);
  return ChangeAccount(parts->second, [&](Account& account, const AccountBook&) -> Pair {
    const int64_t days = int64_t{account.days} + *amount;
    if (days < 0) return {wire::kNegativeDays, false};
    if (days > std::numeric_limits<int32_t>::max()) return {wire::kUnableToComply, false};
    account.days = static_cast<int32_t>(days);
    return {wire::kOk, *amount != 0};
  });
}

std::string CommandHandler::SwitchClass(std::string_view args) const {
  const auto parts = FirstWordAndRest(args);
  if (!parts || HoldsUnsafeCharacter(parts->first)) return Line(wire::kMalformed);
  return ChangeAccount(parts->second, [&](Account& account, const AccountBook& book) -> Pair {
    const std::string* name = book.FindClass(parts->first);
    if (name == nullptr) return {wire::kNoSuchClass, false};
    // A switch moves the account for good: both classes change.
    const bool changed = account.primary_class != *name || account.current_class != *name;
    account.primary_class = account.current_class = *name;
    return {wire::kOk, changed};
  });
}

std::string CommandHandler::DeleteUser(std::string_view user_id) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return ChangeAccount(user_id, [](Account& account, const AccountBook&) -> Pair {
    if (account.is_protected) return {wire::kUserProtected, false};
    return {wire::kUserDeleted, !std::exchange(account.deleted, true)};
  });
}

std::string CommandHandler::SetFlag(std::string_view user_id, bool Account::*flag, bool value,
                                    std::string_view done) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return ChangeAccount(user_id, [&](Account& account, const AccountBook&) -> Pair {
    return {done, std::exchange(account.*flag, value) != value};
  });
}

std::string CommandHandler::KeyCommand(std::string_view args, std::string_view word) const {
  const auto parts = FirstWordAndRest(args);
  if (!parts || platform::Utf8Length(parts->first) > kMaxKeyLength ||
      HoldsUnsafeCharacter(parts->first)) {
    return Line(wire::kMalformed);
  }
  const std::string_view key = parts->first;
  const std::string_view user_id = parts->second;
  if (word == "HASKEY") {
    return Line(store_.Read([&](const AccountBook& book) {
      const Account* account = book.Find(user_id);
      if (account == nullptr) return wire::kNoSuchUser;
      return account->HasKey(key) ? wire::kYes : wire::kNo;
    }));
  }
  const bool give = word == "GIVEKEY";
  return ChangeAccount(user_id, [&](Account& account, const AccountBook&) -> Pair {
    const bool had = account.HasKey(key);
    if (give)
      account.GiveKey(key);
    else
      account.TakeKey(key);
    return {give ? wire::kKeyGiven : wire::kKeyTaken, had != give};
  });
}

std::string CommandHandler::AskFlag(std::string_view user_id, bool Account::*flag) const {
  if (user_id.empty()) return Line(wire::kMalformed);
  return Line(store_.Read([&](const AccountBook& book) {
    const Account* account = book.Find(user_id);
    if (account == nullptr) return wire::kNoSuchUser;
    return account->*flag ? wire::kYes : wire::kNo;
  }));
}

std::string CommandHandler::UpdateUserField(std::string_view args) const {
  const auto parts = FirstWordAndRest(args);
  const auto field = parts ? Number(parts->first) : std::nullopt;
  if (!field) return Line(wire::kMalformed);
  const auto split =
      store_.Read([&](const AccountBook& book) { return UserAndText(parts->second, book); });
  if (!split || split->first.empty() || HoldsUnsafeCharacter(split->second)) {
    return Line(wire::kMalformed);
  }
  return ChangeAccount(split->first, [&](Account& account, const AccountBook&) -> Pair {
    if (!IsFieldNumber(*field)) return {wire::kNoSuchField, false};
    std::string& content = account.fields[*field];
    const bool changed = content != split->second;
    content = split->second;
    return {wire::kFieldUpdated, changed};
  });
}

std::string CommandHandler::AuditMessage(std::string_view message, std::string_view peer) const {
  std::string error;
  if (!audit_.Append(peer, message, &error)) {
    if (diagnostics_) diagnostics_(error);
    return Line(wire::kUnableToComply);
  }
  return Line(wire::kAuditRecorded);
}

}  // namespace wgsim
