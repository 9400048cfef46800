// 1000 exchange tests through the USB driver, a simulated adapter and the virtual instrument.
// The floor of one exchange is what cannot be avoided: the 1 ms sleeps after the address byte
// and after the parity switch, the request's and the answer's characters on the wire, the
// instrument's turnaround and the one empty 20 ms read window that ends the answer.
#include "links/usb_port.h"
#include "platform/ftdi_simulated.h"
#include "protocol/request_encoder.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

class QuietHost : public vr410::UsbHost {
  public:
    int Notices = 0;
    std::optional<std::string> UsbMenuItemCaption() override { return "USB-RS485 (№ VR000001)"; }
    void ShowNotice(const std::string&) override { ++Notices; }
    void RestoreCursor() override {}
    void LogFailure(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void ProcessMessages() override {}
    void ClearReceivePanel() override {}
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

int main() {
    using namespace vr410;
    constexpr int Exchanges = 1000;
    sim::VirtualBus bus;
    bus.AddDevice<sim::VirtualInstrument>(
        sim::VirtualInstrumentConfig{.NoiseCounts = 0, .Seed = 1});
    SimulatedFtdiApi api(bus);
    api.AddAdapter("USB-RS485", "VR000001");
    QuietHost host;
    UsbAdapterLink link(&api, host);
    if (!link.OpenBySerialNumber("VR000001")) {
        std::fprintf(stderr, "the simulated adapter did not open\n");
        return 1;
    }
    link.SetUpLine();

    InstrumentState state;
    state.CommandCode = 8;
    FrameBytes frame{};
    PacketRecord tx;
    PacketRecord rx;
    EncodeRequest(state, EncoderInputs{}, frame, tx);

    int answered = 0;
    size_t answerChars = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    for (int i = 0; i < Exchanges; ++i) {
        link.UsbSendPacket(tx);
        link.UsbReceivePacket(rx);
        if (rx.HeadLength == 1) {
            ++answered;
            answerChars = 1 + rx.BodyLength;
        }
    }
    const double cpu = CpuSeconds() - cpuStart;
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
            .count();

    const double charMs = std::chrono::duration<double, std::milli>(CharacterTime57600).count();
    const double turnaroundMs =
        std::chrono::duration<double, std::milli>(bus.Timing().Turnaround).count();
    const double floorMs = 1.0 + 1.0 + (1 + tx.BodyLength + answerChars) * charMs + turnaroundMs +
                           UsbAdapterLink::ReadWindowMs;
    const double perExchange = wallMs / Exchanges;
    std::printf("exchanges=%d answered=%d notices=%d request_chars=%d answer_chars=%zu\n",
                Exchanges, answered, host.Notices, 1 + tx.BodyLength, answerChars);
    std::printf("usb_wall_ms_per_exchange=%.2f usb_floor_ms=%.2f usb_cpu_share_percent=%.2f\n",
                perExchange, floorMs, 100.0 * cpu * 1000.0 / wallMs);
    return answered == Exchanges ? 0 : 1;
}
