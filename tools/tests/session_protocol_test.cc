// SPDX-License-Identifier: MIT

// One session without a socket: greeting, secret phrase, one command, and
// the bytes exactly as they go on the wire.

#include "session_protocol.h"

#include <gtest/gtest.h>

#include "account_file.h"

namespace wgsim {
namespace {

class SessionProtocolTest : public ::testing::Test {
 protected:
  AccountStore store_{
      ParseAccountFile("[classes]\nCAF\xC3\x89\n[user J\xC3\xA9r\xC3\xB4me]\n", "t")};
  AuditLog audit_{""};
  CommandHandler handler_{store_, audit_};
  SessionProtocol session_{"s\xC3\xA9same", "", handler_, "peer"};  // "sésame"
};

TEST_F(SessionProtocolTest, TheHandshakeEndsEachPromptWithTwoEndBytes) {
  EXPECT_EQ(session_.Greeting(), "Please enter your secret string to continue.\xF5\xF5");
  EXPECT_EQ(SessionProtocol::BusyGreeting(),
            "Sorry, already too many requests.  Try again later!\xF5\xF5");
  // The secret travels as Windows-1252: "é" is the byte 0xE9.
  const auto step = session_.OnLine("s\xE9same\r");
  EXPECT_EQ(step.bytes, "What is your wish my master?\xF5\xF5");
  EXPECT_FALSE(step.close);
}

TEST_F(SessionProtocolTest, ABannerComesAsALineBeforeThePrompt) {
  const SessionProtocol session("x", "Welcome to the host", handler_, "peer");
  EXPECT_EQ(session.Greeting(),
            "Welcome to the host\r\nPlease enter your secret string to continue.\xF5\xF5");
}

TEST_F(SessionProtocolTest, AWrongSecretGetsGoodbyeAndTheEnd) {
  const auto step = session_.OnLine("sesame");
  EXPECT_EQ(step.bytes, "Goodbye.\xF5\xF5");
  EXPECT_TRUE(step.close);
  EXPECT_EQ(step.event, SessionProtocol::Event::kSecretRefused);
  EXPECT_TRUE(session_.OnLine("s\xE9same").close) << "no second chance";
}

TEST_F(SessionProtocolTest, OneCommandInWindows1252ThenTheEnd) {
  session_.OnLine("s\xE9same");
  const auto step = session_.OnLine("PRIMARYCLASS J\xE9r\xF4me");
  EXPECT_EQ(step.bytes, "Primary class is : CAF\xC9\xF5\r\n");
  EXPECT_TRUE(step.close);
  // The log gets the command word and the reply, never the arguments.
  EXPECT_EQ(step.event, SessionProtocol::Event::kCommand);
  EXPECT_EQ(step.command, "PRIMARYCLASS");
  EXPECT_EQ(step.reply, "Primary class is : CAF\u00C9");

  SessionProtocol second("s", "", handler_, "peer");
  EXPECT_EQ(second.OnLine("s").event, SessionProtocol::Event::kSecretAccepted);
  const auto auth = second.OnLine("authuser J\xE9r\xF4me%%hunter2\x01");
  EXPECT_EQ(auth.command, "AUTHUSER");
  EXPECT_EQ(auth.reply, "Password is incorrect");
}

TEST_F(SessionProtocolTest, OverlongLinesAndNulBytes) {
  EXPECT_EQ(session_.OnLineTooLong().bytes, "Goodbye.\xF5\xF5");

  SessionProtocol second("s", "", handler_, "peer");
  second.OnLine("s");
  EXPECT_EQ(second.OnLineTooLong().bytes, "Malformed request syntax\r\n");

  SessionProtocol third("s", "", handler_, "peer");
  third.OnLine("s");
  EXPECT_EQ(third.OnLine(std::string("USERIDEXISTS J\0x", 16)).bytes,
            "Malformed request syntax\r\n");
}

TEST_F(SessionProtocolTest, AnEmptySecretIsALineOfItsOwn) {
  SessionProtocol open("", "", handler_, "peer");
  EXPECT_FALSE(open.OnLine("\r").close);
}

}  // namespace
}  // namespace wgsim
