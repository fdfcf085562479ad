// SPDX-License-Identifier: MIT

// The interface _WG: its member table, late-bound calls and the class's
// registration under "Morvane.WG".

#include <array>
#include <string>
#include <vector>

#include "command_catalogue.h"
#include "tessaly/morvane/wg.h"

namespace morvane {
namespace {

using platform::DispId;
using platform::MemberInfo;
using platform::MemberKind;
using platform::ParamInfo;
using platform::Variant;
using platform::VarType;

constexpr std::array kLogitParams = {ParamInfo{"data", VarType::kString, /*written=*/true}};

// A member that is not a command, with how it is called.
using Invoker = Variant (*)(WG&, std::span<Variant>);
struct Member {
  MemberInfo info;
  Invoker invoke;
};

constexpr MemberInfo Get(std::string_view name, DispId id, VarType type) {
  return {name, id, MemberKind::kReadOnlyProperty, type, {}};
}
constexpr MemberInfo Method(std::string_view name, DispId id, VarType result,
                            std::span<const ParamInfo> params = {}) {
  return {name, id, MemberKind::kMethod, result, params};
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

// The interface _WG is these four properties, then the commands of the
// catalogue, then the methods below.
// clang-format off
constexpr std::array<Member, 4> kProperties = {{
    {Get("error_number", 0x68030003, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.error_number(); }},
    {Get("error_description", 0x68030002, VarType::kString), [](WG& wg, auto) -> Variant { return wg.error_description(); }},
    {Get("answer_long", 0x68030001, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.answer_long(); }},
    {Get("answer_string", 0x68030000, VarType::kString), [](WG& wg, auto) -> Variant { return wg.answer_string(); }},
}};
constexpr std::array<Member, 5> kMethods = {{
    {Method("GetLocalHost", 0x6003001e, VarType::kString), [](WG& wg, auto) -> Variant { return wg.GetLocalHost(); }},
    {Method("GetLocalPort", 0x6003001f, VarType::kLong), [](WG& wg, auto) -> Variant { return wg.GetLocalPort(); }},
    {Method("GetRemoteHost", 0x60030020, VarType::kString), [](WG& wg, auto) -> Variant { return wg.GetRemoteHost(); }},
    {Method("InitWinsock", 0x60030021, VarType::kObject), [](WG& wg, auto) -> Variant { return std::shared_ptr<platform::Component>(wg.InitWinsock()); }},
    {Method("Logit", 0x60030022, VarType::kEmpty, kLogitParams), InvokeLogit},
}};
// clang-format on

// Where the commands stand in the member table.
constexpr size_t kFirstCommandMember = kProperties.size();
constexpr size_t kFirstMethodMember = kFirstCommandMember + kCommandCount;
constexpr size_t kMemberCount = kFirstMethodMember + kMethods.size();

// The commands' help texts, made once and kept for as long as the member
// table points into them.
const std::array<std::string, kCommandCount>& CommandHelps() {
  static const std::array<std::string, kCommandCount> helps = [] {
    std::array<std::string, kCommandCount> texts;
    for (size_t i = 0; i < kCommandCount; ++i) texts[i] = CommandHelp(kCommands[i]);
    return texts;
  }();
  return helps;
}

// The member table of _WG, in interface order.
const std::array<MemberInfo, kMemberCount>& MemberTable() {
  static const std::array<MemberInfo, kMemberCount> members = [] {
    std::array<MemberInfo, kMemberCount> table{};
    for (size_t i = 0; i < kProperties.size(); ++i) table[i] = kProperties[i].info;
    for (size_t i = 0; i < kCommandCount; ++i) {
      const Command& command = kCommands[i];
      table[kFirstCommandMember + i] =
          Method(command.member, command.id, VarType::kRecord, command.params);
      table[kFirstCommandMember + i].help = CommandHelps()[i];
    }
    for (size_t i = 0; i < kMethods.size(); ++i) table[kFirstMethodMember + i] = kMethods[i].info;
    return table;
  }();
  return members;
}

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

std::span<const MemberInfo> WG::Members() const { return MemberTable(); }

Variant WG::Invoke(DispId id, platform::InvokeKind kind, std::span<Variant> args) {
  const MemberInfo& member = CheckCall(id, kind, args.size());
  const size_t index = static_cast<size_t>(&member - MemberTable().data());
  if (index < kFirstCommandMember) return kProperties[index].invoke(*this, args);
  if (index >= kFirstMethodMember) return kMethods[index - kFirstMethodMember].invoke(*this, args);

  const std::string secret = platform::ToText(args[0]);
  std::vector<std::string> texts;
  for (size_t i = 1; i < args.size(); ++i) {
    texts.push_back(ArgumentText(member.params[i].type, args[i]));
  }
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  return ToRecord(Run(kCommands[index - kFirstCommandMember], secret, views));
}

}  // namespace morvane
