// SPDX-License-Identifier: MIT

// The address model under a fake host: the character filter, clicks and
// the change processing, Pos1 to Pos4, Address and IPLong.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "fake_quadrel_host.h"
#include "quadrel.h"
#include "tessaly/platform/error.h"

namespace lattix {
namespace {

using Strings = std::vector<std::string>;

class QuadrelFields : public ::testing::Test {
 protected:
  QuadrelFields() {
    host.Attach(control);
    control.InitProperties();
  }

  // Sets the four parts through the lets, then forgets the log.
  void ShowAddress(float a, float b, float c, float d) {
    control.SetPos(1, a);
    control.SetPos(2, b);
    control.SetPos(3, c);
    control.SetPos(4, d);
    host.log.clear();
  }

  testing::FakeQuadrelHost host;
  Quadrel control{host};
};

TEST_F(QuadrelFields, ANewInstanceHasNoAddressYet) {
  EXPECT_EQ(control.Address(), "");
  EXPECT_EQ(control.IPLong(), 0);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(control.Pos(n), 0.0f);
}

TEST_F(QuadrelFields, TypingIntoAClickedFieldRaisesChangePerDigit) {
  host.ClickField(0);
  host.TypeText(0, "192");
  EXPECT_EQ(host.text[0], "192");
  EXPECT_EQ(control.Pos(1), 192.0f);
  EXPECT_EQ(control.Address(), "192.0.0.0");
  EXPECT_EQ(host.Events(),
            (Strings{"Click", "Change(1.0.0.0)", "Change(19.0.0.0)", "Change(192.0.0.0)"}));
  // Each change composes Address before it stores the part.
  EXPECT_EQ(
      host.Logged({"PropertyChanged"}),
      (Strings{"PropertyChanged(Address)", "PropertyChanged(Pos1)", "PropertyChanged(Address)",
               "PropertyChanged(Pos1)", "PropertyChanged(Address)", "PropertyChanged(Pos1)"}));
}

TEST_F(QuadrelFields, AFourthDigitIsCutAndRaisesChangeTwice) {
  ShowAddress(123, 0, 0, 0);
  host.Type(0, '4');  // the caret stands at the end
  EXPECT_EQ(host.text[0], "123");
  EXPECT_EQ(control.Pos(1), 123.0f);
  EXPECT_EQ(host.Events(), (Strings{"Change(123.0.0.0)", "Change(123.0.0.0)"}));
}

TEST_F(QuadrelFields, ChangeIsRaisedBeforeThePartIsStored) {
  std::vector<std::pair<std::string, float>> seen;
  host.on_change = [&](std::string& address) { seen.emplace_back(address, control.Pos(1)); };
  host.ClickField(0);
  host.TypeText(0, "300");
  EXPECT_EQ(host.text[0], "255");
  EXPECT_EQ(control.Pos(1), 255.0f);
  // 300 is corrected to 255 by a nested run, which stores 255 before the
  // outer run raises its own Change.
  const std::vector<std::pair<std::string, float>> expected = {
      {"3.0.0.0", 0.0f}, {"30.0.0.0", 3.0f}, {"255.0.0.0", 30.0f}, {"255.0.0.0", 255.0f}};
  EXPECT_EQ(seen, expected);
}

TEST_F(QuadrelFields, OnlyDigitsPassTheFilter) {
  for (int32_t key : {8, 13, 27, 1, 22, int('-'), int(' '), int('a'), int('/'), int(':'), 0x20AC}) {
    int32_t filtered = key;
    control.FieldKeyPress(0, filtered);
    EXPECT_EQ(filtered, 0) << "key " << key;
  }
  for (int32_t key = '0'; key <= '9'; ++key) {
    int32_t filtered = key;
    control.FieldKeyPress(3, filtered);
    EXPECT_EQ(filtered, key);
  }
  EXPECT_TRUE(host.log.empty());
}

TEST_F(QuadrelFields, BackspaceIsDiscarded) {
  ShowAddress(12, 0, 0, 0);
  host.Type(0, 8);
  EXPECT_EQ(host.text[0], "12");
  EXPECT_TRUE(host.Events().empty());
}

TEST_F(QuadrelFields, ADotInAnEmptyFieldFillsItAndMovesOn) {
  host.Clear(1);
  host.log.clear();
  host.Type(1, '.');
  EXPECT_EQ(host.text[1], "0");
  EXPECT_EQ(host.text[2], "0");  // the '.' itself goes nowhere
  EXPECT_EQ(host.focus, 2);
  EXPECT_EQ(host.Logged({"Change", "Focus", "Select", "Click"}),
            (Strings{"Change(0.0.0.0)", "Focus(2)", "Select(2,0,3)", "Click"}));
}

TEST_F(QuadrelFields, ADotInAFilledFieldOnlyMovesOn) {
  ShowAddress(192, 0, 0, 0);
  host.Type(0, '.');
  EXPECT_EQ(host.text[0], "192");
  EXPECT_EQ(host.log, (Strings{"Focus(1)", "Select(1,0,3)", "Click"}));
  EXPECT_EQ(host.selection_length[1], 3);
}

TEST_F(QuadrelFields, ADotInTheLastFieldIsOnlyDiscarded) {
  host.Type(3, '.');
  EXPECT_EQ(host.text[3], "0");
  EXPECT_TRUE(host.log.empty());
}

TEST_F(QuadrelFields, ARefusedFocusSkipsOnlyThatStep) {
  host.refuse_focus = true;
  host.Type(0, '.');
  EXPECT_EQ(host.log, (Strings{"Select(1,0,3)", "Click"}));
}

TEST_F(QuadrelFields, ClicksSelectTheFieldAndDoubleClicksOnlyRaiseDblClick) {
  host.DoubleClickField(2);
  control.FrameClick();
  control.FrameDblClick();
  host.ClickField(3);
  EXPECT_EQ(host.log, (Strings{"DblClick", "Click", "DblClick", "Select(3,0,3)", "Click"}));
}

TEST_F(QuadrelFields, AnEmptiedFieldLeavesAnEmptyPartAndKeepsItsValue) {
  ShowAddress(10, 5, 1, 1);
  host.Clear(1);
  EXPECT_EQ(control.Address(), "10..1.1");
  EXPECT_EQ(control.Pos(2), 5.0f);
  EXPECT_EQ(control.IPLong(), 0);
}

TEST_F(QuadrelFields, PastedTextIsCheckedLikeTypedText) {
  ShowAddress(7, 0, 0, 0);
  host.ClickField(0);
  host.Paste(0, "abc");
  EXPECT_EQ(host.text[0], "abc");
  EXPECT_EQ(control.Address(), "abc.0.0.0");
  EXPECT_EQ(control.Pos(1), 7.0f);

  host.ClickField(0);
  host.Paste(0, "-5");
  EXPECT_EQ(host.text[0], "0");
  EXPECT_EQ(control.Pos(1), 0.0f);

  host.ClickField(0);
  host.Paste(0, "1234");
  EXPECT_EQ(host.text[0], "123");
  EXPECT_EQ(control.Pos(1), 123.0f);

  host.ClickField(0);
  host.Paste(0, "12a");  // a leading number within range stays
  EXPECT_EQ(host.text[0], "12a");
  EXPECT_EQ(control.Pos(1), 123.0f);
}

TEST_F(QuadrelFields, TheChecksAndThePartValueReadNumbersAlike) {
  // Exponents count in the range checks as in the part value; a text in
  // range stays as typed, as leading zeros do.
  const struct {
    const char* pasted;
    const char* shown;
    float stored;
  } kRows[] = {{"1e3", "255", 255}, {"1e2", "1e2", 100}, {"-1e", "0", 0}, {"2e1", "2e1", 20}};
  for (const auto& row : kRows) {
    ShowAddress(7, 0, 0, 0);
    host.ClickField(0);
    host.Paste(0, row.pasted);
    EXPECT_EQ(host.text[0], row.shown) << row.pasted;
    EXPECT_EQ(control.Pos(1), row.stored) << row.pasted;
  }
}

TEST_F(QuadrelFields, AValueOutsideAPartIsNeverStored) {
  // A field that refuses the correction keeps its text; the part keeps its value.
  ShowAddress(7, 0, 0, 0);
  host.refuse_text = true;
  for (const char* pasted : {"300", "1e3", "-5"}) {
    host.ClickField(0);
    host.Paste(0, pasted);
    EXPECT_EQ(host.text[0], pasted);
    EXPECT_EQ(control.Pos(1), 7.0f) << pasted;
  }
}

TEST_F(QuadrelFields, TheLengthLimitCountsCharactersNotBytes) {
  host.ClickField(0);
  host.Paste(0, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");  // four é
  EXPECT_EQ(host.text[0], "\xC3\xA9\xC3\xA9\xC3\xA9");
}

TEST_F(QuadrelFields, PosLetsClampAndShowTheValue) {
  control.SetPos(3, 300);
  EXPECT_EQ(control.Pos(3), 255.0f);
  EXPECT_EQ(host.text[2], "255");
  EXPECT_EQ(host.log, (Strings{"PropertyChanged(Pos3)", "PropertyChanged(Address)",
                               "Change(0.0.255.0)", "PropertyChanged(Pos3)"}));
  control.SetPos(3, -1);
  EXPECT_EQ(control.Pos(3), 0.0f);
  EXPECT_EQ(host.text[2], "0");
}

TEST_F(QuadrelFields, APosLetThatChangesNoTextRaisesNoChange) {
  control.SetPos(1, 7);
  host.log.clear();
  control.SetPos(1, 7);
  EXPECT_EQ(host.log, (Strings{"PropertyChanged(Pos1)"}));
}

TEST_F(QuadrelFields, AFractionIsCutWithItsText) {
  control.SetPos(1, 12.5f);
  EXPECT_EQ(host.text[0], "12.");
  EXPECT_EQ(control.Pos(1), 12.0f);
  EXPECT_EQ(control.Address(), "12..0.0.0");
  EXPECT_EQ(control.IPLong(), 0);
}

TEST_F(QuadrelFields, APosLetOfNoNumberIsAnError) {
  try {
    control.SetPos(2, std::nanf(""));
    FAIL();
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.number(), platform::kInvalidProcedureCall);
  }
  EXPECT_EQ(control.Pos(2), 0.0f);
  EXPECT_TRUE(host.log.empty());
}

TEST_F(QuadrelFields, IPLongPacksThePartsFirstPartLowest) {
  ShowAddress(192, 168, 1, 10);
  EXPECT_EQ(control.IPLong(), 0x0A01A8C0);
  ShowAddress(1, 2, 3, 200);
  EXPECT_EQ(control.IPLong(), static_cast<int32_t>(0xC8030201u));
  EXPECT_LT(control.IPLong(), 0);
  ShowAddress(0, 128, 0, 0);  // the 16-bit pattern reads as a positive number
  EXPECT_EQ(control.IPLong(), 0x8000);
}

TEST_F(QuadrelFields, AChangeHandlerMayReplaceTheAddressUntilTheNextComposition) {
  host.on_change = [](std::string& address) { address = "replaced"; };
  control.SetPos(1, 9);
  EXPECT_EQ(control.Address(), "replaced");
  host.on_change = nullptr;
  control.IPChange();
  EXPECT_EQ(control.Address(), "9.0.0.0");
}

TEST_F(QuadrelFields, AFailingChangeHandlerDoesNotStopTheProcessing) {
  host.fail_change_handler = true;
  host.ClickField(1);
  host.Type(1, '4');
  EXPECT_EQ(control.Pos(2), 4.0f);
  EXPECT_EQ(host.log.back(), "PropertyChanged(Pos2)");
}

TEST_F(QuadrelFields, IPChangeComposesTheFieldsAsTheyStand) {
  host.text = {"010", "", "abc", "7"};
  control.IPChange();
  EXPECT_EQ(control.Address(), "010..abc.7");
  EXPECT_EQ(host.log, (Strings{"PropertyChanged(Address)", "Change(010..abc.7)"}));
}

}  // namespace
}  // namespace lattix
