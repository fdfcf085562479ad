// SPDX-License-Identifier: MIT

#include "ravelset/command_line.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "load_report.h"
#include "ravelset/address_field.h"
#include "ravelset/form1.h"
#include "ravelset/form1_host.h"
#include "ravelset/form1_texts.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/error.h"
#include "tessaly/version.h"

namespace ravelset {
namespace {

constexpr std::string_view kShow = "--show";
constexpr std::string_view kSet = "--set";
constexpr std::string_view kLocalHost = "--local-host";
constexpr std::string_view kRemoteHost = "--remote-host";
constexpr std::string_view kPort = "--port";
constexpr std::string_view kHelp = "--help";
constexpr std::string_view kShortHelp = "-h";
constexpr std::string_view kVersion = "--version";

// The toolkit's own command-line options, which the window passes on to it
// (those QApplication documents), and whether each takes a value. Qt takes
// them with one dash or two, and a value also after '='.
struct ToolkitOption {
  std::string_view name;
  bool takes_value;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"style", true},
    {"stylesheet", true},      {"display", true},
    {"session", true},         {"qmljsdebugger", true},
    {"reverse", false},        {"widgetcount", false},
    {"nograb", false},         {"dograb", false},
    {"sync", false},
};

// How many arguments from args[i] on make one toolkit option: 0 when
// args[i] is none, or when its value is missing.
size_t ToolkitOptionLength(const std::vector<std::string>& args, size_t i) {
  std::string_view arg = args[i];
  if (!arg.starts_with('-')) return 0;
  arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
  const size_t equals = arg.find('=');
  const std::string_view name = arg.substr(0, equals);
  for (const ToolkitOption& option : kToolkitOptions) {
    if (option.name != name) continue;
    if (equals != std::string_view::npos) return option.takes_value ? 1 : 0;
    if (!option.takes_value) return 1;
    return i + 1 < args.size() ? 2 : 0;
  }
  return 0;
}

// A part value that no address check lets through: what a part of a
// command-line address that is no number stands as.
constexpr float kUnreadablePart = -1;

struct UsageError {
  std::string text;
};

// An address control reduced to its four part values. Unlike the window's
// control it keeps any value it is given, so that OK's checks see a part
// such as 300 typed on the command line and refuse it instead of storing
// 255.
class PartsControl : public platform::Dispatch {
 public:
  std::span<const platform::MemberInfo> Members() const override { return kMembers; }

  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args) override {
    CheckCall(id, kind, args.size());
    float& part = parts_[PartIndex(id)];
    if (kind == platform::InvokeKind::kPropertyGet) return part;
    part = platform::ToSingle(args[0]);
    return {};
  }

  const std::array<float, 4>& parts() const { return parts_; }

 private:
  static constexpr platform::MemberInfo kMembers[] = {
      {"Pos4",
       lattix::kDispIdPos4,
       platform::MemberKind::kProperty,
       platform::VarType::kSingle,
       {}},
      {"Pos1",
       lattix::kDispIdPos1,
       platform::MemberKind::kProperty,
       platform::VarType::kSingle,
       {}},
      {"Pos2",
       lattix::kDispIdPos2,
       platform::MemberKind::kProperty,
       platform::VarType::kSingle,
       {}},
      {"Pos3",
       lattix::kDispIdPos3,
       platform::MemberKind::kProperty,
       platform::VarType::kSingle,
       {}},
  };

  static size_t PartIndex(platform::DispId id) {
    for (int n = 1; n <= 4; ++n) {
      if (lattix::PosDispId(n) == id) return static_cast<size_t>(n - 1);
    }
    throw platform::PlatformError(platform::kObjectDoesNotSupport);
  }

  std::array<float, 4> parts_{};
};

// The window as the form sees it, on a console: message boxes become lines
// on the error stream.
class ConsoleHost : public Form1Host {
 public:
  explicit ConsoleHost(std::ostream& err) : err_(err) {}

  platform::Dispatch& AddressControl(Form1Control which) override {
    return which == Form1Control::kIpRemoteHost ? remote : local;
  }
  std::string PortText() const override { return port_text; }
  void SetPortText(const std::string& text) override {
    // As the port box does: what the file holds is shown cut to its size.
    port_text = text.substr(0, platform::Utf8Offset(text, kPortBoxMaxLength));
  }
  void SetFocus(Form1Control) override {}
  void FocusAddressField(Form1Control, int) override {}
  void ShowInformation(const std::string& text, const std::optional<std::string>&) override {
    err_ << text << "\n";
  }
  void EndProgram() override { ended = true; }

  PartsControl local;
  PartsControl remote;
  // Set directly for --set: the port text as given, uncut, so that OK's
  // length check sees all of it.
  std::string port_text;
  bool ended = false;

 private:
  std::ostream& err_;
};

// The part values of an address given on the command line; a part that is
// missing or no number stands as a value OK refuses.
std::array<float, 4> AddressParts(const std::string& text) {
  const AddressField field = SplitAddressField(text);
  std::array<float, 4> parts{};
  for (size_t index = 0; index < parts.size(); ++index) {
    const auto& value = field.parts[index];
    parts[index] = field.dots == 3 && value ? static_cast<float>(*value) : kUnreadablePart;
  }
  return parts;
}

void PutParts(PartsControl& control, const std::array<float, 4>& parts) {
  for (int n = 1; n <= 4; ++n) {
    control.PutProperty(lattix::PosDispId(n), parts[static_cast<size_t>(n - 1)]);
  }
}

std::string_view RightTrimmed(std::string_view text) {
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

int Show(std::ostream& out, std::ostream& err) {
  const std::string path = morvane::SettingsFilePath();
  ConsoleHost host(err);
  Form1 form(host, Form1::FrontEnd::kCommandLine);
  try {
    if (!form.LoadStoredSettings()) {
      if (const std::optional<std::string> target = DanglingLinkTarget(path)) {
        err << "The settings file " << path << " is a symbolic link to " << *target
            << ", which does not exist; the settings are never written through such a link. "
               "Remove the link, then ravelset --set or the settings window writes a new "
               "file.\n";
      } else {
        err << "There is no settings file " << path
            << " yet; ravelset --set or the settings window writes it.\n";
      }
      return kExitFailed;
    }
  } catch (const platform::PlatformError& failure) {
    err << "The settings could not be shown: " << failure.description() << "\n";
    return kExitFailed;
  }
  if (form.load_outcome() == Form1::LoadOutcome::kUnreadable) return kExitFailed;
  out << "Settings file : " << path << "\n"
      << kLabel1 << " " << DottedText(host.local.parts()) << "\n"
      << kLabel2 << " " << DottedText(host.remote.parts()) << "\n"
      << kLabel3 << " " << RightTrimmed(host.port_text) << "\n";
  return kExitDone;
}

int Set(const std::map<std::string_view, std::string>& values, std::ostream& err) {
  ConsoleHost host(err);
  Form1 form(host, Form1::FrontEnd::kCommandLine);
  PutParts(host.local, AddressParts(values.at(kLocalHost)));
  PutParts(host.remote, AddressParts(values.at(kRemoteHost)));
  host.port_text = values.at(kPort);
  form.cmdOk_Click();
  return host.ended ? kExitDone : kExitFailed;
}

}  // namespace

bool WantsCommandLine(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size();) {
    const size_t length = ToolkitOptionLength(args, i);
    if (length == 0) return true;
    i += length;
  }
  return false;
}

std::string UsageText() {
  return "Usage: ravelset [Qt options]     open the settings window (Qt's own options,\n"
         "                                such as -platform or -style, pass on to it)\n"
         "       ravelset --show          print the settings\n"
         "       ravelset --set --local-host A.B.C.D --remote-host A.B.C.D --port P\n"
         "                                check and save the settings, as OK does\n"
         "       ravelset --help | --version\n"
         "\n"
         "The settings file is morvane.ini in the directory WINDIR names.\n"
         "Exit status: 0 done, 1 the settings could not be read, checked or saved,\n"
         "2 a wrong command line.\n";
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    std::optional<std::string_view> mode;
    std::map<std::string_view, std::string> values;
    std::optional<std::string> toolkit_option;
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (const size_t length = ToolkitOptionLength(args, i)) {
        // Reported below, once no unknown argument is found.
        if (!toolkit_option) toolkit_option = arg;
        i += length - 1;
      } else if (arg == kShow || arg == kSet || arg == kHelp || arg == kShortHelp ||
                 arg == kVersion) {
        if (mode) throw UsageError{"only one of --show, --set, --help and --version"};
        mode = arg == kShortHelp ? kHelp : std::string_view(arg);
      } else if (arg == kLocalHost || arg == kRemoteHost || arg == kPort) {
        if (i + 1 == args.size()) throw UsageError{arg + " needs a value"};
        // The key views `args`, which outlives `values`.
        if (!values.emplace(arg, args[++i]).second) throw UsageError{arg + " given twice"};
      } else {
        throw UsageError{"unknown argument '" + arg + "'"};
      }
    }
    if (toolkit_option) throw UsageError{*toolkit_option + " is an option of the window"};
    if (!mode || (*mode != kSet && !values.empty())) {
      throw UsageError{"--local-host, --remote-host and --port go with --set"};
    }
    if (*mode == kHelp) {
      out << UsageText();
      return kExitDone;
    }
    if (*mode == kVersion) {
      out << "ravelset " << tessaly::kVersion << "\n";
      return kExitDone;
    }
    if (*mode == kShow) return Show(out, err);
    for (std::string_view option : {kLocalHost, kRemoteHost, kPort}) {
      if (!values.contains(option)) throw UsageError{"--set needs " + std::string(option)};
    }
    return Set(values, err);
  } catch (const UsageError& error) {
    err << "ravelset: " << error.text << "\n\n" << UsageText();
    return kExitUsage;
  }
}

}  // namespace ravelset
