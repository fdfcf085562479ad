// SPDX-License-Identifier: MIT

#include "account_store.h"

#include <mutex>
#include <utility>

#include "account_file.h"
#include "atomic_file.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"

namespace wgsim {
namespace {

// Why `text`, written for `book`, would not load as `book` at the next
// start, or empty when it would. The writer is meant never to produce
// such a text; this keeps a fault in it from ever reaching the disk.
std::string ReadBackProblem(const std::string& text, const AccountBook& book) {
  try {
    if (ParseAccountFile(text, "the new account file") == book) return {};
    return "the new account file would read back different";
  } catch (const AccountFileError& error) {
    return error.what();
  }
}

}  // namespace

AccountStore::AccountStore(AccountBook book, std::filesystem::path path)
    : book_(std::move(book)), path_(std::move(path)) {}

std::unique_ptr<AccountStore> AccountStore::Open(const std::filesystem::path& path,
                                                 std::vector<std::filesystem::path>* removed) {
  auto leftovers = RemoveLeftoverTemporaries(path);
  if (removed != nullptr) *removed = std::move(leftovers);
  AccountBook book = ParseAccountFile(platform::ReadWholeFile(path.string()), path.string());
  return std::make_unique<AccountStore>(std::move(book), path);
}

AccountStore::ChangeResult AccountStore::Change(const std::function<bool(AccountBook&)>& change,
                                                std::string* error) {
  std::unique_lock lock(mutex_);
  AccountBook changed = book_;
  if (!change(changed)) return ChangeResult::kUnchanged;
  if (!path_.empty()) {
    const std::string text = FormatAccountFile(changed);
    if (std::string problem = ReadBackProblem(text, changed); !problem.empty()) {
      if (error != nullptr) *error = "change not saved: " + problem;
      return ChangeResult::kSaveFailed;
    }
    try {
      platform::ReplaceFileAtomically(path_.string(), text);
    } catch (const platform::PlatformError& failure) {
      if (error != nullptr) *error = failure.what();
      return ChangeResult::kSaveFailed;
    }
  }
  book_ = std::move(changed);
  return ChangeResult::kSaved;
}

}  // namespace wgsim
