// WG as script hosts see it: created by name, called by dispatch identifier.

#include "gateway_fixture.h"
#include "platform/dispatch.h"

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
}

TEST_F(DispatchTest, CommandsReturnARecordAndSetTheProperties) {
  Serve("Credits is : 150\xF5\r\n");
  const Variant result = Call("NumberOfCredits", {std::string("s"), std::string("bob")});
  const auto& record = *std::get<std::shared_ptr<const platform::Record>>(result);
  EXPECT_EQ(record.type_name, "CommandReturn");
  EXPECT_EQ(std::get<int32_t>(record.Field("long_value")), 150);
  const auto& error_object = *std::get<std::shared_ptr<const platform::Record>>(
      record.Field("error_object"));
  EXPECT_EQ(std::get<int32_t>(error_object.Field("number")), 0);
  EXPECT_EQ(std::get<int32_t>(Property("answer_long")), 150);
  EXPECT_EQ(std::get<std::string>(Property("error_description")),
            "No error occured, return value is a literal answer");
}

TEST_F(DispatchTest, NumbersArriveAsTheirTypes) {
  Serve("Ok\r\n");
  Call("GiveDays", {std::string("s"), std::string("bob"), std::string("-30")});
  EXPECT_EQ(SentCommand(), "GIVEDAYS -30 bob\r\n");
  EXPECT_EQ(RaisedError([&] { Call("GiveDays", {std::string("s"), std::string("bob"), std::string("many")}); }),
            platform::kTypeMismatch);
  EXPECT_EQ(RaisedError([&] {
              Call("UpdateUserField", {std::string("s"), std::string("b"), int32_t{70000}, std::string()});
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
  EXPECT_EQ(RaisedError([&] { object_->PutProperty(0x68030003, int32_t{1}); }),
            platform::kObjectDoesNotSupport);
}

}  // namespace
}  // namespace morvane::testing
