// One exchange through the engine: attempts and their texts, the transmit, stop and selection
// actions, the packet monitor lines, the hourglass, what happens while the link waits, and the
// lost link.
#include "engine_fixture.h"

#include "links/comm_port.h"
#include "platform/serial_simulated.h"
#include "platform/system_facilities.h"
#include "sim/virtual_bus.h"

namespace vr410::engine::test {
namespace {

using sim::LineFault;

// ---------------------------------------------------------------------------------------------
// Attempts: a sound answer ends the exchange at once; a failed attempt is sent once more, and
// after two failures the label keeps the second attempt's text and nothing is decoded.

struct AttemptCase {
    const char* Name;
    std::vector<LineFault> Faults; // one per answered attempt, in order
    uint8_t Code;
    size_t ExpectedSends;
    bool ExpectedAccepted;
    const char* ExpectedLabel;
    bool ExpectedLastReceiveEmpty;
};

void PrintTo(const AttemptCase& c, std::ostream* os) {
    *os << c.Name;
}

class Attempts : public EngineTest, public testing::WithParamInterface<AttemptCase> {};

TEST_P(Attempts, SendAsOftenAsTheAnswersRequireAndShowTheLastOutcome) {
    const AttemptCase& c = GetParam();
    Link.Faults.assign(c.Faults.begin(), c.Faults.end());
    Engine->Issue(c.Code);
    ASSERT_TRUE(RunExchanges());

    EXPECT_EQ(Link.SentCount(c.Code), c.ExpectedSends);
    EXPECT_EQ(Count<AttemptFinished>(), c.ExpectedSends);
    EXPECT_EQ(Last<ExchangeEnded>()->Accepted, c.ExpectedAccepted);
    EXPECT_EQ(Count<AnswerDecoded>(), c.ExpectedAccepted ? 1u : 0u);
    EXPECT_EQ(AnswerLabel(), c.ExpectedLabel);
    const AttemptFinished last = *Last<AttemptFinished>();
    EXPECT_EQ(last.Attempt, static_cast<int>(c.ExpectedSends));
    EXPECT_EQ(ReceiveLine(last.Received).empty(), c.ExpectedLastReceiveEmpty);
    if (!c.ExpectedAccepted) {
        EXPECT_EQ(last.Outcome, c.ExpectedLabel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Attempts,
    testing::Values(AttemptCase{.Name = "AnsweredFirstTimeIsSentOnce",
                                .Faults = {},
                                .Code = FunctionCode::ExchangeTest,
                                .ExpectedSends = 1,
                                .ExpectedAccepted = true,
                                .ExpectedLabel = "Тест обмена - ОК",
                                .ExpectedLastReceiveEmpty = false},
                    AttemptCase{.Name = "CorruptFirstAnswerIsRepairedBySecondAttempt",
                                .Faults = {LineFault::CorruptBlock0Bit},
                                .Code = FunctionCode::ExchangeTest,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = true,
                                .ExpectedLabel = "Тест обмена - ОК",
                                .ExpectedLastReceiveEmpty = false},
                    AttemptCase{.Name = "BothFailedShowsSecondAttemptsNoAnswer",
                                .Faults = {LineFault::WrongDestinationAddress, LineFault::NoAnswer},
                                .Code = FunctionCode::Reset,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = false,
                                .ExpectedLabel = "Нет ответа!",
                                .ExpectedLastReceiveEmpty = true},
                    AttemptCase{.Name = "BothFailedShowsSecondAttemptsWrongAddress",
                                .Faults = {LineFault::NoAnswer, LineFault::WrongDestinationAddress},
                                .Code = FunctionCode::Reset,
                                .ExpectedSends = 2,
                                .ExpectedAccepted = false,
                                .ExpectedLabel = "Неверный адрес ответа!",
                                .ExpectedLastReceiveEmpty = false}),
    CaseName<AttemptCase>);

TEST_F(EngineTest, AnswerFailingBothAttemptsChangesNoState) {
    Link.Instrument.MutableState().ErrorList = {7, 9};
    Link.Faults = {LineFault::WrongFunctionCode, LineFault::CorruptBlock0Bit};
    Engine->Issue(FunctionCode::ReadParameters); // a decoded answer would fill the error list
    ASSERT_TRUE(RunExchanges());

    EXPECT_EQ(AnswerLabel(), "Ошибка CRC 0-го блока!");
    for (const std::string& call : View.Calls) {
        EXPECT_TRUE(call.starts_with("Answer: ")) << call; // the label, nothing decoded
    }
    EXPECT_EQ(State.Brightness, 8);
}

TEST_F(EngineTest, CannedAnswerFromHexIsCheckedLikeAnyOther) {
    // Error answers from instrument 1 to PC 0: code 0x21 (check byte built here), then an
    // unknown code 5, which shows the packet itself.
    Link.Canned = {ReceiveLine(vr410::test::AnswerPacket(0x00, "04 04 01 AA 21")),
                   "00 04 04 01 AA 05 1B"};
    Engine->Issue(FunctionCode::Reset);
    ASSERT_TRUE(RunExchanges());

    const std::vector<AttemptFinished> attempts = All<AttemptFinished>();
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_EQ(attempts[0].Outcome, "Ошибка усилителя до 1000В");
    EXPECT_EQ(attempts[1].Outcome, "00 04 04 01 AA 05 1B ");
}

// ---------------------------------------------------------------------------------------------
// Selection, transmit and stop.

TEST_F(EngineTest, SelectionSetsTheCodeAndReportsTheCaptionButSendsNothing) {
    ASSERT_TRUE(Engine->N00Click(FunctionCode::ReadOutput));
    EXPECT_EQ(State.CommandCode, FunctionCode::ReadOutput);
    ASSERT_EQ(Count<CommandSelected>(), 1u);
    EXPECT_EQ(Last<CommandSelected>()->Caption, "Чтение установленного напряжения калибратора");
    EXPECT_FALSE(Engine->Transmitting());
    Clock.Advance(1000);
    EXPECT_TRUE(Link.Sent.empty());

    EXPECT_FALSE(Engine->N00Click(99)); // not a command of the table
    EXPECT_EQ(State.CommandCode, FunctionCode::ReadOutput);
    EXPECT_EQ(Count<CommandSelected>(), 1u);
}

TEST_F(EngineTest, TransmitGivenAgainWithoutSelectionDoesNothing) {
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    ASSERT_EQ(Engine->State(), CycleState::Done);

    EXPECT_FALSE(Engine->TransmitEnabled());
    EXPECT_FALSE(Engine->N11Click());
    Clock.Advance(1000);
    EXPECT_EQ(Link.SentCount(FunctionCode::ExchangeTest), 1u);
    EXPECT_TRUE(Engine->Transmitting()); // until a selection or a stop

    // A new selection stops the finished transmission and makes transmit usable again.
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    EXPECT_EQ(Link.SentCount(FunctionCode::ExchangeTest), 2u);
}

TEST_F(EngineTest, StopCancelsAPendingTransmission) {
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_EQ(Engine->State(), CycleState::EncodePending);
    EXPECT_FALSE(Last<StateChanged>()->TransmitEnabled); // what the N11 and N12 items show
    EXPECT_TRUE(Last<StateChanged>()->StopEnabled);
    ASSERT_TRUE(Engine->N12Click());

    EXPECT_EQ(Engine->State(), CycleState::Idle);
    EXPECT_TRUE(Last<StateChanged>()->TransmitEnabled);
    EXPECT_FALSE(Last<StateChanged>()->StopEnabled);
    EXPECT_FALSE(Engine->TimerPrd().Active());
    EXPECT_TRUE(Engine->TransmitEnabled());
    EXPECT_FALSE(Engine->StopEnabled());
    EXPECT_FALSE(Engine->N12Click()); // nothing left to stop
    Clock.Advance(1000);
    EXPECT_TRUE(Link.Sent.empty());
}

TEST_F(EngineTest, TransmitNeedsAReadyLink) {
    Engine->SetLinkReady(false);
    ASSERT_TRUE(Engine->N00Click(FunctionCode::ExchangeTest));
    EXPECT_FALSE(Engine->N11Click());
    Clock.Advance(1000);
    EXPECT_TRUE(Link.Sent.empty());

    Engine->SetLinkReady(true);
    const StateChanged change = *Last<StateChanged>();
    EXPECT_TRUE(change.TransmitEnabled);
    EXPECT_TRUE(Engine->N11Click());
}

TEST_F(EngineTest, UsbLinkCarriesTheExchangesAndEveryStopResetsIt) {
    ScriptedLink usb(Clock);
    Engine->SetUsbLink(&usb);
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    Engine->Issue(FunctionCode::ExchangeTest); // the selection stops the finished transmission
    ASSERT_TRUE(RunExchanges());
    Engine->SetUsbLink(nullptr);

    EXPECT_EQ(usb.SentCount(FunctionCode::ExchangeTest), 2u);
    EXPECT_TRUE(Link.Sent.empty());
    EXPECT_EQ(usb.Resets, 1);
}

TEST_F(EngineTest, SetParametersAlsoWritesTheDestinationAddressField) {
    Host.Inputs.NewAddress = 7;
    Engine->Issue(FunctionCode::SetParameters);
    Clock.Advance(1); // encoded
    EXPECT_EQ(Host.DeviceAddressField, 7);
}

// ---------------------------------------------------------------------------------------------
// The packet monitor lines and the hourglass.

TEST_F(EngineTest, MonitorLinesShowTheResetRequestAndAnEmptyLineWithoutAnswer) {
    Link.Faults = {LineFault::NoAnswer, LineFault::NoAnswer};
    Engine->Issue(FunctionCode::Reset);
    ASSERT_TRUE(RunExchanges());

    EXPECT_EQ(SendLine(Last<RequestEncoded>()->Packet), "01 03 44 00 01 74 ");
    EXPECT_EQ(ReceiveLine(Last<AttemptFinished>()->Received), "");
    EXPECT_EQ(AnswerLabel(), "Нет ответа!");
}

TEST_F(EngineTest, MonitorReceiveLineShowsTheWholeAnswer) {
    Engine->Issue(FunctionCode::Reset);
    ASSERT_TRUE(RunExchanges());
    // Address byte of the PC, then L 3, the answer's control byte, the instrument, the code and
    // block 0's check byte.
    const std::string line = ReceiveLine(Last<AttemptFinished>()->Received);
    EXPECT_TRUE(line.starts_with("00 03 04 01 01 ")) << line;
    EXPECT_EQ(line.size(), 6u * 3);
    EXPECT_EQ(AnswerLabel(), "Прибор в режиме сброса");
}

TEST_F(EngineTest, HourglassShowsDuringExchangesOutsideMeasurementOnly) {
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    EXPECT_EQ(Host.CursorChanges, (std::vector<bool>{true, false}));

    Host.CursorChanges.clear();
    State.Mode = PanelMode::Measurement;
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    EXPECT_TRUE(Host.CursorChanges.empty());
}

TEST_F(EngineTest, TestButtonRunsTheExchangeTest) {
    Engine->SB_TestClick();
    ASSERT_TRUE(RunExchanges());
    EXPECT_EQ(Last<ExchangeEnded>()->Code, FunctionCode::ExchangeTest);
    EXPECT_EQ(AnswerLabel(), "Тест обмена - ОК");
    EXPECT_EQ(LastCall("FirmwareVersion "), "2.06");
}

// ---------------------------------------------------------------------------------------------
// While the link waits: a link that runs the loop (the USB receive) lets keys and timers act.

// The steps of the exchanges, transmit and selection aside, as (what, code) pairs.
std::vector<std::pair<std::string, int>> Steps(const std::vector<EngineEvent>& events) {
    std::vector<std::pair<std::string, int>> steps;
    for (const EngineEvent& e : events) {
        if (const auto* encoded = std::get_if<RequestEncoded>(&e)) {
            steps.emplace_back("encoded", encoded->Code);
        } else if (const auto* attempt = std::get_if<AttemptFinished>(&e)) {
            steps.emplace_back(attempt->Result == AttemptResult::Stopped    ? "stopped"
                               : attempt->Result == AttemptResult::Accepted ? "accepted"
                               : attempt->Result == AttemptResult::LinkLost ? "lost"
                                                                            : "refused",
                               attempt->Code);
        } else if (const auto* decoded = std::get_if<AnswerDecoded>(&e)) {
            steps.emplace_back("decoded", decoded->Code);
        } else if (const auto* ended = std::get_if<ExchangeEnded>(&e)) {
            steps.emplace_back(ended->Accepted ? "ended" : "ended undecoded", ended->Code);
        } else if (const auto* lost = std::get_if<LinkLost>(&e)) {
            steps.emplace_back("link lost", lost->Code);
        }
    }
    return steps;
}

using StepList = std::vector<std::pair<std::string, int>>;

TEST_F(EngineTest, CommandGivenWhileTheLinkWaitsFollowsTheExchangeInsteadOfNestingInIt) {
    ScriptedLink usb(Clock);
    Engine->SetUsbLink(&usb);
    usb.WhileWaiting = [this] {
        Engine->Issue(FunctionCode::ExchangeTest);
        Clock.Wait(20); // the loop runs on inside the receive
    };
    Engine->Issue(FunctionCode::ReadOutput);
    ASSERT_TRUE(RunExchanges(2));

    // The read of the set output was given up without a look at its answer (it would have been
    // decoded as the exchange test now selected); the exchange test went out once, after it.
    EXPECT_EQ(Steps(Events), (StepList{{"encoded", 17},
                                       {"stopped", 17},
                                       {"ended undecoded", 17},
                                       {"encoded", 8},
                                       {"accepted", 8},
                                       {"decoded", 8},
                                       {"ended", 8}}));
    EXPECT_EQ(usb.SentCount(FunctionCode::ReadOutput), 1u);
    EXPECT_EQ(usb.SentCount(FunctionCode::ExchangeTest), 1u);
    EXPECT_EQ(usb.Resets, 1);
    EXPECT_EQ(AnswerLabel(), "Тест обмена - ОК");
    EXPECT_EQ(State.OutputDigits, "00000000"); // the read-output answer never decoded
}

TEST_F(EngineTest, StopWhileTheLinkWaitsEndsTheExchangeAndThePolling) {
    State.Mode = PanelMode::Measurement;
    Link.WhileWaiting = [this] { Engine->N12Click(); };
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());

    EXPECT_EQ(Steps(Events), (StepList{{"encoded", 8}, {"stopped", 8}, {"ended undecoded", 8}}));
    EXPECT_EQ(Link.SentCount(FunctionCode::ExchangeTest), 1u); // no second attempt
    EXPECT_FALSE(Engine->TimerQuery().Active());
    EXPECT_FALSE(Engine->TimerReadADC().Active());
    EXPECT_EQ(Engine->State(), CycleState::Idle);
    EXPECT_EQ(AnswerLabel(), "");
    Clock.Advance(5000);
    EXPECT_EQ(Link.Sent.size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// The lost link: the exchange ends at once, nothing more goes out, and the window hears it once.

struct LostCase {
    const char* Name;
    PanelMode Mode;
    bool OnSend; // else on the receive
};

void PrintTo(const LostCase& c, std::ostream* os) {
    *os << c.Name;
}

class LostLink : public EngineTest, public testing::WithParamInterface<LostCase> {};

TEST_P(LostLink, EndsTheExchangeStopsEverythingAndTellsOnce) {
    const LostCase& c = GetParam();
    ScriptedLink usb(Clock);
    Engine->SetUsbLink(&usb);
    State.Mode = c.Mode;
    Engine->Issue(FunctionCode::ExchangeTest);
    (c.OnSend ? usb.LoseOnSend : usb.LoseOnReceive) = true;
    ASSERT_TRUE(RunExchanges());

    EXPECT_EQ(Steps(Events),
              (StepList{{"encoded", 8}, {"lost", 8}, {"ended undecoded", 8}, {"link lost", 8}}));
    EXPECT_EQ(usb.Sent.size(), 1u); // no second attempt
    EXPECT_EQ(usb.Receives, c.OnSend ? 0 : 1);
    EXPECT_EQ(Last<AttemptFinished>()->ReceiveRan, !c.OnSend);
    EXPECT_EQ(usb.Resets, 0); // the adapter is gone: no reset of it
    EXPECT_EQ(Engine->State(), CycleState::Idle);
    EXPECT_FALSE(Engine->TimerQuery().Active());
    EXPECT_FALSE(Engine->TimerReadADC().Active());
    EXPECT_FALSE(Engine->TransmitEnabled());
    EXPECT_FALSE(Last<StateChanged>()->TransmitEnabled);
    const std::vector<bool> hourglass =
        c.Mode == PanelMode::Measurement ? std::vector<bool>{} : std::vector<bool>{true, false};
    EXPECT_EQ(Host.CursorChanges, hourglass);

    // Nothing more goes out until the window says the link is ready again.
    Engine->Issue(FunctionCode::ExchangeTest);
    Engine->SB_TestClick();
    Clock.Advance(5000);
    EXPECT_EQ(usb.Sent.size(), 1u);
    Engine->SetUsbLink(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Engine, LostLink,
                         testing::Values(LostCase{.Name = "OnTheReceiveWhileMeasuring",
                                                  .Mode = PanelMode::Measurement,
                                                  .OnSend = false},
                                         LostCase{.Name = "OnTheSendInOutputEntry",
                                                  .Mode = PanelMode::OutputEntry,
                                                  .OnSend = true}),
                         CaseName<LostCase>);

TEST_F(EngineTest, TransmitWaitingForAStoppedExchangeIsDroppedWhenTheLinkIsLost) {
    Link.WhileWaiting = [this] {
        Engine->Issue(FunctionCode::ExchangeTest); // stops the read, waits for its end
        Link.LoseOnReceive = true;
    };
    Engine->Issue(FunctionCode::ReadOutput);
    ASSERT_TRUE(RunExchanges());
    Clock.Advance(1000);

    EXPECT_EQ(Link.SentCount(FunctionCode::ExchangeTest), 0u);
    EXPECT_EQ(Count<LinkLost>(), 1u);
    EXPECT_EQ(Engine->State(), CycleState::Idle);
}

// The serial driver itself as the link: its adapter unplugged while the polling runs.
TEST(EngineOnTheSerialDriver, UnpluggedAdapterEndsThePollingWithOneBoxAndOneEvent) {
    ManualClock clock;
    InstrumentState state;
    ExchangeBuffers buffers;
    sim::VirtualBus bus;
    bus.AddDevice<sim::VirtualInstrument>(sim::VirtualInstrumentConfig{.Seed = 1});
    SimulatedSerialApi api(bus);
    api.AddPort("COM3");
    RecordingSystemFacilities system;
    CommPort port(api, system);
    ASSERT_TRUE(port.OpenComPort(3));
    RecordingHost host(clock);
    RecordingView view;
    ExchangeEngine engine(state, buffers, clock, port, host, view);
    engine.SetLinkReady(true);
    size_t lost = 0;
    engine.Events().Subscribe(
        [&](const EngineEvent& e) { lost += std::holds_alternative<LinkLost>(e); });

    state.Mode = PanelMode::Measurement;
    engine.Issue(FunctionCode::Measure);
    clock.Advance(600);
    ASSERT_GT(bus.RequestCount(FunctionCode::ExchangeTest), 0u);
    api.RemovePort("COM3");
    clock.Advance(5000);

    EXPECT_EQ(lost, 1u);
    EXPECT_EQ(system.Messages.size(), 1u);
    EXPECT_EQ(port.PortStatus(), "отсутствует");
    EXPECT_FALSE(engine.TimerQuery().Active());
    EXPECT_FALSE(engine.TimerReadADC().Active());
    EXPECT_FALSE(engine.Transmitting());
    EXPECT_FALSE(engine.TransmitEnabled());
}

// ---------------------------------------------------------------------------------------------
// The event stream.

TEST(EventStreamTest, EverySubscriberHearsEachEventUntilItUnsubscribes) {
    EventStream stream;
    std::vector<std::string> heard;
    EventStream::SubscriptionId first = 0;
    first = stream.Subscribe([&](const EngineEvent&) {
        heard.push_back("first");
        stream.Unsubscribe(first); // from inside its own call
    });
    stream.Subscribe([&](const EngineEvent&) {
        heard.push_back("second");
        stream.Subscribe([&](const EngineEvent&) { heard.push_back("late"); });
    });
    stream.Emit(LinkLost{.Code = 8, .AtMs = 0});
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));

    heard.clear();
    stream.Emit(LinkLost{.Code = 8, .AtMs = 1});
    EXPECT_EQ(heard, (std::vector<std::string>{"second", "late"}));
}

} // namespace
} // namespace vr410::engine::test
