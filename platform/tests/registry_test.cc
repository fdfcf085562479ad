// SPDX-License-Identifier: MIT

#include "tessaly/platform/registry.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "registry_store.h"
#include "test_system.h"

namespace platform {
namespace {

constexpr const char* kMsinfo = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out += static_cast<char>(b);
  return out;
}

TEST(RegistryStore, ReadsTheValueKindsOfAVersion5File) {
  std::vector<std::string> problems;
  const RegistryStore store = RegistryStore::Parse(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; System Information\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
      "\"PATH\"=\"C:\\\\Program Files\\\\msinfo32.exe\"\r\n"
      "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
      "@=\"default\"\r\n"
      "\"Count\"=dword:0000011f\r\n"
      "\"Raw\"=hex:01,\\\r\n"
      "  ff\r\n"
      "\"Empty\"=hex:\r\n",
      &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();

  const RegistryValue* path = store.Find(kMsinfo, "path");  // names in any case
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->type, kRegSz);
  EXPECT_EQ(path->data, std::string("C:\\Program Files\\msinfo32.exe\0", 30));
  EXPECT_EQ(store.Find(kMsinfo, "Quote")->data, std::string("say \"hi\"\0", 9));
  EXPECT_EQ(store.Find(kMsinfo, "")->data, std::string("default\0", 8));
  EXPECT_EQ(store.Find(kMsinfo, "Count")->data, Bytes({0x1f, 0x01, 0, 0}));
  EXPECT_EQ(store.Find(kMsinfo, "Raw")->data, Bytes({0x01, 0xff}));
  EXPECT_EQ(store.Find(kMsinfo, "Empty")->data, "");
  EXPECT_TRUE(store.HasKey("hkey_local_machine\\software"));  // parents exist
  EXPECT_FALSE(store.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"));
}

TEST(RegistryStore, ReadsRegedit4FilesAsAnsiAndKeepsKeysApart) {
  const RegistryStore store = RegistryStore::Parse(
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\A\\B]\n"
      "\"S\"=\"\xE9\"\n"
      "[HKEY_LOCAL_MACHINE\\A\\C]\n"
      "\"V\"=\"y\"\n"
      "[HKEY_LOCAL_MACHINE\\A\\C\\Sub]\n"
      "[HKEY_LOCAL_MACHINE\\A\\C D]\n");
  EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\A\\B", "S")->data, std::string("\xC3\xA9\0", 3));
  EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\A\\C", "V")->data, std::string("y\0", 2));
  EXPECT_TRUE(store.HasKey("HKEY_LOCAL_MACHINE\\A\\C\\Sub"));
  EXPECT_TRUE(store.HasKey("HKEY_LOCAL_MACHINE\\A\\C D"));
  EXPECT_FALSE(store.HasKey("HKEY_LOCAL_MACHINE\\A\\CD"));
}

// What no reader needs is not read: typed hex values, deletions and UTF-16
// files are damaged lines (or an empty file) that leave the rest alone.
TEST(RegistryStore, LeavesOutWhatNoReaderNeeds) {
  const std::string kKey = "[HKEY_LOCAL_MACHINE\\A]\n\"Kept\"=\"k\"\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : "REGEDIT4\n" + kKey) utf16 += std::string{c, '\0'};
  const struct {
    const char* what;
    std::string file;
    bool kept;  // whether "Kept" of HKEY_LOCAL_MACHINE\A is read
  } kRows[] = {
      {"an expandable string",
       "REGEDIT4\n" + kKey + "\"Expand\"=hex(2):25,00,41,00,25,00,\\\n  00,00\n", true},
      {"a hex(1) string", "REGEDIT4\n" + kKey + "\"S\"=hex(1):e9,00\n", true},
      {"a value deletion", "REGEDIT4\n" + kKey + "\"Kept\"=-\n", true},
      {"a key deletion", "REGEDIT4\n" + kKey + "[-HKEY_LOCAL_MACHINE\\A]\n", true},
      {"a UTF-16 file", utf16, false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    std::vector<std::string> problems;
    const RegistryStore store = RegistryStore::Parse(row.file, &problems);
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_EQ(store.HasKey("HKEY_LOCAL_MACHINE\\A"), row.kept);
    EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\A", "Kept") != nullptr, row.kept);
    EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\A", "Expand"), nullptr);
    EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\A", "S"), nullptr);
  }
}

// A 4 MB file of long continued hex lists and many keys is read in time
// that grows with its size, not with its square.
TEST(RegistryStore, ReadsALargeFileInLinearTime) {
  std::string text = "REGEDIT4\n[HKEY_USERS\\Big]\n\"Blob\"=hex:00,\\\n";
  constexpr int kLines = 100'000;
  for (int i = 0; i < kLines; ++i) text += "  01,02,03,04,05,06,07,08,09,0a,\\\n";
  text += "  ff\n";
  constexpr int kKeys = 25'000;
  for (int i = 0; i < kKeys; ++i) text += "[HKEY_USERS\\K" + std::to_string(i) + "]\n\"v\"=\"x\"\n";
  ASSERT_GT(text.size(), 4'000'000u);

  const auto start = std::chrono::steady_clock::now();
  const RegistryStore store = RegistryStore::Parse(text);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_NE(store.Find("HKEY_USERS\\Big", "Blob"), nullptr);
  EXPECT_EQ(store.Find("HKEY_USERS\\Big", "Blob")->data.size(), 2u + 10u * kLines);
  EXPECT_TRUE(store.HasKey("HKEY_USERS\\K0"));
  EXPECT_NE(store.Find("HKEY_USERS\\K" + std::to_string(kKeys - 1), "v"), nullptr);
  EXPECT_FALSE(store.HasKey("HKEY_USERS\\K" + std::to_string(kKeys)));
}

TEST(RegistryStore, SkipsDamagedLinesAndKeepsTheRest) {
  std::vector<std::string> problems;
  const RegistryStore store = RegistryStore::Parse(
      "REGEDIT4\n"
      "\"Orphan\"=\"outside any key\"\n"
      "[HKEY_LOCAL_MACHINE\\Good]\n"
      "\"Ok\"=\"fine\"\n"
      "\"Unclosed=\"x\"\n"
      "\"BadHex\"=hex:1,zz\n"
      "\"LongDword\"=dword:123456789\n"
      "\"NoValue\"\n"
      "\"Trailing\"=\"x\" junk\n"
      "[HKEY_LOCAL_MACHINE\\Broken\n"
      "\"Lost\"=\"not in Good\"\n",
      &problems);
  EXPECT_EQ(problems.size(), 8u);
  EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\Good", "Ok")->data, std::string("fine\0", 5));
  EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\Good", "Lost"), nullptr);
  EXPECT_EQ(store.Find("HKEY_LOCAL_MACHINE\\Good", "BadHex"), nullptr);
}

TEST(RegistryStore, AFileWithoutTheFirstLineIsEmpty) {
  std::vector<std::string> problems;
  EXPECT_FALSE(RegistryStore::Parse("[HKEY_LOCAL_MACHINE\\A]\n\"a\"=\"b\"\n", &problems)
                   .HasKey("HKEY_LOCAL_MACHINE"));
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_FALSE(RegistryStore::Parse("").HasKey("HKEY_LOCAL_MACHINE"));
  EXPECT_FALSE(RegistryStore::Parse(Bytes({0xFF, 0xFE, 0x00})).HasKey("HKEY_LOCAL_MACHINE"));
}

class FileRegistryTest : public ::testing::Test {
 protected:
  FileRegistryTest() : dir_(testing_support::MakeTemporaryDirectory("reg")) {}
  ~FileRegistryTest() override {
    testing_support::ForgetWindowsDirectory();
    std::filesystem::remove_all(dir_);
  }
  void SetUp() override {
    // The store's file lies in the Windows directory; a test's own is
    // needed.
    if (!testing_support::UseWindowsDirectory(dir_)) {
      GTEST_SKIP() << testing_support::kFixedWindowsDirectory;
    }
  }
  void WriteStore(const std::string& text) {
    std::ofstream(dir_ / kRegistryFileName, std::ios::binary) << text;
  }

  std::filesystem::path dir_;
};

TEST_F(FileRegistryTest, LivesInTheWindowsDirectoryAndMissingMeansEmpty) {
  EXPECT_EQ(RegistryFilePath(), (dir_ / "registry.reg").string());
  const std::unique_ptr<RegistryApi> file_registry = MakeFileRegistry();
  RegistryApi& registry = *file_registry;
  RegKey key = 123;
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "SOFTWARE", 0x2003F, key), kRegFileNotFound);
  EXPECT_EQ(key, 0u);
  std::filesystem::create_directory(dir_ / kRegistryFileName);  // unreadable as a file
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "SOFTWARE", 0x2003F, key), kRegFileNotFound);
}

TEST_F(FileRegistryTest, OpensQueriesAndClosesKeys) {
  WriteStore("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool]\n\"PATH\"=\"/usr/bin/tool\"\n");
  const std::unique_ptr<RegistryApi> file_registry = MakeFileRegistry();
  RegistryApi& registry = *file_registry;
  RegKey software = 0, tool = 0;
  ASSERT_EQ(registry.OpenKey(kHKeyLocalMachine, "software", 0x2003F, software), kRegSuccess);
  ASSERT_EQ(registry.OpenKey(software, "TOOL", 0x2003F, tool), kRegSuccess);  // below a handle
  EXPECT_NE(software, tool);

  std::array<char, 64> buffer{};
  uint32_t type = 0, size = buffer.size();
  ASSERT_EQ(registry.QueryValue(tool, "Path", type, buffer, size), kRegSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(std::string(buffer.data(), size), std::string("/usr/bin/tool\0", 14));

  std::array<char, 4> small{};
  EXPECT_EQ(registry.QueryValue(tool, "PATH", type, small, size), kRegMoreData);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(registry.QueryValue(tool, "Other", type, buffer, size), kRegFileNotFound);

  EXPECT_EQ(registry.CloseKey(tool), kRegSuccess);
  EXPECT_EQ(registry.CloseKey(tool), kRegInvalidHandle);
  EXPECT_EQ(registry.QueryValue(tool, "PATH", type, buffer, size), kRegInvalidHandle);
  EXPECT_EQ(registry.CloseKey(0), kRegInvalidHandle);
  EXPECT_EQ(registry.CloseKey(kHKeyLocalMachine), kRegInvalidHandle);
  EXPECT_EQ(registry.OpenKey(0x1234, "x", 0, tool), kRegInvalidHandle);
  EXPECT_EQ(registry.CloseKey(software), kRegSuccess);
}

TEST_F(FileRegistryTest, ReadsTheFileAfreshOnEveryOpen) {
  const std::unique_ptr<RegistryApi> file_registry = MakeFileRegistry();
  RegistryApi& registry = *file_registry;
  RegKey key = 0;
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "A", 0, key), kRegFileNotFound);
  WriteStore("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n");
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, "A", 0, key), kRegSuccess);
  registry.CloseKey(key);
}

}  // namespace
}  // namespace platform
