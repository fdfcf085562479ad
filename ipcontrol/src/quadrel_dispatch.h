// SPDX-License-Identifier: MIT

// Late binding of the Quadrel control: the member table of its interface
// `_Quadrel`, the table of its events `__Quadrel`, and the calls by
// dispatch identifier.

#ifndef LATTIX_SRC_QUADREL_DISPATCH_H_
#define LATTIX_SRC_QUADREL_DISPATCH_H_

#include <span>

#include "quadrel.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/platform/dispatch.h"

namespace lattix {

// The members of `_Quadrel` in interface order, with their help strings.
std::span<const platform::MemberInfo> QuadrelMembers();

// The events: Click (1), DblClick (2) and Change (3) with its one
// by-reference string argument IPAddress.
std::span<const platform::MemberInfo> QuadrelEvents();

// Answers calls by dispatch identifier from a Quadrel. Property values
// travel as Variants: Address as String, ForeColor, BackColor and IPLong as
// Long (a colour's 32 bits as a signed value), Border3D as Boolean, Pos1 to
// Pos4 as Single. Arguments are converted with the platform's rules
// (tessaly/platform/variant.h), so a let raises PlatformError 13 or 6 for a value
// that does not convert; lets of Address and IPLong change nothing.
class QuadrelDispatch : public platform::Dispatch {
 public:
  std::span<const platform::MemberInfo> Members() const override;
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args) override;

 protected:
  // The control the calls go to. Raises when there is none any more.
  virtual Quadrel& Control() = 0;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QUADREL_DISPATCH_H_
