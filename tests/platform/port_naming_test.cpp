#include "platform/port_naming.h"

#include "common/temp_dir.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

TEST(WindowsPortNames, PlainUpToNineThenTheDevicePath) {
    struct Case {
        int Number;
        const char* Name;
    };
    const Case cases[] = {
        // number  device name
        {1, "COM1"}, {9, "COM9"}, {10, "\\\\.\\COM10"}, {44, "\\\\.\\COM44"}, {0, "COM0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowsPortDeviceName(c.Number), c.Name) << c.Number;
}

// A /dev and /sys/class/tty with the kinds of entries a real machine has.
class LinuxPortNames : public ::testing::Test {
  protected:
    void SetUp() override {
        Sources.DeviceDir = Root.Path() / "dev";
        Sources.TtyClassDir = Root.Path() / "sys";
        for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyUSB10", "ttyUSB2",
                                 "ttyACM0", "tty", "tty0", "ttyS", "ttySX1", "ttyprintk"})
            test::WriteBytes(Sources.DeviceDir / name, "");
        Uart("ttyS0", "4"); // a 16550A
        Uart("ttyS1", "0"); // PORT_UNKNOWN: nothing answers there
        Uart("ttyS10", ""); // a device without the type attribute
        // ttyS2 has no device behind it at all.
    }

    void Uart(const std::string& name, const std::string& type) {
        std::filesystem::create_directories(Sources.TtyClassDir / name / "device");
        if (!type.empty())
            test::WriteBytes(Sources.TtyClassDir / name / "type", type + "\n");
    }

    test::TempDir Root;
    LinuxPortSources Sources;
};

TEST_F(LinuxPortNames, RealUartsThenUsbThenAcmEachInNumericOrder) {
    const std::vector<std::string> expected = {"ttyS0", "ttyS10", "ttyUSB2", "ttyUSB10", "ttyACM0"};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(LinuxPortDeviceName(static_cast<int>(i) + 1, Sources),
                  (Sources.DeviceDir / expected[i]).string());
    EXPECT_EQ(LinuxPortDeviceName(6, Sources), "") << "beyond the last device";
    EXPECT_EQ(LinuxPortDeviceName(0, Sources), "") << "no port";
}

TEST_F(LinuxPortNames, PortsSectionMapsNumbersExplicitly) {
    Sources.IniPath = Root.Path() / "VR410.ini";
    test::WriteBytes(Sources.IniPath,
                     "[Data]\r\nCOM=2\r\n[ports]\r\ncom2=/dev/serial/by-id/usb-FTDI\r\n"
                     "COM12=/dev/ttyAMA0\r\n");
    EXPECT_EQ(LinuxPortDeviceName(2, Sources), "/dev/serial/by-id/usb-FTDI");
    EXPECT_EQ(LinuxPortDeviceName(12, Sources), "/dev/ttyAMA0");
    EXPECT_EQ(LinuxPortDeviceName(3, Sources), (Sources.DeviceDir / "ttyUSB2").string())
        << "numbers not mapped keep their place in the scan";
}

TEST_F(LinuxPortNames, MissingDeviceDirectoryGivesNoPorts) {
    Sources.DeviceDir = Root.Path() / "nowhere";
    EXPECT_TRUE(LinuxSerialDevices(Sources).empty());
    EXPECT_EQ(LinuxPortDeviceName(1, Sources), "");
}

} // namespace
} // namespace vr410
