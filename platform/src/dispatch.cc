// SPDX-License-Identifier: MIT

#include "tessaly/platform/dispatch.h"

#include <algorithm>

#include "ascii_words.h"
#include "tessaly/platform/error.h"

namespace platform {
namespace {

bool SameNameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_words::LowerAscii(x) == ascii_words::LowerAscii(y);
         });
}

bool KindAllows(MemberKind member, InvokeKind call) {
  switch (call) {
    case InvokeKind::kMethod: return member == MemberKind::kMethod;
    case InvokeKind::kPropertyGet: return member != MemberKind::kMethod;
    case InvokeKind::kPropertyPut: return member == MemberKind::kProperty;
  }
  return false;
}

}  // namespace

const MemberInfo* FindMember(std::span<const MemberInfo> table, std::string_view name) {
  const auto it = std::find_if(table.begin(), table.end(), [&](const MemberInfo& member) {
    return SameNameNoCase(member.name, name);
  });
  return it == table.end() ? nullptr : &*it;
}

const MemberInfo* FindMember(std::span<const MemberInfo> table, DispId id) {
  const auto it = std::find_if(table.begin(), table.end(),
                               [&](const MemberInfo& member) { return member.id == id; });
  return it == table.end() ? nullptr : &*it;
}

DispId Dispatch::GetIDOfName(std::string_view name) const {
  const MemberInfo* member = FindMember(Members(), name);
  if (member == nullptr) throw PlatformError(kObjectDoesNotSupport, std::string(name));
  return member->id;
}

Variant Dispatch::GetProperty(DispId id) { return Invoke(id, InvokeKind::kPropertyGet, {}); }

void Dispatch::PutProperty(DispId id, Variant value) {
  Invoke(id, InvokeKind::kPropertyPut, std::span<Variant>(&value, 1));
}

const MemberInfo& Dispatch::CheckCall(DispId id, InvokeKind kind, size_t argc) const {
  const MemberInfo* member = FindMember(Members(), id);
  if (member == nullptr || !KindAllows(member->kind, kind)) {
    throw PlatformError(kObjectDoesNotSupport);
  }
  const size_t expected = kind == InvokeKind::kPropertyPut ? 1 : member->params.size();
  if (argc != expected) throw PlatformError(kWrongArgumentCount, std::string(member->name));
  return *member;
}

}  // namespace platform
