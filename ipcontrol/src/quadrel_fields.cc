// SPDX-License-Identifier: MIT

// The address model of the Quadrel control: the character filter, clicks,
// the change processing of a field, Address, Pos1 to Pos4 and IPLong.

#include <cmath>
#include <string>

#include "address_text.h"
#include "quadrel.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"
#include "tolerant.h"

namespace lattix {
namespace {

constexpr int32_t kDotKey = '.';
constexpr int kMaxFieldLength = 3;
constexpr float kLowestPart = 0;
constexpr float kHighestPart = 255;

bool IsField(int field) { return field >= 0 && field < kFieldCount; }

}  // namespace

Quadrel::Quadrel(QuadrelHost& host) : host_(host) {}

void Quadrel::FieldKeyPress(int field, int32_t& key) {
  if (!IsField(field)) return;
  // A '.' ends the entry of a part: the next field takes over. The last
  // field has no next one; there the '.' is only dropped below.
  if (key == kDotKey && field + 1 < kFieldCount) {
    key = 0;
    Tolerant([&] {
      if (host_.FieldText(field).empty()) host_.SetFieldText(field, "0");
    });
    Tolerant([&] { host_.FocusField(field + 1); });
    Tolerant([&] { FieldClick(field + 1); });
  }
  if (key < '0' || key > '9') key = 0;
}

void Quadrel::FieldClick(int field) {
  if (!IsField(field)) return;
  // The whole field is selected so that the next digit replaces it.
  Tolerant([&] { host_.SetFieldSelection(field, 0, kMaxFieldLength); });
  Tolerant([&] { host_.RaiseClick(); });
}

void Quadrel::FieldDblClick(int field) {
  if (!IsField(field)) return;
  Tolerant([&] { host_.RaiseDblClick(); });
}

void Quadrel::FrameClick() {
  Tolerant([&] { host_.RaiseClick(); });
}

void Quadrel::FrameDblClick() {
  Tolerant([&] { host_.RaiseDblClick(); });
}

void Quadrel::FieldChanged(int field) {
  if (!IsField(field)) return;
  // Each correction reads the field afresh and, by changing the field,
  // runs this processing again before the next step here.
  Tolerant([&] {
    const std::string text = host_.FieldText(field);
    if (platform::Utf8Length(text) > kMaxFieldLength) {
      host_.SetFieldText(field, text.substr(0, platform::Utf8Offset(text, kMaxFieldLength)));
    }
  });
  Tolerant([&] {
    if (LeadingNumber(host_.FieldText(field)) < kLowestPart) host_.SetFieldText(field, "0");
  });
  Tolerant([&] {
    if (LeadingNumber(host_.FieldText(field)) > kHighestPart) host_.SetFieldText(field, "255");
  });
  // Change is raised before the part value is stored: a handler that reads
  // the part sees the value from before this change.
  IPChange();
  Tolerant([&] {
    // Text that is no number as a whole (empty, letters) keeps the value,
    // and so does one outside a part's range, which the corrections above
    // leave only when the field refused them.
    const auto value = WholeTextNumber(host_.FieldText(field));
    if (value && *value >= kLowestPart && *value <= kHighestPart) pos_[field] = *value;
  });
  Tolerant([&] { host_.PropertyChanged(kPosNames[field]); });
}

void Quadrel::IPChange() {
  Tolerant([&] {
    std::string composed = host_.FieldText(0);
    for (int field = 1; field < kFieldCount; ++field) composed += "." + host_.FieldText(field);
    address_ = std::move(composed);
  });
  Tolerant([&] { host_.PropertyChanged("Address"); });
  Tolerant([&] { host_.RaiseChange(address_); });
}

void Quadrel::SetPos(int n, float value) {
  if (n < 1 || n > kFieldCount) throw platform::PlatformError(platform::kInvalidProcedureCall);
  // NaN would pass both bounds below and end up stored and shown as "nan".
  if (std::isnan(value)) {
    throw platform::PlatformError(platform::kInvalidProcedureCall, std::string(kPosNames[n - 1]));
  }
  if (value < kLowestPart) value = kLowestPart;
  if (value > kHighestPart) value = kHighestPart;
  pos_[n - 1] = value;
  host_.PropertyChanged(kPosNames[n - 1]);
  host_.SetFieldText(n - 1, platform::ShortestText(value));
}

int32_t Quadrel::IPLong() const { return AddressToLong(address_); }

void Quadrel::About() { host_.ShowAbout(); }

}  // namespace lattix
