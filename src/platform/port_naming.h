// Device names of COM port numbers, on Windows and on Linux.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vr410 {

// Windows device name of COM port `number`: "COM"n up to 9, "\\.\COM"n from 10 (the plain
// name reaches only COM1 to COM9).
std::string WindowsPortDeviceName(int number);

// Where the Linux naming rule looks. The defaults are the running system's; tests point them
// at a temporary tree.
struct LinuxPortSources {
    std::filesystem::path DeviceDir = "/dev";
    std::filesystem::path TtyClassDir = "/sys/class/tty";
    std::filesystem::path IniPath; // the settings file with the [Ports] section; empty: none
};

// The serial devices in COM port order: the real UARTs among ttyS*, then ttyUSB*, then ttyACM*,
// each group in numeric order (ttyUSB2 before ttyUSB10).
std::vector<std::filesystem::path> LinuxSerialDevices(const LinuxPortSources& sources);

// Device of COM port `number` on Linux: the entry "COM"n of the [Ports] section of the settings
// file when there is one, else the n-th device of LinuxSerialDevices counting from 1. Empty when
// there is no such device, so that opening it fails as "not found".
std::string LinuxPortDeviceName(int number, const LinuxPortSources& sources);

} // namespace vr410
