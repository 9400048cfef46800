// Device names of COM port numbers.
#pragma once

#include <string>

namespace vr410 {

// Windows device name of COM port `number`: "COM"n up to 9, "\\.\COM"n from 10 (the plain
// name reaches only COM1 to COM9).
std::string WindowsPortDeviceName(int number);

} // namespace vr410
