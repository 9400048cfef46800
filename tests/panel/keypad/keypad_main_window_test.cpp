// The keypad and the output value entry in the main window, against the virtual instrument on
// the simulated serial line: keys are clicked, values typed, and what reaches the instrument and
// the display is checked.
#include "main_window_access.h"
#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "platform/serial_simulated.h"
#include "platform/system_facilities.h"
#include "shell/form_main.h"
#include "sim/virtual_accessory.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vr410 {
namespace {

// Generous: the conditions are normally met within a few hundred milliseconds.
constexpr int WaitLimitMs = 10000;

using Codes = std::vector<int>;

class KeypadWindow : public testing::Test {
  public:
    QTemporaryDir Dir;
    sim::VirtualInstrument* Instrument = nullptr;
    std::unique_ptr<TFormMain> Window;
    Codes Sent; // commands given to "Передать", measurement polling left out

    void SetUp() override {
        LineBackend line;
        line.Bus = std::make_unique<sim::VirtualBus>();
        Instrument =
            &line.Bus->AddDevice<sim::VirtualInstrument>(sim::VirtualInstrumentConfig{.Seed = 7});
        line.Bus->AddDevice<sim::VirtualAccessory>();
        auto api = std::make_unique<SimulatedSerialApi>(*line.Bus);
        api->AddPort(api->PortDeviceName(1));
        line.Simulated = api.get();
        line.Api = std::move(api);

        StartOptions options;
        options.Line = std::move(line);
        options.SettingsPath = Dir.filePath(QStringLiteral("VR410.ini")).toStdString();
        options.Facilities = std::make_unique<RecordingSystemFacilities>();
        Window = std::make_unique<TFormMain>(std::move(options));
        Window->show();
        Engine().Events().Subscribe([this](const engine::EngineEvent& event) {
            const auto* changed = std::get_if<engine::StateChanged>(&event);
            const uint8_t code = State().CommandCode;
            if (changed != nullptr && test::TransmitGiven(*changed) && code != 8 && code != 33) {
                Sent.push_back(code);
            }
        });
        ASSERT_EQ(Inside().PortStatus(), "готов");
        // The output-on timer runs once at start and then shows the reset key pressed.
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !Engine().TimerPredelOn().Active(); }, WaitLimitMs));
    }

    test::MainWindowAccess Inside() { return test::MainWindowAccess{*Window}; }
    engine::ExchangeEngine& Engine() { return Inside().Engine(); }
    InstrumentState& State() { return Inside().State(); }
    MaskedDigitEdit* Field() { return Inside().Entry().MaskEditVoltage(); }
    QPushButton* Button(PanelKey key) { return Inside().Keys().Button(key); }
    std::string Row(int row) { return Inside().Display().RowText(row); }

    bool Idle() { return !Engine().TimerPrd().Active() && !Engine().TimerPriem().Active(); }
    void Settle() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Idle(); }, WaitLimitMs));
    }
    void Click(PanelKey key) {
        QTest::mouseClick(Button(key), Qt::LeftButton);
        Settle();
    }
    void Press(std::initializer_list<PanelKey> keys) {
        for (PanelKey key : keys) {
            Click(key);
        }
    }
    // Types digits into the output value field from its first position.
    void Type(const char* digits) {
        Field()->setFocus();
        Field()->SetCaretIndex(0);
        QTest::keyClicks(Field(), QString::fromLatin1(digits));
        Settle();
    }
    // Puts the calibrator on row in output entry with the reset key.
    void GoToRow(uint8_t row) {
        State().RangeIndex = row;
        Click(PanelKey::SB_Reset);
        Sent.clear();
    }
    // Types the value, presses "Ввод" and waits for the output-on mode.
    void OutputOn(const char* digits) {
        Type(digits);
        Click(PanelKey::SB_Enter);
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return State().Mode == PanelMode::OutputOn; }, WaitLimitMs));
        Settle();
        Sent.clear();
    }
};

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// The reading in row 1 in volts: the sign, the digits with the point, the prefix, "V".
double ReadingVolts(const std::string& row) {
    const QString text = QString::fromStdString(row).remove(u' ');
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^([+-])([0-9.umn]+?)(m?)V")).match(text);
    if (!match.hasMatch()) {
        return NAN;
    }
    QString digits = match.captured(2);
    digits.remove(QRegularExpression(QStringLiteral("[umn]")));
    const double value = digits.toDouble() * (match.captured(3) == u"m" ? 1e-3 : 1.0);
    return match.captured(1) == u"-" ? -value : value;
}

TEST_F(KeypadWindow, OneVoltTypedAndEnteredIsOnTheOutputAndMeasured) {
    Type("01000000");
    EXPECT_EQ(Field()->text(), QStringLiteral("01.000 000V").replace(u' ', u'_'));
    EXPECT_EQ(State().OutputDigits, "01000000");
    EXPECT_TRUE(Sent.empty()) << "typing in the entry mode sends nothing";

    Click(PanelKey::SB_Enter);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return State().Mode == PanelMode::OutputOn; }, WaitLimitMs));
    EXPECT_TRUE(StartsWith(Row(1), "+01.000 000V")) << Row(1);
    EXPECT_TRUE(StartsWith(Row(2), "Uвых(10V)")) << Row(2);
    EXPECT_TRUE(Button(PanelKey::SB_Enter)->isChecked());
    EXPECT_EQ(Instrument->State().Mode, PanelMode::OutputOn);
    EXPECT_TRUE(Instrument->State().OutputLive);
    EXPECT_DOUBLE_EQ(Instrument->OutputVolts(), 1.0);

    const QString shot = QStringLiteral(VR410_KEYPAD_SHOT_DIR "/main_window_mode1.png");
    EXPECT_TRUE(Window->grab().save(shot)) << shot.toStdString();

    Click(PanelKey::SB_Meas);
    EXPECT_EQ(State().Mode, PanelMode::Measurement);
    EXPECT_TRUE(Field()->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([this] { return std::abs(ReadingVolts(Row(1)) - 1.0) < 1e-4; },
                                WaitLimitMs))
        << Row(1);
    EXPECT_TRUE(StartsWith(Row(2), "Uвх1(Авто)")) << Row(2);

    Click(PanelKey::SB_Reset);
    EXPECT_EQ(State().Mode, PanelMode::OutputEntry);
    EXPECT_FALSE(Instrument->State().OutputLive);
    EXPECT_FALSE(Field()->isHidden());
}

struct WindowCase {
    const char* Name;
    std::function<void(class KeypadWindowCases&)> Given;
    std::vector<PanelKey> Presses;
    std::function<void(class KeypadWindowCases&)> Then;
};

std::ostream& operator<<(std::ostream& out, const WindowCase& c) {
    return out << c.Name;
}

class KeypadWindowCases : public KeypadWindow, public testing::WithParamInterface<WindowCase> {};

TEST_P(KeypadWindowCases, Behave) {
    const WindowCase& c = GetParam();
    if (c.Given) {
        c.Given(*this);
    }
    Sent.clear();
    for (PanelKey key : c.Presses) {
        Click(key);
    }
    EXPECT_FALSE(Button(PanelKey::SB_Shift)->isChecked()) << "the shift key stays down";
    c.Then(*this);
}

const WindowCase WindowCases[] = {
    {"ShiftSevenOnTenVoltGoesToOneVoltWithZerosAndSendsNothing",
     [](KeypadWindowCases& w) { w.Type("01234567"); },
     {PanelKey::SB_Shift, PanelKey::SB_7},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().RangeIndex, 1);
         EXPECT_EQ(w.State().OutputDigits, "00000000");
         EXPECT_TRUE(StartsWith(w.Row(1), "Введите Uвых")) << w.Row(1);
         EXPECT_TRUE(StartsWith(w.Row(2), "+0.000 000 0V")) << w.Row(2);
         EXPECT_EQ(w.Sent, Codes{});
     }},
    {"ShiftNineOnOneVoltGoesToTheHundredVoltRowShowingPlus",
     [](KeypadWindowCases& w) { w.GoToRow(1); },
     {PanelKey::SB_Shift, PanelKey::SB_9},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().RangeIndex, 8);
         EXPECT_TRUE(StartsWith(w.Row(2), "+000.000")) << w.Row(2);
     }},
    {"ShiftSevenWithTheOutputOnResetsTheInstrumentFirst",
     [](KeypadWindowCases& w) { w.OutputOn("01000000"); },
     {PanelKey::SB_Shift, PanelKey::SB_7},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.Sent, Codes{1});
         EXPECT_EQ(w.State().Mode, PanelMode::OutputEntry);
         EXPECT_EQ(w.State().RangeIndex, 1);
         EXPECT_FALSE(w.Instrument->State().OutputLive);
         EXPECT_TRUE(StartsWith(w.Row(1), "Введите Uвых")) << w.Row(1);
     }},
    {"ShiftEightOnItsOwnRangeShowsTheResetDigitsAndSendsNothing",
     [](KeypadWindowCases& w) { w.Type("05000000"); },
     {PanelKey::SB_Shift, PanelKey::SB_8},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().OutputDigits, "00000000");
         EXPECT_EQ(w.State().RangeIndex, 2);
         EXPECT_TRUE(StartsWith(w.Row(2), "+00.000 000V")) << w.Row(2);
         EXPECT_EQ(w.Sent, Codes{});
     }},
    {"ShiftEightOnItsOwnRangeWithTheOutputOnKeepsTheOutput",
     [](KeypadWindowCases& w) { w.OutputOn("05000000"); },
     {PanelKey::SB_Shift, PanelKey::SB_8},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().OutputDigits, "05000000");
         EXPECT_TRUE(StartsWith(w.Row(1), "+05.000 000V")) << w.Row(1);
         EXPECT_EQ(w.Sent, Codes{});
         EXPECT_TRUE(w.Instrument->State().OutputLive);
     }},
    {"AcKeyWithTheOutputOnOnDcSendsNothing",
     [](KeypadWindowCases& w) { w.OutputOn("01000000"); },
     {PanelKey::SB_Sin},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.Sent, Codes{});
         EXPECT_TRUE(w.Button(PanelKey::SB_Polar)->isChecked());
         EXPECT_FALSE(w.Button(PanelKey::SB_Sin)->isChecked());
         EXPECT_TRUE(w.Instrument->State().OutputLive);
     }},
    {"VoltKeyOnOneMilliampereGoesToTheTenVoltRowShowingMinus",
     [](KeypadWindowCases& w) { w.GoToRow(10); },
     {PanelKey::SB_U},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().RangeIndex, 7);
         EXPECT_TRUE(StartsWith(w.Row(1), "Введите Uвых")) << w.Row(1);
         EXPECT_TRUE(StartsWith(w.Row(2), "-00.000 000V")) << w.Row(2);
         EXPECT_TRUE(w.Button(PanelKey::SB_U)->isChecked());
     }},
    {"PercentWithTheOutputOnAtZeroOnlyReleasesTheShift",
     [](KeypadWindowCases& w) { w.OutputOn("00000000"); },
     {PanelKey::SB_Shift, PanelKey::SB_1},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().VoltmeterPercent, 0);
         EXPECT_EQ(w.Sent, Codes{});
         EXPECT_TRUE(StartsWith(w.Row(2), "Uвых(10V)")) << w.Row(2);
     }},
    {"OkWithTheOutputOnOnAcOpensAndSendsNothing",
     [](KeypadWindowCases& w) {
         w.GoToRow(21);
         w.OutputOn("0500000");
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.Sent, Codes{});
         EXPECT_EQ(w.State().OkCalibr, 0);
         EXPECT_TRUE(w.Button(PanelKey::SB_U)->isChecked());
     }},
    {"FiftyAmpereKeyOnOneAmpereGoesToTheFiftyAmpereRowSilently",
     [](KeypadWindowCases& w) { w.GoToRow(13); },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().RangeIndex, 30);
         EXPECT_EQ(w.Sent, Codes{});
         EXPECT_TRUE(StartsWith(w.Row(1), "Введите Iвых")) << w.Row(1);
         EXPECT_TRUE(StartsWith(w.Row(2), "-00.000 000A")) << w.Row(2);
     }},
    {"FiftyAmpereKeyKeepsTheDigitsTypedOnOneAmpereInTheFiftyAmpereLayout",
     [](KeypadWindowCases& w) {
         w.GoToRow(13);
         w.Type("10200000");
     },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.State().RangeIndex, 30);
         EXPECT_EQ(w.State().OutputDigits, "10200000");
         EXPECT_TRUE(StartsWith(w.Row(2), "-10.200 000A")) << w.Row(2);
         EXPECT_EQ(w.Field()->text(), QStringLiteral("10.200_000A"));
         EXPECT_EQ(w.Sent, Codes{});
     }},
    {"ScreenKeySwitchesTheInstrumentsDisplayOffAndBackOn",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_Polar},
     [](KeypadWindowCases& w) {
         EXPECT_EQ(w.Sent, Codes{9});
         EXPECT_FALSE(w.Instrument->State().ScreenOn);
         EXPECT_EQ(w.Row(1).substr(w.Row(1).size() - 2, 1), " ");
         w.Click(PanelKey::SB_Shift);
         w.Click(PanelKey::SB_Polar);
         EXPECT_TRUE(w.Instrument->State().ScreenOn);
         EXPECT_NE(w.Row(1).find("Э"), std::string::npos) << w.Row(1);
     }},
};

INSTANTIATE_TEST_SUITE_P(Keys, KeypadWindowCases, testing::ValuesIn(WindowCases),
                         [](const testing::TestParamInfo<WindowCase>& row) {
                             return std::string(row.param.Name);
                         });

TEST_F(KeypadWindow, MeasureThenVoltmeterKeysSendTheirSettingsWithTheirPollIntervals) {
    struct Step {
        const char* What;
        std::vector<PanelKey> Presses;
        Codes Commands; // sent by the step
        int Interval;   // TimerQuery interval right after the step
    };
    const Step steps[] = {
        {"measure", {PanelKey::SB_Meas}, {32}, 4000},
        {"U2", {PanelKey::SB_2}, {36}, 4000},
        {"U1", {PanelKey::SB_1}, {36}, 4000},
        {"delta", {PanelKey::SB_3}, {36}, 1000},
        {"percent", {PanelKey::SB_Shift, PanelKey::SB_1}, {36}, 1000},
        {"delta off", {PanelKey::SB_3}, {36}, 1000},
        {"percent off", {PanelKey::SB_Shift, PanelKey::SB_1}, {36}, 1000},
        {"AUTO", {PanelKey::SB_5}, {36}, -1},
    };
    for (const Step& step : steps) {
        Sent.clear();
        for (PanelKey key : step.Presses) {
            QTest::mouseClick(Button(key), Qt::LeftButton);
        }
        if (step.Interval > 0) {
            EXPECT_EQ(Engine().TimerQuery().Interval(), step.Interval) << step.What;
        }
        Settle();
        EXPECT_EQ(Sent, step.Commands) << step.What;
    }
    const sim::VoltmeterSettings& settings = Instrument->Voltmeter().Settings();
    EXPECT_EQ(settings.Input, 0);
    EXPECT_FALSE(settings.Delta);
    EXPECT_FALSE(settings.Percent);
    EXPECT_TRUE(settings.Auto);
    EXPECT_EQ(Instrument->State().Mode, PanelMode::Measurement);
    // Polling goes on at its steady pace once the long first interval is used up.
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return Engine().TimerQuery().Interval() == 120; }, WaitLimitMs));
}

// The instrument's own keys moved it to the 1 V range meanwhile: the state query reads the
// output back, and at its end both rows and the field show the range and value read, which is
// also what the instrument puts out.
TEST_F(KeypadWindow, StateQueryWithTheOutputOnShowsTheRangeAndValueReadInBothRows) {
    OutputOn("05000000");
    ASSERT_TRUE(StartsWith(Row(2), "Uвых(10V)")) << Row(2);
    sim::VirtualInstrumentState& instrument = Instrument->MutableState();
    instrument.RangeIndex = 1;
    instrument.OutputDigits = {0, 5, 0, 0, 0, 0, 0, 0};

    Engine().SB_QueryStateClick();
    Settle();
    EXPECT_EQ(State().RangeIndex, 1);
    EXPECT_EQ(State().Mode, PanelMode::OutputOn);
    EXPECT_TRUE(StartsWith(Row(1), "+0.500 000 0V")) << Row(1);
    EXPECT_TRUE(StartsWith(Row(2), "Uвых(1V)")) << Row(2);
    EXPECT_EQ(Field()->text(), QStringLiteral("0.500_000_0V"));
    EXPECT_EQ(Instrument->State().RangeIndex, 1);
    EXPECT_DOUBLE_EQ(Instrument->OutputVolts(), 0.5);
}

TEST_F(KeypadWindow, EntryClampsTheTypedValueToTheRange) {
    Type("12");
    EXPECT_EQ(State().OutputDigits, "10200000");
    EXPECT_EQ(Field()->text(), QStringLiteral("10.200_000V"));
    EXPECT_TRUE(StartsWith(Row(2), "+10.200 000V")) << Row(2);

    GoToRow(21); // AC 1 V
    Type("00");
    EXPECT_EQ(State().OutputDigits, "0010000");
    EXPECT_TRUE(StartsWith(Row(2), "~0.010 000V")) << Row(2);
}

TEST_F(KeypadWindow, EveryChangedDigitIsSentWithTheOutputOnAndNoneInEntryMode) {
    Type("0123");
    EXPECT_EQ(Sent, Codes{});
    OutputOn("01000000");
    Type("0200"); // only the second digit changes
    EXPECT_EQ(Sent, Codes{16});
    EXPECT_DOUBLE_EQ(Instrument->OutputVolts(), 2.0);
    EXPECT_TRUE(StartsWith(Row(1), "+02.000 000V")) << Row(1);
}

TEST_F(KeypadWindow, CaretFollowsTheCursorMovementParameter) {
    State().MoveCursor = 0;
    Field()->setFocus();
    Field()->SetCaretIndex(3);
    QTest::keyClick(Field(), Qt::Key_5);
    EXPECT_EQ(Field()->CaretIndex(), 3);
    QTest::keyClick(Field(), Qt::Key_6);
    EXPECT_EQ(State().OutputDigits, "00600000");
    State().MoveCursor = 1;
    QTest::keyClick(Field(), Qt::Key_7);
    EXPECT_EQ(Field()->CaretIndex(), 4);
    EXPECT_EQ(State().OutputDigits, "00700000");
}

TEST_F(KeypadWindow, FrequencyChangeWithTheOutputOnWaitsForTheNextSetOutput) {
    GoToRow(21);
    Inside().Entry().SE_Freq()->setValue(50);
    EXPECT_NE(Row(1).find("F=50Гц"), std::string::npos) << Row(1);
    OutputOn("0500000");
    EXPECT_EQ(Instrument->State().Frequency, 50);
    const std::string shown = Row(2);
    Inside().Entry().SE_Freq()->setValue(400);
    Settle();
    EXPECT_EQ(Sent, Codes{});
    EXPECT_EQ(Instrument->State().Frequency, 50);
    EXPECT_EQ(Row(2), shown);
    Type("06");
    EXPECT_EQ(Instrument->State().Frequency, 400);
}

} // namespace
} // namespace vr410

namespace vr410 {
namespace {

TEST_F(KeypadWindow, CalibrationOpensTheUserCalibrationFromNineHundredThousandOn) {
    struct Row {
        const char* Digits;
        int Opened;
        Codes Commands;
    };
    int opened = 0;
    // The user calibration dialog as it would close with Yes, the value taken as shown.
    Inside().KeyHost().Actions().OpenCalibrationDialog = [this, &opened] {
        ++opened;
        State().CalibrationDigits = State().OutputDigits;
        return true;
    };
    for (const Row& row : {Row{"00899999", 0, {}}, Row{"00900000", 1, {52}}}) {
        opened = 0;
        OutputOn(row.Digits);
        Click(PanelKey::SB_Shift);
        Click(PanelKey::SB_Meas);
        EXPECT_EQ(opened, row.Opened) << row.Digits;
        EXPECT_EQ(Sent, row.Commands) << row.Digits;
        EXPECT_TRUE(Button(PanelKey::SB_Enter)->isChecked()) << row.Digits;
        Click(PanelKey::SB_Reset);
    }
    EXPECT_TRUE(Instrument->State().CoefCalibr);
}

} // namespace
} // namespace vr410
