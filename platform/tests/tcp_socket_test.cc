#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include "closed_port.h"
#include "scripted_server.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using testing_support::ReadLine;
using testing_support::ScriptedServer;
using testing_support::Send;

class TcpSocketTest : public ::testing::Test {
 protected:
  std::shared_ptr<TcpSocket> Socket(uint16_t port) {
    auto socket = CreateObjectAs<TcpSocket>(kTcpSocketProgId);
    socket->SetTimeouts({.connect = 1000ms, .receive = 1000ms, .quiet_gap = 100ms});
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
  ASSERT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "Hellõ õõ");
  ASSERT_NE(socket->Send("crème €\r\n"), kSocketFailed);
  ASSERT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "café\r\n");
  socket->Close();
  socket->Close();
  EXPECT_EQ(socket->Send("x"), kSocketFailed);
}

TEST_F(TcpSocketTest, ReturnsAtTheLineEndWithoutWaitingForTheQuietGap) {
  ScriptedServer server({Send("line\r\n"), testing_support::Pause(2000ms)});
  auto socket = Socket(server.port());
  socket->SetTimeouts({.connect = 1000ms, .receive = 3000ms, .quiet_gap = 1000ms});
  ASSERT_NE(socket->Connect(), kSocketFailed);
  const auto start = std::chrono::steady_clock::now();
  std::string data;
  EXPECT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_LT(Elapsed(start), 500ms);
  EXPECT_EQ(data, "line\r\n");
}

TEST_F(TcpSocketTest, JoinsPiecesOfOneAnswer) {
  ScriptedServer server({Send("is : 1"), testing_support::Pause(30ms), Send("50\xF5\r\n")});
  auto socket = Socket(server.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  std::string data;
  EXPECT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "is : 150õ\r\n");
}

TEST_F(TcpSocketTest, AnAnswerWithoutEndIsReturnedAfterTheQuietGap) {
  ScriptedServer server({Send("partial"), testing_support::Pause(1500ms)});
  auto socket = Socket(server.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  const auto start = std::chrono::steady_clock::now();
  std::string data;
  EXPECT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "partial");
  EXPECT_LT(Elapsed(start), 700ms);
}

TEST_F(TcpSocketTest, SilenceAndEarlyCloseAreFailures) {
  ScriptedServer silent({testing_support::Pause(1500ms)});
  auto socket = Socket(silent.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  std::string data = "old";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data, "");
  EXPECT_GE(Elapsed(start), 900ms);

  ScriptedServer closing({testing_support::CloseNow()});
  auto other = Socket(closing.port());
  ASSERT_NE(other->Connect(), kSocketFailed);
  EXPECT_EQ(other->Receive(data, kReceiveText), kSocketFailed);
}

TEST_F(TcpSocketTest, HoldsNoMoreThanTheCap) {
  ScriptedServer server({Send(std::string(kMaxReplyBytes * 3, 'x')), ReadLine()});
  auto socket = Socket(server.port());
  ASSERT_NE(socket->Connect(), kSocketFailed);
  std::string data;
  EXPECT_NE(socket->Receive(data, kReceiveText), kSocketFailed);
  EXPECT_EQ(data.size(), kMaxReplyBytes);
  socket->Close();
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
