// SPDX-License-Identifier: MIT

// Settings files the tool did not write: loading never fails, shows what
// it can and tells the user once what was wrong.

#include <gmock/gmock.h>
#include <unistd.h>

#include "fake_form1_host.h"
#include "ravelset/form1.h"

namespace ravelset::testing {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using Parts = std::array<float, 4>;

class DamagedFile : public Form1Test {
 protected:
  // Loads `bytes` as the settings file; returns the one message shown.
  std::string Load(const std::string& bytes) {
    WriteFileBytes(bytes);
    form_.Form_Load();
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(FileBytes(), bytes) << "loading must not write";
    return host_.messages.empty() ? std::string() : host_.messages[0].text;
  }

  FakeForm1Host host_;
  Form1 form_{host_};
};

TEST_F(DamagedFile, AShortFileShowsWhatItHoldsAndReportsTheRest) {
  const std::string message = Load("127.0.0.1");
  EXPECT_EQ(host_.remote.parts(), (Parts{127, 0, 0, 1}));
  EXPECT_EQ(host_.local.parts(), (Parts{0, 0, 0, 0}));
  EXPECT_EQ(host_.port_text, "");
  EXPECT_THAT(message,
              AllOf(StartsWith("The settings file " + SettingsPath() + " is damaged:"),
                    HasSubstr("The file holds 9 of the 60 bytes of a complete record."),
                    HasSubstr("The Local Host IP is empty."),
                    HasSubstr("The Port Number is empty."), Not(HasSubstr("Remote Host IP"))));
  EXPECT_EQ(host_.messages[0].title, std::nullopt);
  EXPECT_EQ(host_.end_calls, 0);
}

TEST_F(DamagedFile, AnEmptyFileIsNoFirstRun) {
  const std::string message = Load("");
  EXPECT_THAT(message, AllOf(HasSubstr("holds 0 of the 60 bytes"), Not(HasSubstr("first time"))));
  EXPECT_EQ(host_.remote.parts(), (Parts{0, 0, 0, 0}));
}

TEST_F(DamagedFile, AnAddressWithFewerThanThreeDotsKeepsItsReadableParts) {
  const std::string message = Load(Record("10.0.1", "172.16.0.9", "3425"));
  EXPECT_EQ(host_.remote.parts(), (Parts{10, 0, 1, 0}));
  EXPECT_EQ(host_.local.parts(), (Parts{172, 16, 0, 9}));
  EXPECT_EQ(host_.port_text, "3425 ");
  EXPECT_THAT(message, HasSubstr("\nThe Remote Host IP \"10.0.1\" has fewer than three dots.\n"));
  EXPECT_THAT(message, Not(HasSubstr("Part ")));  // a part the field lacks is no extra fault
}

TEST_F(DamagedFile, PartsThatAreNoNumberShowAsZeroAndAreNamed) {
  const std::string message = Load(Record("1.2.3.4", "192.168.x.1", "3425"));
  EXPECT_EQ(host_.local.parts(), (Parts{192, 168, 0, 1}));
  EXPECT_THAT(message, HasSubstr("Part 3 of the Local Host IP \"192.168.x.1\" is not a number."));
  EXPECT_THAT(message, Not(HasSubstr("Part 4")));
}

TEST_F(DamagedFile, PartsOutsideAnAddressAreNamed) {
  const std::string message = Load(Record("1.2.3.300", "1.2.3.4.5", "3425"));
  EXPECT_EQ(host_.remote.parts(), (Parts{1, 2, 3, 255}));  // the control clamps
  EXPECT_EQ(host_.local.parts(), (Parts{1, 2, 3, 4.5f}));
  EXPECT_THAT(message, AllOf(HasSubstr("Part 4 of the Remote Host IP \"1.2.3.300\" is not a "
                                       "whole number from 0 to 255."),
                             HasSubstr("Part 4 of the Local Host IP \"1.2.3.4.5\" is not a "
                                       "whole number from 0 to 255.")));
  // OK refuses what loading could not make whole.
  host_.messages.clear();
  form_.cmdOk_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "Your Local Host IP is incorrectly formatted");
}

TEST_F(DamagedFile, ControlCharactersAreShownAsQuestionMarks) {
  // NUL, DEL and the bytes the code page leaves undefined show as "?";
  // a defined byte such as 0x80 shows as its character.
  const struct {
    char byte;
    const char* shown;
  } kRows[] = {{'\0', "?"},   {'\x7F', "?"}, {'\x81', "?"}, {'\x8D', "?"},
               {'\x8F', "?"}, {'\x90', "?"}, {'\x9D', "?"}, {'\x80', "\xE2\x82\xAC"}};
  for (const auto& row : kRows) {
    host_.messages.clear();
    const std::string message =
        Load(Record(std::string("10.0.0.1") + row.byte, "10.0.0.2", "3425"));
    EXPECT_THAT(message, HasSubstr("Part 4 of the Remote Host IP \"10.0.0.1" +
                                   std::string(row.shown) + "\" is not a number."))
        << static_cast<int>(static_cast<unsigned char>(row.byte));
  }
}

TEST_F(DamagedFile, APortTheToolWouldRefuseIsReported) {
  std::string message = Load(Record("1.2.3.4", "1.2.3.4", "abc"));
  EXPECT_THAT(message, HasSubstr("The Port Number \"abc\" is not a number from 1 to 32000."));
  EXPECT_EQ(host_.port_text, "abc  ");
}

TEST_F(DamagedFile, ALongPortIsReportedAndShownCut) {
  const std::string message = Load(Record("1.2.3.4", "1.2.3.4", "123456"));
  EXPECT_THAT(message, HasSubstr("The Port Number \"123456\" is longer than 5 characters"));
  EXPECT_EQ(host_.port_text, "12345");
}

TEST_F(DamagedFile, AllFaultsComeInOneMessage) {
  const std::string message = Load(Record("a.b", "", "0"));
  for (const char* fault :
       {"Remote Host IP \"a.b\" has fewer than three dots", "Part 1 of the Remote Host IP",
        "Part 2 of the Remote Host IP", "The Local Host IP is empty", "The Port Number \"0\""}) {
    EXPECT_THAT(message, HasSubstr(fault));
  }
}

TEST_F(DamagedFile, APortWithLeadingBlanksIsShownWithoutThem) {
  // The gateway reads "  4000" as 4000; the box of 5 characters must not
  // turn it into 400.
  WriteFileBytes(Record("1.2.3.4", "5.6.7.8", "  4000"));
  form_.Form_Load();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(host_.port_text, "4000 ");
  form_.cmdOk_Click();
  EXPECT_EQ(host_.end_calls, 1);
  EXPECT_EQ(FileBytes(), Record("1.2.3.4", "5.6.7.8", "4000 "));
}

TEST_F(DamagedFile, AFileThatCannotBeReadShowsEmptySettings) {
  WriteFileBytes(Record("1.2.3.4", "5.6.7.8", "3425"));
  if (::geteuid() == 0) {
    // Root reads any file; a file whose every read fails stands in.
    std::filesystem::remove(SettingsPath());
    std::filesystem::create_symlink("/proc/self/mem", SettingsPath());
  } else {
    std::filesystem::permissions(SettingsPath(), std::filesystem::perms::none);
  }
  host_.local.set_parts({9, 9, 9, 9});
  host_.port_text = "77";
  form_.Form_Load();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_THAT(host_.messages[0].text,
              AllOf(StartsWith("The settings file " + SettingsPath() + " cannot be read: "),
                    Not(HasSubstr(": " + SettingsPath() + " ("))));
  EXPECT_EQ(host_.local.parts(), (Parts{0, 0, 0, 0}));
  EXPECT_EQ(host_.remote.parts(), (Parts{0, 0, 0, 0}));
  EXPECT_EQ(host_.port_text, "");
  EXPECT_EQ(host_.end_calls, 0);
}

}  // namespace
}  // namespace ravelset::testing
