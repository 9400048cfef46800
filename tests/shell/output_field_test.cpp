// The output value field in the main window: what the instrument's answers put into it, and the
// field following the link from the first start without a port to the first value sent.
#include "main_window_fixture.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"

#include <QPushButton>
#include <QSpinBox>

#include <array>
#include <ostream>

namespace vr410::test {
namespace {

class OutputField : public MainWindowFixture {
  protected:
    MaskedDigitEdit* Field() { return Inside().Entry().MaskEditVoltage(); }

    // Starts as on a machine whose only serial port COM3 leads to an instrument, with no port
    // saved: the program starts without a link.
    void StartWithoutAPort() {
        PortsBus = std::make_unique<sim::VirtualBus>();
        Device = &PortsBus->AddDevice<sim::VirtualInstrument>();
        auto api = std::make_unique<SimulatedSerialApi>(*PortsBus);
        api->AddPort(api->PortDeviceName(3));
        PortsApi = api.get();
        LineBackend line;
        line.Api = std::move(api);
        Start(std::move(line));
        Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
        ASSERT_EQ(Text("StatusPanel0"), QStringLiteral("порт не выбран"));
    }

    sim::VirtualInstrument* Device = nullptr;

    // Waits until the exchange cycle has nothing more to encode or send.
    bool Settle() {
        return QTest::qWaitFor(
            [&] {
                return !Engine().TimerPrd().Active() && !Engine().TimerPriem().Active() &&
                       !Engine().TimerPredelOn().Active();
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
// the DC layout before them, so none is cut, and with the output on the instrument keeps the
// value it holds.
TEST_F(OutputField, ReadOutputAnswerFromAnAcRowToADcRowKeepsAllEightDigits) {
    StartVirtual();
    ASSERT_TRUE(Settle());
    State().Mode = PanelMode::OutputOn;
    State().RangeIndex = 22; // AC 10 V
    State().OutputDigits = "0100000";
    Inside().KeyHost().PrintMode();
    ASSERT_EQ(Field()->Digits(), QStringLiteral("0100000"));

    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.Mode = PanelMode::OutputOn;
    device.OutputLive = true;
    device.RangeIndex = 2; // DC 10 V
    device.OutputDigits = {0, 9, 8, 7, 6, 5, 4, 3};

    Issue(17);
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

    Issue(17);
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_TRUE(Settle());

    EXPECT_EQ(State().RangeIndex, 21);
    EXPECT_EQ(State().OutputDigits, "0543219");
    EXPECT_EQ(Field()->Digits().toStdString(), State().OutputDigits);
}

// A value the instrument holds, read back on an AC row (1 V, row 21) with the output off or on.
struct ReadBackCase {
    const char* Name;
    PanelMode Mode;
    bool StateQuery; // by the state button's sequence (5, 10, 17), else by a lone read (17)
    std::array<uint8_t, 8> Device;
    const char* Digits; // what the field, OutputDigits and the display must show
    const char* Shown;  // the value as the display's value row begins
};

void PrintTo(const ReadBackCase& c, std::ostream* os) {
    *os << c.Name;
}

class OutputFieldReadBack : public OutputField, public testing::WithParamInterface<ReadBackCase> {};

// The entry limits are for what the operator types: a value read from the instrument is shown as
// the instrument holds it, even outside them, and reading it sends nothing back; with the output
// on, a raised or lowered copy would otherwise go out as a set-output request unasked.
TEST_P(OutputFieldReadBack, ShowsTheInstrumentsValueAndSendsNothing) {
    const ReadBackCase& c = GetParam();
    StartVirtual();
    ASSERT_TRUE(Settle());
    State().Mode = c.Mode;
    State().RangeIndex = 21;
    State().OutputDigits = "0500000";
    Inside().KeyHost().PrintMode();
    ASSERT_EQ(Field()->Digits(), QStringLiteral("0500000"));

    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.Mode = c.Mode;
    device.OutputLive = c.Mode == PanelMode::OutputOn;
    device.RangeIndex = 21;
    device.OutputDigits = c.Device;
    const std::string held = DeviceDigits(device);

    const size_t before = Events.size();
    if (c.StateQuery) {
        Engine().SB_QueryStateClick();
    } else {
        Issue(17);
        ASSERT_TRUE(WaitForAnswers(1));
    }
    ASSERT_TRUE(Settle());
    // Let anything the read might have set off reach the wire.
    QTest::qWait(100);
    ASSERT_TRUE(Settle());

    std::vector<int> given;
    for (size_t i = before; i < Events.size(); ++i) {
        if (Events[i].What == CycleEvent::Kind::TransmitGiven) {
            given.push_back(Events[i].Code);
        }
    }
    const std::vector<int> asked =
        c.StateQuery ? std::vector<int>{5, 10, 17} : std::vector<int>{17};
    EXPECT_EQ(given, asked);
    EXPECT_EQ(DeviceDigits(Instrument().State()), held);
    EXPECT_EQ(Instrument().State().Mode, c.Mode);

    EXPECT_EQ(State().OutputDigits, c.Digits);
    EXPECT_EQ(Field()->Digits().toStdString(), c.Digits);
    const std::string row = Inside().Display().RowText(c.Mode == PanelMode::OutputOn ? 1 : 2);
    EXPECT_EQ(row.rfind(c.Shown, 0), 0U) << row;
}

INSTANTIATE_TEST_SUITE_P(
    AcRow, OutputFieldReadBack,
    testing::Values(
        // name                    mode                    query  device digits        digits shown
        ReadBackCase{"HalfAPercentReadWithTheOutputOff",
                     PanelMode::OutputEntry,
                     false,
                     {0, 0, 0, 5, 0, 0, 0, 0},
                     "0005000",
                     "~0.005 000V"},
        ReadBackCase{"HalfAPercentReadWithTheOutputOn",
                     PanelMode::OutputOn,
                     false,
                     {0, 0, 0, 5, 0, 0, 0, 0},
                     "0005000",
                     "~0.005 000V"},
        ReadBackCase{"HalfAPercentQueriedWithTheOutputOff",
                     PanelMode::OutputEntry,
                     true,
                     {0, 0, 0, 5, 0, 0, 0, 0},
                     "0005000",
                     "~0.005 000V"},
        ReadBackCase{"HalfAPercentQueriedWithTheOutputOn",
                     PanelMode::OutputOn,
                     true,
                     {0, 0, 0, 5, 0, 0, 0, 0},
                     "0005000",
                     "~0.005 000V"},
        ReadBackCase{"InsideTheLimitsReadWithTheOutputOn",
                     PanelMode::OutputOn,
                     false,
                     {0, 2, 5, 0, 0, 0, 0, 0},
                     "0250000",
                     "~0.250 000V"},
        ReadBackCase{"ZeroReadWithTheOutputOn",
                     PanelMode::OutputOn,
                     false,
                     {0, 0, 0, 0, 0, 0, 0, 0},
                     "0000000",
                     "~0.000 000V"},
        ReadBackCase{"AboveTheTopReadWithTheOutputOn",
                     PanelMode::OutputOn,
                     false,
                     {1, 0, 3, 0, 0, 0, 0, 0},
                     "1030000",
                     "~1.030 000V"}),
    [](const testing::TestParamInfo<ReadBackCase>& row) { return row.param.Name; });

// Shown to the operator: visible, and inside every parent up to the window, not clipped away.
::testing::AssertionResult OnScreen(const QWidget* widget) {
    if (!widget->isVisible()) {
        return ::testing::AssertionFailure() << widget->objectName().toStdString() << " hidden";
    }
    QRect area = widget->rect();
    for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
        area.translate(w->pos());
        const QRect parent = w->parentWidget()->rect();
        if (!parent.contains(area)) {
            return ::testing::AssertionFailure()
                   << widget->objectName().toStdString() << " clipped by "
                   << w->parentWidget()->objectName().toStdString() << ": " << area.width() << "x"
                   << area.height() << " in " << parent.width() << "x" << parent.height();
        }
    }
    return ::testing::AssertionSuccess();
}

// The usual first start has no port ("порт не выбран"): the keypad and the output value field
// come together with the first working port, and a value typed there goes out with "Ввод".
TEST_F(OutputField, FollowsTheLinkFromAStartWithoutAPortToTheFirstValueSent) {
    StartWithoutAPort();
    ASSERT_TRUE(Settle());
    OutputEntryBar& entry = Inside().Entry();
    ASSERT_FALSE(Inside().Keys().isEnabled());
    EXPECT_FALSE(Field()->isVisible());

    CommandMenu::Click(Find("COM3"));
    ASSERT_EQ(Text("StatusPanel0"), QStringLiteral("COM3 - готов"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Inside().Keys().isEnabled());
    EXPECT_TRUE(OnScreen(entry.Label9()));
    EXPECT_TRUE(OnScreen(Field()));

    Field()->setFocus();
    Field()->SetCaretIndex(0);
    QTest::keyClicks(Field(), QStringLiteral("05"));
    ASSERT_EQ(State().OutputDigits, "05000000");
    QTest::mouseClick(Inside().Keys().Button(PanelKey::SB_Enter), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return State().Mode == PanelMode::OutputOn; }, 5000));
    EXPECT_EQ(DeviceDigits(Device->State()), "05000000");
    EXPECT_TRUE(Device->State().OutputLive);

    // The frequency panel too appears whole with an AC range.
    QTest::mouseClick(Inside().Keys().Button(PanelKey::SB_Reset), Qt::LeftButton);
    QTest::mouseClick(Inside().Keys().Button(PanelKey::SB_Sin), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(OnScreen(entry.PanelFreq()));
    EXPECT_TRUE(OnScreen(entry.LabelFreq()));
    EXPECT_TRUE(OnScreen(entry.SE_Freq()));
    EXPECT_TRUE(OnScreen(Field()));
}

// Without a working link there is nothing to set: the field goes with the port and comes back
// with the next one, except in measurement, where the measure key hid it.
TEST_F(OutputField, GoesWithThePortAndStaysHiddenInMeasurement) {
    StartWithoutAPort();
    CommandMenu::Click(Find("COM3"));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(OnScreen(Field()));

    CommandMenu::Click(Find("NoPort"));
    EXPECT_FALSE(Field()->isVisible());
    EXPECT_FALSE(Inside().Entry().Label9()->isVisible());

    CommandMenu::Click(Find("COM3"));
    ASSERT_TRUE(Settle());
    QTest::mouseClick(Inside().Keys().Button(PanelKey::SB_Meas), Qt::LeftButton);
    ASSERT_EQ(State().Mode, PanelMode::Measurement);
    CommandMenu::Click(Find("NoPort"));
    CommandMenu::Click(Find("COM3"));
    EXPECT_FALSE(Field()->isVisible());
    QTest::mouseClick(Inside().Keys().Button(PanelKey::SB_Reset), Qt::LeftButton);
    EXPECT_TRUE(OnScreen(Field()));
}

} // namespace
} // namespace vr410::test
