// The simulated FTDI adapters: listing, opening, unplugging and plugging back, and the answer of
// the virtual instrument arriving through the read time-out the way a real chip delivers it.
#include "platform/ftdi_simulated.h"
#include "platform/serial_simulated.h"
#include "protocol/frame.h"
#include "protocol/request_encoder.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <thread>

namespace vr410 {
namespace {

class SimulatedFtdiTest : public ::testing::Test {
  protected:
    SimulatedFtdiTest() {
        Bus.AddDevice<sim::VirtualInstrument>(
            sim::VirtualInstrumentConfig{.NoiseCounts = 0, .Seed = 1});
        Api.AddAdapter("USB-RS485", "VR000001").AddAdapter("USB-RS485", "VR000002");
    }

    // The exchange test to instrument 1: address byte marked, body spaced. Its answer is 6 bytes.
    void SendExchangeTest(FtHandle handle) {
        InstrumentState state;
        state.CommandCode = 8;
        FrameBytes frame{};
        PacketRecord tx;
        ASSERT_TRUE(EncodeRequest(state, EncoderInputs{}, frame, tx));
        ASSERT_EQ(Api.SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_MARK),
                  FT_OK);
        uint32_t written = 0;
        ASSERT_EQ(Api.Write(handle, tx.Head.data(), 1, written), FT_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds{1});
        ASSERT_EQ(Api.SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_SPACE),
                  FT_OK);
        ASSERT_EQ(Api.Write(handle, tx.Body.data(), tx.BodyLength, written), FT_OK);
    }

    sim::VirtualBus Bus;
    SimulatedFtdiApi Api{Bus};
};

TEST_F(SimulatedFtdiTest, ListsThePluggedAdaptersByIndex) {
    uint32_t count = 0;
    ASSERT_EQ(Api.DeviceCount(count), FT_OK);
    EXPECT_EQ(count, 2u);
    Api.SetPlugged("VR000001", false);
    ASSERT_EQ(Api.DeviceCount(count), FT_OK);
    EXPECT_EQ(count, 1u);
    std::string serial;
    std::string description;
    EXPECT_EQ(Api.SerialNumberByIndex(0, serial), FT_OK);
    EXPECT_EQ(Api.DescriptionByIndex(0, description), FT_OK);
    EXPECT_EQ(serial, "VR000002");
    EXPECT_EQ(description, "USB-RS485");
    EXPECT_EQ(Api.SerialNumberByIndex(1, serial), FT_DEVICE_NOT_FOUND);
}

TEST_F(SimulatedFtdiTest, AnUnpluggedAdapterFailsItsHandleUntilOpenedAgain) {
    FtHandle handle = 0;
    ASSERT_EQ(Api.OpenBySerialNumber("VR000001", handle), FT_OK);
    FtHandle second = 0;
    EXPECT_EQ(Api.OpenBySerialNumber("VR000001", second), FT_DEVICE_NOT_OPENED);
    Api.SetPlugged("VR000001", false);
    uint32_t bytes = 0;
    EXPECT_EQ(Api.GetQueueStatus(handle, bytes), FT_IO_ERROR);
    uint8_t byte = 1;
    uint32_t written = 0;
    EXPECT_EQ(Api.Write(handle, &byte, 1, written), FT_IO_ERROR);
    EXPECT_EQ(Api.OpenBySerialNumber("VR000001", second), FT_DEVICE_NOT_FOUND);
    Api.SetPlugged("VR000001", true);
    EXPECT_EQ(Api.GetQueueStatus(handle, bytes), FT_IO_ERROR); // the old handle stays dead
    EXPECT_EQ(Api.Close(handle), FT_OK);
    EXPECT_EQ(Api.Close(handle), FT_INVALID_HANDLE);
    EXPECT_EQ(Api.OpenBySerialNumber("VR000001", handle), FT_OK);
    EXPECT_EQ(Api.GetQueueStatus(handle, bytes), FT_OK);
}

TEST_F(SimulatedFtdiTest, ReadWaitsForTheCountOrTheTimeOut) {
    FtHandle handle = 0;
    ASSERT_EQ(Api.OpenBySerialNumber("VR000002", handle), FT_OK);
    ASSERT_EQ(Api.SetBaudRate(handle, 57600), FT_OK);
    ASSERT_EQ(Api.SetTimeouts(handle, 20, 20), FT_OK);
    SendExchangeTest(handle);

    uint8_t answer[64] = {};
    uint32_t read = 0;
    ASSERT_EQ(Api.Read(handle, answer, 1, read), FT_OK); // returns with the first byte
    ASSERT_EQ(read, 1u);
    EXPECT_EQ(answer[0], 0x00); // the answer goes to PC 0
    uint32_t rest = 0;
    ASSERT_EQ(Api.Read(handle, answer + 1, sizeof answer - 1, rest), FT_OK); // a 20 ms window
    EXPECT_EQ(rest, ExpectedBodyLength(answer[1])) << "the whole answer in one window";
    uint32_t none = 9;
    ASSERT_EQ(Api.Read(handle, answer, sizeof answer, none), FT_OK);
    EXPECT_EQ(none, 0u);
}

TEST_F(SimulatedFtdiTest, BytesArrivingWhileAReadWaitsForATickComeAtThatTick) {
    // A long latency puts the first tick after opening well past the whole answer, so every
    // byte of it has arrived before that tick and the chip hands all of them over there.
    Api.SetLatency(std::chrono::milliseconds{100});
    FtHandle handle = 0;
    ASSERT_EQ(Api.OpenBySerialNumber("VR000001", handle), FT_OK);
    ASSERT_EQ(Api.SetBaudRate(handle, 57600), FT_OK);
    ASSERT_EQ(Api.SetTimeouts(handle, 150, 150), FT_OK);
    SendExchangeTest(handle);

    // The read is waiting for the tick when the bytes after the first come in.
    uint8_t answer[6] = {};
    uint32_t read = 0;
    ASSERT_EQ(Api.Read(handle, answer, sizeof answer, read), FT_OK);
    EXPECT_EQ(read, sizeof answer) << "the whole answer at the first tick";
}

// A window left running on the simulated adapters clears the log after every exchange; the
// line's events beneath the calls must go with it, or they pile up for hours.
TEST_F(SimulatedFtdiTest, ClearingTheLogDropsTheLineEventsBeneathTheCalls) {
    FtHandle handle = 0;
    ASSERT_EQ(Api.OpenBySerialNumber("VR000001", handle), FT_OK);
    ASSERT_EQ(Api.SetBaudRate(handle, 57600), FT_OK);
    SendExchangeTest(handle);
    ASSERT_FALSE(Api.Log().empty());
    ASSERT_FALSE(Api.LineLog().empty()) << "the request's characters on the line";

    Api.ClearLog();
    EXPECT_TRUE(Api.Log().empty());
    EXPECT_TRUE(Api.LineLog().empty());
}

} // namespace
} // namespace vr410
