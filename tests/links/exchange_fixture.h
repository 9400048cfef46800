// One exchange the whole way, as the exchange cycle makes it: the encoder builds the request, a
// link carries it to the virtual bus, and the answer is validated and decoded into the state and
// a recording view.
#pragma once

#include "links/comm_port.h"
#include "platform/serial_simulated.h"
#include "protocol/answer.h"
#include "protocol/request_encoder.h"
#include "sim/virtual_accessory.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vr410::test {

// Keeps the answer label and counts what else decoding touched.
class AnswerRecorder : public AnswerView {
  public:
    std::string AnswerText;
    std::vector<uint8_t> ErrorCodes;
    int PrintModeCalls = 0;
    int ReadingsPrinted = 0;
    bool ReadAdcTimer = false; // what the decoding's outcome left TimerReadADC at

    void SetAnswerText(const std::string& text) override { AnswerText = text; }
    void PrintMode() override { ++PrintModeCalls; }
    void CLRDisp(int) override {}
    void PrintText(int, int, int, const std::string&) override {}
    void PrintUin() override { ++ReadingsPrinted; }
    void PrintUperc() override { ++ReadingsPrinted; }
    void SetFrequencyField(int) override {}
    void SetFrequencyPanelVisible(bool) override {}
    void SetOutputField(const std::string&) override {}
    void ShowParameters(const InstrumentParameters&) override {}
    void ShowErrorList(const std::vector<uint8_t>& codes) override { ErrorCodes = codes; }
    void ShowUserCalibration(CalibratedPart) override {}
    void ShowAccessory(uint8_t, uint8_t) override {}
    void ShowFirmwareVersion(const std::string&) override {}
};

// The virtual instrument and the accessory on a bus, and the protocol's two ends of an
// exchange; a fixture of its own adds the link between them.
class ProtocolFixture : public ::testing::Test {
  protected:
    ProtocolFixture()
        : Instrument(Bus.AddDevice<sim::VirtualInstrument>(
              sim::VirtualInstrumentConfig{.NoiseCounts = 0, .Seed = 1})),
          Accessory(Bus.AddDevice<sim::VirtualAccessory>()) {}

    // Encodes the request of `code` into TxPacket, with a fresh View for its answer.
    void Encode(uint8_t code) {
        State.CommandCode = code;
        View = {};
        EXPECT_TRUE(EncodeRequest(State, Inputs, TxFrame, TxPacket));
    }

    // Validates the answer in RxPacket, which the receive returned with `status`, and decodes
    // it when it is accepted. The answer label is in View.AnswerText either way.
    bool Accepted(uint32_t status) {
        const AnswerContext answer{
            .RxPacket = RxPacket, .TxFrame = TxFrame, .AccessoryMode = Inputs.AccessoryMode};
        if (!ValidateAnswer(status, answer, State, View)) {
            return false;
        }
        const DecodeOutcome outcome = DecodeAnswer(answer, State, View);
        if (outcome.ReadValue != ReadValueAction::Keep) {
            View.ReadAdcTimer = outcome.ReadValue == ReadValueAction::Start;
        }
        return true;
    }

    sim::VirtualBus Bus;
    sim::VirtualInstrument& Instrument;
    sim::VirtualAccessory& Accessory;

    InstrumentState State;
    EncoderInputs Inputs;
    FrameBytes TxFrame{};
    PacketRecord TxPacket;
    PacketRecord RxPacket;
    AnswerRecorder View;
};

// The serial driver on COM1 of the simulated line.
class ExchangeFixture : public ProtocolFixture {
  protected:
    ExchangeFixture() : Api(Bus), Port(Api, System) {
        Api.AddPort("COM1");
        EXPECT_TRUE(Port.OpenComPort(1));
    }

    // One attempt of the exchange for `code`. Returns whether the answer was accepted; the
    // answer label is in View.AnswerText either way.
    bool Exchange(uint8_t code) {
        Encode(code);
        Port.ComSendPacket(TxPacket);
        return Accepted(Port.ComReceivePacket(1, RxPacket));
    }

    SimulatedSerialApi Api;
    RecordingSystemFacilities System;
    CommPort Port;
};

} // namespace vr410::test
