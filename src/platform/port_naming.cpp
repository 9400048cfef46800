#include "platform/port_naming.h"

namespace vr410 {

std::string WindowsPortDeviceName(int number) {
    const std::string plain = "COM" + std::to_string(number);
    return number <= 9 ? plain : "\\\\.\\" + plain;
}

} // namespace vr410
