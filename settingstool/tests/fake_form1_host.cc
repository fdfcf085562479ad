// SPDX-License-Identifier: MIT

#include "fake_form1_host.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"

namespace ravelset::testing {
namespace {

using platform::MemberInfo;
using platform::MemberKind;
using platform::VarType;

constexpr MemberInfo kMembers[] = {
    {"Pos4", lattix::kDispIdPos4, MemberKind::kProperty, VarType::kSingle, {}},
    {"Pos1", lattix::kDispIdPos1, MemberKind::kProperty, VarType::kSingle, {}},
    {"Pos2", lattix::kDispIdPos2, MemberKind::kProperty, VarType::kSingle, {}},
    {"Pos3", lattix::kDispIdPos3, MemberKind::kProperty, VarType::kSingle, {}},
};

size_t PartIndex(platform::DispId id) {
  for (size_t n = 1; n <= 4; ++n) {
    if (lattix::PosDispId(static_cast<int>(n)) == id) return n - 1;
  }
  throw platform::PlatformError(platform::kObjectDoesNotSupport);
}

}  // namespace

std::span<const MemberInfo> FakeQuadrel::Members() const { return kMembers; }

platform::Variant FakeQuadrel::Invoke(platform::DispId id, platform::InvokeKind kind,
                                      std::span<platform::Variant> args) {
  if (failure_ != 0) throw platform::PlatformError(failure_);
  CheckCall(id, kind, args.size());
  float& part = parts_[PartIndex(id)];
  if (kind == platform::InvokeKind::kPropertyGet) return part;
  part = std::clamp(platform::ToSingle(args[0]), 0.0f, 255.0f);
  return {};
}

platform::Dispatch& FakeForm1Host::AddressControl(Form1Control which) {
  ExpectRunning();
  EXPECT_NE(which, Form1Control::kTxtPortNumber);
  return which == Form1Control::kIpLocalHost ? local : remote;
}

std::string FakeForm1Host::PortText() const {
  ExpectRunning();
  return port_text;
}

void FakeForm1Host::SetPortText(const std::string& text) {
  ExpectRunning();
  port_text = text.substr(0, platform::Utf8Offset(text, kPortBoxMaxLength));
}

void FakeForm1Host::SetFocus(Form1Control which) {
  ExpectRunning();
  focus_moves.push_back(which);
}

void FakeForm1Host::FocusAddressField(Form1Control which, int field) {
  ExpectRunning();
  field_focus_moves.emplace_back(which, field);
}

void FakeForm1Host::ShowInformation(const std::string& text,
                                    const std::optional<std::string>& title) {
  ExpectRunning();
  messages.push_back({text, title});
  if (while_message_shown) while_message_shown(messages.back());
}

void FakeForm1Host::EndProgram() {
  ExpectRunning();
  ++end_calls;
}

void FakeForm1Host::ExpectRunning() const {
  EXPECT_EQ(end_calls, 0) << "the form used its window after ending the program";
}

Form1Test::Form1Test() {
  char pattern[] = "/tmp/ravelset-test-XXXXXX";
  windir_ = ::mkdtemp(pattern);
  ::setenv("WINDIR", windir_.c_str(), 1);
}

Form1Test::~Form1Test() {
  std::filesystem::permissions(windir_, std::filesystem::perms::owner_all);
  std::filesystem::remove_all(windir_);
  ::unsetenv("WINDIR");
}

std::string Form1Test::SettingsPath() const { return (windir_ / "morvane.ini").string(); }

std::optional<std::string> Form1Test::FileBytes() const {
  std::ifstream in(SettingsPath(), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Form1Test::WriteFileBytes(const std::string& bytes) const {
  std::ofstream out(SettingsPath(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Record(const std::string& remote, const std::string& local, const std::string& port) {
  using morvane::SettingsRecord;
  std::string bytes(SettingsRecord::kSize, ' ');
  const auto put = [&bytes](size_t position, std::string_view text) {
    text = text.substr(0, SettingsRecord::kFieldWidth);
    bytes.replace(SettingsRecord::FieldOffset(position), text.size(), text);
  };
  put(SettingsRecord::kRemoteHostField, remote);
  put(SettingsRecord::kLocalHostField, local);
  put(SettingsRecord::kPortField, port);
  return bytes;
}

}  // namespace ravelset::testing
