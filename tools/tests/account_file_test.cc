// SPDX-License-Identifier: MIT

// The account file: what it reads, what it refuses (naming the line), and
// that whatever it writes reads back the same.

#include "account_file.h"

#include <gtest/gtest.h>

#include <chrono>

namespace wgsim {
namespace {

constexpr const char* kSample = R"(# a comment
[classes]
NEWUSER
Paying

[system]
1 = 42
-3 = -7

[user  Two Words ]
password = open sesame
credits = 150
days = +30
primary-class = paying
keys = FORUMS  games forums
master = yes
online = true
last-login = 20240102
created = 20200101
field 3 = "  padded\t\x01 \"quoted\" \\ "
field 16 = plain # not a comment

[user bob%%x]
)";

// The line of the first fault in `text`, or 0 when it parses.
int FaultLine(const std::string& text) {
  try {
    ParseAccountFile(text, "f.txt");
  } catch (const AccountFileError& error) {
    return error.line();
  }
  return 0;
}

TEST(AccountFileTest, ReadsEveryAttributeWithItsDefaults) {
  const AccountBook book = ParseAccountFile(kSample, "f.txt");
  EXPECT_EQ(book.classes, (std::vector<std::string>{"NEWUSER", "Paying"}));
  EXPECT_EQ(book.system_variables, (std::map<int32_t, int32_t>{{1, 42}, {-3, -7}}));
  ASSERT_EQ(book.accounts.size(), 2u);

  const Account& two = book.accounts[0];
  EXPECT_EQ(two.user_id, "Two Words");
  EXPECT_EQ(two.password, "open sesame");
  EXPECT_EQ(two.credits, 150);
  EXPECT_EQ(two.days, 30);
  EXPECT_EQ(two.primary_class, "Paying") << "class names take the spelling of [classes]";
  EXPECT_EQ(two.current_class, "Paying") << "the current class defaults to the primary one";
  EXPECT_EQ(two.keys, (std::vector<std::string>{"FORUMS", "games"})) << "duplicate keys merge";
  EXPECT_TRUE(two.master);
  EXPECT_TRUE(two.online);
  EXPECT_FALSE(two.suspended);
  EXPECT_EQ(two.last_login, 20240102);
  EXPECT_EQ(two.fields.at(3), "  padded\t\x01 \"quoted\" \\ ");
  EXPECT_EQ(two.fields.at(16), "plain # not a comment");

  const Account& bob = book.accounts[1];
  EXPECT_EQ(bob.user_id, "bob%%x");
  EXPECT_EQ(bob.primary_class, "NEWUSER") << "the first class listed is the default";
  EXPECT_EQ(bob.credits, 0);
  EXPECT_TRUE(bob.password.empty());
}

TEST(AccountFileTest, WhatItWritesReadsBackEqual) {
  AccountBook book = ParseAccountFile(kSample, "f.txt");
  Account& odd = book.accounts.emplace_back();
  odd.user_id = "Zoë Ünicode";
  odd.password = "\"starts with a quote";
  odd.fields[1] = " ";
  odd.fields[2] = "";
  odd.fields[4] = "line\r\nbreak";
  odd.suspended = odd.deleted = odd.is_protected = true;
  odd.credits = 2147483647;
  odd.last_login = -1;
  odd.primary_class = odd.current_class = "NEWUSER";

  const std::string text = FormatAccountFile(book);
  EXPECT_EQ(ParseAccountFile(text, "again"), book) << text;
  EXPECT_EQ(FormatAccountFile(ParseAccountFile(text, "again")), text);

  // A host without classes: its accounts have none, and say nothing of them.
  AccountBook classless = ParseAccountFile("[user bob]\ncredits = 1\n", "f.txt");
  classless.accounts[0].credits = 6;
  const std::string written = FormatAccountFile(classless);
  EXPECT_EQ(written.find("-class"), std::string::npos) << written;
  EXPECT_EQ(ParseAccountFile(written, "again"), classless) << written;
}

TEST(AccountFileTest, AnEmptyFileIsAnEmptyBook) {
  EXPECT_EQ(ParseAccountFile("", "f"), AccountBook{});
  EXPECT_EQ(ParseAccountFile("\n# only comments\r\n\n", "f"), AccountBook{});
}

TEST(AccountFileTest, EachFaultIsReportedAtItsLine) {
  const std::string head = "[classes]\nA\n[user u]\n";  // lines 1 to 3
  EXPECT_EQ(FaultLine("password = x\n"), 1) << "a line before any section";
  EXPECT_EQ(FaultLine("[classes]\n[accounts]\n"), 2) << "an unknown section";
  EXPECT_EQ(FaultLine("[user ]\n"), 1) << "a header without a user ID";
  EXPECT_EQ(FaultLine("[user u\n"), 1) << "an unclosed header";
  EXPECT_EQ(FaultLine(head + "credits = 12x\n"), 4);
  EXPECT_EQ(FaultLine(head + "credits = 2147483648\n"), 4) << "beyond 32 bits";
  EXPECT_EQ(FaultLine(head + "credits = -1\n"), 4) << "negative credits";
  EXPECT_EQ(FaultLine(head + "days = -5\n"), 4) << "negative days";
  EXPECT_EQ(FaultLine(head + "suspended = maybe\n"), 4);
  EXPECT_EQ(FaultLine(head + "colour = blue\n"), 4) << "an unknown attribute";
  EXPECT_EQ(FaultLine(head + "password = a\npassword = b\n"), 5) << "an attribute twice";
  EXPECT_EQ(FaultLine(head + "password\n"), 4) << "no '='";
  EXPECT_EQ(FaultLine(head + "field 17 = x\n"), 4) << "a field beyond the last";
  EXPECT_EQ(FaultLine(head + "field 0 = x\n"), 4);
  EXPECT_EQ(FaultLine(head + "keys = ABCDEFGHIJKLMNOP\n"), 4) << "a key of 16 characters";
  EXPECT_EQ(FaultLine(head + "keys = ABCDEFGHIJKLMNO\n"), 0) << "15 characters are allowed";
  EXPECT_EQ(FaultLine(head + "password = \"open\n"), 4) << "an unclosed quote";
  EXPECT_EQ(FaultLine(head + "password = \"a\\qb\"\n"), 4) << "an unknown escape";
  EXPECT_EQ(FaultLine(head + "password = \"\\xC3\"\n"), 4) << "an escape that breaks UTF-8";
  EXPECT_EQ(FaultLine(head + "\n[user U]\n"), 5) << "the same user in another case";
  EXPECT_EQ(FaultLine(head + "primary-class = B\n"), 4) << "a class not listed";
  EXPECT_EQ(FaultLine(head + "primary-class =\ncurrent-class =\n"), 0) << "empty: the default";
  EXPECT_EQ(FaultLine("[user u]\nprimary-class =\n"), 0) << "as earlier versions wrote it";
  EXPECT_EQ(FaultLine(head + "primary-class =\nprimary-class = A\n"), 5) << "still only once";
  EXPECT_EQ(FaultLine("[user u]\ncurrent-class = B\n[classes]\nA\n"), 2)
      << "classes are checked after the whole file, at the line that names them";
  EXPECT_EQ(FaultLine("[classes]\nA B\n"), 2) << "a class name of two words";
  EXPECT_EQ(FaultLine("[classes]\nA\na\n"), 3) << "a class listed twice";
  EXPECT_EQ(FaultLine("[classes]\nCafé-Õ\n"), 2) << "the end-of-value character";
  EXPECT_EQ(FaultLine("[system]\n1 = x\n"), 2);
  EXPECT_EQ(FaultLine("[system]\n1 = 1\n1 = 2\n"), 3);
  EXPECT_EQ(FaultLine("[classes]\nA\n\xE9t\xE9\n"), 3) << "Latin-1 bytes are not UTF-8";
}

// 100,000 users load, and write back, in time that grows with the file.
TEST(AccountFileTest, ALargeFileLoadsAndSavesInLinearTime) {
  constexpr int kUsers = 100'000;
  std::string text = "[classes]\nA\n";
  for (int i = 0; i < kUsers; ++i) {
    text += "[user user " + std::to_string(i) + "]\ncredits = " + std::to_string(i) +
            "\nkeys = K1 K2\n";
  }
  const auto start = std::chrono::steady_clock::now();
  const AccountBook book = ParseAccountFile(text, "big.txt");
  const std::string written = FormatAccountFile(book);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(book.accounts.size(), size_t{kUsers});
  EXPECT_EQ(book.Find("USER 99999")->credits, 99999);
  EXPECT_EQ(FaultLine(text + "[user USER 7]\n"), 3 * kUsers + 3) << "a duplicate is still found";
}

TEST(AccountFileTest, TheMessageNamesTheFileAndTheLine) {
  try {
    ParseAccountFile("[classes]\nA\n[user u]\ncredits = 12x\n", "accounts.txt");
    FAIL() << "no error";
  } catch (const AccountFileError& error) {
    EXPECT_STREQ(error.what(), "accounts.txt:4: credits: \"12x\" is not a 32-bit whole number");
  }
}

}  // namespace
}  // namespace wgsim
