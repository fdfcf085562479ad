// SPDX-License-Identifier: MIT

#include "closed_port.h"
#include "gateway_fixture.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using ValueQueriesTest = GatewayTest;

const std::string kOk(kSuccessText);

TEST_F(ValueQueriesTest, ReadsTheNumberBetweenTheMarkers) {
  Serve("Credits for bob is : 150\xF5\r\n");
  EXPECT_EQ(wg_.NumberofCredits("s", "bob"), Result(0, kOk, 150, ""));
  Serve("Days is :  42 \xF5\r\n");
  EXPECT_EQ(wg_.NumberOfDays("s", "bob").long_value, 42);
  Serve("is : -7\xF5\r\n");
  EXPECT_EQ(wg_.LastLogin("s", "bob").long_value, -7);
  Serve("is : 12.5\xF5\r\n");
  EXPECT_EQ(wg_.CreationDate("s", "bob").long_value, 12);
  Serve("is : 13.5\xD5\r\n");  // the capital form ends a value too
  EXPECT_EQ(wg_.CreationDate("s", "bob").long_value, 14);
}

TEST_F(ValueQueriesTest, AValueSplitOverTwoSegmentsIsWhole) {
  ServeScript({Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), Send("is : 12"),
               Pause(20ms), Send("34\xF5\r\n")});
  EXPECT_EQ(wg_.NumberofCredits("s", "bob").long_value, 1234);
}

TEST_F(ValueQueriesTest, AccountNumberErrorsGiveMinusOneExceptMalformed) {
  Serve("no such user\r\n");
  EXPECT_EQ(wg_.NumberofCredits("s", "bob"), Result(-101, "No such user exists", -1, ""));
  Serve("No such command\r\n");
  EXPECT_EQ(wg_.NumberOfDays("s", "bob"), Result(-100, "No such command", -1, ""));
  Serve("Malformed request syntax\r\n");
  EXPECT_EQ(wg_.NumberOfDays("s", "bob"), Result(-110, "Malformed request syntax", 0, ""));
  Serve("No such user is : 5\xF5\r\n");  // the error wins; the value is not read
  EXPECT_EQ(wg_.LastLogin("s", "bob").error_object.number, -101);
}

TEST_F(ValueQueriesTest, ClassNamesAreTakenUntrimmedAndMayBeEmpty) {
  Serve("Primary class is :  Sysop \xF5\r\n");
  EXPECT_EQ(wg_.PrimaryClass("s", "bob"), Result(0, kOk, 0, " Sysop "));
  Serve("Current class is : \xF5\r\n");
  EXPECT_EQ(wg_.CurrentClass("s", "bob"), Result(0, kOk, 0, ""));
  Serve("Current class is : Caf\xE9\xF5\r\n");
  EXPECT_EQ(wg_.CurrentClass("s", "bob").string_value, "Café");
  Serve("No such user\r\n");
  EXPECT_EQ(wg_.PrimaryClass("s", "bob"), Result(-101, "No such user exists", 0, "Error"));
}

TEST_F(ValueQueriesTest, SessionFailureTextsDifferBetweenTheClassQueries) {
  const ClosedPort nothing_listening;
  PointAt(nothing_listening.port());
  EXPECT_EQ(wg_.PrimaryClass("s", "bob").string_value, "");
  EXPECT_EQ(wg_.CurrentClass("s", "bob").string_value, "Error");
  EXPECT_EQ(wg_.SystemVariable("s", 1).string_value, "Error");
  EXPECT_EQ(wg_.NumberofCredits("s", "bob"), Result(-504, std::string(kNoConnectionText), 0, ""));
}

TEST_F(ValueQueriesTest, SystemVariableRules) {
  Serve("Variable 3 is : 77\xF5\r\n");
  EXPECT_EQ(wg_.SystemVariable("s", 3), Result(0, kOk, 77, "No Error"));
  Serve("Unable to comply\r\n");
  EXPECT_EQ(wg_.SystemVariable("s", 3),
            Result(-104, "Server returned an unknown error", 0, "Error"));
  Serve("No such system variable exists\r\n");
  EXPECT_EQ(wg_.SystemVariable("s", 3), Result(-106, "No such system variable exists", 0, "Error"));
  Serve("No such user\r\n");  // not a rule of this command: a value is looked for
  EXPECT_EQ(RaisedError([&] { wg_.SystemVariable("s", 3); }), platform::kInvalidProcedureCall);
}

TEST_F(ValueQueriesTest, AnUnreadableValueRaisesAndKeepsTheProperties) {
  Serve("is : 5\xF5\r\n");
  wg_.NumberofCredits("s", "bob");
  Serve("is : 150\r\n");
  EXPECT_EQ(RaisedError([&] { wg_.NumberofCredits("s", "bob"); }), platform::kInvalidProcedureCall);
  Serve("is : lots\xF5\r\n");
  EXPECT_EQ(RaisedError([&] { wg_.NumberOfDays("s", "bob"); }), platform::kTypeMismatch);
  Serve("is : 3000000000\xF5\r\n");
  EXPECT_EQ(RaisedError([&] { wg_.NumberOfDays("s", "bob"); }), platform::kOverflow);
  EXPECT_EQ(wg_.answer_long(), 5);
  EXPECT_EQ(wg_.error_description(), kOk);
}

TEST_F(ValueQueriesTest, AMissingReplyIsBadCommunicationNotARaisedError) {
  ServeScript({Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine(), CloseNow()});
  EXPECT_EQ(wg_.CurrentClass("s", "bob"),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
}

}  // namespace
}  // namespace morvane::testing
