// Runs exchange tests (code 8) from PC 0 to the virtual instrument at address 1 through the
// serial driver on the simulated line and prints wall time per exchange against the floor set by
// the line and the receive's time limits, and the share of it the process spent on a CPU.
//
// Floor of one answered exchange:
//   request characters (address byte + 5 body bytes, 11 bits each at 57600 baud, 0.19 ms each)
//   + 1 ms sleep after the address byte has left (before the switch to SPACE parity)
//   + 1 ms sleep after the body has left (before RTS drops)
//   + 30 ms: once the first byte has come, the receive ends only at the first empty input queue
//     found more than 30 ms after its own start. The instrument's turnaround (1 ms) and the
//     answer's 6 characters (1.15 ms) fall inside that window and add nothing.
// The spinning receive would sit on a core for all of those 30 ms; waiting on the port should
// leave the CPU share near zero.
#include "links/comm_port.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <chrono>
#include <cstdio>

#include <sys/resource.h>

namespace {

using namespace vr410;

// User and system time of the whole process.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

constexpr int Exchanges = 1000;

} // namespace

int main() {
    sim::VirtualBus bus;
    bus.AddDevice<sim::VirtualInstrument>(sim::VirtualInstrumentConfig{.Seed = 1});
    SimulatedSerialApi api(bus);
    api.AddPort("COM1");
    RecordingSystemFacilities system;
    CommPort port(api, system);
    if (!port.OpenComPort(1)) {
        std::fprintf(stderr, "the simulated COM1 did not open: %s\n", port.PortStatus().c_str());
        return 1;
    }

    FrameBytes frame{};
    frame[0] = 1;    // instrument address
    frame[1] = 3;    // L
    frame[2] = 0x44; // request control byte
    frame[3] = 0;    // PC address
    frame[4] = 8;    // exchange test
    PacketRecord tx;
    BuildPacket(frame, tx);
    PacketRecord rx;

    int failed = 0;
    const double cpuStart = CpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (int i = 0; i < Exchanges; ++i) {
        port.ComSendPacket(tx);
        const uint32_t status = port.ComReceivePacket(1, rx);
        if (status != 0 || rx.HeadLength != 1 || !AnswerLengthValid(rx) ||
            !AnswerBlockValid(rx, 0)) {
            ++failed;
        }
        api.ClearLog(); // the line log is for tests; keep it from growing over the run
    }
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
            .count();
    const double cpuMs = (CpuSeconds() - cpuStart) * 1000.0;

    const double characterMs =
        std::chrono::duration<double, std::milli>(CharacterTime57600).count();
    const double floorMs =
        (1 + tx.BodyLength) * characterMs + 2 * 1.0 + static_cast<double>(CommPort::AnswerLimitMs);
    const double wallPerExchange = wallMs / Exchanges;
    const double cpuPerExchange = cpuMs / Exchanges;

    std::printf("exchanges=%d failed=%d message_boxes=%zu\n", Exchanges, failed,
                system.Messages.size());
    std::printf("cpu_ms_per_exchange=%.3f\n", cpuPerExchange);
    std::printf("wall_ms_per_exchange=%.3f floor_ms=%.3f cpu_share_percent=%.2f\n", wallPerExchange,
                floorMs, 100.0 * cpuMs / wallMs);
    return failed == 0 ? 0 : 1;
}
