// SPDX-License-Identifier: MIT

#include "tessaly/platform/component.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "ascii_words.h"
#include "class_registration.h"
#include "tcp_socket_backend.h"
#include "tessaly/platform/ansi_text.h"

namespace platform {
namespace {

// Identifiers are lowered eight bytes at a time.
using ascii_words::Word;

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
    static_assert(kLongestStackId % sizeof(Word) == 0);
    char lowered[kLongestStackId];
    bool ascii = progid.size() <= kLongestStackId;
    if (ascii) {
      // Eight bytes at a time; the last word is padded with zeros, which
      // are ASCII and stay outside the key.
      const size_t words = (progid.size() + sizeof(Word) - 1) / sizeof(Word);
      if (words > 0) std::memset(lowered + (words - 1) * sizeof(Word), 0, sizeof(Word));
      std::memcpy(lowered, progid.data(), progid.size());
      Word any_high = 0;
      for (size_t w = 0; w < words; ++w) {
        const Word word = ascii_words::LoadWord(lowered + w * sizeof(Word));
        any_high |= word;
        ascii_words::StoreWord(lowered + w * sizeof(Word), ascii_words::LowerAsciiBytes(word));
      }
      ascii = ascii_words::IsAscii(any_high);
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
    factories_[FoldCase(kTcpSocketProgId)] = [] { return MakeSystemTcpSocket(); };
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
