// SPDX-License-Identifier: MIT

// The About box's logic with a scripted registry, file test, program
// starter and view.

#include "about_form.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

#include "system_about.h"
#include "tessaly/platform/error.h"

namespace lattix {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// Keys under HKEY_LOCAL_MACHINE with values of any type and data; every
// call is logged.
class FakeRegistry : public platform::RegistryApi {
 public:
  void Add(const std::string& key, const std::string& name, uint32_t type, std::string data) {
    keys[key][name] = Value{type, std::move(data)};
  }

  int32_t OpenKey(platform::RegKey root, std::string_view sub_key, uint32_t access,
                  platform::RegKey& key) override {
    log.push_back("Open(" + Hex(root) + "," + std::string(sub_key) + "," + Hex(access) + ")");
    key = 0;
    if (root != platform::kHKeyLocalMachine || !keys.contains(std::string(sub_key))) {
      return platform::kRegFileNotFound;
    }
    key = next_key++;
    open[key] = std::string(sub_key);
    return platform::kRegSuccess;
  }

  int32_t QueryValue(platform::RegKey key, std::string_view name, uint32_t& type,
                     std::span<char> data, uint32_t& size) override {
    log.push_back("Query(" + std::string(name) + "," + std::to_string(data.size()) + ")");
    if (!open.contains(key)) return platform::kRegInvalidHandle;
    const auto& values = keys[open[key]];
    const auto it = values.find(std::string(name));
    if (it == values.end()) return platform::kRegFileNotFound;
    type = it->second.type;
    size = static_cast<uint32_t>(it->second.data.size());
    if (size > data.size()) return platform::kRegMoreData;
    std::copy(it->second.data.begin(), it->second.data.end(), data.begin());
    return platform::kRegSuccess;
  }

  int32_t CloseKey(platform::RegKey key) override {
    log.push_back("Close");
    return open.erase(key) == 1 ? platform::kRegSuccess : platform::kRegInvalidHandle;
  }

  struct Value {
    uint32_t type;
    std::string data;
  };
  std::map<std::string, std::map<std::string, Value>> keys;
  std::map<platform::RegKey, std::string> open;
  platform::RegKey next_key = 100;
  Strings log;
};

class FakeFiles : public FileTest {
 public:
  bool FileExists(const std::string& path) override {
    asked.push_back(path);
    return existing.contains(path);
  }
  std::set<std::string> existing;
  Strings asked;
};

class FakeStarter : public ProgramStarter {
 public:
  void StartProgram(const std::string& path) override {
    started.push_back(path);
    if (fail) throw platform::PlatformError(platform::kFileNotFound, path);
  }
  bool fail = false;
  Strings started;
};

class FakeView : public AboutView {
 public:
  void SetVersionCaption(const std::string& text) override { caption = text; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::string caption = "Version";
  Strings messages;
};

class AboutFormTest : public ::testing::Test {
 protected:
  AboutFormTest() { form.Load(view); }

  Strings Opened() const {
    Strings out;
    for (const auto& entry : registry.log) {
      if (entry.starts_with("Open")) out.push_back(entry);
    }
    return out;
  }
  size_t Closes() const { return std::count(registry.log.begin(), registry.log.end(), "Close"); }

  FakeRegistry registry;
  FakeFiles files;
  FakeStarter starter;
  FakeView view;
  AboutForm form{LibraryVersion{1, 0, 0, 1}, registry, files, starter};
};

const Strings kUnavailable = {"System Information Is Unavailable At This Time"};

TEST(VersionCaption, ShowsMajorMinorAndRevision) {
  EXPECT_EQ(VersionCaption({1, 0, 0, 1}), "Version 1.0.1");
  EXPECT_EQ(VersionCaption({2, 13, 7, 40}), "Version 2.13.40");
  const LibraryVersion built = ThisLibraryVersion();
  EXPECT_EQ(VersionCaption(built), "Version 1.0.1");
  EXPECT_EQ(built.build, 0);
}

TEST_F(AboutFormTest, EveryShowingSetsTheVersionLabelAfresh) {
  EXPECT_EQ(view.caption, "Version 1.0.1");
  form.Unload();
  EXPECT_FALSE(form.IsLoaded());
  FakeView second;
  form.Load(second);
  EXPECT_EQ(second.caption, "Version 1.0.1");
  EXPECT_TRUE(form.IsLoaded());
}

TEST_F(AboutFormTest, TheFirstKeysPathIsStartedWithoutLookingForTheFile) {
  registry.Add(kFirstKey, "PATH", platform::kRegSz, std::string("/usr/bin/sysinfo\0", 17));
  registry.Add(kSecondKey, "MSINFO", platform::kRegSz, std::string("/opt\0", 5));
  form.StartSysInfo();
  EXPECT_EQ(starter.started, Strings{"/usr/bin/sysinfo"});
  EXPECT_TRUE(files.asked.empty());
  EXPECT_EQ(Opened(), Strings{"Open(80000002," + std::string(kFirstKey) + ",2003f)"});
  EXPECT_EQ(Closes(), 1u);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(AboutFormTest, AFailedStartShowsTheMessage) {
  registry.Add(kFirstKey, "PATH", platform::kRegSz, std::string("/missing\0", 9));
  starter.fail = true;
  form.StartSysInfo();
  EXPECT_EQ(view.messages, kUnavailable);
}

TEST_F(AboutFormTest, TheSecondKeyNamesTheDirectoryOfTheProgram) {
  registry.Add(kSecondKey, "MSINFO", platform::kRegSz, std::string("/opt/info\0", 10));
  files.existing.insert("/opt/info\\MSINFO32.EXE");
  form.StartSysInfo();
  EXPECT_EQ(files.asked, Strings{"/opt/info\\MSINFO32.EXE"});
  EXPECT_EQ(starter.started, Strings{"/opt/info\\MSINFO32.EXE"});
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(AboutFormTest, TheSecondKeyWithoutTheProgramFileShowsTheMessage) {
  registry.Add(kSecondKey, "MSINFO", platform::kRegSz, std::string("/opt/info\0", 10));
  form.StartSysInfo();
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(view.messages, kUnavailable);
}

TEST_F(AboutFormTest, NeitherKeyTriesBothInOrderThenShowsTheMessage) {
  form.StartSysInfo();
  EXPECT_EQ(Opened(), (Strings{"Open(80000002," + std::string(kFirstKey) + ",2003f)",
                               "Open(80000002," + std::string(kSecondKey) + ",2003f)"}));
  EXPECT_EQ(Closes(), 0u);
  EXPECT_EQ(view.messages, kUnavailable);
}

TEST_F(AboutFormTest, AMissingValueInAnExistingKeyFallsThroughAndClosesTheKey) {
  registry.Add(kFirstKey, "OTHER", platform::kRegSz, std::string("x\0", 2));
  registry.Add(kSecondKey, "MSINFO", platform::kRegSz, std::string("/d\0", 3));
  files.existing.insert("/d\\MSINFO32.EXE");
  form.StartSysInfo();
  EXPECT_EQ(starter.started, Strings{"/d\\MSINFO32.EXE"});
  EXPECT_EQ(Closes(), 2u);
  EXPECT_TRUE(registry.open.empty());
}

TEST_F(AboutFormTest, AnExpandableStringCountsAsReadButLeavesThePathEmpty) {
  registry.Add(kFirstKey, "PATH", platform::kRegExpandSz, std::string("%X%\\info\0", 9));
  registry.Add(kSecondKey, "MSINFO", platform::kRegSz, std::string("/d\0", 3));
  starter.fail = true;
  form.StartSysInfo();
  EXPECT_EQ(starter.started, Strings{""});
  EXPECT_EQ(Opened().size(), 1u);  // the second key is not tried
  EXPECT_EQ(view.messages, kUnavailable);
}

TEST_F(AboutFormTest, AValueWithoutDataIsAnErrorThatTheButtonReports) {
  registry.Add(kFirstKey, "PATH", platform::kRegSz, "");
  std::string result = "before";
  try {
    form.GetKeyValue(platform::kHKeyLocalMachine, kFirstKey, "PATH", result);
    FAIL();
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.number(), platform::kInvalidProcedureCall);
  }
  EXPECT_TRUE(registry.open.empty());  // closed all the same
  form.StartSysInfo();
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(view.messages, kUnavailable);
}

TEST_F(AboutFormTest, OneFinalNulIsCutFromTheData) {
  registry.Add("K", "Nul", platform::kRegSz, std::string("abc\0", 4));
  registry.Add("K", "Whole", platform::kRegSz, "abc");
  registry.Add("K", "Two", platform::kRegSz, std::string("ab\0\0", 4));
  std::string result;
  ASSERT_TRUE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", "Nul", result));
  EXPECT_EQ(result, "abc");
  ASSERT_TRUE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", "Whole", result));
  EXPECT_EQ(result, "abc");
  ASSERT_TRUE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", "Two", result));
  EXPECT_EQ(result, std::string("ab\0", 3));
  EXPECT_EQ(registry.log[1], "Query(Nul,1024)");  // a 1024-byte buffer
}

TEST_F(AboutFormTest, ThirtyTwoBitNumbersBecomeTheirDecimalText) {
  registry.Add("K", "Small", platform::kRegDword, std::string("\x1F\0\0\0", 4));
  registry.Add("K", "Bytes", platform::kRegDword, std::string("\x02\x01\0\0", 4));
  registry.Add("K", "Top", platform::kRegDword, std::string("\xFF\xFF\xFF\xFF", 4));
  registry.Add("K", "Zero", platform::kRegDword, std::string("\0\0\0\0", 4));
  registry.Add("K", "Long", platform::kRegDword, std::string("\1\2\3\4\5", 5));
  std::string result;
  const auto read = [&](const char* name) {
    result.clear();
    EXPECT_TRUE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", name, result));
    return result;
  };
  EXPECT_EQ(read("Small"), "31");
  EXPECT_EQ(read("Bytes"), "258");
  EXPECT_EQ(read("Top"), "4294967295");
  EXPECT_EQ(read("Zero"), "0");
  EXPECT_THROW(read("Long"), platform::PlatformError);
}

TEST_F(AboutFormTest, OtherTypesLeaveTheResultAsItCame) {
  registry.Add("K", "Bin", platform::kRegBinary, "\x01\x02");
  std::string result = "kept";
  EXPECT_TRUE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", "Bin", result));
  EXPECT_EQ(result, "kept");
  EXPECT_FALSE(form.GetKeyValue(platform::kHKeyLocalMachine, "K", "None", result));
  EXPECT_EQ(result, "");
}

TEST_F(AboutFormTest, ATooLongValueCannotBeRead) {
  registry.Add(kFirstKey, "PATH", platform::kRegSz, std::string(1025, 'x'));
  std::string result = "x";
  EXPECT_FALSE(form.GetKeyValue(platform::kHKeyLocalMachine, kFirstKey, "PATH", result));
  EXPECT_EQ(result, "");
}

TEST(SystemAbout, OneFormPerThread) {
  AboutForm* here = &ThisThreadsAboutForm();
  EXPECT_EQ(&ThisThreadsAboutForm(), here);
  AboutForm* there = nullptr;
  std::thread([&] { there = &ThisThreadsAboutForm(); }).join();
  EXPECT_NE(there, here);
}

TEST(SystemAbout, RegistryPathsBecomeNativePaths) {
  EXPECT_EQ(NativePath("/opt/info\\MSINFO32.EXE"), "/opt/info/MSINFO32.EXE");
  EXPECT_EQ(NativePath("/plain/path"), "/plain/path");
}

TEST(SystemAbout, TheButtonReadsTheRegistryFileOfTheWindowsDirectory) {
  std::string pattern = (std::filesystem::temp_directory_path() / "about-XXXXXX").string();
  const std::filesystem::path dir = ::mkdtemp(pattern.data());
  ::setenv("WINDIR", dir.c_str(), 1);
  std::filesystem::create_directory(dir / "info");
  std::ofstream(dir / "info" / "MSINFO32.EXE") << "#!/bin/sh\nexit 0\n";
  std::filesystem::permissions(dir / "info" / "MSINFO32.EXE", std::filesystem::perms::owner_all);
  std::ofstream(dir / "registry.reg")
      << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n"
      << "\"MSINFO\"=\"" << (dir / "info").string() << "\"\n";

  const std::unique_ptr<platform::RegistryApi> registry = platform::MakeFileRegistry();
  SystemFileTest files;
  SystemProgramStarter starter;
  FakeView view;
  AboutForm form(LibraryVersion{1, 0, 0, 1}, *registry, files, starter);
  form.Load(view);
  form.StartSysInfo();
  EXPECT_TRUE(view.messages.empty());

  std::filesystem::remove(dir / "info" / "MSINFO32.EXE");
  form.StartSysInfo();
  EXPECT_EQ(view.messages, kUnavailable);

  std::filesystem::remove(dir / "registry.reg");
  form.StartSysInfo();
  EXPECT_EQ(view.messages.size(), 2u);
  ::unsetenv("WINDIR");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lattix
