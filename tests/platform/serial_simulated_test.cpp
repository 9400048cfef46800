#include "platform/serial_simulated.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

namespace vr410 {
namespace {

using namespace std::chrono_literals;

// A bus that records what the PC sends and answers each character as its script says.
class ScriptedPeer : public LinePeer {
  public:
    struct Received {
        LineCharacter Character;
        bool Rts = false;
    };
    std::vector<Received> FromPc;
    std::vector<bool> RtsChanges;
    std::function<std::vector<LineCharacter>(const LineCharacter&)> Answer;

    std::vector<LineCharacter> OnCharacterFromPc(const LineCharacter& sent,
                                                 bool rtsRaised) override {
        FromPc.push_back({sent, rtsRaised});
        return Answer ? Answer(sent) : std::vector<LineCharacter>{};
    }
    void OnRtsChanged(bool raised, SimClock::time_point) override { RtsChanges.push_back(raised); }
};

LineSettings InstrumentLine(ParityMode parity) {
    LineSettings settings;
    settings.BaudRate = 57600;
    settings.DataBits = 8;
    settings.StopBits = 1;
    settings.Parity = parity;
    return settings;
}

class SimulatedLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Api.AddPort("COM3");
        OpenError error;
        Port = Api.Open("COM3", error);
        ASSERT_NE(Port, nullptr);
        ASSERT_TRUE(Port->SetState(InstrumentLine(ParityMode::Mark)));
        ASSERT_TRUE(Port->SetEventMask(EV_TXEMPTY));
        ASSERT_TRUE(Port->SetupQueues(1600, 0));
    }

    void Send(std::vector<uint8_t> bytes) {
        size_t written = 0;
        ASSERT_TRUE(Port->Write(bytes.data(), bytes.size(), written));
        ASSERT_EQ(written, bytes.size());
        uint32_t event = 0;
        ASSERT_TRUE(Port->WaitEvent(event));
        ASSERT_EQ(event, EV_TXEMPTY);
    }

    void SetParity(ParityMode parity) { ASSERT_TRUE(Port->SetState(InstrumentLine(parity))); }

    uint32_t TakeErrors(uint32_t* queued = nullptr) {
        uint32_t errors = 0;
        uint32_t waiting = 0;
        EXPECT_TRUE(Port->ClearError(errors, waiting));
        if (queued)
            *queued = waiting;
        return errors;
    }

    std::vector<LineEvent> EventsOf(LineEvent::Kind kind) const {
        std::vector<LineEvent> found;
        for (const LineEvent& e : Api.Log())
            if (e.What == kind)
                found.push_back(e);
        return found;
    }

    ScriptedPeer Peer;
    SimulatedSerialApi Api{Peer};
    std::unique_ptr<SerialPort> Port;
};

TEST(NinthBit, FollowsTheParitySetting) {
    struct Case {
        const char* Shows;
        uint8_t Data;
        ParityMode Parity;
        bool NinthBit;
    };
    const Case cases[] = {
        // clang-format off
        //  what it shows                          data   parity            ninth bit
        {"mark is always one",                     0x00,  ParityMode::Mark,  true},
        {"space is always zero",                   0xFF,  ParityMode::Space, false},
        {"odd completes an even count of ones",    0x03,  ParityMode::Odd,   true},
        {"odd adds nothing to an odd count",       0x07,  ParityMode::Odd,   false},
        {"even completes an odd count of ones",    0x07,  ParityMode::Even,  true},
        {"even adds nothing to an even count",     0x03,  ParityMode::Even,  false},
        // clang-format on
    };
    for (const Case& c : cases)
        EXPECT_EQ(NinthBitFor(c.Data, c.Parity), c.NinthBit) << c.Shows;
}

TEST(SimulatedPortNames, FollowWindowsNaming) {
    ScriptedPeer peer;
    SimulatedSerialApi api{peer};
    EXPECT_EQ(api.PortDeviceName(1), "COM1");
    EXPECT_EQ(api.PortDeviceName(9), "COM9");
    EXPECT_EQ(api.PortDeviceName(10), "\\\\.\\COM10");
    EXPECT_EQ(api.PortDeviceName(0), "COM0");
}

TEST(SimulatedOpen, TellsMissingHeldAndRefusedPortsApart) {
    ScriptedPeer peer;
    SimulatedSerialApi api{peer};
    api.AddPort("COM1").AddPort("COM2");
    api.RefuseOpen("COM2", {.Kind = OpenFailure::Other, .Code = 31});
    OpenError error;

    EXPECT_EQ(api.Open("COM0", error), nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::NotFound);
    EXPECT_EQ(error.Code, 2);

    auto first = api.Open("COM1", error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::None);
    EXPECT_EQ(api.Open("COM1", error), nullptr) << "the port is held";
    EXPECT_EQ(error.Kind, OpenFailure::AccessDenied);
    EXPECT_EQ(error.Code, 5);

    EXPECT_EQ(api.Open("COM2", error), nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::Other);
    EXPECT_EQ(error.Code, 31);

    first.reset();
    EXPECT_NE(api.Open("COM1", error), nullptr) << "closing frees the port";
}

TEST_F(SimulatedLineTest, UnpluggedPortFailsEveryCallAndReportsItselfLost) {
    EXPECT_FALSE(Port->Lost());
    Api.RemovePort("COM3");
    uint32_t errors = 0;
    uint32_t queued = 0;
    EXPECT_FALSE(Port->ClearError(errors, queued));
    EXPECT_FALSE(Port->SetRts(true));
    EXPECT_TRUE(Port->Lost());
    OpenError error;
    Port.reset();
    EXPECT_EQ(Api.Open("COM3", error), nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::NotFound);
}

TEST_F(SimulatedLineTest, InjectedFailureHitsOnlyThatCall) {
    Api.FailCall(SerialCall::SetState);
    EXPECT_FALSE(Port->SetState(InstrumentLine(ParityMode::Space)));
    EXPECT_TRUE(Port->SetRts(true));
    Api.FailCall(SerialCall::SetState, false);
    EXPECT_TRUE(Port->SetState(InstrumentLine(ParityMode::Space)));
    EXPECT_FALSE(Port->Lost()) << "a failing call alone is no lost device";
    ASSERT_EQ(EventsOf(LineEvent::Kind::CallFailed).size(), 1u);
    EXPECT_EQ(EventsOf(LineEvent::Kind::CallFailed)[0].FailedCall, SerialCall::SetState);
}

TEST_F(SimulatedLineTest, NinthBitOfEachCharacterIsTheParityInForceWhenItLeaves) {
    ASSERT_TRUE(Port->SetRts(true));
    Send({0x01});
    SetParity(ParityMode::Space);
    Send({0x0A, 0x44});
    ASSERT_EQ(Peer.FromPc.size(), 3u);
    EXPECT_TRUE(Peer.FromPc[0].Character.NinthBit);
    EXPECT_FALSE(Peer.FromPc[1].Character.NinthBit);
    EXPECT_FALSE(Peer.FromPc[2].Character.NinthBit);
    for (const auto& r : Peer.FromPc) {
        EXPECT_TRUE(r.Rts);
        EXPECT_EQ(r.Character.LineErrors, 0u);
    }
}

TEST_F(SimulatedLineTest, ParitySwitchedBeforeTransmitEmptyReachesTheWaitingCharacters) {
    // A driver that does not wait for the address byte to leave sends the rest with the new
    // parity: the character already in the shift register keeps the old one.
    std::vector<uint8_t> block(200, 0x55);
    size_t written = 0;
    ASSERT_TRUE(Port->Write(block.data(), block.size(), written));
    SetParity(ParityMode::Space);
    uint32_t event = 0;
    ASSERT_TRUE(Port->WaitEvent(event));
    ASSERT_EQ(Peer.FromPc.size(), block.size());
    EXPECT_TRUE(Peer.FromPc.front().Character.NinthBit);
    EXPECT_FALSE(Peer.FromPc.back().Character.NinthBit);
}

TEST_F(SimulatedLineTest, BlockTakesItsLineTimeAndTransmitEmptyComesAfterTheLastStopBit) {
    const std::vector<uint8_t> block(20, 0xA5);
    Send(block);
    const auto written = EventsOf(LineEvent::Kind::Written);
    const auto sent = EventsOf(LineEvent::Kind::CharacterSent);
    const auto empty = EventsOf(LineEvent::Kind::TxEmpty);
    ASSERT_EQ(written.size(), 1u);
    ASSERT_EQ(sent.size(), block.size());
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_GE(sent.front().At - written[0].At, CharacterTime57600);
    for (size_t i = 1; i < sent.size(); ++i)
        EXPECT_EQ(sent[i].At - sent[i - 1].At, CharacterTime57600);
    EXPECT_GE(empty[0].At - written[0].At, CharacterTime57600 * block.size());
    EXPECT_GE(empty[0].At, sent.back().At);
    EXPECT_EQ(CharacterTime57600, CharacterTime(InstrumentLine(ParityMode::Mark)));
}

TEST_F(SimulatedLineTest, ReplyIsReadableOnlyOnceItHasArrived) {
    Peer.Answer = [](const LineCharacter& sent) {
        return std::vector<LineCharacter>{
            {.Data = 0x42, .NinthBit = true, .Arrival = sent.Arrival + 40ms}};
    };
    Send({0x01});
    const auto sentAt = EventsOf(LineEvent::Kind::CharacterSent).at(0).At;
    uint8_t byte = 0;
    size_t read = 0;
    if (SimClock::now() < sentAt + 40ms) {
        ASSERT_TRUE(Port->Read(&byte, 1, read));
        EXPECT_EQ(read, 0u) << "read must not return what is still on the line";
    }
    Port->WaitForInput(SimClock::now() + 5s);
    EXPECT_GE(SimClock::now(), sentAt + 40ms);
    uint32_t queued = 0;
    EXPECT_EQ(TakeErrors(&queued), 0u);
    EXPECT_EQ(queued, 1u);
    ASSERT_TRUE(Port->Read(&byte, 1, read));
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(byte, 0x42);
}

TEST_F(SimulatedLineTest, WaitForInputGivesUpAtTheDeadline) {
    const auto deadline = SimClock::now() + 20ms;
    Port->WaitForInput(deadline);
    EXPECT_GE(SimClock::now(), deadline);
}

struct ReceiveCase {
    const char* Shows;
    ParityMode ReceiverParity;
    bool NinthBit;
    uint32_t LineErrors;
    uint32_t Expected;
};

class SimulatedReceiveFlags : public SimulatedLineTest,
                              public ::testing::WithParamInterface<ReceiveCase> {};

TEST_P(SimulatedReceiveFlags, RaisesTheFlagsOfTheArrivingCharacter) {
    const ReceiveCase& c = GetParam();
    Peer.Answer = [&c](const LineCharacter& sent) {
        return std::vector<LineCharacter>{{.Data = 0x10,
                                           .NinthBit = c.NinthBit,
                                           .Arrival = sent.Arrival,
                                           .LineErrors = c.LineErrors}};
    };
    SetParity(c.ReceiverParity);
    Send({0x01});
    uint32_t queued = 0;
    EXPECT_EQ(TakeErrors(&queued), c.Expected);
    EXPECT_EQ(queued, 1u) << "the character is queued whatever its flags";
    EXPECT_EQ(TakeErrors(), 0u) << "reading the flags clears them";
}

const ReceiveCase ReceiveCases[] = {
    // clang-format off
    // what it shows                         receiver parity    ninth  line errors  expected flags
    {"address byte while set for space",     ParityMode::Space, true,  0,           CE_RXPARITY},
    {"data byte while set for space",        ParityMode::Space, false, 0,           0},
    {"address byte while set for mark",      ParityMode::Mark,  true,  0,           0},
    {"data byte while set for mark",         ParityMode::Mark,  false, 0,           CE_RXPARITY},
    {"framing error of the character",       ParityMode::Space, false, CE_FRAME,    CE_FRAME},
    {"framing and parity together",          ParityMode::Space, true,  CE_FRAME,    CE_FRAME | CE_RXPARITY},
    {"break",                                ParityMode::Mark,  true,  CE_BREAK,    CE_BREAK},
    // clang-format on
};

void PrintTo(const ReceiveCase& c, std::ostream* os) {
    *os << c.Shows;
}

// Test names from the case texts: "data byte while set for mark" -> DataByteWhileSetForMark.
std::string CaseName(const ::testing::TestParamInfo<ReceiveCase>& param) {
    std::string name;
    bool upper = true;
    for (const char* p = param.param.Shows; *p; ++p) {
        if (*p == ' ') {
            upper = true;
            continue;
        }
        name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*p))) : *p;
        upper = false;
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, SimulatedReceiveFlags, ::testing::ValuesIn(ReceiveCases), CaseName);

TEST_F(SimulatedLineTest, LineNotSetForTheInstrumentGivesFramingErrorsBothWays) {
    LineSettings wrong = InstrumentLine(ParityMode::Mark);
    wrong.BaudRate = 9600;
    ASSERT_TRUE(Port->SetState(wrong));
    Peer.Answer = [](const LineCharacter& sent) {
        return std::vector<LineCharacter>{{.Data = 1, .NinthBit = true, .Arrival = sent.Arrival}};
    };
    Send({0x01});
    ASSERT_EQ(Peer.FromPc.size(), 1u);
    EXPECT_EQ(Peer.FromPc[0].Character.LineErrors, CE_FRAME);
    EXPECT_EQ(TakeErrors(), CE_FRAME);
}

TEST_F(SimulatedLineTest, FullInputQueueDropsCharactersAndRaisesOverflow) {
    Peer.Answer = [](const LineCharacter& sent) {
        std::vector<LineCharacter> flood(1601,
                                         {.Data = 7, .NinthBit = false, .Arrival = sent.Arrival});
        return flood;
    };
    SetParity(ParityMode::Space);
    Send({0x01});
    uint32_t queued = 0;
    EXPECT_EQ(TakeErrors(&queued), CE_RXOVER);
    EXPECT_EQ(queued, 1600u);
}

TEST_F(SimulatedLineTest, PurgeDropsWhatHasArrived) {
    Peer.Answer = [](const LineCharacter& sent) {
        return std::vector<LineCharacter>{{.Data = 9, .NinthBit = true, .Arrival = sent.Arrival}};
    };
    Send({0x01, 0x02});
    uint32_t queued = 0;
    TakeErrors(&queued);
    ASSERT_EQ(queued, 2u);
    ASSERT_TRUE(Port->Purge(PURGE_RXABORT | PURGE_RXCLEAR));
    TakeErrors(&queued);
    EXPECT_EQ(queued, 0u);
}

TEST_F(SimulatedLineTest, TransmitEmptyWaitWithNothingToWaitForFailsInsteadOfHanging) {
    uint32_t event = 0;
    EXPECT_FALSE(Port->WaitEvent(event)) << "nothing written";
    ASSERT_TRUE(Port->SetEventMask(0));
    size_t written = 0;
    const uint8_t byte = 1;
    ASSERT_TRUE(Port->Write(&byte, 1, written));
    EXPECT_FALSE(Port->WaitEvent(event)) << "EV_TXEMPTY not in the mask";
}

TEST_F(SimulatedLineTest, LogKeepsTheOrderOfLineChanges) {
    Api.ClearLog();
    ASSERT_TRUE(Port->SetRts(true));
    Send({0x01});
    SetParity(ParityMode::Space);
    Send({0x0A});
    ASSERT_TRUE(Port->SetRts(false));
    using K = LineEvent::Kind;
    std::vector<K> kinds;
    for (const LineEvent& e : Api.Log())
        kinds.push_back(e.What);
    const std::vector<K> expected = {K::RtsRaised,     K::Written,         K::CharacterSent,
                                     K::TxEmpty,       K::SettingsChanged, K::Written,
                                     K::CharacterSent, K::TxEmpty,         K::RtsDropped};
    EXPECT_EQ(kinds, expected);
    for (size_t i = 1; i < Api.Log().size(); ++i)
        EXPECT_GE(Api.Log()[i].At, Api.Log()[i - 1].At);
    EXPECT_EQ(Api.Log()[4].Parity, ParityMode::Space);
    EXPECT_EQ(Peer.RtsChanges, (std::vector<bool>{true, false}));
}

TEST_F(SimulatedLineTest, StateShowsWhatTheDriverSet) {
    CommTimeouts timeouts{.ReadIntervalTimeout = 1, .WriteTotalTimeoutConstant = 50};
    ASSERT_TRUE(Port->SetTimeouts(timeouts));
    ASSERT_TRUE(Port->SetRts(true));
    const auto state = Api.LineState("COM3");
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->Settings.BaudRate, 57600u);
    EXPECT_EQ(state->Settings.Parity, ParityMode::Mark);
    EXPECT_EQ(state->Timeouts.ReadIntervalTimeout, 1u);
    EXPECT_EQ(state->Timeouts.WriteTotalTimeoutConstant, 50u);
    EXPECT_EQ(state->InputQueueBytes, 1600u);
    EXPECT_TRUE(state->Rts);
    EXPECT_TRUE(state->Dtr);
    Port.reset();
    EXPECT_FALSE(Api.LineState("COM3").has_value());
}

} // namespace
} // namespace vr410
