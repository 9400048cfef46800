// The serial driver refuses a port that does not keep the MARK parity it was set to: a driver
// without stick parity would turn every address byte into an odd-parity one, and every exchange
// would end without an answer while the status read "готов".
#include "links/comm_port.h"

#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

struct StickParityCase {
    const char* Name;
    bool StickParity;
    bool Opens;
    const char* Status;
    size_t Boxes;
};

void PrintTo(const StickParityCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const StickParityCase StickParityCases[] = {
    {.Name = "DriverWithStickParityIsReady",      .StickParity = true,  .Opens = true,  .Status = "готов",          .Boxes = 0},
    {.Name = "DriverWithoutStickParityIsRefused", .StickParity = false, .Opens = false, .Status = "нет MARK/SPACE", .Boxes = 1},
};
// clang-format on

class StickParity : public ::testing::TestWithParam<StickParityCase> {};

TEST_P(StickParity, IsReadBackAfterTheOpen) {
    const StickParityCase& c = GetParam();
    sim::VirtualBus bus;
    SimulatedSerialApi api(bus);
    api.AddPort("COM3");
    api.SetDefaults({.StickParity = c.StickParity});
    RecordingSystemFacilities system;
    CommPort port(api, system);
    EXPECT_EQ(port.OpenComPort(3), c.Opens);
    EXPECT_EQ(port.PortStatus(), c.Status);
    ASSERT_EQ(system.Messages.size(), c.Boxes);
    if (c.Boxes != 0) {
        EXPECT_EQ(system.Messages[0].Text, "Порт не настроен");
    }
}

INSTANTIATE_TEST_SUITE_P(SerialDriver, StickParity, ::testing::ValuesIn(StickParityCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410
