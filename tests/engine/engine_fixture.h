// The exchange engine on a manual clock, talking to a scripted link that answers with the
// virtual instrument (or with canned hex), with every event recorded. Time moves only when a
// test advances the clock, so every interval is checked exactly and a test runs in
// milliseconds.
#pragma once

#include "common/hex.h"
#include "engine/exchange_engine.h"
#include "engine/manual_clock.h"
#include "protocol/frame.h"
#include "protocol/function_codes.h"
#include "protocol/test_support.h"
#include "sim/line_fault.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vr410::engine::test {

using vr410::test::Hex;
using vr410::test::RecordingView;

// Everything the engine asks of the window, written down.
class RecordingHost : public EngineHost {
  public:
    explicit RecordingHost(const Clock& clock) : Clock_(clock) {}

    EncoderInputs EncoderFields() override {
        EncoderInputs fields = Inputs;
        fields.AccessoryMode = Accessory;
        return fields;
    }
    bool AccessoryMode() override { return Accessory; }
    void SetDeviceAddressField(int address) override { DeviceAddressField = address; }
    void SetBusyCursor(bool busy) override { CursorChanges.push_back(busy); }
    void PressResetKey() override { ResetKeyPresses.push_back(Clock_.NowMs()); }
    void PrintMode() override { PrintModes.push_back(Clock_.NowMs()); }

    EncoderInputs Inputs;
    bool Accessory = false;
    int DeviceAddressField = -1;
    std::vector<bool> CursorChanges;
    std::vector<int64_t> ResetKeyPresses; // when, in clock ms
    std::vector<int64_t> PrintModes;      // when, in clock ms

  private:
    const Clock& Clock_;
};

// A link with the virtual instrument behind it. Each receive spends ReceiveMs of clock time, as
// the serial receive holds the loop; WhileWaiting runs once inside the next receive, as the USB
// receive runs the loop. Faults and canned answers apply one per attempt, in order.
class ScriptedLink : public UsbLink {
  public:
    explicit ScriptedLink(ManualClock& clock) : Clock_(clock), Instrument({.Seed = 7}) {}

    void SendPacket(const PacketRecord& tx) override {
        Sent.push_back(tx);
        if (LoseOnSend) {
            Lost_ = true;
        }
    }

    uint32_t ReceivePacket(PacketRecord& rx) override {
        ++Receives;
        if (WhileWaiting) {
            std::exchange(WhileWaiting, {})();
        }
        Clock_.Spend(ReceiveMs);
        rx = PacketRecord{};
        if (LoseOnReceive) {
            Lost_ = true;
            return LostStatus;
        }
        if (!Canned.empty()) {
            const std::vector<uint8_t> bytes = Hex(Canned.front());
            Canned.pop_front();
            rx = Packet(bytes);
            return 0;
        }
        const PacketRecord& tx = Sent.back();
        if (tx.Head[0] != Instrument.Address()) {
            return 0; // nobody on the bus at that address
        }
        FrameBytes request{};
        request[0] = tx.Head[0];
        for (size_t k = 0; k <= tx.Body[0]; ++k) {
            request[k + 1] = MessageByte(tx, k);
        }
        const auto at = SimClock::time_point(std::chrono::milliseconds(Clock_.NowMs()));
        const std::optional<FrameBytes> answer = Instrument.HandleRequest(request, at);
        if (!answer) {
            return 0;
        }
        std::optional<sim::LineFault> fault;
        if (!Faults.empty()) {
            fault = Faults.front();
            Faults.pop_front();
        }
        for (const LineCharacter& c : sim::AnswerCharacters(*answer, fault, at, {})) {
            if (c.NinthBit) {
                rx.Head[0] = c.Data;
                rx.HeadLength = 1;
            } else if (rx.BodyLength < PacketCapacity) {
                rx.Body[rx.BodyLength++] = c.Data;
            }
        }
        return 0;
    }

    bool LinkLost() const override { return Lost_; }
    void ResetDevice() override { ++Resets; }

    // Requests of that function code put on the wire (a repeat counts again).
    size_t SentCount(uint8_t code) const {
        size_t n = 0;
        for (const PacketRecord& p : Sent) {
            n += p.Body[3] == code ? 1 : 0;
        }
        return n;
    }

    // An address byte, then the body, as hex.
    static PacketRecord Packet(const std::vector<uint8_t>& bytes) {
        PacketRecord p;
        if (!bytes.empty()) {
            p.Head[0] = bytes[0];
            p.HeadLength = 1;
            for (size_t i = 1; i < bytes.size() && i <= PacketCapacity; ++i) {
                p.Body[p.BodyLength++] = bytes[i];
            }
        }
        return p;
    }

    static constexpr uint32_t LostStatus = 5;

    int64_t ReceiveMs = 3;
    std::function<void()> WhileWaiting;
    std::deque<sim::LineFault> Faults;
    std::deque<std::string> Canned; // address byte and body in hex, one per attempt
    bool LoseOnSend = false;
    bool LoseOnReceive = false;
    int Resets = 0;
    int Receives = 0;
    std::vector<PacketRecord> Sent;

  private:
    ManualClock& Clock_;
    bool Lost_ = false;

  public:
    sim::VirtualInstrument Instrument; // at address 1; its readings come from a fixed seed
};

class EngineTest : public testing::Test {
  protected:
    EngineTest() {
        Engine = std::make_unique<ExchangeEngine>(State, Buffers, Clock, Link, Host, View);
        Engine->Events().Subscribe([this](const EngineEvent& e) { Events.push_back(e); });
        Engine->SetLinkReady(true);
    }

    // Every event of type E so far, in order.
    template <class E> std::vector<E> All() const {
        std::vector<E> found;
        for (const EngineEvent& e : Events) {
            if (const E* event = std::get_if<E>(&e)) {
                found.push_back(*event);
            }
        }
        return found;
    }
    template <class E> size_t Count() const { return All<E>().size(); }
    template <class E> std::optional<E> Last() const {
        const std::vector<E> all = All<E>();
        return all.empty() ? std::nullopt : std::optional<E>(all.back());
    }
    // Requests encoded of that function code.
    size_t Encoded(uint8_t code) const {
        size_t n = 0;
        for (const RequestEncoded& e : All<RequestEncoded>()) {
            n += e.Code == code ? 1 : 0;
        }
        return n;
    }

    // Advances the clock by 1 ms at a time until n more exchanges have ended; false when that
    // takes more than limitMs.
    bool RunExchanges(size_t n = 1, int64_t limitMs = 10000) {
        const size_t target = Count<ExchangeEnded>() + n;
        for (int64_t ms = 0; ms < limitMs && Count<ExchangeEnded>() < target; ++ms) {
            Clock.Advance(1);
        }
        return Count<ExchangeEnded>() >= target;
    }

    // The answer label's text as the window shows it now.
    std::string AnswerLabel() const { return LastCall("Answer: "); }
    // The last call of the view that starts with prefix, without the prefix; "" when none.
    std::string LastCall(const std::string& prefix) const {
        for (auto call = View.Calls.rbegin(); call != View.Calls.rend(); ++call) {
            if (call->starts_with(prefix)) {
                return call->substr(prefix.size());
            }
        }
        return {};
    }

    // DC measurement without the measure key's long first wait: Measurement and command 32, after
    // whose answer the polling runs at its steady pace.
    void EnterMeasurement() {
        State.Mode = PanelMode::Measurement;
        Engine->Issue(FunctionCode::Measure);
        ASSERT_TRUE(RunExchanges());
    }

    ManualClock Clock;
    InstrumentState State;
    ExchangeBuffers Buffers;
    RecordingView View;
    RecordingHost Host{Clock};
    ScriptedLink Link{Clock};
    std::unique_ptr<ExchangeEngine> Engine;
    std::vector<EngineEvent> Events;
};

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

} // namespace vr410::engine::test
