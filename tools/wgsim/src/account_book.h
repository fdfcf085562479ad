// SPDX-License-Identifier: MIT

// The accounts the simulator keeps: users with their credits, days,
// classes, keys and flags; the host's classes; its system variables.
//
// Plain data, copied freely. User IDs, class names and keys are matched
// without regard to letter case (the letters of Windows-1252, as the host
// does); each keeps the spelling it was first written with.

#ifndef WGSIM_SRC_ACCOUNT_BOOK_H_
#define WGSIM_SRC_ACCOUNT_BOOK_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wgsim {

// The longest key name the host knows, in characters.
inline constexpr size_t kMaxKeyLength = 15;

// The numbered fields of an account that UPDATEUSERFIELD may change.
inline constexpr int kFirstFieldNumber = 1;
inline constexpr int kLastFieldNumber = 16;

struct Account {
  std::string user_id;
  std::string password;
  int32_t credits = 0;
  int32_t days = 0;
  std::string primary_class;
  std::string current_class;
  std::vector<std::string> keys;
  bool suspended = false;
  bool deleted = false;
  bool is_protected = false;  // cannot be deleted
  bool master = false;        // holds master rights
  bool online = false;
  // Dates as the host reports them: numbers, here written YYYYMMDD.
  int32_t last_login = 0;
  int32_t created = 0;
  // Field number to content; a field never set is absent.
  std::map<int, std::string> fields;

  // Whether the account holds `key` (any letter case).
  bool HasKey(std::string_view key) const;
  // Adds `key` unless the account holds it already.
  void GiveKey(std::string_view key);
  // Removes `key` (any letter case) if the account holds it.
  void TakeKey(std::string_view key);

  friend bool operator==(const Account&, const Account&) = default;
};

struct AccountBook {
  // The classes of the host, in the order they were listed.
  std::vector<std::string> classes;
  // System variable number to value.
  std::map<int32_t, int32_t> system_variables;
  // The accounts, in the order they were listed.
  std::vector<Account> accounts;

  // The account with `user_id` (any letter case), or nullptr.
  Account* Find(std::string_view user_id);
  const Account* Find(std::string_view user_id) const;

  // The class called `name` (any letter case) as the host spells it, or
  // nullptr when there is no such class.
  const std::string* FindClass(std::string_view name) const;

  friend bool operator==(const AccountBook&, const AccountBook&) = default;
};

// Whether two names are the same without regard to letter case.
bool SameName(std::string_view a, std::string_view b);

// Whether `text` (UTF-8) holds the protocol's end-of-value character õ in
// either case: a name or value holding it would cut a reply value short.
bool HoldsEndOfValue(std::string_view text);

// Whether `text` (UTF-8) holds a control character or the end-of-value
// character. A key, class or field holding one would cut a reply value
// short or split a word of the account file.
bool HoldsUnsafeCharacter(std::string_view text);

// Whether `field` is the number of a field UPDATEUSERFIELD may change.
inline bool IsFieldNumber(int field) {
  return field >= kFirstFieldNumber && field <= kLastFieldNumber;
}

}  // namespace wgsim

#endif  // WGSIM_SRC_ACCOUNT_BOOK_H_
