// SPDX-License-Identifier: MIT

// The Python module `morvane`: WG for Python web pages.
//
// Strings cross as Python str (UTF-8); the Windows-1252 wire stays inside
// the library. Every call that may wait on the network releases the
// interpreter lock, so the threads of a threaded web server run their
// sessions side by side.

#include <pybind11/chrono.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/tcp_socket.h"
#include "tessaly/version.h"

namespace py = pybind11;

namespace {

using morvane::CommandReturn;
using morvane::MyErrObject;

// The result codes by name, for the Result enumeration; the values are the
// component's own constants.
struct ResultName {
  const char* name;
  int32_t value;
};
constexpr ResultName kResultNames[] = {
    {"SUCCESS", morvane::kSuccess},
    {"NO_SUCH_COMMAND", morvane::kNoSuchCommand},
    {"NO_SUCH_USER", morvane::kNoSuchUser},
    {"KEY_TOO_LONG", morvane::kKeyTooLong},
    {"NOT_COMPLIED", morvane::kNotComplied},
    {"NEGATIVE_DAYS", morvane::kNegativeDays},
    {"NO_SUCH_SYSTEM_VARIABLE", morvane::kNoSuchSystemVariable},
    {"NO_SUCH_CLASS", morvane::kNoSuchClass},
    {"USER_PROTECTED", morvane::kUserProtected},
    {"INVALID_CHARACTER", morvane::kInvalidCharacter},
    {"MALFORMED_REQUEST", morvane::kMalformedRequest},
    {"SERVER_BUSY", morvane::kServerBusy},
    {"OUT_OF_SYNC", morvane::kOutOfSync},
    {"WRONG_SECRET", morvane::kWrongSecret},
    {"NO_CONNECTION", morvane::kNoConnection},
    {"BAD_COMMUNICATION", morvane::kBadCommunication},
};

// The four result properties as the last completed call left them.
struct Results {
  int32_t error_number = 0;
  std::string error_description;
  int32_t answer_long = 0;
  std::string answer_string;
};

// A WG for Python. Python threads may share one object, so calls on it are
// taken one at a time, as the object expects. The result properties are
// read from a copy taken after each call, so that reading them never waits
// for a call that is still on the network.
class PyWG {
 public:
  // Runs `call` on the object without the interpreter lock. The lock is
  // released before waiting for another thread's call on this object:
  // waiting while holding it would stop every Python thread.
  template <class Call>
  auto Locked(Call&& call) {
    py::gil_scoped_release release;
    std::lock_guard lock(mutex_);
    const SnapshotOnExit snapshot(*this);
    return call(wg_);
  }

  // The results of the last completed call. Never waits on a call.
  Results Snapshot() const {
    std::lock_guard lock(results_mutex_);
    return results_;
  }

 private:
  // Copies the results when a call ends, also when it raises (the object
  // keeps its properties then, and so does the copy).
  class SnapshotOnExit {
   public:
    explicit SnapshotOnExit(PyWG& owner) : owner_(owner) {}
    SnapshotOnExit(const SnapshotOnExit&) = delete;
    SnapshotOnExit& operator=(const SnapshotOnExit&) = delete;
    ~SnapshotOnExit() {
      Results fresh{owner_.wg_.error_number(), owner_.wg_.error_description(),
                    owner_.wg_.answer_long(), owner_.wg_.answer_string()};
      std::lock_guard lock(owner_.results_mutex_);
      owner_.results_ = std::move(fresh);
    }

   private:
    PyWG& owner_;
  };

  std::mutex mutex_;  // serialises calls on wg_
  morvane::WG wg_;
  mutable std::mutex results_mutex_;  // guards results_ only, never held across a call
  Results results_;
};

// A socket object for Python. Python threads may share one, and the object
// takes one call at a time: a Close while another thread waits in Receive
// must not pull the connection from under it. So calls are taken in turn,
// and a call waits for another thread's call without the interpreter lock.
class PySocket {
 public:
  explicit PySocket(std::shared_ptr<platform::TcpSocket> socket) : socket_(std::move(socket)) {}

  template <class Call>
  auto Locked(Call&& call) {
    py::gil_scoped_release release;
    std::lock_guard lock(mutex_);
    return call(*socket_);
  }

 private:
  std::mutex mutex_;  // serialises calls on socket_
  const std::shared_ptr<platform::TcpSocket> socket_;
};

std::string Repr(const CommandReturn& r) {
  return "CommandReturn(number=" + std::to_string(r.error_object.number) +
         ", description=" + py::repr(py::str(r.error_object.description)).cast<std::string>() +
         ", long_value=" + std::to_string(r.long_value) +
         ", string_value=" + py::repr(py::str(r.string_value)).cast<std::string>() + ")";
}

// A timeout given as a datetime.timedelta or as a number of seconds.
// Negative and non-finite values are refused: an endless wait is never what
// a page wants, and the conversion to milliseconds would be meaningless.
std::chrono::milliseconds Milliseconds(py::handle value, const char* name) {
  const double seconds = py::hasattr(value, "total_seconds")
                             ? value.attr("total_seconds")().cast<double>()
                             : py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
  if (!std::isfinite(seconds) || seconds < 0) {
    throw py::value_error(std::string(name) + " must be a finite number of seconds, not negative");
  }
  // Clamped here already, since a double beyond int64_t's range cannot be
  // cast; the socket layer clamps to the same bound.
  constexpr double kMillisecondsPerSecond = 1000;
  const double longest = static_cast<double>(platform::kLongestSocketTimeout.count());
  const double millis = std::min(seconds * kMillisecondsPerSecond + 0.5, longest);
  return std::chrono::milliseconds(static_cast<int64_t>(millis));
}

// A Python value as the argument of parameter `param`. Raises TypeError
// for a value the parameter's type does not take, as a typed parameter would.
template <class T>
T Load(std::string_view member, const platform::ParamInfo& param, py::handle value) {
  py::detail::make_caster<T> caster;
  if (!caster.load(value, /*convert=*/true)) {
    const std::string wanted = std::is_same_v<T, std::string>
                                   ? std::string("str")
                                   : "an int of " + std::to_string(sizeof(T) * CHAR_BIT) + " bits";
    throw py::type_error(std::string(member) + "(): " + std::string(param.name) + " must be " +
                         wanted + ", not " + py::repr(value).cast<std::string>());
  }
  return py::detail::cast_op<T>(std::move(caster));
}

platform::Variant Argument(std::string_view member, const platform::ParamInfo& param,
                           py::handle value) {
  switch (param.type) {
    case platform::VarType::kLong: return Load<int32_t>(member, param, value);
    case platform::VarType::kInteger: return Load<int16_t>(member, param, value);
    default: return Load<std::string>(member, param, value);
  }
}

// The record a command returns through late binding, as a CommandReturn.
CommandReturn FromRecord(const platform::Variant& value) {
  using RecordPtr = std::shared_ptr<const platform::Record>;
  const platform::Record& record = *std::get<RecordPtr>(value);
  const platform::Record& error = *std::get<RecordPtr>(record.Field("error_object"));
  return {
      {std::get<int32_t>(error.Field("number")), std::get<std::string>(error.Field("description"))},
      std::get<int32_t>(record.Field("long_value")),
      std::get<std::string>(record.Field("string_value"))};
}

const char* PythonType(platform::VarType type) {
  return type == platform::VarType::kString ? "str" : "int";
}

// The signature pybind11 would show for the typed method, then the help.
std::string CommandDoc(const platform::MemberInfo& member) {
  std::string doc = std::string(member.name) + "(self";
  for (const platform::ParamInfo& param : member.params) {
    doc += ", " + std::string(param.name) + ": " + PythonType(param.type);
  }
  return doc + ") -> CommandReturn\n\n" + std::string(member.help);
}

template <size_t>
using AnyValue = py::handle;

// The command member `member` as a method with its parameters by name,
// called by its dispatch identifier.
template <size_t... I>
void DefCommand(py::class_<PyWG>& cls, const platform::MemberInfo& member,
                std::index_sequence<I...>) {
  cls.def(
      std::string(member.name).c_str(),
      [member](PyWG& self, AnyValue<I>... values) {
        std::vector<platform::Variant> args = {Argument(member.name, member.params[I], values)...};
        return self.Locked([&](morvane::WG& wg) {
          return FromRecord(wg.Invoke(member.id, platform::InvokeKind::kMethod, args));
        });
      },
      py::arg(std::string(member.params[I].name).c_str())..., CommandDoc(member).c_str());
}

// Every command method of WG, as its member table lists them.
void DefCommands(py::class_<PyWG>& cls) {
  py::options options;
  options.disable_function_signatures();  // CommandDoc writes them, with the types
  const morvane::WG prototype;
  for (const platform::MemberInfo& member : prototype.Members()) {
    if (member.result != platform::VarType::kRecord) continue;
    switch (member.params.size()) {
      case 2: DefCommand(cls, member, std::make_index_sequence<2>()); break;
      case 3: DefCommand(cls, member, std::make_index_sequence<3>()); break;
      case 4: DefCommand(cls, member, std::make_index_sequence<4>()); break;
      default:
        throw std::logic_error("no binding for a command of " +
                               std::to_string(member.params.size()) + " parameters");
    }
  }
}

}  // namespace

PYBIND11_MODULE(_morvane, m) {
  m.doc() =
      "Administration of bulletin-board accounts through the host's server module.\n\n"
      "Create a WG and call one command per request, passing the secret phrase first.\n"
      "The server's address comes from morvane.ini in the Windows directory ($WINDIR).";

  static py::exception<platform::PlatformError> platform_error(m, "PlatformError",
                                                               PyExc_RuntimeError);
  platform_error.doc() =
      "An unexpected platform error: args are (number, description); also as the\n"
      "attributes number and description. The WG result properties keep their values.";
  py::register_exception_translator([](std::exception_ptr raised) {
    try {
      if (raised) std::rethrow_exception(raised);
    } catch (const platform::PlatformError& error) {
      py::object instance =
          py::reinterpret_borrow<py::object>(platform_error)(error.number(), error.description());
      instance.attr("number") = error.number();
      instance.attr("description") = error.description();
      PyErr_SetObject(platform_error.ptr(), instance.ptr());
    }
  });

  py::class_<MyErrObject>(m, "MyErrObject", "An outcome: number (0 or a negative code) and text.")
      .def_readonly("number", &MyErrObject::number)
      .def_readonly("description", &MyErrObject::description)
      .def("__repr__", [](const MyErrObject& e) {
        return "MyErrObject(number=" + std::to_string(e.number) +
               ", description=" + py::repr(py::str(e.description)).cast<std::string>() + ")";
      });

  py::class_<CommandReturn>(m, "CommandReturn", "What a command returns.")
      .def_readonly("error_object", &CommandReturn::error_object)
      .def_readonly("long_value", &CommandReturn::long_value)
      .def_readonly("string_value", &CommandReturn::string_value)
      .def("__eq__", [](const CommandReturn& a, const CommandReturn& b) { return a == b; })
      .def("__repr__", &Repr);

  py::class_<PySocket, std::shared_ptr<PySocket>>(
      m, "Socket", "A configured socket object, as InitWinsock returns it.")
      .def(
          "Connect", [](PySocket& s) { return s.Locked([](auto& t) { return t.Connect(); }); },
          "Connects to the configured host and port; returns -1 on success, 0 on failure.")
      .def(
          "Receive",
          [](PySocket& s, int16_t mode) {
            std::string data;
            const int16_t flag = s.Locked([&](auto& t) { return t.Receive(data, mode); });
            return py::make_tuple(flag, data);
          },
          py::arg("mode") = platform::kReceiveText,
          "Returns (flag, text); flag 0 when no whole answer arrived. An answer ends with CR LF; "
          "with mode RECEIVE_PROMPT, as for the greeting and the answer to the secret phrase, "
          "also with two end-of-value characters.")
      .def(
          "Send",
          [](PySocket& s, const std::string& line) {
            return s.Locked([&](auto& t) { return t.Send(line); });
          },
          py::arg("data"),
          "Sends the text as Windows-1252 bytes; returns -1 on success, 0 on failure.")
      .def(
          "Close", [](PySocket& s) { s.Locked([](auto& t) { t.Close(); }); },
          "Closes the connection; closing twice is harmless. Waits for a call of another\n"
          "thread on this socket to end first.")
      .def(
          "Describe", [](PySocket& s) { return s.Locked([](auto& t) { return t.Describe(); }); },
          "The addresses and state, for messages.")
      .def("__repr__", [](PySocket& s) {
        return "<Socket " + s.Locked([](auto& t) { return t.Describe(); }) + ">";
      });

  py::class_<PyWG> wg(m, "WG",
                      "One account gateway object. Each command opens its own connection;\n"
                      "the four result properties hold the outcome of the last completed command.");
  wg.def(py::init<>());
  wg.def_property_readonly(
      "error_number", [](const PyWG& s) { return s.Snapshot().error_number; },
      "0 or the negative result code of the last completed call (see Result).");
  wg.def_property_readonly(
      "error_description", [](const PyWG& s) { return s.Snapshot().error_description; },
      "The fixed text of the last completed call's result.");
  wg.def_property_readonly(
      "answer_long", [](const PyWG& s) { return s.Snapshot().answer_long; },
      "The number the last completed call answered (1/0 for yes/no and changes).");
  wg.def_property_readonly(
      "answer_string", [](const PyWG& s) { return s.Snapshot().answer_string; },
      "The text the last completed call answered (a class name, \"Error\", \"No Error\" or "
      "empty).");
  DefCommands(wg);
  wg.def(
      "GetLocalHost", [](PyWG& s) { return s.Locked([](auto& w) { return w.GetLocalHost(); }); },
      "The local host address from morvane.ini, read afresh. Sends nothing. Raises PlatformError "
      "when the file cannot be read.");
  wg.def(
      "GetLocalPort", [](PyWG& s) { return s.Locked([](auto& w) { return w.GetLocalPort(); }); },
      "The port of the server module, the port connections go to, read afresh. Sends nothing. "
      "Raises PlatformError when the port is not a number.");
  wg.def(
      "GetRemoteHost", [](PyWG& s) { return s.Locked([](auto& w) { return w.GetRemoteHost(); }); },
      "The server module's host address from morvane.ini, read afresh. Sends nothing.");
  wg.def(
      "InitWinsock",
      [](PyWG& s) {
        return std::make_shared<PySocket>(s.Locked([](auto& w) { return w.InitWinsock(); }));
      },
      "A new socket object configured from the settings, not connected. Sends nothing.");
  wg.def(
      "Logit",
      [](PyWG& s, std::string data) {
        s.Locked([&](auto& w) { w.Logit(data); });
        return data;
      },
      py::arg("data"),
      "Appends one dated line to tarnel.log in the current directory and returns the\nline. Sends "
      "nothing. Python strings cannot be changed in place, so the composed\nline comes back as the "
      "result instead of replacing the argument.");

  py::list result_names;
  for (const ResultName& row : kResultNames)
    result_names.append(py::make_tuple(row.name, row.value));
  py::object result_enum = py::module_::import("enum").attr("IntEnum")("Result", result_names);
  result_enum.attr("__module__") = "morvane";
  result_enum.attr("__doc__") = "The result codes that error_number and error_object.number carry.";
  m.attr("Result") = result_enum;
  m.attr("RECEIVE_TEXT") = platform::kReceiveText;
  m.attr("RECEIVE_PROMPT") = platform::kReceivePrompt;
  m.attr("__version__") = tessaly::kVersion;

  m.def(
      "set_socket_timeouts",
      [](py::handle connect, py::handle receive, py::handle quiet_gap) {
        platform::SocketTimeouts timeouts = platform::DefaultSocketTimeouts();
        // Check all before changing any, so a refused value changes nothing.
        if (!connect.is_none()) timeouts.connect = Milliseconds(connect, "connect");
        if (!receive.is_none()) timeouts.receive = Milliseconds(receive, "receive");
        if (!quiet_gap.is_none()) timeouts.quiet_gap = Milliseconds(quiet_gap, "quiet_gap");
        platform::SetDefaultSocketTimeouts(timeouts);
      },
      py::kw_only(), py::arg("connect") = py::none(), py::arg("receive") = py::none(),
      py::arg("quiet_gap") = py::none(),
      "Sets the timeouts of sockets created from now on, as datetime.timedelta or\n"
      "seconds; a timeout left out (None) keeps its value. Raises ValueError for a\n"
      "negative or non-finite value, and then changes none of them.");
  m.def(
      "get_socket_timeouts",
      [] {
        const platform::SocketTimeouts t = platform::DefaultSocketTimeouts();
        py::dict result;
        result["connect"] = t.connect;
        result["receive"] = t.receive;
        result["quiet_gap"] = t.quiet_gap;
        return result;
      },
      "The current socket timeouts as a dict of datetime.timedelta.");
}
