// SPDX-License-Identifier: MIT

// Opening a session: connect, greeting, secret phrase, master prompt.

#include "class_registration.h"
#include "closed_port.h"
#include "gateway_fixture.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;

using SessionTest = GatewayTest;

constexpr const char* kBusy = "Sorry, already too many requests.  Try again later!\xF5\xF5";

TEST_F(SessionTest, OpensWithTheSecretOnALineOfItsOwn) {
  Serve("YES\r\n");
  EXPECT_EQ(wg_.UserIDExists("s3cret", "bob"), Result(0, std::string(kSuccessText), 1, ""));
  EXPECT_EQ(SentBytes(), "s3cret\r\nUSERIDEXISTS bob\r\n");
}

TEST_F(SessionTest, AnEmptySecretStillSendsItsLine) {
  Serve("YES\r\n");
  wg_.UserIDExists("", "bob");
  EXPECT_EQ(SentBytes(), "\r\nUSERIDEXISTS bob\r\n");
}

TEST_F(SessionTest, ARefusalWinsOverThePrompt) {
  ServeScript({Send(std::string(kBusy) + "\r\n" + kGreeting)});
  EXPECT_EQ(wg_.UserIDExists("s", "bob"), Result(kServerBusy, std::string(kServerBusyText), 0, ""));
}

TEST_F(SessionTest, ThePromptCountsOnlyWithItsEndCharactersInAnyCase) {
  ServeScript({Send("Please enter your secret string to continue.\r\n")});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kOutOfSync);

  ServeScript({Send("PLEASE ENTER YOUR SECRET STRING TO CONTINUE.\xD5\xF5"), ReadLine(),
               Send(kMasterPrompt), ReadLine(), Send("yes\r\n")});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kSuccess);
}

TEST_F(SessionTest, AWrongSecretIsRefusedAndTheConnectionClosed) {
  auto& server = ServeScript({Send(kGreeting), ReadLine(), Send("Goodbye.\xF5\xF5"), ReadLine()});
  EXPECT_EQ(wg_.AuthUser("wrong", "bob", "pw"),
            Result(kWrongSecret, std::string(kWrongSecretText), 0, ""));
  // The client sent nothing after the secret: the server's read met the close.
  EXPECT_EQ(server.Received().front(), "wrong\r\n");
}

TEST_F(SessionTest, GoodbyeWinsOverTheMasterPrompt) {
  ServeScript({Send(kGreeting), ReadLine(), Send(std::string("Goodbye.\xF5\xF5") + kMasterPrompt)});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kWrongSecret);
}

TEST_F(SessionTest, AnAnswerWithoutTheMasterPromptIsOutOfSync) {
  ServeScript({Send(kGreeting), ReadLine(), Send("Hmm?\r\n")});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kOutOfSync);
}

TEST_F(SessionTest, NoAnswerToTheSecretIsAWrongSecret) {
  ServeScript({Send(kGreeting), ReadLine(), CloseNow()});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kWrongSecret);
  // A master prompt cut off before its end characters is no answer either.
  ServeScript({Send(kGreeting), ReadLine(), Send("What is your wish my master?"), CloseNow()});
  EXPECT_EQ(wg_.UserIDExists("s", "bob").error_object.number, kWrongSecret);
}

TEST_F(SessionTest, NoGreetingIsBadCommunication) {
  ServeScript({Pause(2500ms)});
  EXPECT_EQ(wg_.UserIDExists("s", "bob"),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
  ServeScript({Send("Please enter your secret string to continue.\xF5"), CloseNow()});
  EXPECT_EQ(wg_.UserIDExists("s", "bob"),
            Result(kBadCommunication, std::string(kBadCommunicationText), 0, ""));
}

TEST_F(SessionTest, NothingListeningIsNoConnectionAndQuick) {
  const ClosedPort nothing_listening;
  PointAt(nothing_listening.port());
  const auto start = std::chrono::steady_clock::now();
  const CommandReturn result = wg_.CurrentClass("s", "bob");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_EQ(result,
            Result(kNoConnection, "Unable to open socket connection to server", 0, "Error"));
  EXPECT_EQ(wg_.error_number(), kNoConnection);
  EXPECT_EQ(wg_.error_description(), "Unable to open socket connection to server");
  EXPECT_EQ(wg_.answer_long(), 0);
  EXPECT_EQ(wg_.answer_string(), "Error");
}

TEST_F(SessionTest, ABadPortRaisesAndLeavesThePropertiesAlone) {
  Serve("Malformed request syntax\r\n");
  wg_.UserIDExists("s", "bob");
  WriteSettings("127.0.0.1", "127.0.0.1", "not a port");
  EXPECT_EQ(RaisedError([&] { wg_.UserIDExists("s", "bob"); }), platform::kTypeMismatch);
  EXPECT_EQ(wg_.error_number(), kMalformedRequest);
  EXPECT_EQ(wg_.error_description(), "Malformed request syntax");
}

TEST_F(SessionTest, InitWinsockConfiguresWithoutConnecting) {
  WriteSettings("127.0.0.5", "127.0.0.1", " 4000 ");
  auto socket = wg_.InitWinsock();
  EXPECT_EQ(socket->Describe(),
            "VBWinsock.TCPIP local host \"127.0.0.1\", remote host \"127.0.0.5\", remote port "
            "4000, not connected");
  EXPECT_EQ(wg_.error_number(), 0);
  EXPECT_EQ(wg_.error_description(), "");
}

TEST_F(SessionTest, AMissingSocketComponentRaises429) {
  Serve("yes\r\n");
  const platform::ComponentFactory sockets = platform::ClassFactory(platform::kTcpSocketProgId);
  platform::UnregisterClass(platform::kTcpSocketProgId);
  EXPECT_EQ(RaisedError([&] { wg_.UserIDExists("s", "bob"); }), platform::kCannotCreateObject);
  platform::RegisterClass(platform::kTcpSocketProgId, sockets);
}

}  // namespace
}  // namespace morvane::testing
