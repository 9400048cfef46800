// The exchange cycle against the virtual instrument over the simulated serial line: attempts
// and retries, the transmit item, the monitor lines, measurement polling and its cadence, the
// state query button and the output-on timer.
#include "main_window_fixture.h"

#include "links/comm_port.h"
#include "panel/keypad/panel5.h"
#include "shell/form_interface.h"

#include <QAction>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>

namespace vr410::test {
namespace {

using Kind = CycleEvent::Kind;
using sim::LineFault;

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

// ---------------------------------------------------------------------------------------------
// Attempts: a sound answer ends the exchange at once; a failed attempt is sent once more, and
// after two failures the label keeps the second attempt's text and nothing is decoded.

struct AttemptCase {
    const char* Name;
    std::vector<LineFault> Faults; // one per answered attempt, in order
    uint8_t Code;
    uint32_t ExpectedSends;
    bool ExpectedAccepted;
    const char* ExpectedLabel;
    bool ExpectedReceiveLineEmpty; // the last attempt's line replaces the first one's
};

void PrintTo(const AttemptCase& c, std::ostream* os) {
    *os << c.Name;
}

class Attempts : public MainWindowFixture, public testing::WithParamInterface<AttemptCase> {};

TEST_P(Attempts, SendsAsOftenAsTheAnswersRequireAndShowsTheLastOutcome) {
    const AttemptCase& c = GetParam();
    StartVirtual();
    for (LineFault fault : c.Faults) {
        Bus().Faults().Queue(fault);
    }
    Main().IssueCommand(c.Code);
    ASSERT_TRUE(WaitForAnswers(1));

    EXPECT_EQ(Bus().RequestCount(c.Code), c.ExpectedSends);
    EXPECT_EQ(LastHandled()->Accepted, c.ExpectedAccepted);
    EXPECT_EQ(Text("LabelAnswer").toStdString(), c.ExpectedLabel);
    EXPECT_EQ(Main().FormInterface().ReceiveLine().isEmpty(), c.ExpectedReceiveLineEmpty);
}

INSTANTIATE_TEST_SUITE_P(
    ExchangeCycle, Attempts,
    testing::Values(AttemptCase{.Name = "AnsweredFirstTimeIsSentOnce",
                                .Faults = {},
                                .Code = 8,
                                .ExpectedSends = 1,
                                .ExpectedAccepted = true,
                                .ExpectedLabel = "Тест обмена - ОК",
                                .ExpectedReceiveLineEmpty = false},
                    AttemptCase{.Name = "CorruptFirstAnswerIsRepairedBySecondAttempt",
                                .Faults = {LineFault::CorruptBlock0Bit},
                                .Code = 8,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = true,
                                .ExpectedLabel = "Тест обмена - ОК",
                                .ExpectedReceiveLineEmpty = false},
                    AttemptCase{.Name = "BothFailedShowsSecondAttemptsNoAnswer",
                                .Faults = {LineFault::WrongDestinationAddress, LineFault::NoAnswer},
                                .Code = 1,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = false,
                                .ExpectedLabel = "Нет ответа!",
                                .ExpectedReceiveLineEmpty = true},
                    AttemptCase{.Name = "BothFailedShowsSecondAttemptsWrongAddress",
                                .Faults = {LineFault::NoAnswer, LineFault::WrongDestinationAddress},
                                .Code = 1,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = false,
                                .ExpectedLabel = "Неверный адрес ответа!",
                                .ExpectedReceiveLineEmpty = false}),
    CaseName<AttemptCase>);

TEST_F(MainWindowFixture, AnswerFailingBothAttemptsChangesNoState) {
    StartVirtual();
    Instrument().MutableState().ErrorList = {7, 9};
    Bus().Faults().Queue(LineFault::WrongFunctionCode);
    Bus().Faults().Queue(LineFault::CorruptBlock0Bit);
    Main().IssueCommand(5); // read parameters: a decoded answer would fill the error list
    ASSERT_TRUE(WaitForAnswers(1));

    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Ошибка CRC 0-го блока!"));
    EXPECT_TRUE(Main().Dialogs().ErrorList.empty());
    EXPECT_EQ(State().Brightness, 8);
}

// ---------------------------------------------------------------------------------------------
// The transmit item: disabled from the transmit action until a selection or a stop.

TEST_F(MainWindowFixture, TransmitClickedAgainWithoutSelectionDoesNothing) {
    StartVirtual();
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_EQ(Bus().RequestCount(8), 1u);

    QAction* n11 = Main().Commands().N11;
    EXPECT_FALSE(CommandMenu::Click(n11));
    n11->trigger(); // even a direct trigger of the disabled item is ignored
    EXPECT_FALSE(Cycle().TimerPrd().isActive());
    EXPECT_FALSE(Cycle().TimerPriem().isActive());
    EXPECT_EQ(State().Transmitting, 1);
    EXPECT_EQ(CountGiven(8), 1u);

    // A new selection stops the finished transmission and makes the item usable again.
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(Bus().RequestCount(8), 2u);
}

TEST_F(MainWindowFixture, SelectionShowsTheCaptionAndTicksTheHiddenItem) {
    StartVirtual();
    QAction* n8 = Main().Commands().ItemNamed("N8");
    ASSERT_TRUE(CommandMenu::Click(n8));
    EXPECT_TRUE(n8->isChecked());
    EXPECT_EQ(State().CommandCode, 17);
    EXPECT_EQ(Text("LabelCommand"), QStringLiteral("Чтение установленного напряжения калибратора"));
    EXPECT_EQ(State().Transmitting, 0);
    EXPECT_FALSE(Cycle().TimerPrd().isActive()); // selecting alone sends nothing
}

TEST_F(MainWindowFixture, StopCancelsAPendingTransmission) {
    StartVirtual();
    Main().IssueCommand(8);
    ASSERT_TRUE(Cycle().TimerPrd().isActive());
    ASSERT_TRUE(CommandMenu::Click(Main().Commands().N12));

    EXPECT_FALSE(Cycle().TimerPrd().isActive());
    EXPECT_EQ(State().Transmitting, 0);
    EXPECT_TRUE(Main().Commands().N11->isEnabled());
    EXPECT_FALSE(Main().Commands().N12->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(Count(Kind::RequestSending), 0u);
}

// ---------------------------------------------------------------------------------------------
// The packet monitor lines.

TEST_F(MainWindowFixture, MonitorShowsTheResetRequestAndAnEmptyLineWithoutAnswer) {
    StartVirtual();
    Bus().Faults().Queue(LineFault::NoAnswer);
    Bus().Faults().Queue(LineFault::NoAnswer);
    Main().IssueCommand(1);
    ASSERT_TRUE(WaitForAnswers(1));

    EXPECT_EQ(Main().FormInterface().SendLine(), QStringLiteral("01 03 44 00 01 74 "));
    EXPECT_EQ(Main().FormInterface().ReceiveLine(), QString());
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Нет ответа!"));
}

TEST_F(MainWindowFixture, MonitorReceiveLineShowsTheWholeAnswer) {
    StartVirtual();
    Main().IssueCommand(1);
    ASSERT_TRUE(WaitForAnswers(1));
    // Address byte of the PC, then L 3, the answer's control byte, the instrument, the code
    // and block 0's check byte.
    const QString line = Main().FormInterface().ReceiveLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("00 03 04 01 01 "))) << line.toStdString();
    EXPECT_EQ(line.size(), 6 * 3);
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Прибор в режиме сброса"));
}

// ---------------------------------------------------------------------------------------------
// Measurement polling.

TEST_F(MainWindowFixture, SelectionStopsPollingUntilTheNextExchangeInMeasurement) {
    StartVirtual();
    EnterMeasurement();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountGiven(33) >= 1; }, 5000));
    ASSERT_TRUE(WaitForAnswers(1));

    ASSERT_TRUE(CommandMenu::Click(Main().Commands().ItemNamed("N21")));
    EXPECT_FALSE(Cycle().TimerQuery().isActive());
    EXPECT_FALSE(Cycle().TimerReadADC().isActive());
    EXPECT_FALSE(Cycle().TimerPrd().isActive());
    EXPECT_FALSE(Cycle().TimerPriem().isActive());
    EXPECT_EQ(State().Transmitting, 0);
    QCoreApplication::processEvents();
    const size_t sendsWhileStopped = Count(Kind::RequestSending);

    // Transmitting the selection is the next exchange in Mode 12: polling resumes after it.
    ASSERT_TRUE(CommandMenu::Click(Main().Commands().N11));
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(LastHandled()->Code, 5);
    EXPECT_EQ(Count(Kind::RequestSending), sendsWhileStopped + 1);
    EXPECT_TRUE(Cycle().TimerQuery().isActive());
    EXPECT_EQ(Cycle().TimerQuery().interval(), 120);
    const size_t testsBefore = CountGiven(8);
    EXPECT_TRUE(QTest::qWaitFor([&] { return CountGiven(8) > testsBefore; }, 2000));
}

TEST_F(MainWindowFixture, PollingDoesNotResumeOutsideMeasurement) {
    StartVirtual();
    EnterMeasurement();
    ASSERT_TRUE(CommandMenu::Click(Main().Commands().ItemNamed("N21")));
    State().Mode = PanelMode::OutputEntry;
    ASSERT_TRUE(CommandMenu::Click(Main().Commands().N11));
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_FALSE(Cycle().TimerQuery().isActive());
    EXPECT_FALSE(Cycle().TimerReadADC().isActive());
}

TEST_F(MainWindowFixture, PollingContinuesAfterAFailedExchange) {
    StartVirtual();
    State().Mode = PanelMode::Measurement;
    Bus().Faults().Queue(LineFault::NoAnswer);
    Bus().Faults().Queue(LineFault::NoAnswer);
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_FALSE(LastHandled()->Accepted);
    EXPECT_TRUE(Cycle().TimerQuery().isActive());
    EXPECT_EQ(Cycle().TimerQuery().interval(), 120);
}

// The delays between the end of an exchange and the next request the cycle issues, in ms.
struct Cadence {
    std::vector<double> AfterMeasureKey; // 32 answered -> first exchange test
    std::vector<double> AfterDeltaKey;   // 36 answered -> first exchange test
    std::vector<double> TestDelays;      // any other answer -> exchange test
    std::vector<double> ValueDelays;     // test answer reporting a new value -> value request
    int ValueRequestsWithoutFreshValue = 0;
    int FreshValuesWithoutValueRequest = 0;
};

Cadence Measure(const std::vector<CycleEvent>& events) {
    Cadence c;
    const CycleEvent* answer = nullptr;
    for (const CycleEvent& e : events) {
        if (e.What == Kind::AnswerHandled) {
            answer = &e;
            continue;
        }
        if (e.What != Kind::TransmitGiven || answer == nullptr) {
            continue;
        }
        const double ms = std::chrono::duration<double, std::milli>(e.At - answer->At).count();
        if (e.Code == 33) {
            if (answer->Code == 8 && answer->FreshValue) {
                c.ValueDelays.push_back(ms);
            } else {
                ++c.ValueRequestsWithoutFreshValue;
            }
        } else if (e.Code == 8) {
            if (answer->FreshValue) {
                ++c.FreshValuesWithoutValueRequest;
            } else if (answer->Code == 32) {
                c.AfterMeasureKey.push_back(ms);
            } else if (answer->Code == 36) {
                c.AfterDeltaKey.push_back(ms);
            } else {
                c.TestDelays.push_back(ms);
            }
        }
        answer = nullptr;
    }
    return c;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Timers never fire early; how late they fire depends on the machine, so single delays get a
// wide allowance and the typical (median) delay a narrow one.
void ExpectCadence(const std::vector<double>& delays, double interval, const char* what) {
    ASSERT_FALSE(delays.empty()) << what;
    for (double d : delays) {
        EXPECT_GE(d, interval - 2.0) << what;
        EXPECT_LE(d, interval + 80.0) << what;
    }
    EXPECT_LE(Median(delays), interval + 15.0) << what;
}

TEST_F(MainWindowFixture, MeasurementCadenceFollowsTheKeysAndTheAnswers) {
    StartVirtual();
    Main().Keypad().Press(PanelKey::SB_Meas); // Mode 12, a 4000 ms first wait, command 32
    ASSERT_EQ(State().Mode, PanelMode::Measurement);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountGiven(33) >= 6; }, 12000));

    Main().Keypad().Press(PanelKey::SB_3); // difference: a 1000 ms first wait, command 36
    ASSERT_EQ(State().VoltmeterDelta, 1);
    const size_t valuesBefore = CountGiven(33);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountGiven(33) >= valuesBefore + 3; }, 8000));

    const Cadence c = Measure(Events);
    ExpectCadence(c.AfterMeasureKey, 4000.0, "after the measure key");
    ExpectCadence(c.AfterDeltaKey, 1000.0, "after the difference key");
    ExpectCadence(c.TestDelays, 120.0, "exchange test after an answer");
    ExpectCadence(c.ValueDelays, 30.0, "value request after a new value");
    EXPECT_EQ(c.ValueRequestsWithoutFreshValue, 0);
    EXPECT_EQ(c.FreshValuesWithoutValueRequest, 0);
}

// ---------------------------------------------------------------------------------------------
// The state query button: parameters, state, and the set output only outside measurement.

struct QueryStateCase {
    const char* Name;
    bool Measuring;
    std::vector<uint8_t> ExpectedCodes; // the commands it issues, in order
};

void PrintTo(const QueryStateCase& c, std::ostream* os) {
    *os << c.Name;
}

class QueryState : public MainWindowFixture, public testing::WithParamInterface<QueryStateCase> {};

TEST_P(QueryState, ReadsWhatTheModeAllows) {
    const QueryStateCase& c = GetParam();
    StartVirtual();
    if (c.Measuring) {
        EnterMeasurement();
    }
    const size_t first = Events.size();
    Cycle().SB_QueryStateClick(); // returns after its waits, the exchanges done

    std::vector<uint8_t> issued;
    std::vector<Clock::time_point> issuedAt;
    for (size_t i = first; i < Events.size(); ++i) {
        const CycleEvent& e = Events[i];
        if (e.What == Kind::TransmitGiven && e.Code != 8 && e.Code != 33) { // polling aside
            issued.push_back(e.Code);
            issuedAt.push_back(e.At);
        }
    }
    EXPECT_EQ(issued, c.ExpectedCodes);
    EXPECT_EQ(Bus().RequestCount(17), c.Measuring ? 0u : 1u);
    // Each command waits half a second for the one before; timers never fire early, so only
    // the lower bound is checked.
    for (size_t i = 1; i < issuedAt.size(); ++i) {
        const double ms =
            std::chrono::duration<double, std::milli>(issuedAt[i] - issuedAt[i - 1]).count();
        EXPECT_GE(ms, 495.0);
    }
}

INSTANTIATE_TEST_SUITE_P(ExchangeCycle, QueryState,
                         testing::Values(QueryStateCase{.Name = "InMeasurementSkipsTheSetOutput",
                                                        .Measuring = true,
                                                        .ExpectedCodes = {5, 10}},
                                         QueryStateCase{.Name = "InOutputEntryReadsTheSetOutputToo",
                                                        .Measuring = false,
                                                        .ExpectedCodes = {5, 10, 17}}),
                         CaseName<QueryStateCase>);

// Closing the window gives the port up while timers and the state query's waits still run
// until the event loop ends: nothing may reach the closed port.
TEST_F(MainWindowFixture, ClosingDuringTheStateQuerysWaitSendsNothingMore) {
    StartVirtual();
    Main().show();
    QTimer::singleShot(100, &Main(), [this] { Main().close(); });
    Cycle().SB_QueryStateClick();

    EXPECT_FALSE(Main().isVisible());
    EXPECT_EQ(Bus().RequestCount(5), 1u); // sent before the close
    EXPECT_EQ(Bus().RequestCount(10), 0u);
    EXPECT_EQ(Count(Kind::RequestSending), 1u);
    EXPECT_FALSE(Cycle().TimerPrd().isActive());
    EXPECT_TRUE(Facilities->Messages.empty());
}

TEST_F(MainWindowFixture, ClosingWhileMeasurementPollsStopsThePolling) {
    StartVirtual();
    Main().show();
    EnterMeasurement();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountGiven(33) >= 1; }, 5000));
    ASSERT_TRUE(Main().close());

    for (QTimer* timer : {&Cycle().TimerPrd(), &Cycle().TimerPriem(), &Cycle().TimerQuery(),
                          &Cycle().TimerReadADC()}) {
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    }
    EXPECT_FALSE(Main().Commands().N11->isEnabled());
    EXPECT_TRUE(Facilities->Messages.empty());
}

TEST_F(MainWindowFixture, WindowDestroyedDuringTheStateQuerysWaitEndsIt) {
    StartVirtual();
    ExchangeCycle* cycle = &Cycle();
    QTimer::singleShot(100, [this] { Window.reset(); });
    cycle->SB_QueryStateClick(); // must not touch the destroyed window after its wait
    EXPECT_EQ(Window, nullptr);
}

// A link that, like the USB receive, keeps the event loop running while it waits for the
// answer; the answer itself comes over a simulated serial line from an instrument of its own.
class MessageProcessingLink : public UsbLink {
  public:
    MessageProcessingLink() : Api(Bus), Port(Api, Facilities) {
        Bus.AddDevice<sim::VirtualInstrument>();
        Api.AddPort(Api.PortDeviceName(1));
        Port.OpenComPort(1);
    }
    void SendPacket(const PacketRecord& tx) override { Port.SendPacket(tx); }
    uint32_t ReceivePacket(PacketRecord& rx) override {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        if (WhileWaiting) {
            QTimer::singleShot(0, &wait, std::exchange(WhileWaiting, {}));
        }
        wait.exec();
        return Port.ReceivePacket(rx);
    }
    void ResetDevice() override { ++Resets; }

    sim::VirtualBus Bus;
    SimulatedSerialApi Api;
    RecordingSystemFacilities Facilities;
    CommPort Port;
    std::function<void()> WhileWaiting; // runs once inside the next wait
    int Resets = 0;
};

TEST_F(MainWindowFixture, CommandGivenWhileTheLinkWaitsFollowsTheExchangeInsteadOfNestingInIt) {
    StartVirtual();
    MessageProcessingLink link;
    Cycle().SetUsbLink(&link);
    link.WhileWaiting = [this] { Main().IssueCommand(8); };
    Main().IssueCommand(17);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(Kind::AnswerHandled) >= 2; }, 5000));
    Cycle().SetUsbLink(nullptr);

    // The read of the set output was given up without a look at its answer (it would have
    // been decoded as the exchange test now selected); the exchange test went out once, after.
    std::vector<std::pair<Kind, uint8_t>> steps;
    for (const CycleEvent& e : Events) {
        if (e.What != Kind::TransmitGiven) {
            steps.emplace_back(e.What, e.Code);
        }
    }
    EXPECT_EQ(steps, (std::vector<std::pair<Kind, uint8_t>>{{Kind::RequestSending, 17},
                                                            {Kind::AnswerHandled, 17},
                                                            {Kind::RequestSending, 8},
                                                            {Kind::AnswerHandled, 8}}));
    EXPECT_EQ(link.Bus.RequestCount(17), 1u);
    EXPECT_EQ(link.Bus.RequestCount(8), 1u);
    EXPECT_EQ(link.Resets, 1);
    EXPECT_TRUE(LastHandled()->Accepted);
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Тест обмена - ОК"));
}

TEST_F(MainWindowFixture, StopWhileTheLinkWaitsEndsTheExchangeAndThePolling) {
    StartVirtual();
    MessageProcessingLink link;
    Cycle().SetUsbLink(&link);
    State().Mode = PanelMode::Measurement;
    link.WhileWaiting = [this] { CommandMenu::Click(Main().Commands().N12); };
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    Cycle().SetUsbLink(nullptr);

    EXPECT_FALSE(LastHandled()->Accepted);
    EXPECT_EQ(link.Bus.RequestCount(8), 1u); // no second attempt
    EXPECT_FALSE(Cycle().TimerQuery().isActive());
    EXPECT_FALSE(Cycle().TimerReadADC().isActive());
    EXPECT_EQ(State().Transmitting, 0);
}

TEST_F(MainWindowFixture, TestButtonRunsTheExchangeTest) {
    StartVirtual();
    Find<QPushButton>("SB_Test")->click();
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(LastHandled()->Code, 8);
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Тест обмена - ОК"));
    EXPECT_EQ(Main().Dialogs().FirmwareLabel, "Версия встроенного ПО 2.06");
}

TEST_F(MainWindowFixture, HourglassShowsDuringExchangesOutsideMeasurementOnly) {
    StartVirtual();
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(Facilities->CursorChanges, (std::vector<bool>{true, false}));

    Facilities->CursorChanges.clear();
    State().Mode = PanelMode::Measurement;
    Main().IssueCommand(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_TRUE(Facilities->CursorChanges.empty());
}

// ---------------------------------------------------------------------------------------------
// The output-on timer: 300 ms after start, and after the Enter key.

struct PredelOnCase {
    const char* Name;
    bool OutputSetDone;
    PanelMode ExpectedMode;
    bool ExpectedResetDown;
};

void PrintTo(const PredelOnCase& c, std::ostream* os) {
    *os << c.Name;
}

class PredelOn : public MainWindowFixture, public testing::WithParamInterface<PredelOnCase> {};

TEST_P(PredelOn, FiresOnce300msAfterStart) {
    const PredelOnCase& c = GetParam();
    StartOnPorts({});
    ASSERT_TRUE(Cycle().TimerPredelOn().isActive());
    ASSERT_EQ(Cycle().TimerPredelOn().interval(), 300);
    Main().Keys().SetKeyDown(PanelKey::SB_Reset, false); // to see the timer press it
    State().OutputSetDone = c.OutputSetDone ? 1 : 0;

    ASSERT_TRUE(QTest::qWaitFor([&] { return !Cycle().TimerPredelOn().isActive(); }, 2000));
    EXPECT_EQ(State().Mode, c.ExpectedMode);
    EXPECT_EQ(State().OutputSetDone, 0);
    EXPECT_EQ(Main().ResetKeyDown(), c.ExpectedResetDown);
}

INSTANTIATE_TEST_SUITE_P(ExchangeCycle, PredelOn,
                         testing::Values(PredelOnCase{.Name = "WithoutConfirmedOutputPressesReset",
                                                      .OutputSetDone = false,
                                                      .ExpectedMode = PanelMode::OutputEntry,
                                                      .ExpectedResetDown = true},
                                         PredelOnCase{.Name = "ConfirmedOutputTurnsIntoOutputOn",
                                                      .OutputSetDone = true,
                                                      .ExpectedMode = PanelMode::OutputOn,
                                                      .ExpectedResetDown = false}),
                         CaseName<PredelOnCase>);

TEST_F(MainWindowFixture, EnterKeyTurnsTheConfirmedOutputOn) {
    StartVirtual();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Cycle().TimerPredelOn().isActive(); }, 2000));
    State().OutputDigits = "01000000";
    Main().Keypad().Press(PanelKey::SB_Enter); // command 16 and the output-on timer
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Выходное напряжение калибратора установлено"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return State().Mode == PanelMode::OutputOn; }, 2000));
    EXPECT_TRUE(Instrument().State().OutputLive);
}

} // namespace
} // namespace vr410::test
