// SPDX-License-Identifier: MIT

// The simulator's answers to each command line, as text before it goes on
// the wire, and what the commands do to the accounts.

#include "command_handler.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "account_file.h"
#include "support/temp_dir.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/file_system.h"

namespace wgsim {
namespace {

constexpr const char* kAccounts = R"([classes]
NEWUSER
PAYING
[system]
1 = 42
-3 = -7
[user Alice Smith]
password = wonderland
credits = 10
days = 3
primary-class = PAYING
current-class = NEWUSER
keys = FORUMS
master = yes
online = yes
last-login = 20240102
created = 20200101
[user bob%%x]
password = %%pw
[user Sysop]
protected = yes
)";

class CommandHandlerTest : public ::testing::Test {
 protected:
  std::string Reply(std::string_view line) { return handler_.Reply(line, "127.0.0.1:5000"); }
  const Account& Alice() {
    alice_ = store_.Read([](const AccountBook& book) { return *book.Find("alice smith"); });
    return alice_;
  }

  tools_testing::TempDir dir_;
  AccountStore store_{ParseAccountFile(kAccounts, "test")};
  AuditLog audit_{dir_ / "audit.log"};
  std::vector<std::string> diagnostics_;
  CommandHandler handler_{store_, audit_,
                          [this](const std::string& line) { diagnostics_.push_back(line); }};
  Account alice_;
};

TEST_F(CommandHandlerTest, IdentityQuestions) {
  EXPECT_EQ(Reply("USERIDEXISTS Alice Smith"), "User exists\r\n");
  EXPECT_EQ(Reply("USERIDEXISTS ALICE SMITH"), "User exists\r\n") << "user IDs ignore letter case";
  EXPECT_EQ(Reply("USERIDEXISTS Alice"), "No such user\r\n");
  EXPECT_EQ(Reply("AUTHUSER Alice Smith%%wonderland"), "Password is correct\r\n");
  EXPECT_EQ(Reply("AUTHUSER Alice Smith%%Wonderland"), "Password is incorrect\r\n")
      << "passwords are compared exactly";
  EXPECT_EQ(Reply("AUTHUSER Nobody%%x"), "No such user\r\n");
  // "%%" in the user ID and in the password: the split that names a user wins.
  EXPECT_EQ(Reply("AUTHUSER bob%%x%%%%pw"), "Password is correct\r\n");
  EXPECT_EQ(Reply("AUTHUSER bob%%x%%pw"), "Password is incorrect\r\n");
}

TEST_F(CommandHandlerTest, ValueRepliesCarryTheValueBetweenMarkerAndEndMark) {
  EXPECT_EQ(Reply("NUMBEROFCREDITS Alice Smith"), "Number of credits is : 10\u00F5\r\n");
  EXPECT_EQ(Reply("NUMBEROFDAYS Alice Smith"), "Number of days is : 3\u00F5\r\n");
  EXPECT_EQ(Reply("LASTLOGIN Alice Smith"), "Last login date is : 20240102\u00F5\r\n");
  EXPECT_EQ(Reply("CREATIONDATE Alice Smith"), "Creation date is : 20200101\u00F5\r\n");
  EXPECT_EQ(Reply("PRIMARYCLASS Alice Smith"), "Primary class is : PAYING\u00F5\r\n");
  EXPECT_EQ(Reply("CURRENTCLASS Alice Smith"), "Current class is : NEWUSER\u00F5\r\n");
  EXPECT_EQ(Reply("NUMBEROFCREDITS Nobody"), "No such user\r\n");
  EXPECT_EQ(Reply("SYSTEMVARIABLE 1"), "System variable 1 is : 42\u00F5\r\n");
  EXPECT_EQ(Reply("SYSTEMVARIABLE -3"), "System variable -3 is : -7\u00F5\r\n");
  EXPECT_EQ(Reply("SYSTEMVARIABLE 2"), "No such system variable exists\r\n");
  EXPECT_EQ(Reply("SYSTEMVARIABLE two"), "Malformed request syntax\r\n");
}

TEST_F(CommandHandlerTest, CreditsAndDaysNeverGoBelowNothing) {
  EXPECT_EQ(Reply("GIVECREDITS 50 Alice Smith"), "Ok\r\n");
  EXPECT_EQ(Alice().credits, 60);
  EXPECT_EQ(Reply("GIVECREDITS -61 Alice Smith"), "Unable to comply\r\n");
  EXPECT_EQ(Reply("GIVECREDITS 2147483647 Alice Smith"), "Unable to comply\r\n") << "overflow";
  EXPECT_EQ(Reply("GIVECREDITS -60 Alice Smith"), "Ok\r\n");
  EXPECT_EQ(Alice().credits, 0);

  EXPECT_EQ(Reply("GIVEDAYS -30 Alice Smith"), "Action would place user at negative days\r\n");
  EXPECT_EQ(Alice().days, 3);
  EXPECT_EQ(Reply("GIVEDAYS -3 Alice Smith"), "Ok\r\n");
  EXPECT_EQ(Alice().days, 0);
  EXPECT_EQ(Reply("GIVEDAYS 5 Nobody"), "No such user\r\n");
}

TEST_F(CommandHandlerTest, SwitchClassMovesBothClasses) {
  EXPECT_EQ(Reply("SWITCHCLASS GOLD Alice Smith"), "No such class\r\n");
  EXPECT_EQ(Reply("SWITCHCLASS newuser Alice Smith"), "Ok\r\n");
  EXPECT_EQ(Alice().primary_class, "NEWUSER") << "the host's spelling is kept";
  EXPECT_EQ(Alice().current_class, "NEWUSER");
  EXPECT_EQ(Reply("SWITCHCLASS PAYING Nobody"), "No such user\r\n");
}

TEST_F(CommandHandlerTest, DeletingSuspendingAndTheirQuestions) {
  EXPECT_EQ(Reply("DELETEUSER Sysop"), "User is protected\r\n");
  EXPECT_EQ(Reply("DELETEUSER Alice Smith"), "User is deleted\r\n");
  EXPECT_TRUE(Alice().deleted);
  EXPECT_EQ(Reply("USERIDEXISTS Alice Smith"), "User exists\r\n") << "deleted until the cleanup";
  EXPECT_EQ(Reply("UNDELETEUSER Alice Smith"), "User is undeleted\r\n");
  EXPECT_FALSE(Alice().deleted);

  EXPECT_EQ(Reply("ISSUSPENDED Alice Smith"), "NO\r\n");
  EXPECT_EQ(Reply("SUSPENDUSER Alice Smith"), "User is suspended\r\n");
  EXPECT_EQ(Reply("ISSUSPENDED Alice Smith"), "YES\r\n");
  EXPECT_EQ(Reply("UNSUSPENDUSER Alice Smith"), "User is unsuspended\r\n");
  EXPECT_EQ(Reply("ISSUSPENDED Alice Smith"), "NO\r\n");
  EXPECT_EQ(Reply("SUSPENDUSER Nobody"), "No such user\r\n");

  EXPECT_EQ(Reply("HASMASTER Alice Smith"), "YES\r\n");
  EXPECT_EQ(Reply("HASMASTER Sysop"), "NO\r\n");
  EXPECT_EQ(Reply("USERONLINE Alice Smith"), "YES\r\n");
  EXPECT_EQ(Reply("USERONLINE Sysop"), "NO\r\n");
}

TEST_F(CommandHandlerTest, Keys) {
  EXPECT_EQ(Reply("HASKEY forums Alice Smith"), "YES\r\n") << "keys ignore letter case";
  EXPECT_EQ(Reply("HASKEY GAMES Alice Smith"), "NO\r\n");
  EXPECT_EQ(Reply("GIVEKEY GAMES Alice Smith"), "Key given\r\n");
  EXPECT_EQ(Reply("GIVEKEY games Alice Smith"), "Key given\r\n");
  EXPECT_EQ(Alice().keys, (std::vector<std::string>{"FORUMS", "GAMES"}));
  EXPECT_EQ(Reply("TAKEKEY FORUMS Alice Smith"), "Key taken\r\n");
  EXPECT_EQ(Reply("HASKEY FORUMS Alice Smith"), "NO\r\n");
  EXPECT_EQ(Reply("GIVEKEY ABCDEFGHIJKLMNO Alice Smith"), "Key given\r\n") << "15 characters";
  EXPECT_EQ(Reply("GIVEKEY ABCDEFGHIJKLMNOP Alice Smith"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("TAKEKEY  Alice Smith"), "Malformed request syntax\r\n") << "an empty key";
  EXPECT_EQ(Reply("HASKEY FORUMS Nobody"), "No such user\r\n");
}

TEST_F(CommandHandlerTest, UpdateUserFieldKeepsTheTextAsSent) {
  EXPECT_EQ(Reply("UPDATEUSERFIELD 2 Alice Smith%% two  blanks %%and percent "),
            "Field updated\r\n");
  EXPECT_EQ(Alice().fields.at(2), " two  blanks %%and percent ");
  EXPECT_EQ(Reply("UPDATEUSERFIELD 17 Alice Smith%%x"), "No such field\r\n");
  EXPECT_EQ(Reply("UPDATEUSERFIELD -1 Alice Smith%%x"), "No such field\r\n");
  EXPECT_EQ(Reply("UPDATEUSERFIELD 1 Nobody%%x"), "No such user\r\n");
  EXPECT_EQ(Reply("UPDATEUSERFIELD 1 Alice Smith"), "Malformed request syntax\r\n") << "no %%";
  EXPECT_EQ(Reply("UPDATEUSERFIELD x Alice Smith%%y"), "Malformed request syntax\r\n");
}

// A key, class or field that would break a reply value or the account
// file is refused as malformed, and the account stays as it was.
TEST_F(CommandHandlerTest, ValuesTheFileCannotHoldAreRefused) {
  const Account before = Alice();
  for (const char* line :
       {"GIVEKEY TAB\tKEY Alice Smith", "GIVEKEY CR\rKEY Alice Smith",
        "GIVEKEY END\u00F5 Alice Smith", "GIVEKEY END\u00D5 Alice Smith",
        "TAKEKEY DEL\x7F Alice Smith", "HASKEY ESC\x1B Alice Smith",
        "SWITCHCLASS PAY\tING Alice Smith", "SWITCHCLASS PAYING\u00F5 Alice Smith",
        "UPDATEUSERFIELD 1 Alice Smith%%two\nlines", "UPDATEUSERFIELD 1 Alice Smith%%a\rb",
        "UPDATEUSERFIELD 1 Alice Smith%%bell\a", "UPDATEUSERFIELD 1 Alice Smith%%end\u00F5"}) {
    EXPECT_EQ(Reply(line), "Malformed request syntax\r\n") << line;
  }
  EXPECT_EQ(Alice(), before);
  EXPECT_EQ(Reply("UPDATEUSERFIELD 1 Alice Smith%%caf\u00E9 ok"), "Field updated\r\n")
      << "other letters pass";
}

TEST_F(CommandHandlerTest, AuditMessagesAreAppendedWithTheClient) {
  EXPECT_EQ(Reply("AUDITMESSAGE Backup done"), "Audit message recorded\r\n");
  EXPECT_EQ(Reply("AUDITMESSAGE tab\there"), "Audit message recorded\r\n");
  const std::string log = platform::ReadWholeFile((dir_ / "audit.log").string());
  EXPECT_NE(log.find(" 127.0.0.1:5000 Backup done\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" 127.0.0.1:5000 tab?here\n"), std::string::npos) << log;
}

TEST_F(CommandHandlerTest, LinesItCannotReadAndWordsItDoesNotKnow) {
  EXPECT_EQ(Reply(""), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply(" USERIDEXISTS bob"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("USERIDEXISTS"), "Malformed request syntax\r\n") << "no argument";
  EXPECT_EQ(Reply("USERIDEXISTS "), "Malformed request syntax\r\n") << "an empty user ID";
  EXPECT_EQ(Reply("GIVECREDITS 5"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("GIVECREDITS 5 "), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("GIVECREDITS five Alice Smith"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("GIVECREDITS +5 Alice Smith"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("GIVECREDITS 99999999999 Alice Smith"), "Malformed request syntax\r\n");
  EXPECT_EQ(Reply("AUTHUSER Alice Smith"), "Malformed request syntax\r\n") << "no %%";
  EXPECT_EQ(Reply("MAKECOFFEE now"), "No such command\r\n");
  EXPECT_EQ(Reply("MAKECOFFEE"), "No such command\r\n");
  EXPECT_EQ(Reply("useridexists Alice Smith"), "User exists\r\n") << "typed by hand";
  EXPECT_EQ(Alice().credits, 10) << "no malformed line changed anything";
}

// Clients read the letters "no" side by side, in any case, as a no: no yes
// may hold them, or a client would take it for a no.
TEST_F(CommandHandlerTest, NoYesHoldsTheLettersOfANo) {
  for (const char* line :
       {"USERIDEXISTS Alice Smith", "HASMASTER Alice Smith", "USERONLINE Alice Smith",
        "HASKEY FORUMS Alice Smith", "GIVEKEY X Alice Smith", "TAKEKEY X Alice Smith",
        "UPDATEUSERFIELD 1 Alice Smith%%x", "AUDITMESSAGE x", "AUTHUSER Alice Smith%%wonderland"}) {
    EXPECT_EQ(platform::FoldCase(Reply(line)).find("no"), std::string::npos) << line;
  }
}

TEST_F(CommandHandlerTest, AChangeThatCannotBeSavedIsRefused) {
  const std::filesystem::path gone = dir_ / "gone";
  AccountStore store(ParseAccountFile(kAccounts, "test"), gone / "accounts.txt");
  const AuditLog audit(gone / "audit.log");
  std::vector<std::string> diagnostics;
  const CommandHandler handler(store, audit,
                               [&](const std::string& line) { diagnostics.push_back(line); });

  EXPECT_EQ(handler.Reply("GIVECREDITS 5 Alice Smith", "peer"), "Unable to comply\r\n");
  EXPECT_EQ(handler.Reply("AUDITMESSAGE lost", "peer"), "Unable to comply\r\n");
  EXPECT_EQ(diagnostics.size(), 2u);
  EXPECT_EQ(handler.Reply("NUMBEROFCREDITS Alice Smith", "peer"),
            "Number of credits is : 10\u00F5\r\n");
}

// A line cut short by a full disk or a file size limit sets no errno: the
// diagnostic must say what happened, not a stale reason such as "Success".
TEST_F(CommandHandlerTest, AnAuditLineCutShortIsReportedAsSuch) {
  constexpr rlim_t kRoomLeft = 10;  // bytes the file may still grow by
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous_handler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = kRoomLeft;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string reply = Reply("AUDITMESSAGE lost");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous_handler);

  EXPECT_EQ(reply, "Unable to comply\r\n");
  ASSERT_EQ(diagnostics_.size(), 1u);
  EXPECT_NE(diagnostics_[0].find("only 10 of"), std::string::npos) << diagnostics_[0];
}

}  // namespace
}  // namespace wgsim
