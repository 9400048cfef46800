// The output value field in the main window: what the instrument's answers put into it, and the
// field following the link from the first start without a port to the first value sent.
#include "main_window_fixture.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"

#include <QPushButton>
#include <QSpinBox>

namespace vr410::test {
namespace {

class OutputField : public MainWindowFixture {
  protected:
    MaskedDigitEdit* Field() { return Main().Entry().MaskEditVoltage(); }

    // Waits until the exchange cycle has nothing more to encode or send.
    bool Settle() {
        return QTest::qWaitFor(
            [&] {
                return !Cycle().TimerPrd().isActive() && !Cycle().TimerPriem().isActive() &&
                       !Cycle().TimerPredelOn().isActive();
            },
            5000);
    }
};

// The instrument's digits as the panel writes them.
std::string DeviceDigits(const sim::VirtualInstrumentState& device) {
    std::string digits;
    for (uint8_t d : device.OutputDigits) {
        digits += static_cast<char>('0' + d);
    }
    return digits;
}

// A read-output answer that moves the row from AC to DC brings eight digits: the field takes
// the DC layout before them, so none is cut, and the value the change handling sends with the
// output on is the one the instrument holds.
TEST_F(OutputField, ReadOutputAnswerFromAnAcRowToADcRowKeepsAllEightDigits) {
    StartVirtual();
    ASSERT_TRUE(Settle());
    State().Mode = 1;
    State().RangeIndex = 22; // AC 10 V
    State().OutputDigits = "0100000";
    Main().KeyHost().PrintMode();
    ASSERT_EQ(Field()->Digits(), QStringLiteral("0100000"));

    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.Mode = sim::InstrumentMode::OutputOn;
    device.OutputLive = true;
    device.RangeIndex = 2; // DC 10 V
    device.OutputDigits = {0, 9, 8, 7, 6, 5, 4, 3};

    Main().IssueCommand(17);
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_TRUE(Settle());

    EXPECT_EQ(State().RangeIndex, 2);
    EXPECT_EQ(State().OutputDigits, "09876543");
    EXPECT_EQ(Field()->Digits().toStdString(), State().OutputDigits);
    EXPECT_EQ(DeviceDigits(Instrument().State()), "09876543");
    EXPECT_EQ(Instrument().State().RangeIndex, 2);
}

// From DC to AC the field goes down to seven digit places: the answer's seven digits stay.
TEST_F(OutputField, ReadOutputAnswerFromADcRowToAnAcRowKeepsTheSevenDigits) {
    StartVirtual();
    ASSERT_TRUE(Settle());
    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.RangeIndex = 21; // AC 1 V
    device.OutputDigits = {0, 5, 4, 3, 2, 1, 9, 0};

    Main().IssueCommand(17);
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_TRUE(Settle());

    EXPECT_EQ(State().RangeIndex, 21);
    EXPECT_EQ(State().OutputDigits, "0543219");
    EXPECT_EQ(Field()->Digits().toStdString(), State().OutputDigits);
}

} // namespace
} // namespace vr410::test
