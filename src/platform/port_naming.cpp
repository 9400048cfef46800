#include "platform/port_naming.h"

#include "platform/profile_file.h"

#include <algorithm>
#include <fstream>
#include <optional>

namespace vr410 {

namespace {

// The number after `prefix` when the name is the prefix followed by digits only.
std::optional<unsigned long> DeviceNumber(const std::string& name, const std::string& prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 9)
        return std::nullopt;
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoul(digits);
}

// The kernel creates ttyS0..ttyS31 whether or not a UART answers there; only a port with a
// device behind it and a known UART type (the serial core's "type" attribute, 0 for
// PORT_UNKNOWN) is real.
bool IsRealUart(const std::filesystem::path& ttyClassDir, const std::string& name) {
    std::error_code error;
    const std::filesystem::path entry = ttyClassDir / name;
    if (!std::filesystem::exists(entry / "device", error))
        return false;
    std::ifstream typeFile(entry / "type");
    int type = -1;
    if (typeFile >> type)
        return type != 0;
    return true; // no type attribute: the device link is all there is to go by
}

} // namespace

std::string WindowsPortDeviceName(int number) {
    const std::string plain = "COM" + std::to_string(number);
    return number <= 9 ? plain : "\\\\.\\" + plain;
}

std::vector<std::filesystem::path> LinuxSerialDevices(const LinuxPortSources& sources) {
    std::vector<std::filesystem::path> devices;
    for (const std::string prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        std::vector<std::pair<unsigned long, std::string>> group;
        std::error_code error;
        for (auto it = std::filesystem::directory_iterator(sources.DeviceDir, error);
             !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            const auto number = DeviceNumber(name, prefix);
            if (!number)
                continue;
            if (prefix == "ttyS" && !IsRealUart(sources.TtyClassDir, name))
                continue;
            group.emplace_back(*number, name);
        }
        std::sort(group.begin(), group.end());
        for (const auto& [number, name] : group)
            devices.push_back(sources.DeviceDir / name);
    }
    return devices;
}

std::string LinuxPortDeviceName(int number, const LinuxPortSources& sources) {
    if (!sources.IniPath.empty()) {
        std::string mapped =
            ProfileFile(sources.IniPath).ReadString("Ports", "COM" + std::to_string(number), "");
        if (!mapped.empty())
            return mapped;
    }
    if (number < 1)
        return {};
    const auto devices = LinuxSerialDevices(sources);
    if (static_cast<size_t>(number) > devices.size())
        return {};
    return devices[static_cast<size_t>(number) - 1].string();
}

} // namespace vr410
