// SPDX-License-Identifier: MIT

#include "quadrel_dispatch.h"

#include <array>

namespace lattix {
namespace {

using platform::InvokeKind;
using platform::MemberInfo;
using platform::MemberKind;
using platform::ParamInfo;
using platform::Variant;
using platform::VarType;

constexpr std::string_view kPosHelp = "Set/Return IP address in \"Pos1.Pos2.Pos3.Pos4\" format.";

constexpr std::array<MemberInfo, 13> kMembers = {{
    {"Address",
     kDispIdAddress,
     MemberKind::kProperty,
     VarType::kString,
     {},
     "Read only - Returns formated IP address (a.b.c.d)."},
    {"ForeColor",
     kDispIdForeColor,
     MemberKind::kProperty,
     VarType::kLong,
     {},
     "Set/Return ForeColor."},
    {"BackColor",
     kDispIdBackColor,
     MemberKind::kProperty,
     VarType::kLong,
     {},
     "Set/Return BackColor."},
    {"Border3D",
     kDispIdBorder3D,
     MemberKind::kProperty,
     VarType::kBool,
     {},
     "Set/Return 3D border effect."},
    {"ChangeTextColor", kDispIdChangeTextColor, MemberKind::kMethod, VarType::kEmpty, {}},
    {"SetBorder", kDispIdSetBorder, MemberKind::kMethod, VarType::kEmpty, {}},
    {"IPChange", kDispIdIPChange, MemberKind::kMethod, VarType::kEmpty, {}},
    {"Pos4", kDispIdPos4, MemberKind::kProperty, VarType::kSingle, {}, kPosHelp},
    {"Pos1", kDispIdPos1, MemberKind::kProperty, VarType::kSingle, {}, kPosHelp},
    {"Pos2", kDispIdPos2, MemberKind::kProperty, VarType::kSingle, {}, kPosHelp},
    {"Pos3", kDispIdPos3, MemberKind::kProperty, VarType::kSingle, {}, kPosHelp},
    {"IPLong",
     kDispIdIPLong,
     MemberKind::kProperty,
     VarType::kLong,
     {},
     "Returns IPAddress  in long (&Hddccbbaa) format."},
    {"About", kDispIdAbout, MemberKind::kMethod, VarType::kEmpty, {}, "Show About"},
}};

constexpr std::array<ParamInfo, 1> kChangeParams = {{{"IPAddress", VarType::kString, true}}};

constexpr std::array<MemberInfo, 3> kEvents = {{
    {"Click", kDispIdClickEvent, MemberKind::kMethod, VarType::kEmpty, {}},
    {"DblClick", kDispIdDblClickEvent, MemberKind::kMethod, VarType::kEmpty, {}},
    {"Change", kDispIdChangeEvent, MemberKind::kMethod, VarType::kEmpty, kChangeParams},
}};

// The part number (1 to 4) of a Pos identifier, or 0.
int PosNumber(platform::DispId id) {
  for (int n = 1; n <= kFieldCount; ++n) {
    if (PosDispId(n) == id) return n;
  }
  return 0;
}

}  // namespace

std::span<const MemberInfo> QuadrelMembers() { return kMembers; }
std::span<const MemberInfo> QuadrelEvents() { return kEvents; }

std::span<const MemberInfo> QuadrelDispatch::Members() const { return kMembers; }

Variant QuadrelDispatch::Invoke(platform::DispId id, InvokeKind kind, std::span<Variant> args) {
  CheckCall(id, kind, args.size());
  Quadrel& control = Control();
  const bool let = kind == InvokeKind::kPropertyPut;
  if (const int n = PosNumber(id)) {
    if (!let) return control.Pos(n);
    control.SetPos(n, platform::ToSingle(args[0]));
    return {};
  }
  switch (id) {
    case kDispIdAddress:
      if (!let) return control.Address();
      control.SetAddress(platform::ToText(args[0]));
      return {};
    case kDispIdForeColor:
      if (!let) return static_cast<int32_t>(control.ForeColor());
      control.SetForeColor(static_cast<OleColor>(platform::ToLong(args[0])));
      return {};
    case kDispIdBackColor:
      if (!let) return static_cast<int32_t>(control.BackColor());
      control.SetBackColor(static_cast<OleColor>(platform::ToLong(args[0])));
      return {};
    case kDispIdBorder3D:
      if (!let) return platform::Bool16{control.Border3D()};
      control.SetBorder3D(platform::ToBool(args[0]).value);
      return {};
    case kDispIdIPLong:
      if (!let) return control.IPLong();
      return {};  // accepts any value and changes nothing
    case kDispIdChangeTextColor: control.ChangeTextColor(); return {};
    case kDispIdSetBorder: control.SetBorder(); return {};
    case kDispIdIPChange: control.IPChange(); return {};
    case kDispIdAbout: control.About(); return {};
    default: return {};  // CheckCall admits only the members above
  }
}

}  // namespace lattix
