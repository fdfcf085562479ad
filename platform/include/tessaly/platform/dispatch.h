// SPDX-License-Identifier: MIT

// Late binding: calling the members of an object by dispatch identifier.
//
// Each interface keeps one member table: names, dispatch identifiers,
// kinds and parameters. A caller finds a member's identifier by name and
// invokes it with arguments as Variants; an object answers from its table.

#ifndef TESSALY_PLATFORM_DISPATCH_H_
#define TESSALY_PLATFORM_DISPATCH_H_

#include <cstdint>
#include <span>
#include <string_view>

#include "tessaly/platform/component.h"
#include "tessaly/platform/export.h"
#include "tessaly/platform/variant.h"

namespace platform {

using DispId = int32_t;

// The standard identifier of an about-box method.
inline constexpr DispId kDispIdAboutBox = -552;

enum class MemberKind {
  kMethod,            // called with kInvoke
  kReadOnlyProperty,  // read with kPropertyGet
  kProperty,          // read with kPropertyGet, assigned with kPropertyPut
};

enum class InvokeKind { kMethod, kPropertyGet, kPropertyPut };

struct PLATFORM_EXPORT ParamInfo {
  std::string_view name;
  VarType type;
  // True for a by-reference parameter that the member replaces; the caller
  // finds the new value in its argument afterwards.
  bool written = false;
};

struct PLATFORM_EXPORT MemberInfo {
  std::string_view name;
  DispId id;
  MemberKind kind;
  VarType result;  // kEmpty for a member without result
  std::span<const ParamInfo> params;
  std::string_view help = {};
};

// The member of `table` whose name equals `name` without regard to ASCII
// letter case, or nullptr.
PLATFORM_EXPORT const MemberInfo* FindMember(std::span<const MemberInfo> table,
                                             std::string_view name);

// The member of `table` with identifier `id`, or nullptr.
PLATFORM_EXPORT const MemberInfo* FindMember(std::span<const MemberInfo> table, DispId id);

class PLATFORM_EXPORT Dispatch : public virtual Component {
 public:
  // The interface's member table, in interface order.
  virtual std::span<const MemberInfo> Members() const = 0;

  // Calls member `id`. `args` are in parameter order; a parameter marked
  // `written` is replaced in place. For kPropertyPut the one argument is the
  // new value. Raises PlatformError 438 for an unknown identifier or a kind
  // the member does not have, 450 for a wrong argument count, 13 or 6 for an
  // argument that does not convert to the parameter's type, and whatever the
  // member itself raises.
  virtual Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) = 0;

  // The identifier of the member called `name` (any letter case).
  // Raises PlatformError 438 when there is none.
  DispId GetIDOfName(std::string_view name) const;

  // Shorthands for property access.
  Variant GetProperty(DispId id);
  void PutProperty(DispId id, Variant value);

 protected:
  // The member `id` of Members() with kind `kind` called with `argc`
  // arguments; raises 438 or 450 when there is no such call. For use at the
  // start of Invoke.
  const MemberInfo& CheckCall(DispId id, InvokeKind kind, size_t argc) const;
};

}  // namespace platform

#endif  // TESSALY_PLATFORM_DISPATCH_H_
