// The serial driver through the Linux backend on a real pseudo-terminal, reached by a COM port
// number that the settings file maps: the status texts of a missing and of a held device, one
// exchange whose bytes cross the pty and are collected by the receive, and the far end hanging up.
#include "links/comm_port.h"
#include "platform/serial_posix.h"

#include "common/pty_pair.h"
#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace vr410 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class DriverOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Pty.Open());
        const std::string& slave = Pty.SlaveName();
        // COM1 is the pty, COM2 a device that does not exist; no other serial devices.
        test::WriteBytes(Dir.Path() / "VR410.ini", "[Ports]\r\nCOM1=" + slave + "\r\nCOM2=" +
                                                       (Dir.Path() / "ttyUSB9").string() + "\r\n");
    }

    LinuxPortSources Sources() const {
        return {.DeviceDir = Dir.Path() / "dev",
                .TtyClassDir = Dir.Path() / "sys",
                .IniPath = Dir.Path() / "VR410.ini"};
    }

    // What the master side has received, up to `count` bytes; the deadline only keeps a broken
    // pty from hanging the test.
    std::vector<uint8_t> ReadFromMaster(size_t count) const {
        return Pty.ReadFromMaster(count, Clock::now() + 5s);
    }

    test::TempDir Dir;
    test::PtyPair Pty;
    RecordingSystemFacilities System;
};

TEST_F(DriverOnPty, MissingDeviceReadsAbsent) {
    PosixSerialApi api(Sources());
    CommPort port(api, System);
    EXPECT_FALSE(port.OpenComPort(2)) << "mapped to a device that does not exist";
    EXPECT_EQ(port.PortStatus(), "отсутствует");
    EXPECT_FALSE(port.OpenComPort(3)) << "neither mapped nor among the serial devices";
    EXPECT_EQ(port.PortStatus(), "отсутствует");
    EXPECT_TRUE(System.Messages.empty());
}

TEST_F(DriverOnPty, SecondOpenOfAHeldPortReadsBusy) {
    PosixSerialApi api(Sources());
    CommPort holder(api, System);
    ASSERT_TRUE(holder.OpenComPort(1));
    EXPECT_EQ(holder.PortStatus(), "готов");
    CommPort second(api, System);
    EXPECT_FALSE(second.OpenComPort(1));
    EXPECT_EQ(second.PortStatus(), "занят");
    EXPECT_TRUE(System.Messages.empty());
}

TEST_F(DriverOnPty, ReopenedAfterNoPortIsReadyAgain) {
    PosixSerialApi api(Sources());
    CommPort port(api, System);
    for (int open = 0; open < 3; ++open) {
        EXPECT_TRUE(port.OpenComPort(1)) << "open " << open;
        EXPECT_EQ(port.PortStatus(), "готов");
        EXPECT_FALSE(port.OpenComPort(0)); // No Port
    }
    EXPECT_TRUE(System.Messages.empty());
}

// The kernel's pty takes MARK without the parity bit, as a driver without stick parity would:
// seen as a real port it is refused; as the pty it is, it may carry no parity.
TEST_F(DriverOnPty, PortThatDropsTheParityIsRefusedUnlessItIsAPty) {
    PosixSerialOptions asRealPort;
    asRealPort.IsPseudoTerminal = [](int) { return false; };
    asRealPort.SetModemLines = [](int, int, bool) { return 0; };
    PosixSerialApi api(Sources(), asRealPort);
    CommPort port(api, System);
    EXPECT_FALSE(port.OpenComPort(1));
    EXPECT_EQ(port.PortStatus(), "нет MARK/SPACE");
    ASSERT_EQ(System.Messages.size(), 1u);
    EXPECT_EQ(System.Messages[0].Text, "Порт не настроен");
    port.OpenComPort(0); // the refused port stays open until given up

    PosixSerialApi ptyApi(Sources());
    CommPort ptyPort(ptyApi, System);
    EXPECT_TRUE(ptyPort.OpenComPort(1));
    EXPECT_EQ(ptyPort.PortStatus(), "готов");
}

TEST_F(DriverOnPty, ExchangeCrossesThePty) {
    PosixSerialApi api(Sources());
    CommPort port(api, System);
    ASSERT_TRUE(port.OpenComPort(1));

    FrameBytes frame{};
    frame[0] = 1;
    frame[1] = 3;
    frame[2] = 0x44;
    frame[3] = 0;
    frame[4] = 8;
    PacketRecord tx;
    BuildPacket(frame, tx);
    port.ComSendPacket(tx);
    std::vector<uint8_t> request{tx.Head[0]};
    request.insert(request.end(), tx.Body.begin(), tx.Body.begin() + tx.BodyLength);
    EXPECT_EQ(ReadFromMaster(request.size()), request);

    // The exchange test acknowledged by instrument 1, an 0xFF among its bytes, which the tty
    // doubles on the way in and the backend makes single again.
    const std::vector<uint8_t> message{0x04, 0x04, 0x01, 0x08, 0xFF};
    std::vector<uint8_t> answer{0x00};
    answer.insert(answer.end(), message.begin(), message.end());
    answer.push_back(BlockCheck(message.data(), message.size()));
    ASSERT_EQ(write(Pty.Master(), answer.data(), answer.size()),
              static_cast<ssize_t>(answer.size()));

    PacketRecord rx;
    EXPECT_EQ(port.ComReceivePacket(1, rx), 0u);
    EXPECT_EQ(rx.HeadLength, 1);
    EXPECT_EQ(rx.Head[0], 0x00);
    ASSERT_EQ(rx.BodyLength, answer.size() - 1);
    EXPECT_TRUE(std::equal(answer.begin() + 1, answer.end(), rx.Body.begin()));
    EXPECT_TRUE(AnswerLengthValid(rx));
    EXPECT_TRUE(AnswerBlockValid(rx, 0));
    EXPECT_TRUE(System.Messages.empty());
}

TEST_F(DriverOnPty, HangUpShowsOneBoxAndReadsAbsent) {
    PosixSerialApi api(Sources());
    CommPort port(api, System);
    ASSERT_TRUE(port.OpenComPort(1));
    Pty.CloseMaster(); // the adapter unplugged: the tty hangs up

    FrameBytes frame{};
    frame[0] = 1;
    frame[1] = 3;
    frame[2] = 0x44;
    frame[4] = 8;
    PacketRecord tx;
    BuildPacket(frame, tx);
    PacketRecord rx;
    for (int attempt = 0; attempt < 2; ++attempt) {
        port.ComSendPacket(tx);
        EXPECT_EQ(port.ComReceivePacket(1, rx), 0u);
    }
    ASSERT_EQ(System.Messages.size(), 1u);
    EXPECT_EQ(System.Messages[0].Text, "Ошибка передачи");
    EXPECT_TRUE(port.LinkLost());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.PortStatus(), "отсутствует");
}

} // namespace
} // namespace vr410
