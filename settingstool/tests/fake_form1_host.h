// SPDX-License-Identifier: MIT

// Test support: a window for the settings form without a toolkit, two
// address controls that answer Pos1 to Pos4 by dispatch identifier, and a
// private Windows directory for the settings file.

#ifndef RAVELSET_TESTS_FAKE_FORM1_HOST_H_
#define RAVELSET_TESTS_FAKE_FORM1_HOST_H_

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ravelset/form1_host.h"
#include "tessaly/platform/dispatch.h"

namespace ravelset::testing {

// An address control reduced to what the form uses: four Single part
// values, each clamped to 0..255 when assigned, as the real control does.
class FakeQuadrel : public platform::Dispatch {
 public:
  std::span<const platform::MemberInfo> Members() const override;
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args) override;

  // The part values, and a way to store any value (as typing could not).
  const std::array<float, 4>& parts() const { return parts_; }
  void set_parts(const std::array<float, 4>& parts) { parts_ = parts; }

  // From now on every call raises PlatformError `error` (0 to stop).
  void FailWith(int32_t error) { failure_ = error; }

 private:
  std::array<float, 4> parts_{};
  int32_t failure_ = 0;
};

class FakeForm1Host : public Form1Host {
 public:
  struct Message {
    std::string text;
    std::optional<std::string> title;
  };

  platform::Dispatch& AddressControl(Form1Control which) override;
  std::string PortText() const override;
  void SetPortText(const std::string& text) override;
  void SetFocus(Form1Control which) override;
  void FocusAddressField(Form1Control which, int field) override;
  void ShowInformation(const std::string& text, const std::optional<std::string>& title) override;
  void EndProgram() override;

  FakeQuadrel local;
  FakeQuadrel remote;
  // The port box; tests may also put text here as if typed.
  std::string port_text;
  std::vector<Message> messages;
  std::vector<Form1Control> focus_moves;
  // Moves into a field of an address control: the control and the field.
  std::vector<std::pair<Form1Control, int>> field_focus_moves;
  int end_calls = 0;
  // Called while each message box is up, before it is dismissed.
  std::function<void(const Message&)> while_message_shown;

 private:
  void ExpectRunning() const;
};

// A fresh, empty Windows directory in WINDIR for each test.
class Form1Test : public ::testing::Test {
 protected:
  Form1Test();
  ~Form1Test() override;

  std::string SettingsPath() const;
  // The settings file's bytes, or nullopt when it does not exist.
  std::optional<std::string> FileBytes() const;
  void WriteFileBytes(const std::string& bytes) const;

  const std::filesystem::path& windir() const { return windir_; }

 private:
  std::filesystem::path windir_;
};

// The 60 bytes of a record: three texts each filled with blanks to 20.
std::string Record(const std::string& remote, const std::string& local, const std::string& port);

}  // namespace ravelset::testing

#endif  // RAVELSET_TESTS_FAKE_FORM1_HOST_H_
