// The exchange engine in the main window, end to end against the virtual instrument: one
// exchange from the button to the strip, the monitor and the transmit items; measurement
// polling drawing its readings; closing while it polls; the reset key at start. The engine's
// own behaviour (attempts, stops, cadence, the state query) is tested in tests/engine on the
// manual clock.
#include "main_window_fixture.h"

#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "shell/form_interface.h"

#include <QPushButton>

namespace vr410::test {
namespace {

using sim::LineFault;

TEST_F(MainWindowFixture, TestButtonsExchangeDrivesTheStripTheMonitorAndTheTransmitItems) {
    StartVirtual();
    QAction* n11 = Commands().N11;
    QAction* n12 = Commands().N12;
    ASSERT_TRUE(n11->isEnabled());
    ASSERT_FALSE(n12->isEnabled());

    Find<QPushButton>("SB_Test")->click();
    EXPECT_EQ(Text("LabelCommand"), QStringLiteral("Тест обмена"));
    EXPECT_TRUE(Commands().ItemNamed("N24")->isChecked());
    EXPECT_FALSE(n11->isEnabled());
    EXPECT_TRUE(n12->isEnabled());
    ASSERT_TRUE(WaitForAnswers(1));

    EXPECT_TRUE(LastHandled()->Accepted);
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Тест обмена - ОК"));
    const QString sent = Inside().FormInterface().SendLine();
    const QString received = Inside().FormInterface().ReceiveLine();
    EXPECT_TRUE(sent.startsWith(QStringLiteral("01 03 44 00 08 "))) << sent.toStdString();
    EXPECT_TRUE(received.startsWith(QStringLiteral("00 03 "))) << received.toStdString();
    EXPECT_EQ(Inside().Dialogs().FirmwareLabel, "Версия встроенного ПО 2.06");
    EXPECT_EQ(Facilities->CursorChanges, (std::vector<bool>{true, false}));

    // Done, but still transmitting until a selection or a stop: "Передать" ignores a click.
    EXPECT_FALSE(CommandMenu::Click(n11));
    n11->trigger();
    QTest::qWait(20);
    EXPECT_EQ(Bus().RequestCount(8), 1u);
    ASSERT_TRUE(CommandMenu::Click(n12));
    EXPECT_TRUE(n11->isEnabled());
    EXPECT_FALSE(n12->isEnabled());
    EXPECT_FALSE(Engine().Transmitting());
}

TEST_F(MainWindowFixture, RefusedAnswersShowTheSecondAttemptsTextAndAnEmptyReceiveLine) {
    StartVirtual();
    Bus().Faults().Queue(LineFault::WrongDestinationAddress);
    Bus().Faults().Queue(LineFault::NoAnswer);
    Issue(1);
    ASSERT_TRUE(WaitForAnswers(1));

    EXPECT_FALSE(LastHandled()->Accepted);
    EXPECT_EQ(Count(CycleEvent::Kind::RequestSent), 2u);
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Нет ответа!"));
    EXPECT_EQ(Inside().FormInterface().SendLine(), QStringLiteral("01 03 44 00 01 74 "));
    EXPECT_EQ(Inside().FormInterface().ReceiveLine(), QString());
}

// ---------------------------------------------------------------------------------------------
// Measurement polling.

TEST_F(MainWindowFixture, MeasureKeysFirstWaitReachesThePolling) {
    StartVirtual();
    Inside().Keypad().Press(PanelKey::SB_Meas); // measurement, a 4000 ms first wait, command 32
    ASSERT_EQ(State().Mode, PanelMode::Measurement);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(LastHandled()->Code, 32);
    EXPECT_TRUE(Engine().TimerQuery().Active());
    EXPECT_EQ(Engine().TimerQuery().Interval(), 4000);
}

TEST_F(MainWindowFixture, PollingDrawsEachNewReadingOnThePanel) {
    StartVirtual();
    EnterMeasurement();
    const auto readings = [&] {
        size_t n = 0;
        for (const CycleEvent& e : Events) {
            n += e.What == CycleEvent::Kind::ExchangeEnded && e.Code == 33 && e.Accepted ? 1 : 0;
        }
        return n;
    };
    // The activity mark at the end of row 2 flips with every reading drawn.
    const auto mark = [&] {
        const std::string row = Inside().Display().RowText(2);
        return row.substr(row.size() - std::string("ѕ").size());
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return readings() >= 1; }, 5000));
    const std::string first = mark();
    const size_t before = readings();
    ASSERT_TRUE(QTest::qWaitFor([&] { return readings() > before; }, 5000));
    EXPECT_NE(mark(), first);
    EXPECT_GE(CountGiven(8), 2u);
    EXPECT_TRUE(Facilities->CursorChanges.empty()) << "no hourglass while measuring";
}

TEST_F(MainWindowFixture, ClosingWhileMeasurementPollsStopsThePolling) {
    StartVirtual();
    Main().show();
    EnterMeasurement();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountGiven(33) >= 1; }, 5000));
    ASSERT_TRUE(Main().close());

    const engine::ExchangeEngine& engine = Engine();
    for (const engine::Timer* timer :
         {&engine.TimerPrd(), &engine.TimerPriem(), &engine.TimerQuery(), &engine.TimerReadADC()}) {
        EXPECT_FALSE(timer->Active()) << timer->Name();
    }
    EXPECT_FALSE(Commands().N11->isEnabled());
    const size_t sent = Count(CycleEvent::Kind::RequestSent);
    QTest::qWait(300);
    EXPECT_EQ(Count(CycleEvent::Kind::RequestSent), sent);
    EXPECT_TRUE(Facilities->Messages.empty());
}

// ---------------------------------------------------------------------------------------------
// The output-on timer runs once at start: with no set-output confirmed, the reset key shows
// pressed.

TEST_F(MainWindowFixture, ResetKeyShowsPressed300msAfterStart) {
    StartOnPorts({});
    ASSERT_TRUE(Engine().TimerPredelOn().Active());
    Inside().Keys().SetKeyDown(PanelKey::SB_Reset, false); // to see the timer press it
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Engine().TimerPredelOn().Active(); }, 2000));
    EXPECT_TRUE(Inside().Keys().IsKeyDown(PanelKey::SB_Reset));
    EXPECT_EQ(State().Mode, PanelMode::OutputEntry);
}

} // namespace
} // namespace vr410::test
