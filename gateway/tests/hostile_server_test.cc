// SPDX-License-Identifier: MIT

// A server module that misbehaves on purpose: it hangs up, resets, stays
// silent, drips, floods, splits its markers and sends odd bytes. Every case
// must end in its result code within a bound on time, and leave no file
// descriptor behind. The timeouts are short so that the suite runs in
// seconds.

#include <chrono>
#include <functional>
#include <memory>

#include "closed_port.h"
#include "full_backlog.h"
#include "gateway_fixture.h"
#include "hostile_steps.h"
#include "process_resources.h"
#include "result_printer.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/tcp_socket.h"

namespace morvane::testing {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using namespace testing_support;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kConnectTimeout = 400ms;
constexpr milliseconds kReceiveTimeout = 500ms;
// Opted in only where a case says so: by default the gap is off.
constexpr milliseconds kQuietGap = 150ms;
// Room for scheduling on a busy machine, on top of a case's own waits.
constexpr milliseconds kSlack = 1000ms;

// The greeting on one line: the prompt alone.
constexpr const char* kPromptOnly = "Please enter your secret string to continue.\xF5\xF5";
const std::string kOk(kSuccessText);

class HostileServerTest : public GatewayTest {
 protected:
  HostileServerTest() {
    platform::SetDefaultSocketTimeouts({.connect = kConnectTimeout, .receive = kReceiveTimeout});
    descriptors_before_ = OpenDescriptorCount();
  }

  // The server is gone before the descriptors are counted again, so that
  // only what the client kept would show.
  void TearDown() override {
    server_.reset();
    EXPECT_EQ(OpenDescriptorCount(), descriptors_before_) << "a descriptor leaked";
  }

  // Plays `script` with the client and points the settings at it.
  ScriptedServer& Play(std::vector<Step> script) {
    server_.reset();
    server_ = std::make_unique<ScriptedServer>(std::move(script));
    PointAt(server_->port());
    return *server_;
  }

  // A session that opens and then plays `after_command` once the command
  // line has been read.
  ScriptedServer& OpenThen(std::vector<Step> after_command) {
    std::vector<Step> script = {Send(kGreeting), ReadLine(), Send(kMasterPrompt), ReadLine()};
    for (Step& step : after_command) script.push_back(std::move(step));
    return Play(std::move(script));
  }

  // Runs `command` and checks that it took at most `at_most`.
  CommandReturn Within(milliseconds at_most, const std::function<CommandReturn()>& command) {
    const Clock::time_point start = Clock::now();
    CommandReturn result = command();
    took_ = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    EXPECT_LE(took_, at_most) << "the command took " << took_.count() << " ms";
    return result;
  }

  // How long the last command run by Within took.
  milliseconds took() const { return took_; }

  CommandReturn UserIDExists() { return wg_.UserIDExists("s3cret", "bob"); }

 private:
  std::unique_ptr<ScriptedServer> server_;
  size_t descriptors_before_ = 0;
  milliseconds took_{0};
};

// What a session failure looks like in the result of UserIDExists.
CommandReturn SessionFailure(int32_t number, std::string_view text) {
  return Result(number, std::string(text), 0, "");
}

// --- Hanging up and resetting ---

TEST_F(HostileServerTest, HangingUpAtOnceIsBadCommunication) {
  Play({CloseNow()});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));
}

// A reset that comes while the client is still finishing its connect shows
// as a connection that could not be made (-504); the pause lets the client
// be connected and waiting for the greeting, as the case means.
constexpr milliseconds kClientIsWaiting = 100ms;

TEST_F(HostileServerTest, AResetBeforeTheGreetingIsBadCommunication) {
  Play({Pause(kClientIsWaiting), ResetNow()});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));
}

TEST_F(HostileServerTest, AResetAfterTheGreetingIsAWrongSecret) {
  // Reset once the secret has arrived: its answer never comes.
  Play({Send(kGreeting), ReadLine(), ResetNow()});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kWrongSecret, kWrongSecretText));
  // Reset right behind the greeting: the greeting is read, then sending the
  // secret or reading its answer meets the reset.
  Play({Pause(kClientIsWaiting), Send(kGreeting), ResetNow()});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kWrongSecret, kWrongSecretText));
}

TEST_F(HostileServerTest, AResetInTheMiddleOfAReplyIsBadCommunication) {
  // "Password is" is the start of "Password is incorrect". Classified as a
  // whole reply it would match no rule and report the password as correct.
  OpenThen({Send("Password is"), Pause(50ms), ResetNow()});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "guess"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
  EXPECT_EQ(wg_.answer_long(), 0);
}

TEST_F(HostileServerTest, HangingUpInTheMiddleOfAReplyIsBadCommunication) {
  // An orderly close is no end of a reply either: taken whole, each of
  // these would report a correct password or a yes.
  OpenThen({Send("Password is inc"), CloseNow()});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "pw"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));

  OpenThen({Send("No such user"), CloseNow()});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "pw"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));

  OpenThen({Send("N"), Pause(50ms), CloseNow()});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.HasMaster("s3cret", "bob"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
}

// --- Silence ---

TEST_F(HostileServerTest, SilenceInsteadOfAGreetingEndsAtTheReceiveTimeout) {
  Play({HoldSilent(5s)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));
  EXPECT_GE(took(), kReceiveTimeout - 50ms);
}

TEST_F(HostileServerTest, SilenceAfterTheSecretIsAWrongSecret) {
  Play({Send(kGreeting), HoldSilent(5s)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kWrongSecret, kWrongSecretText));
  EXPECT_GE(took(), kReceiveTimeout - 50ms);
}

TEST_F(HostileServerTest, SilenceAfterTheCommandIsBadCommunication) {
  OpenThen({HoldSilent(5s)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return wg_.CurrentClass("s3cret", "bob"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
  EXPECT_GE(took(), kReceiveTimeout - 50ms);
}

TEST_F(HostileServerTest, AReplyWithoutAnEndIsNoReplyUnlessTheQuietGapIsOn) {
  // The server answers but neither ends the line nor closes.
  OpenThen({Send("User is suspended"), HoldSilent(5s)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return wg_.SuspendUser("s3cret", "bob"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
  EXPECT_GE(took(), kReceiveTimeout - 50ms);

  // Opted in for such a server, the gap takes what came.
  platform::SetDefaultSocketTimeouts(
      {.connect = kConnectTimeout, .receive = kReceiveTimeout, .quiet_gap = kQuietGap});
  OpenThen({Send("User is suspended"), HoldSilent(5s)});
  EXPECT_EQ(Within(kQuietGap + kSlack, [&] { return wg_.SuspendUser("s3cret", "bob"); }),
            Result(0, kOk, 1, "No Error"));
}

// --- Slow and split sending ---

TEST_F(HostileServerTest, AGreetingDrippedOneByteEvery100msIsCutOffAtTheReceiveTimeout) {
  // Slower than the receive timeout allows: a page is never held longer.
  Play({Drip(kPromptOnly, 100ms)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));
  EXPECT_GE(took(), kReceiveTimeout - 50ms);
}

TEST_F(HostileServerTest, TheReceiveTimeoutBoundsTheWholeExchange) {
  // Each step keeps within the receive timeout, and each byte of the reply
  // within the quiet gap of old; the steps together must not hold the page
  // longer than the one timeout.
  platform::SetDefaultSocketTimeouts(
      {.connect = kConnectTimeout, .receive = kReceiveTimeout, .quiet_gap = kQuietGap});
  Play({Pause(350ms), Send(kGreeting), ReadLine(), Pause(100ms), Send(kMasterPrompt), ReadLine(),
        Drip("User is suspended\r\n", kQuietGap - 50ms)});
  EXPECT_EQ(Within(kReceiveTimeout + kSlack, [&] { return wg_.SuspendUser("s3cret", "bob"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
}

TEST_F(HostileServerTest, AGreetingDrippedWithinTheTimeoutsIsJoined) {
  platform::SetDefaultSocketTimeouts(
      {.connect = kConnectTimeout, .receive = 3000ms, .quiet_gap = 250ms});
  Play({Drip(kPromptOnly, 10ms), ReadLine(), Send(kMasterPrompt), ReadLine(), Send("yes\r\n")});
  EXPECT_EQ(Within(3000ms, [&] { return UserIDExists(); }), Result(0, kOk, 1, ""));
}

TEST_F(HostileServerTest, AReplyInManySmallPiecesIsReadWhole) {
  // Cut after "Password is", this reply would mean a correct password.
  OpenThen({SendSeparately({"Pass", "word", " is", " inc", "orre", "ct\r", "\n"}, 20ms)});
  EXPECT_EQ(Within(kSlack + 200ms, [&] { return wg_.AuthUser("s3cret", "bob", "pw"); }),
            Result(0, kOk, 0, ""));

  OpenThen({Drip("Credits is : 150\xF5\r\n", 5ms)});
  EXPECT_EQ(Within(kSlack + 200ms, [&] { return wg_.NumberofCredits("s3cret", "bob"); }),
            Result(0, kOk, 150, ""));
}

TEST_F(HostileServerTest, LineEndsSentApartFromAPromptStayWithTheNextAnswer) {
  // Taken for the answer of their own, these line ends made the reply to
  // every command, and a wrong password or a missing user a yes.
  const std::vector<std::string> kMasterPromptThenLineEnd = {kMasterPrompt, "\r\n"};
  Play({Send(kGreeting), ReadLine(), SendSeparately(kMasterPromptThenLineEnd, 30ms), ReadLine(),
        Send("No such user\r\n")});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }), Result(0, kOk, 0, ""));

  Play({Send(kGreeting), ReadLine(), SendSeparately(kMasterPromptThenLineEnd, 30ms), ReadLine(),
        Send("Password is incorrect\r\n")});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "guess"); }),
            Result(0, kOk, 0, ""));

  // After the secret prompt they stay in front of the master prompt.
  Play({SendSeparately({kPromptOnly, "\r\n"}, 30ms), ReadLine(),
        SendSeparately(kMasterPromptThenLineEnd, 30ms), ReadLine(), Send("yes\r\n")});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }), Result(0, kOk, 1, ""));
}

TEST_F(HostileServerTest, AReplyThatPausesIsWaitedForToItsEnd) {
  // A retransmitted segment comes 200 ms late or more; cut off at the
  // pause, these replies would mean a correct password and a yes.
  OpenThen({SendSeparately({"Password is inc", "orrect\r\n"}, 300ms)});
  EXPECT_EQ(Within(300ms + kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "guess"); }),
            Result(0, kOk, 0, ""));

  OpenThen({SendSeparately({"N", "O\r\n"}, 300ms)});
  EXPECT_EQ(Within(300ms + kSlack, [&] { return wg_.HasMaster("s3cret", "bob"); }),
            Result(0, kOk, 0, ""));
}

TEST_F(HostileServerTest, CapitalEndCharactersEndThePromptsAtOnce) {
  Play({Send("PLEASE ENTER YOUR SECRET STRING TO CONTINUE.\xD5\xD5"), ReadLine(),
        Send("What is your wish my master?\xD5\xF5"), ReadLine(), Send("yes\r\n"), HoldSilent(5s)});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }), Result(0, kOk, 1, ""));
}

TEST_F(HostileServerTest, ABannerLineSentApartFromThePromptIsOutOfSync) {
  // The banner alone is a whole answer without the prompt: a visible
  // failure, never a wrong answer.
  Play({SendSeparately({"Welcome to the host\r\n", kPromptOnly}, 50ms), ReadLine(),
        Send(kMasterPrompt), ReadLine(), Send("yes\r\n")});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kOutOfSync, kOutOfSyncText));
}

TEST_F(HostileServerTest, TheTwoEndCharactersInSeparateSegmentsStillEndThePrompts) {
  Play({SendSeparately({"Please enter your secret string to continue.\xF5", "\xF5"}, 30ms),
        ReadLine(), SendSeparately({"What is your wish my master?\xF5", "\xF5"}, 30ms), ReadLine(),
        Send("User is deleted\r\n")});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.DeleteUser("s3cret", "bob"); }),
            Result(0, kOk, 1, "No Error"));
}

TEST_F(HostileServerTest, AValueWhoseEndAndLineEndComeApartIsRead) {
  OpenThen({SendSeparately({"Days is : 42\xF5", "\r\n"}, 30ms)});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.NumberOfDays("s3cret", "bob"); }),
            Result(0, kOk, 42, ""));
}

// --- A user ID that looks like the end of a prompt ---

// The server repeats the user ID before its verdict. A user ID ending in
// two end-of-value characters must not end the answer there: cut off at
// that point, these replies would mean a correct password, an account that
// exists and a value read from nothing.
struct EchoCase {
  const char* name;
  std::string reply;  // with the user ID the call sends
  std::function<CommandReturn(WG&)> call;
  CommandReturn expected;
};

const std::vector<EchoCase>& EchoCases() {
  static const std::vector<EchoCase> cases = {
      {"AuthUser", "User eve\xF5\xF5: Password is incorrect\r\n",
       [](WG& wg) { return wg.AuthUser("s3cret", "eveõõ", "guess"); }, Result(0, kOk, 0, "")},
      {"UserIDExists", "User eve\xD5\xF5: NO such user\r\n",
       [](WG& wg) { return wg.UserIDExists("s3cret", "eveÕõ"); }, Result(0, kOk, 0, "")},
      {"NumberofCredits", "User eve\xF5\xF5: No such user\r\n",
       [](WG& wg) { return wg.NumberofCredits("s3cret", "eveõõ"); },
       Result(kNoSuchUser, std::string(kNoSuchUserText), -1, "")},
  };
  return cases;
}

TEST_F(HostileServerTest, AUserIDEndingLikeAPromptNeverEndsTheAnswerUnderAnySplit) {
  for (const EchoCase& c : EchoCases()) {
    for (size_t cut = 1; cut < c.reply.size(); ++cut) {
      SCOPED_TRACE(std::string(c.name) + " cut after " + std::to_string(cut) + " bytes");
      OpenThen({SendSeparately({c.reply.substr(0, cut), c.reply.substr(cut)}, 5ms)});
      EXPECT_EQ(Within(kSlack, [&] { return c.call(wg_); }), c.expected);
    }
  }
}

TEST_F(HostileServerTest, APromptLikeEndWithoutALineEndIsNoAnswer) {
  struct Row {
    const char* name;
    Step after;
    milliseconds at_least;
  };
  const std::vector<Row> rows = {
      {"ThenClose", CloseNow(), 0ms},
      {"ThenSilence", HoldSilent(5s), kReceiveTimeout - 50ms},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OpenThen({Send("User eve\xF5\xF5"), row.after});
    EXPECT_EQ(
        Within(kReceiveTimeout + kSlack, [&] { return wg_.AuthUser("s3cret", "eveõõ", "guess"); }),
        SessionFailure(kBadCommunication, kBadCommunicationText));
    EXPECT_GE(took(), row.at_least);
  }
}

// --- Floods ---

// Megabytes without a line end or an end character: the client holds at
// most kMaxReplyBytes of them, takes them for no answer and hangs up.
TEST_F(HostileServerTest, AFloodedGreetingIsNoGreetingAndMemoryStaysFlat) {
  Play({Flood(4 << 20, "x")});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));
  const size_t resident_before = ResidentBytes();
  for (int i = 0; i < 10; ++i) {
    Play({Flood(4 << 20, "Please enter your secret string")});
    EXPECT_EQ(UserIDExists().error_object.number, kBadCommunication);
  }
  // Ten floods of 4 MiB each; far less than one of them may stay.
  if (kResidentMemoryShowsLeaks) {
    EXPECT_LT(ResidentBytes(), resident_before + (1 << 20));
  }
}

TEST_F(HostileServerTest, AFloodedReplyIsNoReply) {
  // Classified from the part held, the first would pass for an answer and
  // the second for a yes.
  OpenThen({Flood(4 << 20, "no such user ")});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.AuthUser("s3cret", "bob", "pw"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));

  OpenThen({Flood(4 << 20, "x")});
  EXPECT_EQ(Within(kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kBadCommunication, kBadCommunicationText));

  OpenThen({Send("Credits is : "), Flood(4 << 20, "1")});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.NumberofCredits("s3cret", "bob"); }),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
}

// --- Odd bytes ---

TEST_F(HostileServerTest, NulBytesNeitherEndNorHideAnything) {
  Play({Send("\0"s + kPromptOnly), ReadLine(), Send(kMasterPrompt), ReadLine(),
        Send("\0\0No such user\0\r\n"s)});
  EXPECT_EQ(Within(kSlack, [&] { return wg_.UserOnline("s3cret", "bob"); }),
            Result(kNoSuchUser, std::string(kNoSuchUserText), 0, "Error"));

  OpenThen({Send("\0is : 42\xF5\r\n"s)});
  EXPECT_EQ(wg_.NumberofCredits("s3cret", "bob"), Result(0, kOk, 42, ""));

  OpenThen(
      {Send("is : 4\0"
            "2\xF5\r\n"s)});
  EXPECT_EQ(RaisedError([&] { wg_.NumberofCredits("s3cret", "bob"); }), platform::kTypeMismatch);
}

TEST_F(HostileServerTest, BytesAbove0x7FAreCharactersOfTheCodePage) {
  std::string high;  // 0x80 to 0xF4: up to the end character
  for (int byte = 0x80; byte < 0xF5; ++byte) high += static_cast<char>(byte);

  // Without the letters n and o side by side, a yes.
  OpenThen({Send(high + "\xF5\xF6\xFF\r\n")});
  EXPECT_EQ(wg_.UserOnline("s3cret", "bob"), Result(0, kOk, 1, "No Error"));

  // Õ (0xD5) is the capital of the end character, so the value ends there.
  OpenThen({Send("Class is : " + high + "\xF5\r\n")});
  const std::string up_to_capital = high.substr(0, 0xD5 - 0x80);
  EXPECT_EQ(wg_.PrimaryClass("s3cret", "bob"),
            Result(0, kOk, 0, platform::AnsiToUtf8(up_to_capital)));
}

// --- Nobody to talk to ---

TEST_F(HostileServerTest, AFullListenQueueEndsAtTheConnectTimeout) {
  FullBacklog full;
  PointAt(full.port());
  EXPECT_EQ(Within(kConnectTimeout + kSlack, [&] { return UserIDExists(); }),
            SessionFailure(kNoConnection, kNoConnectionText));
  EXPECT_GE(took(), kConnectTimeout - 50ms);
}

TEST_F(HostileServerTest, NothingListeningIsNoConnectionAtOnce) {
  ClosedPort nothing_listening;
  PointAt(nothing_listening.port());
  EXPECT_EQ(Within(100ms, [&] { return UserIDExists(); }),
            SessionFailure(kNoConnection, kNoConnectionText));
}

}  // namespace
}  // namespace morvane::testing
