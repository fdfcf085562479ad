// The command methods of WG: each names its catalogue entry and passes its
// arguments, numbers as their decimal text.

#include "morvane/wg.h"

#include <string>

#include "command_catalogue.h"

namespace morvane {

using namespace catalogue;

WG::WG() = default;

CommandReturn WG::UserIDExists(const std::string& secret, const std::string& userid) {
  return Run(kUserIDExists, secret, {userid});
}
CommandReturn WG::AuthUser(const std::string& secret, const std::string& userid,
                           const std::string& password) {
  return Run(kAuthUser, secret, {userid, password});
}

CommandReturn WG::NumberofCredits(const std::string& secret, const std::string& userid) {
  return Run(kNumberofCredits, secret, {userid});
}
CommandReturn WG::NumberOfDays(const std::string& secret, const std::string& userid) {
  return Run(kNumberOfDays, secret, {userid});
}
CommandReturn WG::LastLogin(const std::string& secret, const std::string& userid) {
  return Run(kLastLogin, secret, {userid});
}
CommandReturn WG::CreationDate(const std::string& secret, const std::string& userid) {
  return Run(kCreationDate, secret, {userid});
}
CommandReturn WG::PrimaryClass(const std::string& secret, const std::string& userid) {
  return Run(kPrimaryClass, secret, {userid});
}
CommandReturn WG::CurrentClass(const std::string& secret, const std::string& userid) {
  return Run(kCurrentClass, secret, {userid});
}
CommandReturn WG::SystemVariable(const std::string& secret, int32_t sysvar) {
  return Run(kSystemVariable, secret, {std::to_string(sysvar)});
}

CommandReturn WG::GiveCredits(const std::string& secret, const std::string& userid,
                              int32_t creds) {
  return Run(kGiveCredits, secret, {userid, std::to_string(creds)});
}
CommandReturn WG::GiveDays(const std::string& secret, const std::string& userid, int32_t days) {
  return Run(kGiveDays, secret, {userid, std::to_string(days)});
}
CommandReturn WG::SwitchClass(const std::string& secret, const std::string& userid,
                              const std::string& newclass) {
  return Run(kSwitchClass, secret, {userid, newclass});
}
CommandReturn WG::DeleteUser(const std::string& secret, const std::string& userid) {
  return Run(kDeleteUser, secret, {userid});
}
CommandReturn WG::UnDeleteUser(const std::string& secret, const std::string& userid) {
  return Run(kUnDeleteUser, secret, {userid});
}
CommandReturn WG::SuspendUser(const std::string& secret, const std::string& userid) {
  return Run(kSuspendUser, secret, {userid});
}
CommandReturn WG::UnSuspendUser(const std::string& secret, const std::string& userid) {
  return Run(kUnSuspendUser, secret, {userid});
}

CommandReturn WG::GiveKey(const std::string& secret, const std::string& userid,
                          const std::string& key) {
  return Run(kGiveKey, secret, {userid, key});
}
CommandReturn WG::TakeKey(const std::string& secret, const std::string& userid,
                          const std::string& key) {
  return Run(kTakeKey, secret, {userid, key});
}
CommandReturn WG::HasKey(const std::string& secret, const std::string& userid,
                         const std::string& key) {
  return Run(kHasKey, secret, {userid, key});
}
CommandReturn WG::HasMaster(const std::string& secret, const std::string& userid) {
  return Run(kHasMaster, secret, {userid});
}
CommandReturn WG::IsSuspended(const std::string& secret, const std::string& userid) {
  return Run(kIsSuspended, secret, {userid});
}
CommandReturn WG::UserOnline(const std::string& secret, const std::string& userid) {
  return Run(kUserOnline, secret, {userid});
}
CommandReturn WG::UpdateUserField(const std::string& secret, const std::string& userid,
                                  int16_t field, const std::string& newdata) {
  return Run(kUpdateUserField, secret, {userid, std::to_string(field), newdata});
}
CommandReturn WG::AuditMessage(const std::string& secret, const std::string& themessage) {
  return Run(kAuditMessage, secret, {themessage});
}

}  // namespace morvane
