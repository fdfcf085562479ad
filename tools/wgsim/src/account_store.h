// SPDX-License-Identifier: MIT

// The simulator's account store: one AccountBook shared by all sessions,
// kept in its account file (account_file.h) when it has one.
//
// Every change is written back before it counts: the new book goes to the
// file atomically (atomic_file.h), and only then replaces the book in
// memory. A simulator killed at any moment loses no change it confirmed.
// A book whose file would not load again as it is at the next start is
// never written: the change is dropped instead. Thread-safe: readers run
// together, changes one at a time.

#ifndef WGSIM_SRC_ACCOUNT_STORE_H_
#define WGSIM_SRC_ACCOUNT_STORE_H_

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "account_book.h"

namespace wgsim {

class AccountStore {
 public:
  // A store of `book`, kept in the file at `path`, or in memory only when
  // `path` is empty. The file is first written by the first change.
  explicit AccountStore(AccountBook book, std::filesystem::path path = {});

  // The store kept in the file at `path`. Raises AccountFileError for a
  // file that does not follow the format and a file platform::PlatformError
  // for one that cannot be read. Never writes the file, but removes the
  // simulator's own temporary files that a write cut off by a kill left
  // beside it (atomic_file.h); their paths go to `removed` when given.
  static std::unique_ptr<AccountStore> Open(const std::filesystem::path& path,
                                            std::vector<std::filesystem::path>* removed = nullptr);

  // Calls `read` with the current book, while no change can happen.
  template <class Reader>
  auto Read(Reader&& read) const {
    std::shared_lock lock(mutex_);
    return read(static_cast<const AccountBook&>(book_));
  }

  enum class ChangeResult {
    kUnchanged,   // `change` returned false; nothing was written
    kSaved,       // the change is in memory and in the file
    kSaveFailed,  // the file could not be written, or would not load again
                  // as written; the change was dropped
  };

  // Calls `change` with a copy of the book. When it returns true the copy
  // is written to the file and then becomes the book. On kSaveFailed
  // `error` (if given) receives the reason.
  ChangeResult Change(const std::function<bool(AccountBook&)>& change,
                      std::string* error = nullptr);

  // The file the store is kept in; empty for a store in memory.
  const std::filesystem::path& path() const { return path_; }

 private:
  mutable std::shared_mutex mutex_;
  AccountBook book_;
  const std::filesystem::path path_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_ACCOUNT_STORE_H_
