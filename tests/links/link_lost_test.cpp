// The serial driver when its adapter is unplugged: the failure that finds the device gone shows
// the one box of the loss, the port is closed and reads "отсутствует", and later sends and
// receives do nothing until the port is opened again.
#include "links/comm_port.h"

#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

PacketRecord ExchangeTest() {
    FrameBytes frame{};
    frame[0] = 1;
    frame[1] = 3;
    frame[2] = 0x44;
    frame[3] = 0;
    frame[4] = 8;
    PacketRecord packet;
    BuildPacket(frame, packet);
    return packet;
}

struct UnplugCase {
    const char* Name;
    bool DuringTheReceive; // else before the send
    const char* Box;
};

void PrintTo(const UnplugCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const UnplugCase UnplugCases[] = {
    {.Name = "BetweenExchanges",  .DuringTheReceive = false, .Box = "Ошибка передачи"},
    {.Name = "DuringTheReceive",  .DuringTheReceive = true,  .Box = "Ошибка чтения статуса"},
};
// clang-format on

class Unplug : public ::testing::TestWithParam<UnplugCase> {
  protected:
    Unplug() : Api(Bus), Port(Api, System) {
        Bus.AddDevice<sim::VirtualInstrument>(sim::VirtualInstrumentConfig{.Seed = 1});
        Api.AddPort("COM3");
    }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& m : System.Messages) {
            texts.push_back(m.Text);
        }
        return texts;
    }

    sim::VirtualBus Bus;
    SimulatedSerialApi Api;
    RecordingSystemFacilities System;
    CommPort Port;
    PacketRecord Rx;
};

TEST_P(Unplug, ShowsOneBoxClosesThePortAndReadsAbsentUntilOpenedAgain) {
    const UnplugCase& c = GetParam();
    ASSERT_TRUE(Port.OpenComPort(3));
    ASSERT_EQ(Port.PortStatus(), "готов");
    if (!c.DuringTheReceive) {
        Api.RemovePort("COM3");
    }
    Port.ComSendPacket(ExchangeTest());
    if (c.DuringTheReceive) {
        Api.RemovePort("COM3");
    }
    EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);

    EXPECT_EQ(Boxes(), std::vector<std::string>{c.Box});
    EXPECT_TRUE(Port.LinkLost());
    EXPECT_FALSE(Port.IsOpen()) << "closed at once, so the adapter can come back under its name";
    EXPECT_EQ(Port.PortStatus(), "отсутствует");
    EXPECT_EQ(Rx.HeadLength, 0);

    // A second attempt and the next exchange go nowhere and say nothing more.
    for (int i = 0; i < 2; ++i) {
        Port.ComSendPacket(ExchangeTest());
        EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);
    }
    EXPECT_EQ(Boxes().size(), 1u);

    // Plugged in again and chosen again.
    Api.AddPort("COM3");
    ASSERT_TRUE(Port.OpenComPort(3));
    EXPECT_FALSE(Port.LinkLost());
    EXPECT_EQ(Port.PortStatus(), "готов");
    Port.ComSendPacket(ExchangeTest());
    EXPECT_EQ(Port.ComReceivePacket(1, Rx), 0u);
    EXPECT_EQ(Rx.HeadLength, 1);
}

INSTANTIATE_TEST_SUITE_P(SerialDriver, Unplug, ::testing::ValuesIn(UnplugCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(SerialDriverLost, FailingCallOfAPresentDeviceIsNoLoss) {
    sim::VirtualBus bus;
    SimulatedSerialApi api(bus);
    api.AddPort("COM3");
    RecordingSystemFacilities system;
    CommPort port(api, system);
    ASSERT_TRUE(port.OpenComPort(3));
    api.FailCall(SerialCall::Write);
    port.ComSendPacket(ExchangeTest());
    EXPECT_FALSE(port.LinkLost());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortStatus(), "готов");
}

} // namespace
} // namespace vr410
