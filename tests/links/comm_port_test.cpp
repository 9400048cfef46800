// The serial driver against the simulated line: opening and configuring the port, the order of
// line changes in one exchange, the receive's time limits and error flags, the record's bound,
// and every failure message box.
#include "links/comm_port.h"

#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vr410 {
namespace {

using namespace std::chrono_literals;
using Kind = LineEvent::Kind;

const std::string Port3 = "COM3";

PacketRecord RequestPacket(uint8_t address, uint8_t code) {
    FrameBytes frame{};
    frame[0] = address;
    frame[1] = 3;
    frame[2] = 0x44;
    frame[3] = 0;
    frame[4] = code;
    PacketRecord packet;
    BuildPacket(frame, packet);
    return packet;
}

std::vector<uint8_t> BodyOf(const PacketRecord& p) {
    return {p.Body.begin(), p.Body.begin() + std::min<size_t>(p.BodyLength, PacketCapacity)};
}

class SerialDriver : public ::testing::Test {
  protected:
    SerialDriver()
        : Instrument(
              Bus.AddDevice<sim::VirtualInstrument>(sim::VirtualInstrumentConfig{.Seed = 1})),
          Api(Bus), Port(Api, System) {
        Api.AddPort(Port3);
    }

    void Open() {
        ASSERT_TRUE(Port.OpenComPort(3));
        Api.ClearLog();
    }
    uint32_t Exchange(const PacketRecord& tx) {
        Port.ComSendPacket(tx);
        return Port.ComReceivePacket(1, Rx);
    }
    SimulatedLineState Line() const { return Api.LineState(Port3).value(); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : System.Messages) {
            texts.push_back(m.Text);
        }
        return texts;
    }
    std::vector<LineEvent> EventsOf(std::initializer_list<Kind> kinds) const {
        std::vector<LineEvent> events;
        for (const LineEvent& e : Api.Log()) {
            if (std::find(kinds.begin(), kinds.end(), e.What) != kinds.end()) {
                events.push_back(e);
            }
        }
        return events;
    }

    sim::VirtualBus Bus;
    sim::VirtualInstrument& Instrument;
    SimulatedSerialApi Api;
    RecordingSystemFacilities System;
    CommPort Port;
    PacketRecord Rx;
};

TEST_F(SerialDriver, OpenSetsTheInstrumentLineAndReady) {
    ASSERT_TRUE(Port.OpenComPort(3));
    EXPECT_EQ(Port.PortStatus(), "готов");
    const SimulatedLineState line = Line();
    EXPECT_EQ(line.Settings.BaudRate, 57600u);
    EXPECT_EQ(line.Settings.DataBits, 8);
    EXPECT_EQ(line.Settings.StopBits, 1);
    EXPECT_EQ(line.Settings.Parity, ParityMode::Mark);
    EXPECT_FALSE(line.Settings.ParityCheck);
    EXPECT_TRUE(line.Settings.RtsManual);
    EXPECT_TRUE(line.Dtr);
    EXPECT_TRUE(line.Rts);
    EXPECT_EQ(line.Timeouts.ReadIntervalTimeout, 1u);
    EXPECT_EQ(line.Timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(line.InputQueueBytes, 1600u);
    EXPECT_EQ(line.EventMask & EV_TXEMPTY, EV_TXEMPTY);
    EXPECT_TRUE(System.Messages.empty());
}

struct OpenRefusalCase {
    const char* Name;
    OpenError Refusal;
    LinkStatus Expected;
    const char* Status;
};

void PrintTo(const OpenRefusalCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const OpenRefusalCase OpenRefusalCases[] = {
    {.Name = "MissingPortIsAbsent",      .Refusal = {.Kind = OpenFailure::NotFound,     .Code = 2},  .Expected = LinkStatus::Absent,           .Status = "отсутствует"},
    {.Name = "PortHeldElsewhereIsBusy",  .Refusal = {.Kind = OpenFailure::AccessDenied, .Code = 5},  .Expected = LinkStatus::Busy,             .Status = "занят"},
    {.Name = "OtherRefusalShowsItsCode", .Refusal = {.Kind = OpenFailure::Other,        .Code = 31}, .Expected = LinkStatus::FromOsError(31), .Status = "Error=31"},
};
// clang-format on

class OpenRefusal : public SerialDriver, public ::testing::WithParamInterface<OpenRefusalCase> {};

TEST_P(OpenRefusal, OnlySetsTheStatusText) {
    ASSERT_TRUE(Port.OpenComPort(3));
    Api.RefuseOpen("COM4", GetParam().Refusal);
    EXPECT_FALSE(Port.OpenComPort(4));
    EXPECT_EQ(Port.PortStatus(), GetParam().Status);
    EXPECT_EQ(Port.Status(), GetParam().Expected);
    EXPECT_FALSE(Port.IsOpen());
    EXPECT_FALSE(Api.LineState(Port3)) << "the previous port is closed first";
    EXPECT_TRUE(System.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Open, OpenRefusal, ::testing::ValuesIn(OpenRefusalCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SerialDriver, PortZeroGivesThePortUpAndReadsAbsent) {
    ASSERT_TRUE(Port.OpenComPort(3));
    EXPECT_FALSE(Port.OpenComPort(0));
    EXPECT_FALSE(Api.LineState(Port3));
    EXPECT_EQ(Port.PortStatus(), "отсутствует");
}

struct ConfigurationFailureCase {
    const char* Name;
    SerialCall Failing;
    const char* Message;
    bool Ready; // the port still counts as ready afterwards
};

void PrintTo(const ConfigurationFailureCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const ConfigurationFailureCase ConfigurationFailureCases[] = {
    {.Name = "ReadingTimeouts",   .Failing = SerialCall::GetTimeouts,  .Message = "Не установлен тайм-аут",  .Ready = false},
    {.Name = "WritingTimeouts",   .Failing = SerialCall::SetTimeouts,  .Message = "Не установлен тайм-аут",  .Ready = false},
    {.Name = "QueueSizes",        .Failing = SerialCall::SetupQueues,  .Message = "Не задан размер буферов", .Ready = false},
    {.Name = "ReadingSettings",   .Failing = SerialCall::GetState,     .Message = "Порт не настроен",        .Ready = false},
    {.Name = "WritingSettings",   .Failing = SerialCall::SetState,     .Message = "Порт не настроен",        .Ready = false},
    {.Name = "ReadingEventMask",  .Failing = SerialCall::GetEventMask, .Message = "Ошибка чтения маски",     .Ready = false},
    {.Name = "WritingEventMask",  .Failing = SerialCall::SetEventMask, .Message = "Ошибка записи маски",     .Ready = false},
    {.Name = "RaisingRtsGoesOn",  .Failing = SerialCall::SetRts,       .Message = "Ошибка установки RTS",    .Ready = true},
};
// clang-format on

class ConfigurationFailure : public SerialDriver,
                             public ::testing::WithParamInterface<ConfigurationFailureCase> {};

TEST_P(ConfigurationFailure, ShowsItsMessageAndKeepsThePortOpen) {
    const ConfigurationFailureCase& c = GetParam();
    ASSERT_TRUE(Port.OpenComPort(3)); // the status reads "готов" before
    Api.AddPort("COM4");
    Api.FailCall(c.Failing);
    EXPECT_EQ(Port.OpenComPort(4), c.Ready);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.Message});
    EXPECT_TRUE(Port.IsOpen());
    EXPECT_EQ(Port.PortStatus(), c.Ready ? "готов" : "ошибка")
        << "a port that is not configured must not inherit the previous port's ready";
}

INSTANTIATE_TEST_SUITE_P(Open, ConfigurationFailure, ::testing::ValuesIn(ConfigurationFailureCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SerialDriver, OneExchangeChangesTheLineInOrder) {
    Open();
    const PacketRecord tx = RequestPacket(1, 1);
    ASSERT_EQ(Exchange(tx), 0u);

    const auto events = EventsOf({Kind::Purged, Kind::Written, Kind::CharacterSent, Kind::TxEmpty,
                                  Kind::SettingsChanged, Kind::RtsRaised, Kind::RtsDropped});
    std::vector<Kind> kinds;
    for (const LineEvent& e : events) {
        kinds.push_back(e.What);
    }
    const std::vector<Kind> expected{
        Kind::Purged,          Kind::Written,       Kind::CharacterSent,   Kind::TxEmpty,
        Kind::SettingsChanged, Kind::RtsRaised,     Kind::Written,         Kind::CharacterSent,
        Kind::CharacterSent,   Kind::CharacterSent, Kind::CharacterSent,   Kind::CharacterSent,
        Kind::TxEmpty,         Kind::RtsDropped,    Kind::SettingsChanged, Kind::RtsRaised};
    ASSERT_EQ(kinds, expected);

    EXPECT_EQ(events[0].PurgeFlags, PURGE_RXABORT | PURGE_RXCLEAR) << "the output queue is kept";
    EXPECT_EQ(events[1].Data, std::vector<uint8_t>{0x01});
    EXPECT_EQ(events[1].Parity, ParityMode::Mark);
    EXPECT_TRUE(events[1].Rts) << "RTS is up from the open on";
    EXPECT_TRUE(events[2].NinthBit) << "the address byte is marked";
    EXPECT_EQ(events[4].Parity, ParityMode::Space);
    EXPECT_GE(events[4].At - events[3].At, 1ms) << "1 ms after the address byte has left";
    EXPECT_EQ(events[6].Data, BodyOf(tx));
    for (size_t i = 7; i <= 11; ++i) {
        EXPECT_FALSE(events[i].NinthBit);
    }
    EXPECT_GE(events[13].At - events[11].At, 1ms) << "RTS drops 1 ms after the last stop bit";
    EXPECT_EQ(events[14].Parity, ParityMode::Mark);
    EXPECT_TRUE(events[15].Rts);

    EXPECT_EQ(Rx.HeadLength, 1);
    EXPECT_EQ(Rx.Head[0], 0);
    const std::vector<uint8_t> answer{0x03, 0x04, 0x01, 0x01};
    std::vector<uint8_t> body = answer;
    body.push_back(BlockCheck(answer.data(), answer.size()));
    EXPECT_EQ(BodyOf(Rx), body) << "the reset acknowledged by instrument 1";
    EXPECT_TRUE(System.Messages.empty());
}

TEST_F(SerialDriver, NoAnswerEndsALittleAfter100MsWithTheLineRestored) {
    Open();
    EXPECT_EQ(Exchange(RequestPacket(2, 8)), 0u); // nobody at address 2
    EXPECT_EQ(Rx.HeadLength, 0);
    EXPECT_EQ(Rx.BodyLength, 0);
    const auto txEmpty = EventsOf({Kind::TxEmpty});
    const auto settings = EventsOf({Kind::SettingsChanged});
    ASSERT_EQ(txEmpty.size(), 2u);
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_GE(settings[1].At - txEmpty[1].At, 100ms);
    EXPECT_LT(settings[1].At - txEmpty[1].At, 1000ms);
    EXPECT_EQ(Line().Settings.Parity, ParityMode::Mark);
    EXPECT_TRUE(Line().Rts);
}

TEST_F(SerialDriver, ParityErrorOnTheFirstByteAloneIsReadNormally) {
    Open();
    Bus.Faults().Queue(sim::LineFault::ParityErrorFirstByte);
    EXPECT_EQ(Exchange(RequestPacket(1, 8)), 0u);
    EXPECT_EQ(Rx.HeadLength, 1);
    EXPECT_EQ(Rx.BodyLength, 5);
    EXPECT_TRUE(AnswerBlockValid(Rx, 0));
}

TEST_F(SerialDriver, ReceiveClearsTheWholeRecordFirst) {
    Open();
    Rx.Head.fill(0xEE);
    Rx.Body.fill(0xEE);
    ASSERT_EQ(Exchange(RequestPacket(1, 1)), 0u);
    ASSERT_EQ(Rx.BodyLength, 5);
    for (size_t i = Rx.BodyLength; i < PacketCapacity; ++i) {
        EXPECT_EQ(Rx.Body[i], 0) << "body byte " << i;
    }
    for (size_t i = Rx.HeadLength; i < PacketCapacity; ++i) {
        EXPECT_EQ(Rx.Head[i], 0) << "head byte " << i;
    }
}

struct LineErrorCase {
    const char* Name;
    sim::LineFault Fault;
    uint32_t Flags; // with the address byte's parity error
};

void PrintTo(const LineErrorCase& c, std::ostream* out) {
    *out << c.Name;
}

const LineErrorCase LineErrorCases[] = {
    {.Name = "Framing", .Fault = sim::LineFault::FramingError, .Flags = CE_FRAME | CE_RXPARITY},
    {.Name = "Overrun", .Fault = sim::LineFault::OverrunError, .Flags = CE_OVERRUN | CE_RXPARITY},
};

class LineError : public SerialDriver, public ::testing::WithParamInterface<LineErrorCase> {};

TEST_P(LineError, ReturnsTheFlagsWithoutReadingAndRestoresTheLine) {
    Open();
    Bus.Faults().Queue(GetParam().Fault);
    EXPECT_EQ(Exchange(RequestPacket(1, 8)), GetParam().Flags);
    EXPECT_EQ(Rx.HeadLength, 0);
    EXPECT_TRUE(System.Messages.empty());
    EXPECT_EQ(Line().Settings.Parity, ParityMode::Mark);
    EXPECT_TRUE(Line().Rts);
    // The next exchange goes out marked and is answered, once the tail of the damaged answer,
    // which the receive did not wait for, has passed.
    Api.Sleep(5);
    EXPECT_EQ(Exchange(RequestPacket(1, 8)), 0u);
    EXPECT_EQ(Rx.BodyLength, 5);
}

INSTANTIATE_TEST_SUITE_P(Receive, LineError, ::testing::ValuesIn(LineErrorCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SerialDriver, AnswerStartingAfter30MsKeepsOnlyTheBytesAlreadyWaiting) {
    Open();
    // A slow answer: it starts 35 ms after the request and takes 5 ms per character, so when
    // the receive sees the address byte (about 40 ms) the rest is still on its way; all of it
    // is there 25 ms later, so a 30 ms limit counted from the address byte would collect it.
    Bus.Timing().Turnaround = 35ms;
    Bus.Timing().CharacterTime = 5ms;
    EXPECT_EQ(Exchange(RequestPacket(1, 8)), 0u);
    EXPECT_EQ(Rx.HeadLength, 1);
    EXPECT_EQ(Rx.Head[0], 0);
    // However late the receive woke up, it read what was waiting and did not wait for more.
    EXPECT_LT(Rx.BodyLength, 5);
    if (Rx.BodyLength > 0) {
        EXPECT_EQ(Rx.Body[0], 3) << "the answer's own first bytes";
    }
}

// The simulated backend seen through a millisecond tick count that can be set to wrap soon,
// and that counts the status queries of its ports.
class WrappingTickApi : public SerialApi {
  public:
    explicit WrappingTickApi(SerialApi& inner) : Inner_(inner) {}

    // From now on the tick count reaches its 32-bit wrap after `ticks` milliseconds.
    void WrapIn(uint32_t ticks) { Offset_ = 0u - ticks - Inner_.TickCount(); }

    int StatusQueries = 0;

    std::string PortDeviceName(int number) override { return Inner_.PortDeviceName(number); }
    std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) override {
        auto port = Inner_.Open(deviceName, error);
        return port ? std::make_unique<CountingPort>(std::move(port), StatusQueries) : nullptr;
    }
    uint32_t TickCount() override { return Inner_.TickCount() + Offset_; }
    void Sleep(uint32_t milliseconds) override { Inner_.Sleep(milliseconds); }

  private:
    class CountingPort : public SerialPort {
      public:
        CountingPort(std::unique_ptr<SerialPort> inner, int& queries)
            : Inner_(std::move(inner)), Queries_(queries) {}
        bool GetTimeouts(CommTimeouts& t) override { return Inner_->GetTimeouts(t); }
        bool SetTimeouts(const CommTimeouts& t) override { return Inner_->SetTimeouts(t); }
        bool SetupQueues(uint32_t in, uint32_t out) override {
            return Inner_->SetupQueues(in, out);
        }
        bool GetState(LineSettings& s) override { return Inner_->GetState(s); }
        bool SetState(const LineSettings& s) override { return Inner_->SetState(s); }
        bool GetEventMask(uint32_t& m) override { return Inner_->GetEventMask(m); }
        bool SetEventMask(uint32_t m) override { return Inner_->SetEventMask(m); }
        bool WaitEvent(uint32_t& e) override { return Inner_->WaitEvent(e); }
        bool SetRts(bool raised) override { return Inner_->SetRts(raised); }
        bool Purge(uint32_t flags) override { return Inner_->Purge(flags); }
        bool Write(const uint8_t* data, size_t count, size_t& written) override {
            return Inner_->Write(data, count, written);
        }
        bool ClearError(uint32_t& errors, uint32_t& waiting) override {
            ++Queries_;
            return Inner_->ClearError(errors, waiting);
        }
        bool Read(uint8_t* data, size_t count, size_t& read) override {
            return Inner_->Read(data, count, read);
        }
        void WaitForInput(std::chrono::steady_clock::time_point deadline) override {
            Inner_->WaitForInput(deadline);
        }

      private:
        std::unique_ptr<SerialPort> Inner_;
        int& Queries_;
    };

    SerialApi& Inner_;
    uint32_t Offset_ = 0;
};

struct TickWrapCase {
    const char* Name;
    uint32_t TicksBeforeWrap; // counted from the receive's start
    uint8_t Address;          // 1 answers, 2 is nobody
};

void PrintTo(const TickWrapCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const TickWrapCase TickWrapCases[] = {
    {.Name = "NoAnswerWrapsWhileWaitingForTheFirstByte", .TicksBeforeWrap = 50, .Address = 2},
    {.Name = "AnswerWrapsWhileItArrives",                .TicksBeforeWrap = 2,  .Address = 1},
    {.Name = "AnswerWindowWrapsAfterTheAnswer",          .TicksBeforeWrap = 20, .Address = 1},
};
// clang-format on

class TickWrap : public SerialDriver, public ::testing::WithParamInterface<TickWrapCase> {};

// The time limits count ticks from the receive's start; the tick count wraps to 0 after 2^32 ms
// (49.7 days of uptime), and a receive across the wrap must keep its limits.
TEST_P(TickWrap, ReceiveKeepsItsLimitsAcrossTheWrapOfTheTickCount) {
    const TickWrapCase& c = GetParam();
    WrappingTickApi api(Api);
    CommPort port(api, System);
    ASSERT_TRUE(port.OpenComPort(3));
    Api.ClearLog();
    port.ComSendPacket(RequestPacket(c.Address, 8));
    api.WrapIn(c.TicksBeforeWrap);
    EXPECT_EQ(port.ComReceivePacket(1, Rx), 0u);

    const auto txEmpty = EventsOf({Kind::TxEmpty});
    const auto settings = EventsOf({Kind::SettingsChanged});
    ASSERT_EQ(txEmpty.size(), 2u);
    ASSERT_EQ(settings.size(), 2u);
    const auto receiveTook = settings[1].At - txEmpty[1].At;
    if (c.Address == 1) {
        EXPECT_EQ(Rx.HeadLength, 1);
        EXPECT_EQ(Rx.BodyLength, 5);
        EXPECT_TRUE(AnswerBlockValid(Rx, 0));
        EXPECT_GE(receiveTook, 30ms) << "the answer window closes 30 ms after the start";
    } else {
        EXPECT_EQ(Rx.HeadLength, 0);
        EXPECT_GE(receiveTook, 100ms) << "the wait for the first byte lasts its 100 ms";
    }
    EXPECT_LT(receiveTook, 10s) << "the wrap did not make the limit unreachable";
    EXPECT_TRUE(System.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Receive, TickWrap, ::testing::ValuesIn(TickWrapCases),
                         [](const auto& row) { return std::string(row.param.Name); });

// While nothing comes the receive sleeps on the port until its limit; a loop that queried the
// status again at once would make thousands of queries in 100 ms.
TEST_F(SerialDriver, ReceiveWaitsOnThePortInsteadOfPolling) {
    WrappingTickApi api(Api);
    CommPort port(api, System);
    ASSERT_TRUE(port.OpenComPort(3));
    port.ComSendPacket(RequestPacket(2, 8)); // nobody at address 2
    EXPECT_EQ(port.ComReceivePacket(1, Rx), 0u);
    EXPECT_EQ(Rx.HeadLength, 0);
    EXPECT_LE(api.StatusQueries, 10);
}

// A station that answers every request's last byte with a flood of characters.
class FloodPeer : public LinePeer {
  public:
    std::vector<LineCharacter> OnCharacterFromPc(const LineCharacter& sent, bool) override {
        if (sent.NinthBit) {
            return {};
        }
        std::vector<LineCharacter> flood;
        for (int i = 0; i < 100; ++i) {
            flood.push_back({.Data = static_cast<uint8_t>(i),
                             .NinthBit = i == 0,
                             .Arrival = sent.Arrival + (i + 1) * CharacterTime57600});
        }
        return flood;
    }
};

TEST(SerialDriverRecord, MoreThan41BytesNeverOverrunTheRecord) {
    FloodPeer flood;
    SimulatedSerialApi api(flood);
    api.AddPort(Port3);
    RecordingSystemFacilities system;
    CommPort port(api, system);
    ASSERT_TRUE(port.OpenComPort(3));

    struct Guarded {
        PacketRecord Rx;
        std::array<uint8_t, 64> After{};
    } guarded;
    guarded.After.fill(0xEE);
    PacketRecord tx = RequestPacket(1, 8);
    tx.BodyLength = 1; // one body byte is enough to set the flood off
    port.ComSendPacket(tx);
    EXPECT_EQ(port.ComReceivePacket(1, guarded.Rx), 0u);
    EXPECT_EQ(guarded.Rx.HeadLength, 1);
    EXPECT_EQ(guarded.Rx.BodyLength, 99) << "every byte is counted so the length check fails";
    EXPECT_EQ(guarded.Rx.Body[0], 1);
    EXPECT_EQ(guarded.Rx.Body[40], 41);
    EXPECT_TRUE(std::all_of(guarded.After.begin(), guarded.After.end(),
                            [](uint8_t b) { return b == 0xEE; }));
    EXPECT_FALSE(AnswerLengthValid(guarded.Rx));
}

struct SendFailureCase {
    const char* Name;
    SerialCall Failing;
    std::vector<std::string> Messages;
};

void PrintTo(const SendFailureCase& c, std::ostream* out) {
    *out << c.Name;
}

const SendFailureCase SendFailureCases[] = {
    {.Name = "Write", .Failing = SerialCall::Write, .Messages = {"Ошибка передачи"}},
    {.Name = "Wait", .Failing = SerialCall::WaitEvent, .Messages = {"Ошибка ожидания"}},
    {.Name = "Space", .Failing = SerialCall::SetState, .Messages = {"Не установлен Пробел (0)"}},
    {.Name = "Rts",
     .Failing = SerialCall::SetRts,
     .Messages = {"Ошибка установки RTS", "Ошибка сброса RST"}},
};

class SendFailure : public SerialDriver, public ::testing::WithParamInterface<SendFailureCase> {};

TEST_P(SendFailure, ShowsItsMessages) {
    Open();
    Api.FailCall(GetParam().Failing);
    Port.ComSendPacket(RequestPacket(1, 8));
    EXPECT_EQ(Messages(), GetParam().Messages);
}

INSTANTIATE_TEST_SUITE_P(Send, SendFailure, ::testing::ValuesIn(SendFailureCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SerialDriver, SendWithoutAnOpenPortIsATransmitError) {
    Port.ComSendPacket(RequestPacket(1, 8));
    EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Ошибка передачи", "Ошибка чтения статуса"}));
}

struct ReceiveFailureCase {
    const char* Name;
    SerialCall Failing;
    const char* Message;
};

void PrintTo(const ReceiveFailureCase& c, std::ostream* out) {
    *out << c.Name;
}

const ReceiveFailureCase ReceiveFailureCases[] = {
    {.Name = "StatusQuery", .Failing = SerialCall::ClearError, .Message = "Ошибка чтения статуса"},
    {.Name = "Read", .Failing = SerialCall::Read, .Message = "Ошибка приема"},
};

class ReceiveFailure : public SerialDriver,
                       public ::testing::WithParamInterface<ReceiveFailureCase> {};

TEST_P(ReceiveFailure, ShowsItsMessageReturnsZeroAndRestoresTheLine) {
    Open();
    Port.ComSendPacket(RequestPacket(1, 8));
    Api.FailCall(GetParam().Failing);
    EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);
    EXPECT_EQ(Messages(), std::vector<std::string>{GetParam().Message});
    EXPECT_EQ(Line().Settings.Parity, ParityMode::Mark);
    EXPECT_TRUE(Line().Rts);
}

INSTANTIATE_TEST_SUITE_P(Receive, ReceiveFailure, ::testing::ValuesIn(ReceiveFailureCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SerialDriver, MarkNotRestoredIsReportedAndRtsStillRaised) {
    Open();
    Port.ComSendPacket(RequestPacket(1, 8));
    Api.FailCall(SerialCall::SetState);
    EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);
    EXPECT_EQ(Rx.BodyLength, 5) << "the answer itself was read";
    EXPECT_EQ(Messages(), std::vector<std::string>{"Не установлен Маркер (1)"});
    EXPECT_TRUE(Line().Rts);
}

} // namespace
} // namespace vr410
