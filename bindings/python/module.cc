// The Python module `morvane`: WG for Python web pages.
//
// Strings cross as Python str (UTF-8); the Windows-1252 wire stays inside
// the library. Every call that may wait on the network releases the
// interpreter lock, so the threads of a threaded web server run their
// sessions side by side.

#include <pybind11/chrono.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <mutex>

#include "morvane/wg.h"
#include "platform/error.h"
#include "platform/tcp_socket.h"

namespace py = pybind11;

namespace {

using morvane::CommandReturn;
using morvane::MyErrObject;

// A WG for Python. Python threads may share one object, so calls on it are
// taken one at a time, as the object expects.
class PyWG {
 public:
  // Runs `call` on the object without the interpreter lock.
  template <class Call>
  auto Locked(Call&& call) {
    py::gil_scoped_release release;
    std::lock_guard lock(mutex_);
    return call(wg_);
  }

  template <class Call>
  auto Peek(Call&& call) {
    std::lock_guard lock(mutex_);
    return call(wg_);
  }

 private:
  std::mutex mutex_;
  morvane::WG wg_;
};

using Str = const std::string&;

// A command method of WG as a Python method with the same parameters.
template <class... Args>
auto Command(CommandReturn (morvane::WG::*method)(Args...)) {
  return [method](PyWG& self, std::decay_t<Args>... args) {
    return self.Locked([&](morvane::WG& wg) { return (wg.*method)(args...); });
  };
}

std::string Repr(const CommandReturn& r) {
  return "CommandReturn(number=" + std::to_string(r.error_object.number) + ", description=" +
         py::repr(py::str(r.error_object.description)).cast<std::string>() +
         ", long_value=" + std::to_string(r.long_value) +
         ", string_value=" + py::repr(py::str(r.string_value)).cast<std::string>() + ")";
}

// A timeout given as a datetime.timedelta or as a number of seconds.
std::chrono::milliseconds Milliseconds(py::handle value) {
  const double seconds = py::hasattr(value, "total_seconds")
                             ? value.attr("total_seconds")().cast<double>()
                             : py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
  if (!(seconds >= 0)) throw py::value_error("a timeout cannot be negative");
  return std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000 + 0.5));
}

}  // namespace

PYBIND11_MODULE(morvane, m) {
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
      py::object instance = py::reinterpret_borrow<py::object>(platform_error)(
          error.number(), error.description());
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

  py::class_<platform::TcpSocket, std::shared_ptr<platform::TcpSocket>>(
      m, "Socket", "A configured socket object, as InitWinsock returns it.")
      .def("Connect", &platform::TcpSocket::Connect, py::call_guard<py::gil_scoped_release>())
      .def(
          "Receive",
          [](platform::TcpSocket& socket) {
            std::string data;
            int16_t flag;
            {
              py::gil_scoped_release release;
              flag = socket.Receive(data, platform::kReceiveText);
            }
            return py::make_tuple(flag, data);
          },
          "Returns (flag, text); flag 0 when nothing arrived.")
      .def("Send", &platform::TcpSocket::Send, py::call_guard<py::gil_scoped_release>())
      .def("Close", &platform::TcpSocket::Close)
      .def("Describe", &platform::TcpSocket::Describe)
      .def("__repr__", [](const platform::TcpSocket& s) { return "<Socket " + s.Describe() + ">"; });

  py::class_<PyWG>(m, "WG",
                   "One account gateway object. Each command opens its own connection;\n"
                   "the four result properties hold the outcome of the last command.")
      .def(py::init<>())
      .def_property_readonly("error_number", [](PyWG& s) { return s.Peek([](auto& wg) { return wg.error_number(); }); })
      .def_property_readonly("error_description", [](PyWG& s) { return s.Peek([](auto& wg) { return wg.error_description(); }); })
      .def_property_readonly("answer_long", [](PyWG& s) { return s.Peek([](auto& wg) { return wg.answer_long(); }); })
      .def_property_readonly("answer_string", [](PyWG& s) { return s.Peek([](auto& wg) { return wg.answer_string(); }); })
      .def("UserIDExists", Command(&morvane::WG::UserIDExists), py::arg("secret"), py::arg("userid"))
      .def("AuthUser", Command(&morvane::WG::AuthUser), py::arg("secret"), py::arg("userid"), py::arg("password"))
      .def("GiveKey", Command(&morvane::WG::GiveKey), py::arg("secret"), py::arg("userid"), py::arg("key"))
      .def("TakeKey", Command(&morvane::WG::TakeKey), py::arg("secret"), py::arg("userid"), py::arg("key"))
      .def("HasMaster", Command(&morvane::WG::HasMaster), py::arg("secret"), py::arg("userid"))
      .def("IsSuspended", Command(&morvane::WG::IsSuspended), py::arg("secret"), py::arg("userid"))
      .def("NumberofCredits", Command(&morvane::WG::NumberofCredits), py::arg("secret"), py::arg("userid"))
      .def("NumberOfDays", Command(&morvane::WG::NumberOfDays), py::arg("secret"), py::arg("userid"))
      .def("LastLogin", Command(&morvane::WG::LastLogin), py::arg("secret"), py::arg("userid"))
      .def("CreationDate", Command(&morvane::WG::CreationDate), py::arg("secret"), py::arg("userid"))
      .def("PrimaryClass", Command(&morvane::WG::PrimaryClass), py::arg("secret"), py::arg("userid"))
      .def("CurrentClass", Command(&morvane::WG::CurrentClass), py::arg("secret"), py::arg("userid"))
      .def("UserOnline", Command(&morvane::WG::UserOnline), py::arg("secret"), py::arg("userid"))
      .def("HasKey", Command(&morvane::WG::HasKey), py::arg("secret"), py::arg("userid"), py::arg("key"))
      .def("GiveCredits", Command(&morvane::WG::GiveCredits), py::arg("secret"), py::arg("userid"), py::arg("creds"))
      .def("GiveDays", Command(&morvane::WG::GiveDays), py::arg("secret"), py::arg("userid"), py::arg("days"))
      .def("SystemVariable", Command(&morvane::WG::SystemVariable), py::arg("secret"), py::arg("sysvar"))
      .def("SwitchClass", Command(&morvane::WG::SwitchClass), py::arg("secret"), py::arg("userid"), py::arg("newclass"))
      .def("DeleteUser", Command(&morvane::WG::DeleteUser), py::arg("secret"), py::arg("userid"))
      .def("UnDeleteUser", Command(&morvane::WG::UnDeleteUser), py::arg("secret"), py::arg("userid"))
      .def("SuspendUser", Command(&morvane::WG::SuspendUser), py::arg("secret"), py::arg("userid"))
      .def("UnSuspendUser", Command(&morvane::WG::UnSuspendUser), py::arg("secret"), py::arg("userid"))
      .def("UpdateUserField", Command(&morvane::WG::UpdateUserField), py::arg("secret"), py::arg("userid"), py::arg("field"), py::arg("newdata"))
      .def("AuditMessage", Command(&morvane::WG::AuditMessage), py::arg("secret"), py::arg("themessage"))
      .def("GetLocalHost", [](PyWG& s) { return s.Locked([](auto& wg) { return wg.GetLocalHost(); }); })
      .def("GetLocalPort", [](PyWG& s) { return s.Locked([](auto& wg) { return wg.GetLocalPort(); }); },
           "The port of the server module, the port connections go to.")
      .def("GetRemoteHost", [](PyWG& s) { return s.Locked([](auto& wg) { return wg.GetRemoteHost(); }); })
      .def("InitWinsock", [](PyWG& s) { return s.Locked([](auto& wg) { return wg.InitWinsock(); }); },
           "A new socket object configured from the settings, not connected.")
      .def(
          "Logit",
          [](PyWG& s, std::string data) {
            s.Locked([&](auto& wg) { wg.Logit(data); });
            return data;
          },
          py::arg("data"),
          "Appends a dated line to tarnel.log in the current directory and returns the\n"
          "line. Python strings cannot be changed in place, so the composed line comes\n"
          "back as the result instead of replacing the argument.");

  m.def(
      "set_socket_timeouts",
      [](py::handle connect, py::handle receive, py::handle quiet_gap) {
        platform::SetDefaultSocketTimeouts(
            {Milliseconds(connect), Milliseconds(receive), Milliseconds(quiet_gap)});
      },
      py::arg("connect"), py::arg("receive"), py::arg("quiet_gap"),
      "Sets the timeouts of sockets created from now on (datetime.timedelta or seconds).");
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
