// SPDX-License-Identifier: MIT

#include "tessaly/platform/component.h"

#include <map>
#include <mutex>

#include "tcp_socket_posix.h"
#include "tessaly/platform/ansi_text.h"

namespace platform {
namespace {

// The class table of the process: programmatic identifiers, folded to lower
// case, to factories. Shared by the whole process, as are the socket
// defaults (see component.h).
class ClassTable {
 public:
  static ClassTable& Instance() {
    static ClassTable table;
    return table;
  }

  void Register(std::string_view progid, ComponentFactory factory) {
    std::lock_guard lock(mutex_);
    factories_[FoldCase(progid)] = std::move(factory);
  }

  void Unregister(std::string_view progid) {
    std::lock_guard lock(mutex_);
    factories_.erase(FoldCase(progid));
  }

  ComponentFactory Find(std::string_view progid) const {
    // A short ASCII identifier, the usual kind, is lowered on the stack;
    // any other is folded into a string of its own.
    constexpr size_t kLongestStackId = 64;
    char lowered[kLongestStackId];
    bool ascii = progid.size() <= kLongestStackId;
    for (size_t i = 0; ascii && i < progid.size(); ++i) {
      const char c = progid[i];
      ascii = static_cast<unsigned char>(c) < 0x80;
      lowered[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    std::string folded;
    if (!ascii) folded = FoldCase(progid);
    const std::string_view key = ascii ? std::string_view(lowered, progid.size()) : folded;
    std::lock_guard lock(mutex_);
    auto it = factories_.find(key);
    return it == factories_.end() ? ComponentFactory() : it->second;
  }

 private:
  ClassTable() {
    factories_[FoldCase(kTcpSocketProgId)] = [] { return MakePosixTcpSocket(); };
  }

  mutable std::mutex mutex_;
  std::map<std::string, ComponentFactory, std::less<>> factories_;
};

}  // namespace

void RegisterClass(std::string_view progid, ComponentFactory factory) {
  ClassTable::Instance().Register(progid, std::move(factory));
}

void UnregisterClass(std::string_view progid) { ClassTable::Instance().Unregister(progid); }

ComponentFactory ClassFactory(std::string_view progid) {
  return ClassTable::Instance().Find(progid);
}

std::shared_ptr<Component> CreateObject(std::string_view progid) {
  // The factory runs outside the table's lock: it may create objects itself.
  ComponentFactory factory = ClassTable::Instance().Find(progid);
  std::shared_ptr<Component> object = factory ? factory() : nullptr;
  if (!object) throw PlatformError(kCannotCreateObject, std::string(progid));
  return object;
}

}  // namespace platform
