// The interface _WG: its member table, late-bound calls and the class's
// registration under "Morvane.WG".

#include <array>
#include <vector>

#include "command_catalogue.h"
#include "morvane/wg.h"

namespace morvane {
namespace {

using platform::DispId;
using platform::MemberInfo;
using platform::MemberKind;
using platform::ParamInfo;
using platform::Variant;
using platform::VarType;

constexpr ParamInfo kSecret = {"secret", VarType::kString};
constexpr ParamInfo kUserId = {"userid", VarType::kString};

constexpr std::array kUserParams = {kSecret, kUserId};
constexpr std::array kPasswordParams = {kSecret, kUserId, ParamInfo{"password", VarType::kString}};
constexpr std::array kKeyParams = {kSecret, kUserId, ParamInfo{"key", VarType::kString}};
constexpr std::array kCredsParams = {kSecret, kUserId, ParamInfo{"creds", VarType::kLong}};
constexpr std::array kDaysParams = {kSecret, kUserId, ParamInfo{"days", VarType::kLong}};
constexpr std::array kSysvarParams = {kSecret, ParamInfo{"sysvar", VarType::kLong}};
constexpr std::array kNewclassParams = {kSecret, kUserId, ParamInfo{"newclass", VarType::kString}};
constexpr std::array kFieldParams = {kSecret, kUserId, ParamInfo{"field", VarType::kInteger},
                                     ParamInfo{"newdata", VarType::kString}};
constexpr std::array kMessageParams = {kSecret, ParamInfo{"themessage", VarType::kString}};
constexpr std::array kLogitParams = {ParamInfo{"data", VarType::kString, /*written=*/true}};

// Members that are not commands are called through one of these; commands
// (invoke == nullptr) run their catalogue entry.
using Invoker = Variant (*)(WG&, std::span<Variant>);

struct Member {
  MemberInfo info;
  Invoker invoke = nullptr;
};

constexpr MemberInfo Get(std::string_view name, DispId id, VarType type) {
  return {name, id, MemberKind::kReadOnlyProperty, type, {}};
}
constexpr MemberInfo Method(std::string_view name, DispId id, VarType result,
                            std::span<const ParamInfo> params = {}) {
  return {name, id, MemberKind::kMethod, result, params};
}
constexpr MemberInfo Cmd(std::string_view name, DispId id, std::span<const ParamInfo> params) {
  return Method(name, id, VarType::kRecord, params);
}

Variant InvokeLogit(WG& wg, std::span<Variant> args) {
  std::string data = platform::ToText(args[0]);
  try {
    wg.Logit(data);
  } catch (...) {
    args[0] = data;  // the line was composed before the write failed
    throw;
  }
  args[0] = std::move(data);
  return {};
}

// The interface _WG in interface order.
// clang-format off
constexpr std::array<Member, 33> kTable = {{
    {Get("error_number", 0x68030003, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.error_number(); }},
    {Get("error_description", 0x68030002, VarType::kString), [](WG& wg, auto) -> Variant { return wg.error_description(); }},
    {Get("answer_long", 0x68030001, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.answer_long(); }},
    {Get("answer_string", 0x68030000, VarType::kString), [](WG& wg, auto) -> Variant { return wg.answer_string(); }},
    {Cmd("UserIDExists", 0x60030006, kUserParams)},
    {Cmd("AuthUser", 0x60030007, kPasswordParams)},
    {Cmd("GiveKey", 0x60030008, kKeyParams)},
    {Cmd("TakeKey", 0x60030009, kKeyParams)},
    {Cmd("HasMaster", 0x6003000a, kUserParams)},
    {Cmd("IsSuspended", 0x6003000b, kUserParams)},
    {Cmd("NumberofCredits", 0x6003000c, kUserParams)},
    {Cmd("NumberOfDays", 0x6003000d, kUserParams)},
    {Cmd("LastLogin", 0x6003000e, kUserParams)},
    {Cmd("CreationDate", 0x6003000f, kUserParams)},
    {Cmd("PrimaryClass", 0x60030010, kUserParams)},
    {Cmd("CurrentClass", 0x60030011, kUserParams)},
    {Cmd("UserOnline", 0x60030012, kUserParams)},
    {Cmd("HasKey", 0x60030013, kKeyParams)},
    {Cmd("GiveCredits", 0x60030014, kCredsParams)},
    {Cmd("GiveDays", 0x60030015, kDaysParams)},
    {Cmd("SystemVariable", 0x60030016, kSysvarParams)},
    {Cmd("SwitchClass", 0x60030017, kNewclassParams)},
    {Cmd("DeleteUser", 0x60030018, kUserParams)},
    {Cmd("UnDeleteUser", 0x60030019, kUserParams)},
    {Cmd("SuspendUser", 0x6003001a, kUserParams)},
    {Cmd("UnSuspendUser", 0x6003001b, kUserParams)},
    {Cmd("UpdateUserField", 0x6003001c, kFieldParams)},
    {Cmd("AuditMessage", 0x6003001d, kMessageParams)},
    {Method("GetLocalHost", 0x6003001e, VarType::kString), [](WG& wg, auto) -> Variant { return wg.GetLocalHost(); }},
    {Method("GetLocalPort", 0x6003001f, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.GetLocalPort(); }},
    {Method("GetRemoteHost", 0x60030020, VarType::kString), [](WG& wg, auto) -> Variant { return wg.GetRemoteHost(); }},
    {Method("InitWinsock", 0x60030021, VarType::kObject), [](WG& wg, auto) -> Variant { return std::shared_ptr<platform::Component>(wg.InitWinsock()); }},
    {Method("Logit", 0x60030022, VarType::kEmpty, kLogitParams), InvokeLogit},
}};
// clang-format on

constexpr std::array<MemberInfo, kTable.size()> kMembers = [] {
  std::array<MemberInfo, kTable.size()> members{};
  for (size_t i = 0; i < kTable.size(); ++i) members[i] = kTable[i].info;
  return members;
}();

// A CommandReturn as the record a late-bound caller receives.
Variant ToRecord(const CommandReturn& result) {
  auto error_object = std::make_shared<const platform::Record>(platform::Record{
      "MyErrObject",
      {{"number", result.error_object.number}, {"description", result.error_object.description}}});
  return std::make_shared<const platform::Record>(
      platform::Record{"CommandReturn",
                       {{"error_object", error_object},
                        {"long_value", result.long_value},
                        {"string_value", result.string_value}}});
}

// An argument as the text it is sent as; raises when it does not convert
// to the parameter's type.
std::string ArgumentText(VarType type, const Variant& value) {
  switch (type) {
    case VarType::kLong: return std::to_string(platform::ToLong(value));
    case VarType::kInteger: return std::to_string(platform::ToInteger(value));
    default: return platform::ToText(value);
  }
}

// Registers the class when the library is loaded, so that any program
// linked with it can create "Morvane.WG".
const bool kRegistered = [] {
  platform::RegisterClass(kWGProgId, [] { return std::make_shared<WG>(); });
  return true;
}();

}  // namespace

std::span<const MemberInfo> WG::Members() const { return kMembers; }

Variant WG::Invoke(DispId id, platform::InvokeKind kind, std::span<Variant> args) {
  const MemberInfo& member = CheckCall(id, kind, args.size());
  const Member& row = kTable[static_cast<size_t>(&member - kMembers.data())];
  if (row.invoke != nullptr) return row.invoke(*this, args);

  const Command* command = FindCommand(member.name);
  const std::string secret = platform::ToText(args[0]);
  std::vector<std::string> texts;
  for (size_t i = 1; i < args.size(); ++i) {
    texts.push_back(ArgumentText(member.params[i].type, args[i]));
  }
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  return ToRecord(Run(*command, secret, views));
}

}  // namespace morvane
