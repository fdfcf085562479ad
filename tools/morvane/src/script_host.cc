// SPDX-License-Identifier: MIT

#include "script_host.h"

#include <memory>
#include <span>

#include "command_line.h"
#include "result_output.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/component.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/tcp_socket.h"
#include "tessaly/version.h"

namespace morvane_tool {
namespace {

using platform::Variant;

// The member called `name`, found the way a script engine binds a name:
// GetIDOfName, then the member table. Raises UsageError for an unknown name.
const platform::MemberInfo& BindMember(const platform::Dispatch& object, const std::string& name) {
  try {
    return *platform::FindMember(object.Members(), object.GetIDOfName(name));
  } catch (const platform::PlatformError&) {
    throw UsageError("WG has no member called " + name + " (see morvane --list)");
  }
}

std::string ParameterNames(const platform::MemberInfo& member) {
  std::string names;
  for (const platform::ParamInfo& param : member.params) {
    names += (names.empty() ? "" : " ") + std::string(param.name);
  }
  return names.empty() ? "no arguments" : names;
}

// The arguments of the call in parameter order, converted to the
// parameters' types.
std::vector<Variant> BuildArguments(const platform::MemberInfo& member,
                                    const std::vector<std::string>& given, bool secret_from_stdin,
                                    const SecretSource& read_secret) {
  std::vector<std::string> words;
  if (secret_from_stdin) {
    if (member.params.empty() || member.params[0].name != "secret") {
      throw UsageError(std::string(member.name) + " takes no secret phrase");
    }
    const std::optional<std::string> secret = read_secret();
    if (!secret) throw UsageError("no secret phrase on standard input");
    words.push_back(*secret);
  }
  words.insert(words.end(), given.begin(), given.end());
  if (words.size() != member.params.size()) {
    throw UsageError(std::string(member.name) + " takes " + std::to_string(member.params.size()) +
                     " argument(s) (" + ParameterNames(member) + "), not " +
                     std::to_string(words.size()));
  }
  std::vector<Variant> args;
  for (size_t i = 0; i < words.size(); ++i)
    args.push_back(ArgumentValue(member.params[i], words[i]));
  return args;
}

// The four result properties, read late-bound like the call itself.
ResultProperties ReadResultProperties(platform::Dispatch& object) {
  const auto get = [&](std::string_view name) {
    return object.GetProperty(object.GetIDOfName(name));
  };
  return {platform::ToLong(get(kResultPropertyNames[0])),
          platform::ToText(get(kResultPropertyNames[1])),
          platform::ToLong(get(kResultPropertyNames[2])),
          platform::ToText(get(kResultPropertyNames[3]))};
}

// What a call printed: the result properties for a command, the written
// argument for a member without result that writes one (Logit), a
// description for an object (the socket of InitWinsock), else the value.
std::string Output(platform::Dispatch& object, const platform::MemberInfo& member,
                   const Variant& result, const std::vector<Variant>& args, bool json) {
  if (member.result == platform::VarType::kRecord) {
    return FormatResultProperties(ReadResultProperties(object), json);
  }
  if (const auto* component = std::get_if<std::shared_ptr<platform::Component>>(&result)) {
    const auto socket = std::dynamic_pointer_cast<platform::TcpSocket>(*component);
    return FormatValue(socket ? socket->Describe() : std::string("(object)"), json);
  }
  if (member.result == platform::VarType::kEmpty) {
    for (size_t i = 0; i < member.params.size(); ++i) {
      if (member.params[i].written) return FormatValue(args[i], json);
    }
  }
  return FormatValue(result, json);
}

// True when calling `member` reads the settings file: every command (it
// opens a session), the three readers and InitWinsock.
bool ReadsSettings(const platform::MemberInfo& member) {
  if (member.result == platform::VarType::kRecord) return true;
  for (std::string_view name : {"GetLocalHost", "GetRemoteHost", "GetLocalPort", "InitWinsock"}) {
    if (member.name == name) return true;
  }
  return false;
}

// The library stays silent about its defaults; a person at the shell is
// told, since the default hosts are rarely the ones meant.
void NoteDefaultHosts(std::ostream& err) {
  const std::string path = morvane::SettingsFilePath();
  if (!platform::FileIsAbsent(path)) return;
  err << "morvane: no settings file at " << path << " (set WINDIR to its directory); using the "
      << "built-in defaults: remote host " << morvane::kDefaultRemoteHost << ", local host "
      << morvane::kDefaultLocalHost << ", port " << morvane::kDefaultPort << "\n";
}

int Call(const Invocation& invocation, std::ostream& out, std::ostream& err,
         const SecretSource& read_secret) {
  const auto object = platform::CreateObjectAs<platform::Dispatch>(morvane::kWGProgId);
  if (invocation.mode == Invocation::Mode::kList) {
    out << FormatMemberList(object->Members());
    return kExitReturned;
  }
  const platform::MemberInfo& member = BindMember(*object, invocation.member);
  std::vector<Variant> args =
      BuildArguments(member, invocation.args, invocation.secret_from_stdin, read_secret);
  if (ReadsSettings(member)) NoteDefaultHosts(err);
  const auto kind = member.kind == platform::MemberKind::kMethod
                        ? platform::InvokeKind::kMethod
                        : platform::InvokeKind::kPropertyGet;
  const Variant result = object->Invoke(member.id, kind, args);
  out << Output(*object, member, result, args, invocation.json) << std::flush;
  return kExitReturned;
}

}  // namespace

std::optional<std::string> ReadSecretLine(std::istream& in) {
  const auto check_length = [](const std::string& line) {
    if (line.size() > kMaxSecretBytes) {
      throw UsageError("the secret phrase on standard input is longer than " +
                       std::to_string(kMaxSecretBytes) + " bytes");
    }
  };
  std::string line;
  bool got = false;
  for (int c; (c = in.get()) != std::istream::traits_type::eof();) {
    got = true;
    if (c == '\n') break;
    // One byte more than the limit may be the CR of a CR LF.
    check_length(line);
    line += static_cast<char>(c);
  }
  if (!got) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  check_length(line);
  return line;
}

int RunScriptHost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const SecretSource& read_secret) {
  bool json = false;
  try {
    const Invocation invocation = ParseCommandLine(args);
    json = invocation.json;
    if (invocation.mode == Invocation::Mode::kHelp) {
      out << UsageText();
      return kExitReturned;
    }
    if (invocation.mode == Invocation::Mode::kVersion) {
      out << "morvane " << tessaly::kVersion << "\n";
      return kExitReturned;
    }
    return Call(invocation, out, err, read_secret);
  } catch (const UsageError& error) {
    err << "morvane: " << error.what() << "\n" << ShortUsage() << "Try 'morvane --help'.\n";
    return kExitUsage;
  } catch (const platform::PlatformError& error) {
    // Scripts that asked for JSON never have to parse standard error.
    (json ? out : err) << FormatPlatformError(error.number(), error.description(), json)
                       << std::flush;
    return kExitPlatformError;
  }
}

}  // namespace morvane_tool
