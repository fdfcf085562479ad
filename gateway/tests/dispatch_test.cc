// SPDX-License-Identifier: MIT

// WG as script hosts see it: created by name, called by dispatch identifier.

#include "tessaly/platform/dispatch.h"

#include "command_catalogue.h"
#include "gateway_fixture.h"

namespace morvane::testing {
namespace {

using platform::InvokeKind;
using platform::Variant;

class DispatchTest : public GatewayTest {
 protected:
  std::shared_ptr<platform::Dispatch> object_ =
      platform::CreateObjectAs<platform::Dispatch>(kWGProgId);

  Variant Call(std::string_view name, std::vector<Variant> args) {
    return object_->Invoke(object_->GetIDOfName(name), InvokeKind::kMethod, args);
  }
  Variant Property(std::string_view name) {
    return object_->GetProperty(object_->GetIDOfName(name));
  }
};

TEST_F(DispatchTest, TheInterfaceHasItsThirtyThreeMembersInOrder) {
  const auto members = object_->Members();
  ASSERT_EQ(members.size(), 33u);
  EXPECT_EQ(members.front().name, "error_number");
  EXPECT_EQ(members.front().id, 0x68030003);
  EXPECT_EQ(members[10].name, "NumberofCredits");
  EXPECT_EQ(members[10].id, 0x6003000c);
  EXPECT_EQ(members.back().name, "Logit");
  EXPECT_EQ(members.back().id, 0x60030022);
  EXPECT_EQ(object_->GetIDOfName("useridexists"), 0x60030006);

  // The whole interface, and every command member on its catalogue row.
  // clang-format off
  constexpr std::pair<std::string_view, platform::DispId> kInterface[] = {
      {"error_number", 0x68030003}, {"error_description", 0x68030002},
      {"answer_long", 0x68030001}, {"answer_string", 0x68030000},
      {"UserIDExists", 0x60030006}, {"AuthUser", 0x60030007}, {"GiveKey", 0x60030008},
      {"TakeKey", 0x60030009}, {"HasMaster", 0x6003000a}, {"IsSuspended", 0x6003000b},
      {"NumberofCredits", 0x6003000c}, {"NumberOfDays", 0x6003000d}, {"LastLogin", 0x6003000e},
      {"CreationDate", 0x6003000f}, {"PrimaryClass", 0x60030010}, {"CurrentClass", 0x60030011},
      {"UserOnline", 0x60030012}, {"HasKey", 0x60030013}, {"GiveCredits", 0x60030014},
      {"GiveDays", 0x60030015}, {"SystemVariable", 0x60030016}, {"SwitchClass", 0x60030017},
      {"DeleteUser", 0x60030018}, {"UnDeleteUser", 0x60030019}, {"SuspendUser", 0x6003001a},
      {"UnSuspendUser", 0x6003001b}, {"UpdateUserField", 0x6003001c},
      {"AuditMessage", 0x6003001d}, {"GetLocalHost", 0x6003001e}, {"GetLocalPort", 0x6003001f},
      {"GetRemoteHost", 0x60030020}, {"InitWinsock", 0x60030021}, {"Logit", 0x60030022}};
  // clang-format on
  ASSERT_EQ(members.size(), std::size(kInterface));
  for (size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(members[i].name, kInterface[i].first);
    EXPECT_EQ(members[i].id, kInterface[i].second) << members[i].name;
  }
  for (size_t i = 0; i < kCommandCount; ++i) {
    const platform::MemberInfo& member = members[4 + i];
    EXPECT_EQ(member.name, kCommands[i].member);
    EXPECT_EQ(member.result, platform::VarType::kRecord) << member.name;
    EXPECT_EQ(member.params.data(), kCommands[i].params.data()) << member.name;
    EXPECT_TRUE(member.help.starts_with(kCommands[i].summary)) << member.name;
  }
}

TEST_F(DispatchTest, CommandsReturnARecordAndSetTheProperties) {
  Serve("Credits is : 150\xF5\r\n");
  const Variant result = Call("NumberOfCredits", {std::string("s"), std::string("bob")});
  const auto& record = *std::get<std::shared_ptr<const platform::Record>>(result);
  EXPECT_EQ(record.type_name, "CommandReturn");
  EXPECT_EQ(std::get<int32_t>(record.Field("long_value")), 150);
  const auto& error_object =
      *std::get<std::shared_ptr<const platform::Record>>(record.Field("error_object"));
  EXPECT_EQ(std::get<int32_t>(error_object.Field("number")), 0);
  EXPECT_EQ(std::get<int32_t>(Property("answer_long")), 150);
  EXPECT_EQ(std::get<std::string>(Property("error_description")),
            "No error occured, return value is a literal answer");
}

TEST_F(DispatchTest, NumbersArriveAsTheirTypes) {
  Serve("Ok\r\n");
  Call("GiveDays", {std::string("s"), std::string("bob"), std::string("-30")});
  EXPECT_EQ(SentCommand(), "GIVEDAYS -30 bob\r\n");
  EXPECT_EQ(RaisedError([&] {
              Call("GiveDays", {std::string("s"), std::string("bob"), std::string("many")});
            }),
            platform::kTypeMismatch);
  EXPECT_EQ(RaisedError([&] {
              Call("UpdateUserField",
                   {std::string("s"), std::string("b"), int32_t{70000}, std::string()});
            }),
            platform::kOverflow);
  EXPECT_EQ(RaisedError([&] { Call("GiveDays", {std::string("s")}); }),
            platform::kWrongArgumentCount);
}

TEST_F(DispatchTest, LogitReplacesItsArgument) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(windir());
  std::vector<Variant> args = {std::string("hello")};
  object_->Invoke(object_->GetIDOfName("Logit"), InvokeKind::kMethod, args);
  EXPECT_TRUE(std::get<std::string>(args[0]).ends_with(" - hello"));
  std::filesystem::current_path(previous);
}

TEST_F(DispatchTest, SettingsReadersAndInitWinsock) {
  WriteSettings("127.0.0.9", "127.0.0.1", "4000");
  EXPECT_EQ(std::get<int32_t>(Call("GetLocalPort", {})), 4000);
  EXPECT_EQ(std::get<std::string>(Call("GetRemoteHost", {})), "127.0.0.9");
  const Variant socket = Call("InitWinsock", {});
  auto tcp = platform::QueryInterface<platform::TcpSocket>(
      std::get<std::shared_ptr<platform::Component>>(socket));
  EXPECT_NE(tcp->Describe().find("127.0.0.9"), std::string::npos);
  // The readers change nothing, so a const object offers them.
  const WG& reader = wg_;
  EXPECT_EQ(reader.GetLocalHost(), "127.0.0.1");
  EXPECT_EQ(reader.GetLocalPort(), 4000);
  EXPECT_NE(reader.InitWinsock()->Describe().find("127.0.0.9"), std::string::npos);
  EXPECT_EQ(RaisedError([&] { object_->PutProperty(0x68030003, int32_t{1}); }),
            platform::kObjectDoesNotSupport);
}

}  // namespace
}  // namespace morvane::testing
