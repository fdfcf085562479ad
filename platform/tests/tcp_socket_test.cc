// SPDX-License-Identifier: MIT

#include "tessaly/platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "closed_port.h"
#include "host_name_lookup.h"
#include "hostile_steps.h"
#include "scripted_server.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using std::chrono::milliseconds;
using testing_support::CloseNow;
using testing_support::Drip;
using testing_support::Flood;
using testing_support::HoldSilent;
using testing_support::Pause;
using testing_support::ReadLine;
using testing_support::ScriptedServer;
using testing_support::Send;
using testing_support::SendSeparately;

constexpr milliseconds kReceiveTimeout = 600ms;
// Room for scheduling on a busy machine, on top of a case's own waits.
constexpr milliseconds kSlack = 1000ms;

class TcpSocketTest : public ::testing::Test {
 protected:
  std::shared_ptr<TcpSocket> Socket(uint16_t port) {
    auto socket = CreateObjectAs<TcpSocket>(kTcpSocketProgId);
    socket->SetTimeouts({.connect = 1000ms, .receive = kReceiveTimeout});
    socket->SetLocalHost("127.0.0.1");
    socket->SetRemoteHost("127.0.0.1");
    socket->SetRemotePort(port);
    return socket;
  }
  static auto Elapsed(std::chrono::steady_clock::time_point start) {
    return std::chrono::steady_clock::now() - start;
  }
};

TEST_F(TcpSocketTest, ExchangesTextAsWindows1252) {
  ScriptedServer server({Send("Hell\xF5 \xF5\xF5"), ReadLine(), Send("caf\xE9\r\n")});
  auto socket = Socket(server.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  std::string data;
  ASSERT_NE(socket->Receive(data, kReceivePrompt), kSocketFailed);
  EXPECT_EQ(data, "Hellõ õõ");
  ASSERT_NE(socket->Send("crème €\r\n"), kSocketFailed);
  ASSERT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "café\r\n");
  socket->Close();
  socket->Close();
  EXPECT_EQ(socket->Send("x"), kSocketFailed);
}

// One Receive against a server that answers in its own way: what it
// returns, or nullopt for a failure, and within what time.
struct AnswerCase {
  const char* name;
  std::vector<testing_support::Step> script;
  std::optional<std::string> answer;
  milliseconds at_most = kSlack;
  milliseconds at_least = 0ms;
  milliseconds quiet_gap = 0ms;
  int16_t mode = kReceiveText;
};

void PrintTo(const AnswerCase& row, std::ostream* out) { *out << row.name; }

// `row` read as a prompt of the handshake.
AnswerCase Prompt(AnswerCase row) {
  row.mode = kReceivePrompt;
  return row;
}

class AnswerEndTest : public TcpSocketTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerEndTest, ReturnsACompleteAnswerOrFails) {
  const AnswerCase& c = GetParam();
  ScriptedServer server(c.script);
  auto socket = Socket(server.port());
  socket->SetTimeouts({.connect = 1000ms, .receive = kReceiveTimeout, .quiet_gap = c.quiet_gap});
  ASSERT_NE(socket->Connect(), kSocketFailed);
  const auto start = std::chrono::steady_clock::now();
  std::string data = "old";
  const int16_t flag = socket->Receive(data, c.mode);
  const auto took = Elapsed(start);
  socket->Close();
  if (c.answer) {
    EXPECT_NE(flag, kSocketFailed);
    EXPECT_EQ(data, *c.answer);
  } else {
    EXPECT_EQ(flag, kSocketFailed);
    EXPECT_EQ(data, "");
  }
  EXPECT_LE(took, c.at_most);
  EXPECT_GE(took, c.at_least);
}

const std::string kCapped(kMaxReplyBytes - 2, 'x');

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerEndTest,
    ::testing::Values(
        AnswerCase{"LineEnd", {Send("line\r\n"), HoldSilent(2s)}, "line\r\n"},
        AnswerCase{
            "PiecesJoined", {Send("is : 1"), Pause(30ms), Send("50\xF5\r\n")}, "is : 150õ\r\n"},
        // Two end-of-value characters end a prompt, and only a prompt.
        Prompt({"TwoEndCharacters", {Send("Prompt\xF5\xF5"), HoldSilent(2s)}, "Promptõõ"}),
        Prompt({"CapitalEndCharacters", {Send("PROMPT\xD5\xD5"), HoldSilent(2s)}, "PROMPTÕÕ"}),
        Prompt({"MixedEndCharacters", {Send("prompt\xD5\xF5"), HoldSilent(2s)}, "promptÕõ"}),
        Prompt({"PromptsEndAtALineEndToo", {Send("Welcome\r\n"), HoldSilent(2s)}, "Welcome\r\n"}),
        AnswerCase{"EndCharactersDoNotEndACommandAnswer",
                   {SendSeparately({"User eve\xF5\xF5", ": Password is incorrect\r\n"}, 50ms)},
                   "User eveõõ: Password is incorrect\r\n"},
        AnswerCase{"EndCharactersThenCloseAreNoCommandAnswer",
                   {Send("User eve\xD5\xF5"), CloseNow()},
                   std::nullopt},
        AnswerCase{"OneEndCharacterWaitsForTheLineEnd",
                   {SendSeparately({"is : 42\xF5", "\r\n"}, 50ms)},
                   "is : 42õ\r\n"},
        AnswerCase{"LineEndsAloneWaitForTheAnswer",
                   {SendSeparately({"\r\n", "NO\r\n"}, 50ms)},
                   "\r\nNO\r\n"},
        AnswerCase{"CompleteAtTheCap", {Send(kCapped + "\r\n"), HoldSilent(2s)}, kCapped + "\r\n"},
        // No answer: a piece must never pass for the whole.
        AnswerCase{"LineEndsAloneThenClose", {Send("\r\n\r\n"), CloseNow()}, std::nullopt},
        AnswerCase{"CutOffByOrderlyClose", {Send("Password is inc"), CloseNow()}, std::nullopt},
        AnswerCase{"OneEndCharacterThenClose", {Send("is : 42\xF5"), CloseNow()}, std::nullopt},
        AnswerCase{"CutOffByTheTimeBound",
                   {Send("Password is inc"), HoldSilent(2s)},
                   std::nullopt,
                   kReceiveTimeout + kSlack,
                   kReceiveTimeout - 50ms},
        AnswerCase{"FloodBeyondTheCap", {Flood(kMaxReplyBytes * 3, "x")}, std::nullopt},
        AnswerCase{"Silence",
                   {HoldSilent(2s)},
                   std::nullopt,
                   kReceiveTimeout + kSlack,
                   kReceiveTimeout - 50ms},
        AnswerCase{"CloseAtOnce", {CloseNow()}, std::nullopt},
        // The quiet gap, opted in, takes what came once the server pauses, but
        // never line ends alone, and never past the receive timeout.
        AnswerCase{"QuietGapTakesAPause",
                   {Send("partial"), HoldSilent(2s)},
                   "partial",
                   100ms + kSlack,
                   90ms,
                   100ms},
        AnswerCase{"QuietGapSkipsLineEndsAlone",
                   {Send("\r\n"), HoldSilent(2s)},
                   std::nullopt,
                   kReceiveTimeout + kSlack,
                   kReceiveTimeout - 50ms,
                   100ms},
        AnswerCase{"DripUnderTheQuietGap",
                   {Drip(std::string(100, 'x'), 50ms)},
                   std::nullopt,
                   kReceiveTimeout + kSlack,
                   kReceiveTimeout - 50ms,
                   100ms}),
    [](const ::testing::TestParamInfo<AnswerCase>& row) { return std::string(row.param.name); });

TEST_F(TcpSocketTest, LineEndsAfterAPromptStayAtTheFrontOfTheNextAnswer) {
  ScriptedServer server(
      {Send("Prompt\xF5\xF5"), Pause(100ms), Send("\r\n"), ReadLine(), Send("YES\r\n")});
  auto socket = Socket(server.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  std::string data;
  ASSERT_NE(socket->Receive(data, kReceivePrompt), kSocketFailed);
  EXPECT_EQ(data, "Promptõõ");
  ASSERT_NE(socket->Send("CMD\r\n"), kSocketFailed);
  ASSERT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "\r\nYES\r\n");
}

TEST_F(TcpSocketTest, TimeoutsAreClampedToASaneRange) {
  constexpr milliseconds kForever = milliseconds::max();
  constexpr milliseconds k2To31 = milliseconds(int64_t{1} << 31);
  const SocketTimeouts clamped =
      ClampSocketTimeouts({.connect = kForever, .receive = k2To31, .quiet_gap = -5ms});
  EXPECT_EQ(clamped.connect, kLongestSocketTimeout);
  EXPECT_EQ(clamped.receive, kLongestSocketTimeout);
  EXPECT_EQ(clamped.quiet_gap, 0ms);
  EXPECT_EQ(ClampSocketTimeouts({.connect = 1500ms}).connect, 1500ms);

  const SocketTimeouts before = DefaultSocketTimeouts();
  SetDefaultSocketTimeouts({.connect = kForever, .receive = kForever, .quiet_gap = k2To31});
  EXPECT_EQ(DefaultSocketTimeouts().quiet_gap, kLongestSocketTimeout);
  SetDefaultSocketTimeouts(before);

  // Huge timeouts neither overflow into no wait nor into an endless one.
  for (milliseconds huge : {k2To31, kForever}) {
    ScriptedServer server({Send("line\r\n"), ReadLine(), Send("partial"), CloseNow()});
    auto socket = Socket(server.port());
    socket->SetTimeouts({.connect = huge, .receive = huge, .quiet_gap = huge});
    ASSERT_NE(socket->Connect(), kSocketFailed);
    std::string data;
    EXPECT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
    EXPECT_EQ(data, "line\r\n");
    EXPECT_NE(socket->Send("CMD\r\n"), kSocketFailed);
    EXPECT_EQ(socket->Receive(data, kReceiveText), kSocketFailed);
  }
}

// A name service under the test's control: "module.test" is this machine,
// names starting "hangs" take far longer than any connect timeout.
class HostNameLookupTest : public TcpSocketTest {
 protected:
  static constexpr milliseconds kConnectTimeout = 300ms;
  HostNameLookupTest() {
    SetHostNameLookup([](const std::string& name) -> std::string {
      if (name == "module.test") return "127.0.0.1";
      if (name.starts_with("hangs")) std::this_thread::sleep_for(3s);
      return "";
    });
  }
  ~HostNameLookupTest() override { SetHostNameLookup({}); }

  int16_t ConnectWithin(TcpSocket& socket, milliseconds at_most) {
    socket.SetTimeouts({.connect = kConnectTimeout, .receive = kReceiveTimeout});
    const auto start = std::chrono::steady_clock::now();
    const int16_t flag = socket.Connect();
    EXPECT_LE(Elapsed(start), at_most);
    return flag;
  }
};

TEST_F(HostNameLookupTest, LookupsCountAgainstTheConnectTimeout) {
  ScriptedServer server({Send("hello\r\n")});
  auto named = Socket(server.port());
  named->SetRemoteHost("module.test");
  EXPECT_NE(ConnectWithin(*named, kSlack), kSocketFailed);

  // Only a dotted address in its plain form is taken as one, read up to a
  // NUL as a NUL-padded settings field holds it; anything else goes to the
  // name service, which knows none of these.
  for (const auto& [host, address] : {std::pair<std::string, bool>{"127.0.0.1", true},
                                      {"127.0.0.01", false},
                                      {"127.0.0.256", false},
                                      {"127.0.0.1.1", false},
                                      {"127.0.1", false},
                                      {"127..0.1", false},
                                      {"127.0.0.1 ", false},
                                      {std::string("127.0.0.1\0", 10), true}}) {
    auto socket = Socket(server.port());
    socket->SetRemoteHost(host);
    EXPECT_EQ(ConnectWithin(*socket, kSlack) != kSocketFailed, address) << host;
  }

  auto remote_hangs = Socket(server.port());
  remote_hangs->SetRemoteHost("hangs.remote.test");
  EXPECT_EQ(ConnectWithin(*remote_hangs, kConnectTimeout + kSlack), kSocketFailed);

  auto local_hangs = Socket(server.port());
  local_hangs->SetLocalHost("hangs.local.test");
  EXPECT_EQ(ConnectWithin(*local_hangs, kConnectTimeout + kSlack), kSocketFailed);

  // Callers that meet a lookup already under way wait for it within their
  // own timeouts.
  std::vector<std::thread> callers;
  for (int i = 0; i < 4; ++i) {
    callers.emplace_back([&] {
      auto again = Socket(server.port());
      again->SetRemoteHost("hangs.remote.test");
      EXPECT_EQ(ConnectWithin(*again, kConnectTimeout + kSlack), kSocketFailed);
    });
  }
  for (std::thread& caller : callers) caller.join();
}

TEST_F(TcpSocketTest, ConnectFailsForBadPortsHostsAndRefusals) {
  const testing_support::ClosedPort nothing_listening;
  EXPECT_EQ(Socket(nothing_listening.port())->Connect(), kSocketFailed);
  EXPECT_EQ(Socket(0)->Connect(), kSocketFailed);
  ScriptedServer server({});
  auto wrapped = Socket(server.port());
  wrapped->SetRemotePort(server.port() + 65536);  // must not wrap round to the real port
  EXPECT_EQ(wrapped->Connect(), kSocketFailed);
  auto unnamed = Socket(server.port());
  unnamed->SetRemoteHost("");  // resolved locally: no name service is asked
  EXPECT_EQ(unnamed->Connect(), kSocketFailed);
  auto unbindable = Socket(server.port());
  unbindable->SetLocalHost("203.0.113.9");  // not an address of this machine
  EXPECT_EQ(unbindable->Connect(), kSocketFailed);
  auto by_name = Socket(server.port());
  by_name->SetRemoteHost("localhost");
  by_name->SetLocalHost("");
  EXPECT_NE(by_name->Connect(), kSocketFailed);
}

}  // namespace
}  // namespace platform
