// The reading update of a measured-value answer in measurement mode: overload alternation,
// the voltmeter flags from the status byte, the sign and the ten digits.
#include "protocol/answer.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

using test::AnswerPacket;
using test::RecordingView;
using Calls = std::vector<std::string>;

const char* const Read = "Answer: Считано измеренное значение";

class Reading : public ::testing::Test {
  protected:
    InstrumentState state;

    Reading() {
        state.Mode = PanelMode::Measurement;
        state.CommandCode = 33;
    }

    // value: four bytes M[4..7] in hex; status: M[8].
    Calls Answer(const std::string& value, const std::string& status) {
        FrameBytes tx{};
        tx[4] = 33;
        const PacketRecord rx = AnswerPacket(0x00, "08 04 01 21 " + value + " " + status);
        RecordingView view;
        DecodeAnswer(AnswerContext{rx, tx, false}, state, view);
        return view.Calls;
    }
};

TEST_F(Reading, NegativeValuePrintsMinusAndKeepsTheAbsoluteValue) {
    EXPECT_EQ(Answer("FF FF FF 9C", "20"), (Calls{Read, "PrintText 1,1,4 -", "PrintUin"}));
    EXPECT_EQ(state.MeasuredValue, 100);
    EXPECT_EQ(state.MeasuredDigits, "0000000100");
}

TEST_F(Reading, PositiveValuePrintsPlus) {
    EXPECT_EQ(Answer("00 00 00 07", "20"), (Calls{Read, "PrintText 1,1,4 +", "PrintUin"}));
    EXPECT_EQ(state.MeasuredValue, 7);
    EXPECT_EQ(state.MeasuredDigits, "0000000007");
}

TEST_F(Reading, LargeValuesKeepAllTheirDigits) {
    Answer("7F FF FF FF", "20");
    EXPECT_EQ(state.MeasuredValue, 2147483647);
    EXPECT_EQ(state.MeasuredDigits, "2147483647");
    Answer("80 00 00 01", "20");
    EXPECT_EQ(state.MeasuredDigits, "2147483647");
}

TEST_F(Reading, TheMostNegativeValueIsPrintedWithoutOverflow) {
    EXPECT_EQ(Answer("80 00 00 00", "20"), (Calls{Read, "PrintText 1,1,4 -", "PrintUin"}));
    EXPECT_EQ(state.MeasuredValue, 2147483647);
    EXPECT_EQ(state.MeasuredDigits, "2147483648");
}

TEST_F(Reading, OverloadAlternatesWithTheValue) {
    const Calls overload{Read, "CLRDisp 1", "PrintText 1,1,9 Перегрузка"};
    const Calls value{Read, "PrintText 1,1,4 +", "PrintUin"};
    EXPECT_EQ(Answer("00 00 00 05", "A0"), overload);
    EXPECT_EQ(state.OverloadShown, 1);
    EXPECT_EQ(state.MeasuredValue, 0) << "the overload answer leaves the value alone";
    EXPECT_EQ(Answer("00 00 00 05", "A0"), value);
    EXPECT_EQ(state.OverloadShown, 0);
    EXPECT_EQ(state.MeasuredValue, 5);
    EXPECT_EQ(Answer("00 00 00 06", "A0"), overload);
    EXPECT_EQ(Answer("00 00 00 06", "A0"), value);
}

TEST_F(Reading, AnAnswerWithoutOverloadClearsTheMark) {
    Answer("00 00 00 05", "A0");
    Answer("00 00 00 05", "20");
    EXPECT_EQ(state.OverloadShown, 0);
    EXPECT_EQ(Answer("00 00 00 05", "A0").at(1), "CLRDisp 1");
}

TEST_F(Reading, DifferenceTurnsAutoOffTakesTheRangeAndRedraws) {
    EXPECT_EQ(Answer("00 00 00 01", "13"),
              (Calls{Read, "PrintMode", "PrintText 1,1,4 +", "PrintUin"}));
    EXPECT_EQ(state.VoltmeterDelta, 1);
    EXPECT_EQ(state.VoltmeterPercent, 0);
    EXPECT_EQ(state.VoltmeterAuto, 0);
    EXPECT_EQ(state.VoltmeterRange, 3);
    // The same status again changes nothing.
    EXPECT_EQ(Answer("00 00 00 01", "13"), (Calls{Read, "PrintText 1,1,4 +", "PrintUin"}));
}

TEST_F(Reading, PercentIsPrintedAsPercentage) {
    EXPECT_EQ(Answer("00 00 00 01", "50"),
              (Calls{Read, "PrintMode", "PrintText 1,1,4 +", "PrintUperc"}));
    EXPECT_EQ(state.VoltmeterPercent, 1);
    EXPECT_EQ(state.VoltmeterDelta, 1);
}

TEST_F(Reading, InDifferenceTheInputBitIsNotTaken) {
    state.VoltmeterDelta = 1;
    state.VoltmeterAuto = 0;
    Answer("00 00 00 01", "18");
    EXPECT_EQ(state.VoltmeterInput, 0);
}

TEST_F(Reading, AutoRangingChangesTheRangeWithoutRedrawing) {
    EXPECT_EQ(Answer("00 00 00 01", "24"), (Calls{Read, "PrintText 1,1,4 +", "PrintUin"}));
    EXPECT_EQ(state.VoltmeterRange, 4);
    EXPECT_EQ(state.VoltmeterAuto, 1);
}

TEST_F(Reading, ManualRangeChangeRedraws) {
    state.VoltmeterAuto = 0;
    EXPECT_EQ(Answer("00 00 00 01", "02").at(1), "PrintMode");
    EXPECT_EQ(state.VoltmeterRange, 2);
    EXPECT_EQ(Answer("00 00 00 01", "02").at(1), "PrintText 1,1,4 +");
}

TEST_F(Reading, LeavingAutoRedraws) {
    EXPECT_EQ(Answer("00 00 00 01", "00").at(1), "PrintMode");
    EXPECT_EQ(state.VoltmeterAuto, 0);
}

TEST_F(Reading, InputChangeRedraws) {
    EXPECT_EQ(Answer("00 00 00 01", "28").at(1), "PrintMode");
    EXPECT_EQ(state.VoltmeterInput, 1);
}

TEST_F(Reading, LeavingDifferenceRedrawsAndTakesAutoAgain) {
    state.VoltmeterDelta = 1;
    state.VoltmeterAuto = 0;
    EXPECT_EQ(Answer("00 00 00 01", "21").at(1), "PrintMode");
    EXPECT_EQ(state.VoltmeterDelta, 0);
    EXPECT_EQ(state.VoltmeterAuto, 1);
    EXPECT_EQ(state.VoltmeterRange, 1);
}

} // namespace
} // namespace vr410
