// The timers of the engine on the manual clock: measurement polling and its exact cadence, the
// state query's steps, the output-on timer, and closing.
#include "engine_fixture.h"

namespace vr410::engine::test {
namespace {

// ---------------------------------------------------------------------------------------------
// Measurement polling.

TEST_F(EngineTest, SelectionStopsPollingUntilTheNextExchangeInMeasurement) {
    EnterMeasurement();
    Clock.Advance(1000);
    ASSERT_GE(Encoded(FunctionCode::MeasuredValue), 1u);

    ASSERT_TRUE(Engine->N00Click(FunctionCode::ReadParameters));
    EXPECT_FALSE(Engine->TimerQuery().Active());
    EXPECT_FALSE(Engine->TimerReadADC().Active());
    EXPECT_FALSE(Engine->Transmitting());
    const size_t sentWhileStopped = Link.Sent.size();
    Clock.Advance(1000);
    EXPECT_EQ(Link.Sent.size(), sentWhileStopped);

    // Transmitting the selection is the next exchange in measurement: polling resumes after it.
    ASSERT_TRUE(Engine->N11Click());
    ASSERT_TRUE(RunExchanges());
    EXPECT_EQ(Last<ExchangeEnded>()->Code, FunctionCode::ReadParameters);
    EXPECT_TRUE(Engine->TimerQuery().Active());
    EXPECT_EQ(Engine->TimerQuery().Interval(), 120);
    const size_t testsBefore = Encoded(FunctionCode::ExchangeTest);
    Clock.Advance(121);
    EXPECT_EQ(Encoded(FunctionCode::ExchangeTest), testsBefore + 1);
}

TEST_F(EngineTest, PollingDoesNotResumeOutsideMeasurement) {
    EnterMeasurement();
    ASSERT_TRUE(Engine->N00Click(FunctionCode::ReadParameters));
    State.Mode = PanelMode::OutputEntry;
    ASSERT_TRUE(Engine->N11Click());
    ASSERT_TRUE(RunExchanges());
    EXPECT_FALSE(Engine->TimerQuery().Active());
    EXPECT_FALSE(Engine->TimerReadADC().Active());
    Clock.Advance(5000);
    EXPECT_EQ(Encoded(FunctionCode::ExchangeTest), 0u);
}

TEST_F(EngineTest, PollingContinuesAfterAFailedExchange) {
    State.Mode = PanelMode::Measurement;
    Link.Faults = {sim::LineFault::NoAnswer, sim::LineFault::NoAnswer};
    Engine->Issue(FunctionCode::ExchangeTest);
    ASSERT_TRUE(RunExchanges());
    EXPECT_FALSE(Last<ExchangeEnded>()->Accepted);
    EXPECT_TRUE(Engine->TimerQuery().Active());
    EXPECT_EQ(Engine->TimerQuery().Interval(), 120);
}

// From each exchange's end to the request the polling encodes next, in ms, by what ended.
struct Cadence {
    std::vector<int64_t> AfterMeasureKey; // 32 answered -> first exchange test
    std::vector<int64_t> AfterDeltaKey;   // 36 answered -> first exchange test
    std::vector<int64_t> TestDelays;      // any other answer -> exchange test
    std::vector<int64_t> ValueDelays;     // test answer reporting a new value -> value request
    int ValueRequestsWithoutFreshValue = 0;
    int FreshValuesWithoutValueRequest = 0;
};

Cadence Measure(const std::vector<EngineEvent>& events) {
    Cadence c;
    std::optional<ExchangeEnded> ended;
    bool fresh = false; // the exchange that ended armed TimerReadADC
    for (const EngineEvent& e : events) {
        if (const auto* decoded = std::get_if<AnswerDecoded>(&e)) {
            fresh = decoded->ReadValue == ReadValueAction::Start;
        } else if (const auto* end = std::get_if<ExchangeEnded>(&e)) {
            ended = *end;
        } else if (const auto* encoded = std::get_if<RequestEncoded>(&e); encoded && ended) {
            const int64_t ms = encoded->AtMs - ended->AtMs;
            if (encoded->Code == FunctionCode::MeasuredValue) {
                if (ended->Code == FunctionCode::ExchangeTest && fresh) {
                    c.ValueDelays.push_back(ms);
                } else {
                    ++c.ValueRequestsWithoutFreshValue;
                }
            } else if (encoded->Code == FunctionCode::ExchangeTest) {
                if (fresh) {
                    ++c.FreshValuesWithoutValueRequest;
                } else if (ended->Code == FunctionCode::Measure) {
                    c.AfterMeasureKey.push_back(ms);
                } else if (ended->Code == FunctionCode::VoltmeterControl) {
                    c.AfterDeltaKey.push_back(ms);
                } else {
                    c.TestDelays.push_back(ms);
                }
            }
            ended.reset();
            fresh = false;
        }
    }
    return c;
}

TEST_F(EngineTest, MeasurementCadenceFollowsTheKeysAndTheAnswersExactly) {
    // The measure key: Measurement, a 4000 ms first wait, command 32.
    State.Mode = PanelMode::Measurement;
    Engine->KeepQueryInterval(4000);
    Engine->Issue(FunctionCode::Measure);
    Clock.Advance(6000);
    // The difference key: a 1000 ms first wait, command 36.
    State.VoltmeterDelta = 1;
    Engine->KeepQueryInterval(1000);
    Engine->Issue(FunctionCode::VoltmeterControl);
    Clock.Advance(3000);

    // TimerQuery or TimerReadADC, then 1 ms of TimerPrd.
    const Cadence c = Measure(Events);
    EXPECT_EQ(c.AfterMeasureKey, (std::vector<int64_t>{4001}));
    EXPECT_EQ(c.AfterDeltaKey, (std::vector<int64_t>{1001}));
    ASSERT_GE(c.TestDelays.size(), 10u);
    EXPECT_EQ(c.TestDelays, std::vector<int64_t>(c.TestDelays.size(), 121));
    ASSERT_GE(c.ValueDelays.size(), 5u);
    EXPECT_EQ(c.ValueDelays, std::vector<int64_t>(c.ValueDelays.size(), 31));
    EXPECT_EQ(c.ValueRequestsWithoutFreshValue, 0);
    EXPECT_EQ(c.FreshValuesWithoutValueRequest, 0);
}

// ---------------------------------------------------------------------------------------------
// The state query button: parameters, state, and the set output only outside measurement, half
// a second apart; the panel is redrawn half a second after the last step in every mode.

struct QueryStateCase {
    const char* Name;
    bool Measuring;
    std::vector<uint8_t> ExpectedCodes; // the commands it issues, in order
};

void PrintTo(const QueryStateCase& c, std::ostream* os) {
    *os << c.Name;
}

class QueryState : public EngineTest, public testing::WithParamInterface<QueryStateCase> {};

TEST_P(QueryState, ReadsWhatTheModeAllowsAndRedrawsAfterTheLastWait) {
    const QueryStateCase& c = GetParam();
    if (c.Measuring) {
        EnterMeasurement();
    }
    const size_t first = Events.size();
    const int64_t start = Clock.NowMs();
    Engine->SB_QueryStateClick(); // returns after its waits, the exchanges done

    std::vector<uint8_t> issued;
    std::vector<int64_t> encodedAt;
    for (size_t i = first; i < Events.size(); ++i) {
        const auto* e = std::get_if<RequestEncoded>(&Events[i]);
        if (e && e->Code != FunctionCode::ExchangeTest && e->Code != FunctionCode::MeasuredValue) {
            issued.push_back(e->Code);
            encodedAt.push_back(e->AtMs - start);
        }
    }
    EXPECT_EQ(issued, c.ExpectedCodes);
    EXPECT_EQ(Link.SentCount(FunctionCode::ReadOutput), c.Measuring ? 0u : 1u);
    const std::vector<int64_t> steps{1, 501, 1001};
    EXPECT_EQ(encodedAt, std::vector<int64_t>(steps.begin(), steps.begin() + issued.size()));
    EXPECT_EQ(Clock.NowMs() - start, 1500);
    ASSERT_FALSE(Host.PrintModes.empty());
    EXPECT_EQ(Host.PrintModes.back() - start, 1500);
}

INSTANTIATE_TEST_SUITE_P(Engine, QueryState,
                         testing::Values(QueryStateCase{.Name = "InMeasurementSkipsTheSetOutput",
                                                        .Measuring = true,
                                                        .ExpectedCodes = {5, 10}},
                                         QueryStateCase{.Name = "InOutputEntryReadsTheSetOutputToo",
                                                        .Measuring = false,
                                                        .ExpectedCodes = {5, 10, 17}}),
                         CaseName<QueryStateCase>);

// ---------------------------------------------------------------------------------------------
// The output-on timer: 300 ms after start, and after the Enter key.

struct PredelOnCase {
    const char* Name;
    bool OutputSetDone;
    PanelMode ExpectedMode;
    size_t ExpectedResetPresses;
    size_t ExpectedRedraws;
};

void PrintTo(const PredelOnCase& c, std::ostream* os) {
    *os << c.Name;
}

class PredelOn : public EngineTest, public testing::WithParamInterface<PredelOnCase> {};

TEST_P(PredelOn, FiresOnce300msAfterStart) {
    const PredelOnCase& c = GetParam();
    ASSERT_TRUE(Engine->TimerPredelOn().Active());
    State.OutputSetDone = c.OutputSetDone ? 1 : 0;
    Clock.Advance(299);
    EXPECT_TRUE(Host.ResetKeyPresses.empty());
    EXPECT_EQ(State.Mode, PanelMode::OutputEntry);

    Clock.Advance(1);
    EXPECT_FALSE(Engine->TimerPredelOn().Active());
    EXPECT_EQ(State.Mode, c.ExpectedMode);
    EXPECT_EQ(State.OutputSetDone, 0);
    EXPECT_EQ(Host.ResetKeyPresses.size(), c.ExpectedResetPresses);
    EXPECT_EQ(Host.PrintModes.size(), c.ExpectedRedraws);
    Clock.Advance(1000);
    EXPECT_EQ(Host.ResetKeyPresses.size(), c.ExpectedResetPresses); // once
}

INSTANTIATE_TEST_SUITE_P(Engine, PredelOn,
                         testing::Values(PredelOnCase{.Name = "WithoutConfirmedOutputPressesReset",
                                                      .OutputSetDone = false,
                                                      .ExpectedMode = PanelMode::OutputEntry,
                                                      .ExpectedResetPresses = 1,
                                                      .ExpectedRedraws = 0},
                                         PredelOnCase{.Name = "ConfirmedOutputTurnsIntoOutputOn",
                                                      .OutputSetDone = true,
                                                      .ExpectedMode = PanelMode::OutputOn,
                                                      .ExpectedResetPresses = 0,
                                                      .ExpectedRedraws = 1}),
                         CaseName<PredelOnCase>);

TEST_F(EngineTest, EnterKeyTurnsTheConfirmedOutputOn300msLater) {
    Clock.Advance(300); // the start's own firing
    State.OutputDigits = "01000000";
    Engine->Issue(FunctionCode::SetOutput);
    Engine->StartPredelOn();
    const int64_t key = Clock.NowMs();
    ASSERT_TRUE(RunExchanges());
    EXPECT_EQ(AnswerLabel(), "Выходное напряжение калибратора установлено");
    EXPECT_EQ(State.Mode, PanelMode::OutputEntry);

    Clock.Advance(key + 300 - Clock.NowMs());
    EXPECT_EQ(State.Mode, PanelMode::OutputOn);
    EXPECT_TRUE(Link.Instrument.State().OutputLive);
}

// ---------------------------------------------------------------------------------------------
// Closing stops everything; nothing reaches the link afterwards.

TEST_F(EngineTest, ClosingWhileMeasurementPollsStopsEverything) {
    EnterMeasurement();
    Clock.Advance(500);
    Engine->Close();

    for (const Timer* timer : {&Engine->TimerPrd(), &Engine->TimerPriem(), &Engine->TimerQuery(),
                               &Engine->TimerReadADC(), &Engine->TimerPredelOn()}) {
        EXPECT_FALSE(timer->Active()) << timer->Name();
    }
    EXPECT_EQ(Engine->State(), CycleState::Closed);
    const size_t sent = Link.Sent.size();
    Engine->SB_TestClick();
    Engine->SetLinkReady(true);
    EXPECT_FALSE(Engine->N11Click());
    Clock.Advance(5000);
    EXPECT_EQ(Link.Sent.size(), sent);
}

TEST_F(EngineTest, ClosingDuringTheStateQuerysWaitSendsNothingMore) {
    const auto close = Clock.CreateTimer("close", 100, [this] { Engine->Close(); });
    close->SetSingleShot(true);
    close->Start();
    Engine->SB_QueryStateClick();

    EXPECT_EQ(Link.SentCount(FunctionCode::ReadParameters), 1u); // sent before the close
    EXPECT_EQ(Link.Sent.size(), 1u);
    EXPECT_EQ(Clock.NowMs(), 500); // ended at its next step
    EXPECT_TRUE(Host.PrintModes.empty());
}

TEST_F(EngineTest, EngineDestroyedDuringTheStateQuerysWaitEndsIt) {
    const auto destroy = Clock.CreateTimer("destroy", 100, [this] { Engine.reset(); });
    destroy->SetSingleShot(true);
    destroy->Start();
    ExchangeEngine* engine = Engine.get();
    engine->SB_QueryStateClick(); // must not touch the destroyed engine after its wait
    EXPECT_EQ(Engine, nullptr);
    EXPECT_EQ(Link.Sent.size(), 1u);
}

TEST_F(EngineTest, EngineDestroyedWhileTheLinkWaitsTouchesNothingAfterwards) {
    Link.WhileWaiting = [this] { Engine.reset(); };
    Engine->Issue(FunctionCode::ExchangeTest);
    Clock.Advance(10);
    EXPECT_EQ(Engine, nullptr);
    EXPECT_EQ(Link.Sent.size(), 1u);
}

} // namespace
} // namespace vr410::engine::test
