// SPDX-License-Identifier: MIT

#include "account_book.h"

#include <algorithm>
#include <utility>

#include "control_bytes.h"
#include "tessaly/platform/ansi_text.h"
#include "wire_texts.h"

namespace wgsim {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && platform::FoldCase(a) == platform::FoldCase(b);
}

bool HoldsEndOfValue(std::string_view text) {
  return platform::FindNoCase(text, wire::kEndMark) != std::string_view::npos;
}

bool HoldsUnsafeCharacter(std::string_view text) {
  return HoldsControlByte(text) || HoldsEndOfValue(text);
}

bool Account::HasKey(std::string_view key) const {
  return std::any_of(keys.begin(), keys.end(),
                     [&](const std::string& k) { return SameName(k, key); });
}

void Account::GiveKey(std::string_view key) {
  if (!HasKey(key)) keys.emplace_back(key);
}

void Account::TakeKey(std::string_view key) {
  std::erase_if(keys, [&](const std::string& k) { return SameName(k, key); });
}

Account* AccountBook::Find(std::string_view user_id) {
  return const_cast<Account*>(std::as_const(*this).Find(user_id));
}

const Account* AccountBook::Find(std::string_view user_id) const {
  const auto it = std::find_if(accounts.begin(), accounts.end(),
                               [&](const Account& a) { return SameName(a.user_id, user_id); });
  return it == accounts.end() ? nullptr : &*it;
}

const std::string* AccountBook::FindClass(std::string_view name) const {
  const auto it = std::find_if(classes.begin(), classes.end(),
                               [&](const std::string& c) { return SameName(c, name); });
  return it == classes.end() ? nullptr : &*it;
}

}  // namespace wgsim
