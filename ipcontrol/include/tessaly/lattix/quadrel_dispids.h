// SPDX-License-Identifier: MIT

// Dispatch identifiers of the Quadrel control's interface `_Quadrel` and of
// its events `__Quadrel`.
//
// Hosts bind the control's members late by these numbers, so they are part
// of the contract between the control and every host; they never change.

#ifndef TESSALY_LATTIX_QUADREL_DISPIDS_H_
#define TESSALY_LATTIX_QUADREL_DISPIDS_H_

#include "tessaly/platform/dispatch.h"

namespace lattix {

// Properties (each has a get and a let).
inline constexpr platform::DispId kDispIdIPLong = 0x68030000;     // Long
inline constexpr platform::DispId kDispIdPos3 = 0x68030001;       // Single
inline constexpr platform::DispId kDispIdPos2 = 0x68030002;       // Single
inline constexpr platform::DispId kDispIdPos1 = 0x68030003;       // Single
inline constexpr platform::DispId kDispIdPos4 = 0x68030004;       // Single
inline constexpr platform::DispId kDispIdBorder3D = 0x68030005;   // Boolean
inline constexpr platform::DispId kDispIdBackColor = 0x68030006;  // Long (OLE_COLOR)
inline constexpr platform::DispId kDispIdForeColor = 0x68030007;  // Long (OLE_COLOR)
inline constexpr platform::DispId kDispIdAddress = 0x68030008;    // String

// Methods without arguments or result.
inline constexpr platform::DispId kDispIdChangeTextColor = 0x60030021;
inline constexpr platform::DispId kDispIdSetBorder = 0x60030022;
inline constexpr platform::DispId kDispIdIPChange = 0x60030023;
inline constexpr platform::DispId kDispIdAbout = platform::kDispIdAboutBox;  // -552

// Events.
inline constexpr platform::DispId kDispIdClickEvent = 1;
inline constexpr platform::DispId kDispIdDblClickEvent = 2;
inline constexpr platform::DispId kDispIdChangeEvent = 3;  // (IPAddress As String, by reference)

// The parts of an address, Pos1 to Pos4, each shown in a field of its own.
inline constexpr int kFieldCount = 4;

// The identifier of PosN's property for part `n` from 1 to kFieldCount.
constexpr platform::DispId PosDispId(int n) {
  constexpr platform::DispId kIds[] = {kDispIdPos1, kDispIdPos2, kDispIdPos3, kDispIdPos4};
  return kIds[n - 1];
}

}  // namespace lattix

#endif  // TESSALY_LATTIX_QUADREL_DISPIDS_H_
