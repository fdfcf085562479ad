// SPDX-License-Identifier: MIT

// The command methods of WG: each names its catalogue row and passes its
// arguments, numbers as their decimal text.

#include "tessaly/morvane/wg.h"

#include <string>

#include "command_catalogue.h"

namespace morvane {

WG::WG() = default;

CommandReturn WG::UserIDExists(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kUserIDExists], secret, {userid});
}
CommandReturn WG::AuthUser(const std::string& secret, const std::string& userid,
                           const std::string& password) {
  return Run(kCommands[kAuthUser], secret, {userid, password});
}

CommandReturn WG::NumberofCredits(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kNumberofCredits], secret, {userid});
}
CommandReturn WG::NumberOfDays(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kNumberOfDays], secret, {userid});
}
CommandReturn WG::LastLogin(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kLastLogin], secret, {userid});
}
CommandReturn WG::CreationDate(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kCreationDate], secret, {userid});
}
CommandReturn WG::PrimaryClass(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kPrimaryClass], secret, {userid});
}
CommandReturn WG::CurrentClass(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kCurrentClass], secret, {userid});
}
CommandReturn WG::SystemVariable(const std::string& secret, int32_t sysvar) {
  return Run(kCommands[kSystemVariable], secret, {std::to_string(sysvar)});
}

CommandReturn WG::GiveCredits(const std::string& secret, const std::string& userid, int32_t creds) {
  return Run(kCommands[kGiveCredits], secret, {userid, std::to_string(creds)});
}
CommandReturn WG::GiveDays(const std::string& secret, const std::string& userid, int32_t days) {
  return Run(kCommands[kGiveDays], secret, {userid, std::to_string(days)});
}
CommandReturn WG::SwitchClass(const std::string& secret, const std::string& userid,
                              const std::string& newclass) {
  return Run(kCommands[kSwitchClass], secret, {userid, newclass});
}
CommandReturn WG::DeleteUser(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kDeleteUser], secret, {userid});
}
CommandReturn WG::UnDeleteUser(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kUnDeleteUser], secret, {userid});
}
CommandReturn WG::SuspendUser(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kSuspendUser], secret, {userid});
}
CommandReturn WG::UnSuspendUser(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kUnSuspendUser], secret, {userid});
}

CommandReturn WG::GiveKey(const std::string& secret, const std::string& userid,
                          const std::string& key) {
  return Run(kCommands[kGiveKey], secret, {userid, key});
}
CommandReturn WG::TakeKey(const std::string& secret, const std::string& userid,
                          const std::string& key) {
  return Run(kCommands[kTakeKey], secret, {userid, key});
}
CommandReturn WG::HasKey(const std::string& secret, const std::string& userid,
                         const std::string& key) {
  return Run(kCommands[kHasKey], secret, {userid, key});
}
CommandReturn WG::HasMaster(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kHasMaster], secret, {userid});
}
CommandReturn WG::IsSuspended(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kIsSuspended], secret, {userid});
}
CommandReturn WG::UserOnline(const std::string& secret, const std::string& userid) {
  return Run(kCommands[kUserOnline], secret, {userid});
}
CommandReturn WG::UpdateUserField(const std::string& secret, const std::string& userid,
                                  int16_t field, const std::string& newdata) {
  return Run(kCommands[kUpdateUserField], secret, {userid, std::to_string(field), newdata});
}
CommandReturn WG::AuditMessage(const std::string& secret, const std::string& themessage) {
  return Run(kCommands[kAuditMessage], secret, {themessage});
}

}  // namespace morvane
