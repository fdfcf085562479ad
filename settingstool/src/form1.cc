// SPDX-License-Identifier: MIT

#include "ravelset/form1.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "load_report.h"
#include "ravelset/address_field.h"
#include "ravelset/form1_texts.h"
#include "ravelset/port_rule.h"
#include "shown_address.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/variant.h"

namespace ravelset {
namespace {

// The local host of the first-run configuration. The remote host and the
// port are the gateway's defaults (morvane::kDefaultRemoteHost and
// morvane::kDefaultPort); the local host is the tool's own and differs on
// purpose from the gateway's morvane::kDefaultLocalHost, which is what the
// gateway uses while no file exists at all.
constexpr std::array<float, 4> kFirstRunLocalHost = {192, 168, 0, 1};
constexpr std::array<float, 4> kNoAddress = {0, 0, 0, 0};

// What the port box shows for a stored port field. The field's leading
// blanks are dropped first: the box holds only 5 characters, and a field
// such as "  4000" (which the gateway reads as 4000) would otherwise show
// as "  400" and be saved back as port 400.
std::string PortBoxTextFor(const std::string& field) {
  return field.substr(std::min(field.find_first_not_of(' '), field.size()));
}

// The part values of a split address, 0 for each part that could not be read.
std::array<float, 4> ValuesOrZero(const AddressField& address) {
  std::array<float, 4> values{};
  for (size_t index = 0; index < values.size(); ++index) {
    values[index] = static_cast<float>(address.parts[index].value_or(0));
  }
  return values;
}

// The reason given for a settings path that holds a directory, a pipe or a
// device: opening a pipe would wait for a writer, so such a thing is never
// opened.
constexpr const char* kNotARegularFile = "it is not a regular file";

SaveAdvice AdviceFor(Form1::FrontEnd front_end) {
  return front_end == Form1::FrontEnd::kWindow ? SaveAdvice::kWindow : SaveAdvice::kCommandLine;
}

}  // namespace

Form1::Form1(Form1Host& host, FrontEnd front_end) : host_(host), front_end_(front_end) {}

void Form1::Form_Load() {
  try {
    LoadSettings();
  } catch (const platform::PlatformError& error) {
    // Only the address controls raise here, when they refuse a value.
    host_.ShowInformation("The settings could not be shown: " + error.description(), std::nullopt);
  }
}

void Form1::LoadSettings() {
  if (LoadStoredSettings()) return;
  load_outcome_ = LoadOutcome::kFirstRun;
  host_.ShowInformation(kFirstRunMessage, std::nullopt);
  LoadDefaults();
  SaveSettings();
}

bool Form1::LoadStoredSettings() {
  const std::string path = morvane::SettingsFilePath();
  size_t bytes_found = 0;
  std::optional<morvane::SettingsRecord> found;
  try {
    found = morvane::ReadSettingsRecordIfPresent(path, &bytes_found);
  } catch (const platform::NotARegularFileError&) {
    ShowUnreadable(NotAFileMessage(path, AdviceFor(front_end_)));
    return true;
  } catch (const platform::PlatformError& error) {
    // Nothing to read there (a directory that is gone, a dangling link) is
    // a first run too: its save names what stops the file being written.
    // A file that exists but cannot be read must not be overwritten with
    // the defaults.
    if (error.number() == platform::kFileNotFound) return false;
    ShowUnreadable(UnreadableFileMessage(path, FileErrorReason(error), AdviceFor(front_end_)));
    return true;
  }
  if (!found) return false;
  const morvane::SettingsRecord& record = *found;

  LoadReport report;
  if (bytes_found < morvane::SettingsRecord::kSize) report.ShortFile(bytes_found);

  // The file holds the remote host first; the window shows the local host first.
  const std::string local_field = record.local_host();
  const AddressField local = SplitAddressField(local_field);
  const std::string remote_field = record.remote_host();
  const AddressField remote = SplitAddressField(remote_field);
  WriteParts(Form1Control::kIpLocalHost, ValuesOrZero(local));
  WriteParts(Form1Control::kIpRemoteHost, ValuesOrZero(remote));
  report.Address("Local Host IP", local_field, local);
  report.Address("Remote Host IP", remote_field, remote);

  const std::string port_field = record.port();
  host_.SetPortText(PortBoxTextFor(port_field));
  report.Port(port_field, host_.PortText());

  load_outcome_ = report.empty() ? LoadOutcome::kLoaded : LoadOutcome::kDamaged;
  if (!report.empty())
    host_.ShowInformation(report.Message(path, AdviceFor(front_end_)), std::nullopt);
  return true;
}

void Form1::LoadDefaults() {
  WriteParts(Form1Control::kIpLocalHost, kFirstRunLocalHost);
  WriteParts(Form1Control::kIpRemoteHost,
             ValuesOrZero(SplitAddressField(morvane::kDefaultRemoteHost)));
  host_.SetPortText(std::to_string(morvane::kDefaultPort));
}

bool Form1::SaveSettings() {
  if (!ValidPort(host_.PortText())) {
    host_.ShowInformation(kPortMessage, std::string(kErrorTitle));
    host_.SetFocus(Form1Control::kTxtPortNumber);
    return false;
  }
  const std::string path = morvane::SettingsFilePath();
  try {
    const auto record = morvane::SettingsRecord::FromValues(
        DottedText(ReadParts(Form1Control::kIpRemoteHost)),
        DottedText(ReadParts(Form1Control::kIpLocalHost)), host_.PortText());
    morvane::WriteSettingsRecord(path, record);
  } catch (const platform::NotARegularFileError&) {
    host_.ShowInformation(SaveFailedMessage(path, kNotARegularFile), std::string(kErrorTitle));
    return false;
  } catch (const platform::PlatformError& error) {
    const std::optional<std::string> link_target = DanglingLinkTarget(path);
    const std::string reason =
        link_target ? DanglingLinkReason(*link_target) : FileErrorReason(error);
    host_.ShowInformation(SaveFailedMessage(path, reason), std::string(kErrorTitle));
    return false;
  }
  return true;
}

bool Form1::ValidPort(std::string_view text) { return ravelset::ValidPort(text); }

void Form1::cmdOk_Click() {
  if (!AcceptAddress(Form1Control::kIpLocalHost, kLocalHostMessage)) return;
  if (!AcceptAddress(Form1Control::kIpRemoteHost, kRemoteHostMessage)) return;
  if (SaveSettings()) host_.EndProgram();
}

bool Form1::AcceptAddress(Form1Control which, const char* message) {
  const ShownAddress shown = ReadShownAddress(host_.AddressControl(which));
  if (shown.offending_field) {
    host_.ShowInformation(message, std::nullopt);
    if (*shown.offending_field == ShownAddress::kWholeControl) {
      host_.SetFocus(which);
    } else {
      host_.FocusAddressField(which, *shown.offending_field);
    }
    return false;
  }
  // An emptied field stands for 0, as the control composes it: it is saved
  // as 0 and shows it, so that the window and the file agree.
  for (int field : shown.empty_fields) {
    host_.AddressControl(which).PutProperty(lattix::PosDispId(field + 1), 0.0f);
  }
  if (!AddressIsWellFormed(which)) {
    host_.ShowInformation(message, std::nullopt);
    if (which == Form1Control::kIpLocalHost) host_.SetFocus(which);
    return false;
  }
  return true;
}

void Form1::cmdExit_Click() { host_.EndProgram(); }

void Form1::Form_QueryUnload() { cmdExit_Click(); }

std::array<float, 4> Form1::ReadParts(Form1Control which) {
  platform::Dispatch& control = host_.AddressControl(which);
  std::array<float, 4> parts{};
  for (int n = 1; n <= 4; ++n) {
    parts[static_cast<size_t>(n - 1)] =
        platform::ToSingle(control.GetProperty(lattix::PosDispId(n)));
  }
  return parts;
}

void Form1::WriteParts(Form1Control which, const std::array<float, 4>& parts) {
  platform::Dispatch& control = host_.AddressControl(which);
  for (int n = 1; n <= 4; ++n) {
    control.PutProperty(lattix::PosDispId(n), parts[static_cast<size_t>(n - 1)]);
  }
}

bool Form1::AddressIsWellFormed(Form1Control which) {
  try {
    for (float part : ReadParts(which)) {
      if (!IsAddressPart(part)) return false;
    }
    return true;
  } catch (const platform::PlatformError&) {
    return false;
  }
}

void Form1::ShowUnreadable(const std::string& message) {
  load_outcome_ = LoadOutcome::kUnreadable;
  WriteParts(Form1Control::kIpLocalHost, kNoAddress);
  WriteParts(Form1Control::kIpRemoteHost, kNoAddress);
  host_.SetPortText("");
  host_.ShowInformation(message, std::nullopt);
}

}  // namespace ravelset
