// SPDX-License-Identifier: MIT

// The account store: changes reach the file before they count, atomically,
// and a file that cannot be read or written never loses data.

#include "account_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "account_file.h"
#include "support/temp_dir.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/unique_fd.h"

namespace wgsim {
namespace {

constexpr const char* kFile =
    "# kept until the first change\n[classes]\nA\n[user bob]\ncredits = 10\n";

class AccountStoreTest : public ::testing::Test {
 protected:
  AccountStoreTest() { std::ofstream(path_, std::ios::binary) << kFile; }

  std::string FileText() const { return platform::ReadWholeFile(path_.string()); }
  int32_t CreditsInFile() const {
    return ParseAccountFile(FileText(), "check").Find("bob")->credits;
  }
  static bool AddCredits(AccountBook& book, int32_t amount) {
    book.Find("bob")->credits += amount;
    return true;
  }

  tools_testing::TempDir dir_;
  std::filesystem::path path_ = dir_ / "accounts.txt";
};

TEST_F(AccountStoreTest, AChangeIsInTheFileWhenChangeReturns) {
  auto store = AccountStore::Open(path_);
  EXPECT_EQ(store->Change([](AccountBook& book) { return AddCredits(book, 5); }),
            AccountStore::ChangeResult::kSaved);
  EXPECT_EQ(CreditsInFile(), 15);
  EXPECT_EQ(store->Read([](const AccountBook& book) { return book.Find("BOB")->credits; }), 15);
  // Only the file itself is left in the directory: no temporary files.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(AccountStoreTest, NoChangeMeansNoWrite) {
  auto store = AccountStore::Open(path_);
  EXPECT_EQ(store->Change([](AccountBook& book) {
    book.Find("bob")->credits = 99;  // made on the copy, then declined
    return false;
  }),
            AccountStore::ChangeResult::kUnchanged);
  EXPECT_EQ(FileText(), kFile) << "the comment survives: nothing was written";
  EXPECT_EQ(store->Read([](const AccountBook& book) { return book.Find("bob")->credits; }), 10);
}

TEST_F(AccountStoreTest, TheFileKeepsItsPermissions) {
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  auto store = AccountStore::Open(path_);
  store->Change([](AccountBook& book) { return AddCredits(book, 1); });
  struct stat info {};
  ASSERT_EQ(::stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AccountStoreTest, ADamagedFileIsRefusedAndLeftAlone) {
  const std::string damaged = std::string(kFile) + "days = soon\n";
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << damaged;
  try {
    AccountStore::Open(path_);
    FAIL() << "the damaged file was accepted";
  } catch (const AccountFileError& error) {
    EXPECT_EQ(error.line(), 6);
    EXPECT_NE(std::string(error.what()).find(path_.string() + ":6:"), std::string::npos);
  }
  EXPECT_EQ(FileText(), damaged);
}

// A kill between writing the temporary file and renaming it leaves the
// temporary behind; the next start removes it and nothing else, however
// much an administrator's file looks like one.
TEST_F(AccountStoreTest, OpeningRemovesTemporariesLeftByAKill) {
  struct Case {
    const char* name;
    bool removed;
  };
  const Case cases[] = {
      {".accounts.txt.tessaly-a1B2c3", true},   {".accounts.txt.tessaly-zzzzzz", true},
      {".accounts.txt.tessaly-long123", false}, {".accounts.txt.tessaly-a1B2c", false},
      {".accounts.txt.tessaly-a1.2c3", false},  // not a character mkostemp uses
      {".accounts.txt.a1B2c3", false},          {".accounts.txt.backup", false},
      {".accounts.txt.2024-1", false},          {".other.txt.tessaly-a1B2c3", false},
      {"accounts.txt.tessaly-a1B2c3", false},
  };
  for (const Case& c : cases) std::ofstream(dir_ / c.name) << "partial";
  std::filesystem::create_directory(dir_ / ".accounts.txt.tessaly-dir123");
  // One made the way a write makes its temporary.
  std::string made = (dir_ / ".accounts.txt.tessaly-XXXXXX").string();
  ASSERT_GE(platform::UniqueFd(::mkostemp(made.data(), 0)).get(), 0);

  std::vector<std::filesystem::path> removed;
  auto store = AccountStore::Open(path_, &removed);
  EXPECT_EQ(removed.size(), 3u);
  for (const Case& c : cases)
    EXPECT_EQ(std::filesystem::exists(dir_ / c.name), !c.removed) << c.name;
  EXPECT_FALSE(std::filesystem::exists(made));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / ".accounts.txt.tessaly-dir123"));
  EXPECT_EQ(FileText(), kFile);
}

TEST_F(AccountStoreTest, AMissingFileIsAnError) {
  EXPECT_THROW(AccountStore::Open(dir_ / "none.txt"), platform::PlatformError);
}

TEST_F(AccountStoreTest, AFailedWriteDropsTheChange) {
  const std::filesystem::path gone = dir_ / "gone";
  std::filesystem::create_directory(gone);
  std::filesystem::copy_file(path_, gone / "accounts.txt");
  auto store = AccountStore::Open(gone / "accounts.txt");
  std::filesystem::remove_all(gone);  // no directory to write the new file into

  std::string error;
  EXPECT_EQ(store->Change([](AccountBook& book) { return AddCredits(book, 5); }, &error),
            AccountStore::ChangeResult::kSaveFailed);
  EXPECT_NE(error.find("accounts.txt"), std::string::npos) << error;
  EXPECT_EQ(store->Read([](const AccountBook& book) { return book.Find("bob")->credits; }), 10);
}

// Whatever a change leaves in the file, the next start reads back as it
// was; a book whose file would not is never written.
TEST_F(AccountStoreTest, WhatAChangeWritesTheNextStartLoads) {
  struct Case {
    const char* what;
    const char* file;
    std::function<bool(AccountBook&)> change;
    AccountStore::ChangeResult result;
  };
  const Case cases[] = {
      {"a host without classes", "[user bob]\ncredits = 10\n",
       [](AccountBook& book) { return AddCredits(book, 5); }, AccountStore::ChangeResult::kSaved},
      {"a key that would split in two", kFile,
       [](AccountBook& book) {
         book.Find("bob")->GiveKey("TWO WORDS");
         return true;
       },
       AccountStore::ChangeResult::kSaveFailed},
      {"a class [classes] does not list", kFile,
       [](AccountBook& book) {
         book.Find("bob")->primary_class = "B";
         return true;
       },
       AccountStore::ChangeResult::kSaveFailed},
  };
  for (const Case& c : cases) {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << c.file;
    auto store = AccountStore::Open(path_);
    std::string error;
    EXPECT_EQ(store->Change(c.change, &error), c.result) << c.what;
    const AccountBook in_memory = store->Read([](const AccountBook& book) { return book; });
    EXPECT_EQ(AccountStore::Open(path_)->Read([](const AccountBook& book) { return book; }),
              in_memory)
        << c.what;
    if (c.result == AccountStore::ChangeResult::kSaveFailed) {
      EXPECT_EQ(FileText(), c.file) << c.what;
      EXPECT_NE(error.find("change not saved"), std::string::npos) << c.what << ": " << error;
    }
  }
}

TEST_F(AccountStoreTest, ConcurrentChangesAreAllKept) {
  auto store = AccountStore::Open(path_);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 25; ++i)
        store->Change([](AccountBook& book) { return AddCredits(book, 1); });
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(CreditsInFile(), 110);
}

TEST_F(AccountStoreTest, AStoreInMemoryWritesNoFile) {
  AccountStore store(ParseAccountFile(kFile, "memory"));
  EXPECT_EQ(store.Change([](AccountBook& book) { return AddCredits(book, 1); }),
            AccountStore::ChangeResult::kSaved);
  EXPECT_EQ(FileText(), kFile);
}

}  // namespace
}  // namespace wgsim
