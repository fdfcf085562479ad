// SPDX-License-Identifier: MIT

#include "tessaly/platform/component.h"

#include <gtest/gtest.h>

#include "class_registration.h"
#include "tessaly/platform/tcp_socket.h"

namespace platform {
namespace {

struct Greeter : Component {
  int calls = 0;
};

TEST(Component, UnknownNamesRaise429) {
  try {
    CreateObject("No.SuchThing");
    FAIL();
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number(), kCannotCreateObject);
    EXPECT_NE(std::string(error.what()).find("No.SuchThing"), std::string::npos);
  }
}

TEST(Component, RegisteredNamesCreateFreshObjectsWhateverTheCase) {
  RegisterClass("Test.Greeter", [] { return std::make_shared<Greeter>(); });
  auto first = CreateObjectAs<Greeter>("test.GREETER");
  auto second = CreateObjectAs<Greeter>("Test.Greeter");
  EXPECT_NE(first, second);
  UnregisterClass("Test.Greeter");
  EXPECT_THROW(CreateObject("Test.Greeter"), PlatformError);
  // Letters beyond ASCII, and names longer than most, fold alike; so do
  // names that end on or just past an eight-byte word, the longest name
  // lowered on the stack and one byte more, and a letter beyond ASCII in
  // the second word.
  const std::string long_name = "Test." + std::string(70, 'G') + ".Greeter";
  for (const auto& [registered, asked] :
       {std::pair<std::string, std::string>{"Test.GRÜßER", "test.grüßer"},
        {long_name, "test." + std::string(70, 'g') + ".GREETER"},
        {"TE.GREET", "te.greet"},
        {"TE.GREETR", "te.greetr"},
        {std::string(64, 'Q'), std::string(64, 'q')},
        {std::string(65, 'Q'), std::string(65, 'q')},
        {"Test.Gr\u00C9", "TEST.GR\u00E9"},
        {"A@Z[a`z{", "a@z[A`Z{"}}) {
    RegisterClass(registered, [] { return std::make_shared<Greeter>(); });
    EXPECT_NE(CreateObjectAs<Greeter>(asked), nullptr) << asked;
    UnregisterClass(asked);
    EXPECT_THROW(CreateObject(registered), PlatformError) << registered;
  }
  // The neighbours of the letters are no letters: '@' and '[' are not
  // '`' and '{'.
  RegisterClass("Test.@[", [] { return std::make_shared<Greeter>(); });
  EXPECT_THROW(CreateObject("test.`{"), PlatformError);
  UnregisterClass("Test.@[");
}

TEST(Component, AMissingInterfaceIsATypeMismatch) {
  RegisterClass("Test.Greeter", [] { return std::make_shared<Greeter>(); });
  try {
    CreateObjectAs<TcpSocket>("Test.Greeter");
    FAIL();
  } catch (const PlatformError& error) {
    EXPECT_EQ(error.number(), kTypeMismatch);
  }
  UnregisterClass("Test.Greeter");
}

TEST(Component, TheSocketComponentIsBuiltIn) {
  auto socket = CreateObjectAs<TcpSocket>(kTcpSocketProgId);
  EXPECT_NE(socket->Describe().find("not connected"), std::string::npos);
}

}  // namespace
}  // namespace platform
