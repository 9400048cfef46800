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
//
// Second, the RS485 turnaround: the time from the last stop bit of the request's body to RTS
// dropping, on the simulated line (from its line log) and through the Linux backend on a
// pseudo-terminal (from the body write to the RTS call, less the body's line time). Both include
// the driver's 1 ms sleep; everything above it is the transmit-empty wait's lateness, which the
// instrument's answer (due about 1 ms after our last byte) must not meet.
#include "links/comm_port.h"
#include "platform/serial_posix.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

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
constexpr int PtySends = 300;

using Clock = std::chrono::steady_clock;

struct Spread {
    double MeanMs = 0;
    double MaxMs = 0;
};

Spread SpreadOf(const std::vector<double>& ms) {
    Spread s;
    for (double v : ms) {
        s.MeanMs += v;
        s.MaxMs = std::max(s.MaxMs, v);
    }
    if (!ms.empty()) {
        s.MeanMs /= static_cast<double>(ms.size());
    }
    return s;
}

// The last stop bit of the body to RTS dropping, from the simulated line's log of one exchange.
double TurnaroundMs(const std::vector<LineEvent>& log) {
    SimClock::time_point lastSent{};
    for (const LineEvent& e : log) {
        if (e.What == LineEvent::Kind::CharacterSent) {
            lastSent = e.At;
        } else if (e.What == LineEvent::Kind::RtsDropped) {
            return std::chrono::duration<double, std::milli>(e.At - lastSent).count();
        }
    }
    return 0;
}

// A port of another backend that notes when the body's write returned and when RTS dropped.
class TimedPort : public SerialPort {
  public:
    TimedPort(std::unique_ptr<SerialPort> inner, std::vector<double>& turnarounds)
        : Inner_(std::move(inner)), Turnarounds_(turnarounds) {}
    bool GetTimeouts(CommTimeouts& t) override { return Inner_->GetTimeouts(t); }
    bool SetTimeouts(const CommTimeouts& t) override { return Inner_->SetTimeouts(t); }
    bool SetupQueues(uint32_t in, uint32_t out) override { return Inner_->SetupQueues(in, out); }
    bool GetState(LineSettings& s) override { return Inner_->GetState(s); }
    bool SetState(const LineSettings& s) override {
        Settings_ = s;
        return Inner_->SetState(s);
    }
    bool GetEventMask(uint32_t& m) override { return Inner_->GetEventMask(m); }
    bool SetEventMask(uint32_t m) override { return Inner_->SetEventMask(m); }
    bool WaitEvent(uint32_t& e) override { return Inner_->WaitEvent(e); }
    bool SetRts(bool raised) override {
        const bool ok = Inner_->SetRts(raised);
        if (!raised && BodyWritten_ != Clock::time_point{}) {
            const auto lineTime = CharacterTime(Settings_) * BodyBytes_;
            Turnarounds_.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - BodyWritten_ - lineTime)
                    .count());
            BodyWritten_ = {};
        }
        return ok;
    }
    bool Purge(uint32_t flags) override { return Inner_->Purge(flags); }
    bool Write(const uint8_t* data, size_t count, size_t& written) override {
        const auto start = Clock::now();
        const bool ok = Inner_->Write(data, count, written);
        if (count > 1) { // the body, not the address byte
            BodyWritten_ = start;
            BodyBytes_ = static_cast<int64_t>(count);
        }
        return ok;
    }
    bool ClearError(uint32_t& errors, uint32_t& waiting) override {
        return Inner_->ClearError(errors, waiting);
    }
    bool Read(uint8_t* data, size_t count, size_t& read) override {
        return Inner_->Read(data, count, read);
    }
    void WaitForInput(Clock::time_point deadline) override { Inner_->WaitForInput(deadline); }
    bool Lost() const override { return Inner_->Lost(); }

  private:
    std::unique_ptr<SerialPort> Inner_;
    std::vector<double>& Turnarounds_;
    LineSettings Settings_;
    Clock::time_point BodyWritten_{};
    int64_t BodyBytes_ = 0;
};

class TimedApi : public SerialApi {
  public:
    explicit TimedApi(SerialApi& inner) : Inner_(inner) {}
    std::vector<double> Turnarounds;
    std::string PortDeviceName(int number) override { return Inner_.PortDeviceName(number); }
    std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) override {
        auto port = Inner_.Open(deviceName, error);
        return port ? std::make_unique<TimedPort>(std::move(port), Turnarounds) : nullptr;
    }
    uint32_t TickCount() override { return Inner_.TickCount(); }
    void Sleep(uint32_t milliseconds) override { Inner_.Sleep(milliseconds); }

  private:
    SerialApi& Inner_;
};

PacketRecord ExchangeTestRequest() {
    FrameBytes frame{};
    frame[0] = 1;    // instrument address
    frame[1] = 3;    // L
    frame[2] = 0x44; // request control byte
    frame[3] = 0;    // PC address
    frame[4] = 8;    // exchange test
    PacketRecord tx;
    BuildPacket(frame, tx);
    return tx;
}

// Sends the exchange test through the Linux backend on a pseudo-terminal whose master side this
// process drains. False when no pty could be had.
bool PtyTurnaround(Spread& spread) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        return false;
    }
    const std::string slave = ptsname(master);
    char dir[] = "/tmp/vr410-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        close(master);
        return false;
    }
    const std::string ini = std::string(dir) + "/VR410.ini";
    if (FILE* f = std::fopen(ini.c_str(), "w")) {
        std::fprintf(f, "[Ports]\r\nCOM1=%s\r\n", slave.c_str());
        std::fclose(f);
    }
    bool ok = false;
    {
        PosixSerialApi posix(LinuxPortSources{.DeviceDir = std::string(dir) + "/dev",
                                              .TtyClassDir = std::string(dir) + "/sys",
                                              .IniPath = ini});
        TimedApi api(posix);
        RecordingSystemFacilities system;
        CommPort port(api, system);
        if (port.OpenComPort(1)) {
            const PacketRecord tx = ExchangeTestRequest();
            for (int i = 0; i < PtySends; ++i) {
                port.ComSendPacket(tx);
                uint8_t drain[256];
                while (read(master, drain, sizeof drain) > 0) {
                }
            }
            spread = SpreadOf(api.Turnarounds);
            ok = system.Messages.empty();
        }
    }
    unlink(ini.c_str());
    rmdir(dir);
    close(master);
    return ok;
}

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

    const PacketRecord tx = ExchangeTestRequest();
    PacketRecord rx;
    std::vector<double> turnarounds;

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
        turnarounds.push_back(TurnaroundMs(api.Log()));
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
    const Spread simulated = SpreadOf(turnarounds);
    std::printf("simulated_last_stop_bit_to_rts_drop_ms mean=%.3f max=%.3f (1 ms sleep included)\n",
                simulated.MeanMs, simulated.MaxMs);
    Spread pty;
    if (PtyTurnaround(pty)) {
        std::printf("pty_last_stop_bit_to_rts_drop_ms mean=%.3f max=%.3f (1 ms sleep included)\n",
                    pty.MeanMs, pty.MaxMs);
    } else {
        std::printf("pty_last_stop_bit_to_rts_drop_ms unavailable\n");
    }
    return failed == 0 ? 0 : 1;
}
