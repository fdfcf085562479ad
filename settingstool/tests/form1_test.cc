// SPDX-License-Identifier: MIT

// The settings form driven through a fake window: first run, loading,
// saving, Cancel and the checks of OK.

#include "ravelset/form1.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <sstream>

#include "fake_form1_host.h"
#include "ravelset/command_line.h"
#include "ravelset/form1_texts.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/version.h"

namespace ravelset::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using Parts = std::array<float, 4>;

class Form1Flow : public Form1Test {
 protected:
  // Starts the program: a new window, then Form_Load.
  void Start() {
    host_ = std::make_unique<FakeForm1Host>();
    form_ = std::make_unique<Form1>(*host_);
    form_->Form_Load();
  }

  // Enters the three values as a user would, then presses OK.
  void EnterAndPressOk(const Parts& local, const Parts& remote, const std::string& port) {
    host_->local.set_parts(local);
    host_->remote.set_parts(remote);
    host_->port_text = port;
    form_->cmdOk_Click();
  }

  std::unique_ptr<FakeForm1Host> host_;
  std::unique_ptr<Form1> form_;
};

const std::string kDefaultBytes = "192.168.0.2         192.168.0.1         3425                ";

TEST_F(Form1Flow, TheFirstRunTellsTheUserThenWritesTheDefaultsBeforeTheWindowShows) {
  bool file_existed_during_message = true;
  host_ = std::make_unique<FakeForm1Host>();
  host_->while_message_shown = [&](const FakeForm1Host::Message&) {
    file_existed_during_message = platform::FileExists(SettingsPath());
  };
  form_ = std::make_unique<Form1>(*host_);
  form_->Form_Load();

  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text,
            "Since this is your first time running setup, the default configuration has been "
            "loaded.");
  EXPECT_EQ(host_->messages[0].title, std::nullopt);
  EXPECT_FALSE(file_existed_during_message);

  ASSERT_EQ(kDefaultBytes.size(), 60u);
  EXPECT_EQ(FileBytes(), kDefaultBytes);
  EXPECT_EQ(host_->local.parts(), (Parts{192, 168, 0, 1}));
  EXPECT_EQ(host_->remote.parts(), (Parts{192, 168, 0, 2}));
  EXPECT_EQ(host_->port_text, "3425");
  EXPECT_EQ(host_->end_calls, 0);
  EXPECT_TRUE(host_->focus_moves.empty());
}

TEST_F(Form1Flow, CancelOrTheCloseBoxAfterTheFirstRunKeepsTheDefaultFile) {
  Start();
  host_->local.set_parts({10, 0, 0, 9});
  host_->port_text = "99";
  form_->cmdExit_Click();
  EXPECT_EQ(host_->end_calls, 1);
  EXPECT_EQ(FileBytes(), kDefaultBytes);

  Start();
  host_->port_text = "100";
  form_->Form_QueryUnload();
  EXPECT_EQ(host_->end_calls, 1);
  EXPECT_EQ(FileBytes(), kDefaultBytes);
}

TEST_F(Form1Flow, ASecondStartShowsTheFileAndOkWritesTheSameBytes) {
  Start();
  form_->cmdExit_Click();

  Start();
  EXPECT_TRUE(host_->messages.empty());
  EXPECT_EQ(host_->local.parts(), (Parts{192, 168, 0, 1}));
  EXPECT_EQ(host_->remote.parts(), (Parts{192, 168, 0, 2}));
  EXPECT_EQ(host_->port_text, "3425 ");  // the box keeps 5 of the field's 20 characters

  form_->cmdOk_Click();
  EXPECT_TRUE(host_->messages.empty());
  EXPECT_EQ(host_->end_calls, 1);
  EXPECT_EQ(FileBytes(), kDefaultBytes);
}

TEST_F(Form1Flow, OkStoresTheRemoteHostFirstAndThePortTextAsTyped) {
  WriteFileBytes(Record("1.1.1.1", "2.2.2.2", "1"));
  Start();
  EnterAndPressOk({10, 0, 0, 2}, {10, 0, 0, 7}, "03425");
  EXPECT_EQ(host_->end_calls, 1);
  EXPECT_EQ(FileBytes(), Record("10.0.0.7", "10.0.0.2", "03425"));

  // Reading the new file back shows what was saved.
  Start();
  EXPECT_EQ(host_->local.parts(), (Parts{10, 0, 0, 2}));
  EXPECT_EQ(host_->remote.parts(), (Parts{10, 0, 0, 7}));
  EXPECT_EQ(host_->port_text, "03425");
}

TEST_F(Form1Flow, TheLongestAddressFillsFifteenOfTheTwentyBytes) {
  Start();
  EnterAndPressOk({255, 255, 255, 255}, {0, 0, 0, 0}, "80");
  const auto bytes = FileBytes();
  ASSERT_TRUE(bytes);
  using morvane::SettingsRecord;
  const auto field = [&bytes](size_t position) {
    return bytes->substr(SettingsRecord::FieldOffset(position), SettingsRecord::kFieldWidth);
  };
  EXPECT_EQ(field(SettingsRecord::kLocalHostField), "255.255.255.255     ");
  EXPECT_EQ(field(SettingsRecord::kRemoteHostField), "0.0.0.0" + std::string(13, ' '));
}

TEST_F(Form1Flow, SavingKeepsTheBytesAfterTheRecord) {
  const std::string tail = "tail kept\r\n\x01\xFF";
  WriteFileBytes(Record("1.2.3.4", "5.6.7.8", "3425") + tail);
  Start();
  EnterAndPressOk({9, 9, 9, 9}, {8, 8, 8, 8}, "2000");
  EXPECT_EQ(FileBytes(), Record("8.8.8.8", "9.9.9.9", "2000") + tail);
}

TEST_F(Form1Flow, PortsThatPassAreStoredAsTyped) {
  for (const std::string port : {"1", "32000", "03425", "3425 ", " 80", "1.5", "2.5"}) {
    SCOPED_TRACE("port \"" + port + "\"");
    WriteFileBytes(Record("0.0.0.0", "0.0.0.0", "9"));
    Start();
    EnterAndPressOk({1, 2, 3, 4}, {5, 6, 7, 8}, port);
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_EQ(host_->end_calls, 1);
    EXPECT_EQ(FileBytes(), Record("5.6.7.8", "1.2.3.4", port));
  }
}

TEST_F(Form1Flow, PortsThatFailKeepTheWindowOpenAndTheFileAsItWas) {
  const std::string before = Record("1.2.3.4", "5.6.7.8", "3425");
  for (const std::string port :
       {"0", "32001", "123456", "003425", "", "abc", "0.5", "-1", "3425 1", "     "}) {
    SCOPED_TRACE("port \"" + port + "\"");
    WriteFileBytes(before);
    Start();
    EnterAndPressOk({9, 9, 9, 9}, {8, 8, 8, 8}, port);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].text, "Port must be a number between 1 and 32000");
    EXPECT_EQ(host_->messages[0].title, "Error");
    EXPECT_EQ(host_->focus_moves, std::vector{Form1Control::kTxtPortNumber});
    EXPECT_EQ(host_->end_calls, 0);
    EXPECT_EQ(FileBytes(), before);
  }
}

TEST_F(Form1Flow, ABadLocalHostIsReportedFirstAndTakesTheFocus) {
  WriteFileBytes(Record("1.2.3.4", "5.6.7.8", "3425"));
  Start();
  // 12.5 can reach the control by assignment; 256 and NaN only by a faulty
  // control, and still must not be saved.
  for (const Parts bad : {Parts{1, 12.5f, 3, 4}, Parts{256, 0, 0, 0}, Parts{0, 0, 0, -1},
                          Parts{0, 0, 0, std::nanf("")}}) {
    host_->messages.clear();
    host_->focus_moves.clear();
    EnterAndPressOk(bad, bad, "0");  // every entry bad: only the first check speaks
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].text, "Your Local Host IP is incorrectly formatted");
    EXPECT_EQ(host_->messages[0].title, std::nullopt);
    EXPECT_EQ(host_->focus_moves, std::vector{Form1Control::kIpLocalHost});
  }
  EXPECT_EQ(host_->end_calls, 0);
  EXPECT_EQ(FileBytes(), Record("1.2.3.4", "5.6.7.8", "3425"));
}

TEST_F(Form1Flow, ABadRemoteHostIsReportedWithoutMovingTheFocus) {
  WriteFileBytes(Record("1.2.3.4", "5.6.7.8", "3425"));
  Start();
  EnterAndPressOk({10, 0, 0, 1}, {10, 0, 0.25f, 1}, "0");
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text, "Your Remote Host IP is incorrectly formatted");
  EXPECT_EQ(host_->messages[0].title, std::nullopt);
  EXPECT_TRUE(host_->focus_moves.empty());
  EXPECT_EQ(host_->end_calls, 0);
  EXPECT_EQ(FileBytes(), Record("1.2.3.4", "5.6.7.8", "3425"));
}

TEST_F(Form1Flow, AControlThatCannotBeReadCountsAsBadlyFormatted) {
  Start();
  host_->remote.FailWith(91);
  host_->messages.clear();
  form_->cmdOk_Click();
  ASSERT_EQ(host_->messages.size(), 1u);
  EXPECT_EQ(host_->messages[0].text, "Your Remote Host IP is incorrectly formatted");
  EXPECT_EQ(host_->end_calls, 0);
}

TEST_F(Form1Flow, AControlThatRefusesItsValuesOnLoadIsReportedNotFatal) {
  host_ = std::make_unique<FakeForm1Host>();
  host_->local.FailWith(platform::kObjectDoesNotSupport);
  form_ = std::make_unique<Form1>(*host_);
  form_->Form_Load();
  ASSERT_EQ(host_->messages.size(), 2u);
  EXPECT_THAT(host_->messages[1].text, HasSubstr("could not be shown"));
  EXPECT_EQ(host_->end_calls, 0);
}

TEST_F(Form1Flow, WhatIsNoRegularFileIsNamedNeverOpenedAndNoFirstRun) {
  // A pipe would block the first open until someone writes to it; a
  // directory or a device cannot hold the record.
  const struct {
    const char* what;
    std::function<void(const std::string&)> make;
  } kRows[] = {
      {"a directory", [](const std::string& path) { std::filesystem::create_directory(path); }},
      {"a pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
      {"a device",
       [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); }},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove(SettingsPath());
    row.make(SettingsPath());
    Start();
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_THAT(host_->messages[0].text,
                StartsWith("The settings file " + SettingsPath() + " is not a regular file"));
    EXPECT_EQ(host_->port_text, "");

    // OK names the file and the reason, keeps the window open, writes nothing.
    EnterAndPressOk({1, 2, 3, 4}, {5, 6, 7, 8}, "3425");
    ASSERT_EQ(host_->messages.size(), 2u);
    EXPECT_EQ(host_->messages[1].text, "The settings could not be saved to the file " +
                                           SettingsPath() + ": it is not a regular file.");
    EXPECT_EQ(host_->messages[1].title, "Error");
    EXPECT_EQ(host_->end_calls, 0);
    EXPECT_NE(std::filesystem::status(SettingsPath()).type(), std::filesystem::file_type::regular);
  }
}

TEST_F(Form1Flow, AMissingWindowsDirectoryIsNamedInTheSaveMessage) {
  ::setenv("WINDIR", (windir() / "gone").c_str(), 1);
  Start();
  ASSERT_EQ(host_->messages.size(), 2u);
  EXPECT_THAT(host_->messages[1].text, HasSubstr((windir() / "gone" / "morvane.ini").string() +
                                                 ": No such file or directory."));
  EXPECT_EQ(host_->end_calls, 0);
}

TEST_F(Form1Flow, ADanglingLinkIsAFirstRunWhoseSaveNamesTheFile) {
  std::filesystem::create_symlink(windir() / "nowhere", SettingsPath());
  Start();
  EXPECT_EQ(form_->load_outcome(), Form1::LoadOutcome::kFirstRun);
  ASSERT_EQ(host_->messages.size(), 2u);
  EXPECT_EQ(host_->messages[1].text,
            "The settings could not be saved to the file " + SettingsPath() +
                ": it is a symbolic link to " + (windir() / "nowhere").string() +
                ", which does not exist (the settings are never written through such a link).");
  EXPECT_FALSE(std::filesystem::exists(windir() / "nowhere"));
}

// The command line: what it prints, its exit status and the file after it.
TEST_F(Form1Test, TheCommandLineShowsChecksAndWritesAsTheWindowDoes) {
  using Args = std::vector<std::string>;
  const std::string kOld = Record("10.0.0.7", "10.0.0.2", "3425") + "tail";
  const auto set = [](const char* local, const char* remote, const char* port) {
    return Args{"--set", "--local-host", local, "--remote-host", remote, "--port", port};
  };
  const struct {
    std::optional<std::string> before;  // nullopt: no file
    Args args;
    int exit;
    std::string out;  // exactly
    std::string err;  // contained
    std::optional<std::string> after;
  } kRows[] = {
      {std::nullopt,
       {"--version"},
       0,
       std::string("ravelset ") + tessaly::kVersion + "\n",
       "",
       std::nullopt},
      {std::nullopt, {"--help"}, 0, UsageText(), "", std::nullopt},
      {std::nullopt, {"-h"}, 0, UsageText(), "", std::nullopt},
      // --show reads only, and a missing file is no first run here.
      {std::nullopt, {"--show"}, 1, "", "There is no settings file ", std::nullopt},
      {kOld,
       {"--show"},
       0,
       "Settings file : " + SettingsPath() +
           "\nLocal Host IP : 10.0.0.2\nRemote Host IP : 10.0.0.7\nPort Number : 3425\n",
       "",
       kOld},
      {Record("10.0.7", "10.0.0.2", "3425"),
       {"--show"},
       0,
       "Settings file : " + SettingsPath() +
           "\nLocal Host IP : 10.0.0.2\nRemote Host IP : 10.0.7.0\nPort Number : 3425\n",
       "\"10.0.7\" has fewer than three dots",
       Record("10.0.7", "10.0.0.2", "3425")},
      // --set writes as OK does: remote host first, the tail kept.
      {std::nullopt, set("10.0.0.1", "10.0.0.9", "2500"), 0, "", "",
       Record("10.0.0.9", "10.0.0.1", "2500")},
      {kOld, set("10.0.0.1", "10.0.0.9", " 080 "), 0, "", "",
       Record("10.0.0.9", "10.0.0.1", " 080 ") + "tail"},
      {kOld, set("1e2.0.0.1", "255.255.255.255", "1"), 0, "", "",
       Record("255.255.255.255", "100.0.0.1", "1") + "tail"},
      // A refused value prints the window's message and writes nothing.
      {kOld, set("10.0.0.300", "10.0.0.9", "2500"), 1, "",
       "Your Local Host IP is incorrectly formatted\n", kOld},
      {kOld, set("10.0.0.1", "10.0.0", "2500"), 1, "",
       "Your Remote Host IP is incorrectly formatted\n", kOld},
      {kOld, set("10.0.0.1", "10.0.x.9", "2500"), 1, "",
       "Your Remote Host IP is incorrectly formatted\n", kOld},
      {std::nullopt, set("10.0.0.1", "10.0.0.9", "123456"), 1, "",
       "Port must be a number between 1 and 32000\n", std::nullopt},
      {kOld, set("10.0.0.1", "10.0.0.9", ""), 1, "", "Port must be", kOld},
      // A wrong command line touches nothing.
      {kOld, {"--show", "--set"}, 2, "", "only one of", kOld},
      {kOld, {"--set", "--port", "1", "--local-host", "1.2.3.4"}, 2, "", "--remote-host", kOld},
      {kOld, {"--show", "--port", "1"}, 2, "", "go with --set", kOld},
      {kOld, {"--port", "1"}, 2, "", "go with --set", kOld},
      {kOld, {"--set", "--port"}, 2, "", "--port needs a value", kOld},
      {kOld, {"--set", "--port", "1", "--port", "2"}, 2, "", "given twice", kOld},
      {kOld, {"--show", "extra"}, 2, "", "unknown argument 'extra'", kOld},
      // Anything unknown is a usage error before the toolkit starts, even
      // where no other option asks for the command line.
      {std::nullopt, {"--shwo"}, 2, "", "unknown argument '--shwo'", std::nullopt},
      {kOld, {"extra"}, 2, "", "unknown argument 'extra'", kOld},
      {kOld, {"-platform"}, 2, "", "unknown argument '-platform'", kOld},  // its value missing
      {kOld, {"-platform", "offscreen", "--sett"}, 2, "", "unknown argument '--sett'", kOld},
      {kOld, {"--show", "-style", "fusion"}, 2, "", "-style is an option of the window", kOld},
      {kOld, {"-reverse=1"}, 2, "", "unknown argument '-reverse=1'", kOld},
      // --show tells what the command line can do about what it finds.
      {Record("10.0.x.7", "10.0.0.2", "3425"),
       {"--show"},
       0,
       "Settings file : " + SettingsPath() +
           "\nLocal Host IP : 10.0.0.2\nRemote Host IP : 10.0.0.7\nPort Number : 3425\n",
       "Save corrected settings with ravelset --set --local-host A.B.C.D",
       Record("10.0.x.7", "10.0.0.2", "3425")},
  };
  for (const auto& row : kRows) {
    std::string line;
    for (const std::string& arg : row.args) line += arg + " ";
    SCOPED_TRACE(line);
    std::filesystem::remove(SettingsPath());
    if (row.before) WriteFileBytes(*row.before);
    ASSERT_TRUE(WantsCommandLine(row.args));
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(row.args, out, err), row.exit) << err.str();
    EXPECT_EQ(out.str(), row.out);
    EXPECT_THAT(err.str(), HasSubstr(row.err));
    if (row.exit == 2) {
      EXPECT_THAT(err.str(), HasSubstr("\n\n" + UsageText()));
    }
    EXPECT_THAT(err.str(), Not(HasSubstr("press OK")));
    EXPECT_EQ(FileBytes(), row.after);
  }
  // Qt's own options still open the window.
  for (const Args& window : {Args{}, Args{"-platform", "offscreen"}, Args{"--style=fusion"},
                             Args{"-reverse", "-style", "fusion", "-qwindowtitle", "--show"}}) {
    EXPECT_FALSE(WantsCommandLine(window)) << window.size();
  }
}

TEST_F(Form1Test, TheCommandLineSaysWhatADanglingLinkIs) {
  std::filesystem::create_symlink(windir() / "nowhere", SettingsPath());
  const std::string link =
      "is a symbolic link to " + (windir() / "nowhere").string() + ", which does not exist";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--show"},
        std::vector<std::string>{"--set", "--local-host", "1.2.3.4", "--remote-host", "1.2.3.4",
                                 "--port", "1"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(args, out, err), 1) << args[0];
    EXPECT_THAT(err.str(), AllOf(HasSubstr(SettingsPath()), HasSubstr(link))) << args[0];
    EXPECT_THAT(err.str(), Not(HasSubstr("yet")));
    EXPECT_FALSE(std::filesystem::exists(windir() / "nowhere"));
  }
}

TEST_F(Form1Test, TheCommandLineNeverOpensWhatIsNoRegularFile) {
  ASSERT_EQ(::mkfifo(SettingsPath().c_str(), 0600), 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--show"},
        std::vector<std::string>{"--set", "--local-host", "1.2.3.4", "--remote-host", "1.2.3.4",
                                 "--port", "1"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine(args, out, err), 1) << args[0];
    EXPECT_THAT(err.str(), AllOf(HasSubstr(SettingsPath()), HasSubstr("not a regular file")));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(std::filesystem::status(SettingsPath()).type(), std::filesystem::file_type::fifo);
  }
}

}  // namespace
}  // namespace ravelset::testing
