// SPDX-License-Identifier: MIT

// The simulator's command line and listen addresses: loopback by default,
// anything else only when asked for.

#include "options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/temp_dir.h"

namespace wgsim {
namespace {

std::optional<Options> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string ignored;
  return ParseOptions(args, error != nullptr ? *error : ignored);
}

TEST(ListenAddressTest, ParsesIPv4IPv6AndLocalhost) {
  std::string error;
  auto address = ParseListenAddress("127.0.0.1:0", error);
  ASSERT_TRUE(address);
  EXPECT_EQ(address->port, 0);
  EXPECT_EQ(address->ToString(), "127.0.0.1:0");

  address = ParseListenAddress("[::1]:3425", error);
  ASSERT_TRUE(address);
  EXPECT_TRUE(address->ipv6);
  EXPECT_EQ(address->ToString(), "[::1]:3425");
  EXPECT_TRUE(address->IsLoopback());

  address = ParseListenAddress("localhost:99", error);
  ASSERT_TRUE(address);
  EXPECT_EQ(address->host, "127.0.0.1");

  for (const char* bad : {"127.0.0.1", "127.0.0.1:", "127.0.0.1:65536", "127.0.0.1:-1", "host:1",
                          "[::1:3425", "[zz]:1", "::1:3425"}) {
    EXPECT_FALSE(ParseListenAddress(bad, error)) << bad;
  }
}

TEST(ListenAddressTest, OnlyLoopbackAddressesCountAsLoopback) {
  std::string error;
  for (const char* text : {"127.0.0.1:1", "127.1.2.3:1", "[::1]:1"}) {
    EXPECT_TRUE(ParseListenAddress(text, error)->IsLoopback()) << text;
  }
  for (const char* text :
       {"0.0.0.0:1", "192.168.0.2:1", "128.0.0.1:1", "[::]:1", "[::ffff:127.0.0.1]:1"}) {
    EXPECT_FALSE(ParseListenAddress(text, error)->IsLoopback()) << text;
  }
}

TEST(OptionsTest, DefaultsAndEveryOption) {
  const auto defaults = Parse({});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->listen.ToString(), "127.0.0.1:3425");
  EXPECT_EQ(defaults->max_sessions, 16);
  EXPECT_EQ(AuditLogPath(*defaults), "") << "standard error without an account file";

  const auto options = Parse({"--listen", "127.0.0.2:0", "--secret", "x y", "--accounts", "a.txt",
                              "--max-sessions", "3", "--timeout", "250", "--banner", "Hi", "-v"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->secret, "x y");
  EXPECT_EQ(options->max_sessions, 3);
  EXPECT_EQ(options->timeout, std::chrono::milliseconds(250));
  EXPECT_EQ(options->banner, "Hi");
  EXPECT_TRUE(options->verbose);
  EXPECT_EQ(AuditLogPath(*options), "a.txt.audit");
  EXPECT_EQ(AuditLogPath(*Parse({"--accounts", "a.txt", "--audit-log", "log"})), "log");

  const auto service = Parse({"--secret-timeout", "500", "--max-per-address", "2", "--version"});
  ASSERT_TRUE(service);
  EXPECT_EQ(service->secret_timeout, std::chrono::milliseconds(500));
  EXPECT_EQ(service->max_per_address, 2);
  EXPECT_TRUE(service->version);
}

// The secret from a file: its one line, with or without a line end.
TEST(OptionsTest, TheSecretFromAFile) {
  tools_testing::TempDir dir;
  const struct {
    const char* content;
    const char* secret;  // nullptr: refused
  } cases[] = {
      {"s3cret\n", "s3cret"},
      {"with blanks \r\n", "with blanks "},
      {"no line end", "no line end"},
      {"", nullptr},
      {"\n", nullptr},
      {"two\nlines\n", nullptr},
  };
  for (const auto& c : cases) {
    std::ofstream(dir / "secret", std::ios::binary | std::ios::trunc) << c.content;
    std::string error;
    const auto options = Parse({"--secret-file", (dir / "secret").string()}, &error);
    if (c.secret == nullptr) {
      EXPECT_FALSE(options) << c.content;
      EXPECT_NE(error.find("--secret-file"), std::string::npos) << error;
    } else {
      ASSERT_TRUE(options) << c.content << ": " << error;
      EXPECT_EQ(options->secret, c.secret);
    }
  }
  std::ofstream(dir / "long", std::ios::binary) << std::string(5000, 'x');
  EXPECT_FALSE(Parse({"--secret-file", (dir / "long").string()}));
  EXPECT_FALSE(Parse({"--secret-file", (dir / "none").string()}));
  // Neither a directory nor a FIFO without a writer may hold the start up.
  EXPECT_FALSE(Parse({"--secret-file", dir.path().string()})) << "a directory";
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(Parse({"--secret-file", (dir / "fifo").string()})) << "a FIFO";
  EXPECT_FALSE(Parse({"--secret", "x", "--secret-file", (dir / "secret").string()})) << "both";
}

TEST(OptionsTest, ARemoteAddressNeedsToBeAskedFor) {
  std::string error;
  EXPECT_FALSE(Parse({"--listen", "0.0.0.0:3425"}, &error));
  EXPECT_NE(error.find("--allow-remote"), std::string::npos) << error;
  EXPECT_TRUE(Parse({"--listen", "0.0.0.0:3425", "--allow-remote"}));
}

TEST(OptionsTest, BadValuesAreRefused) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--max-sessions", "0"},
                                               {"--max-sessions", "many"},
                                               {"--timeout", "0"},
                                               {"--secret-timeout", "0"},
                                               {"--max-per-address", "none"},
                                               {"--listen"},
                                               {"--listen", "nowhere"},
                                               {"--colour", "red"},
                                               {"stray"}}) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace wgsim
