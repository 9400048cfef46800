// Hot-plug cycles of the program's main window.
//
// Serial: the window talks through the Linux backend to a pseudo-terminal whose far end is a
// small instrument (the virtual instrument answering on the pty's master). In the middle of an
// exchange the far end goes away: on the request's first byte (the send is under way) or once
// the whole request has come (the receive waits). The exchange must end with a failure text (the
// driver's one box), the status bar must read "COM1 - отсутствует", the window must stay idle
// and responsive; once a new device is there under the same name, choosing COM1 again must open
// it and the exchange must work.
//
// USB: the window polls the virtual instrument through a simulated adapter, which is pulled out
// at a random point of an exchange (while the send lets the window's messages through, while the
// receive waits, or between two exchanges) and plugged back in. Every unplug must give exactly
// one notice and No Port within one scan of the adapters; every replug must give the link back
// within one scan, and the polling must run again after a new measurement start. Open files,
// open adapters and the resident size must not grow over the cycles.
//
//   bench_hotplug [--serial-cycles N] [--usb-cycles N] [--seed S] [--heap-profile]
//   (defaults 10, 100, 1; --heap-profile prints the heap's blocks by the place that allocated
//   them after the USB cycles, under AddressSanitizer)
//
// The last line is the summary the reliability script reads:
//   hotplug_cycles=K hotplug_failures=F
#include "common/process_memory.h"
#include "main_window_access.h"
#include "platform/profile_file.h"
#include "platform/serial_posix.h"
#include "platform/system_facilities.h"
#include "protocol/frame.h"
#include "protocol/function_codes.h"
#include "shell/command_menu.h"
#include "shell/form_main.h"
#include "shell/form_message.h"
#include "shell/usb_menu.h"
#include "sim/virtual_instrument.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Freed blocks wait in AddressSanitizer's quarantine (256 MB by default) before they are used
// again, which would read as growth; a small one keeps the resident size meaningful.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=1";
}
#endif

namespace {

using namespace vr410;
using bench::HeapKb;
using bench::ResidentKb;

bool HeapProfileAfterUsb = false;

// Where the far end goes away.
enum class HangUpPoint : uint8_t {
    None,
    FirstByte,    // the request's address byte has come: the send is under way
    WholeRequest, // the request has come: the receive waits for the answer
};

const char* PointName(HangUpPoint point) {
    return point == HangUpPoint::FirstByte ? "during the send" : "during the receive";
}

// A pseudo-terminal with the virtual instrument on its master side, answering on its own thread
// as a device on the far end of a cable would.
class PtyInstrument {
  public:
    PtyInstrument() {
        Master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (Master_ < 0 || grantpt(Master_) != 0 || unlockpt(Master_) != 0) {
            std::perror("pty");
            std::exit(1);
        }
        SlavePath_ = ptsname(Master_);
        Thread_ = std::thread([this] { Run(); });
    }
    ~PtyInstrument() {
        Stop_ = true;
        Thread_.join();
        if (Master_ >= 0) {
            close(Master_);
        }
    }
    PtyInstrument(const PtyInstrument&) = delete;
    PtyInstrument& operator=(const PtyInstrument&) = delete;

    const std::string& SlavePath() const { return SlavePath_; }
    // The next request makes the far end go away at that point.
    void HangUpAt(HangUpPoint point) { HangUp_ = point; }
    bool HungUp() const { return HungUp_; }
    int Answered() const { return Answered_; }

  private:
    void Run() {
        std::vector<uint8_t> request;
        while (!Stop_ && !HungUp_) {
            pollfd p{.fd = Master_, .events = POLLIN, .revents = 0};
            if (poll(&p, 1, 10) <= 0 || (p.revents & POLLIN) == 0) {
                continue;
            }
            uint8_t buffer[256];
            const ssize_t n = read(Master_, buffer, sizeof buffer);
            if (n <= 0) {
                continue;
            }
            request.insert(request.end(), buffer, buffer + n);
            if (HangUp_ == HangUpPoint::FirstByte) {
                GoAway();
                return;
            }
            while (request.size() >= 2) {
                const size_t l = request[1];
                const size_t whole = 1 + l + 2 + (l > 14 ? 1 : 0) + (l > 29 ? 1 : 0);
                if (request.size() < whole) {
                    break;
                }
                if (HangUp_ == HangUpPoint::WholeRequest) {
                    // The PC drops RTS 1 ms after the last byte, then waits for the answer.
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    GoAway();
                    return;
                }
                Answer(std::vector<uint8_t>(request.begin(), request.begin() + whole));
                request.erase(request.begin(), request.begin() + whole);
            }
        }
    }

    void Answer(const std::vector<uint8_t>& bytes) {
        PacketRecord packet;
        packet.Head[0] = bytes[0];
        packet.HeadLength = 1;
        for (size_t i = 1; i < bytes.size() && i <= PacketCapacity; ++i) {
            packet.Body[packet.BodyLength++] = bytes[i];
        }
        if (packet.Head[0] != Instrument_.Address()) {
            return;
        }
        FrameBytes request{};
        request[0] = packet.Head[0];
        for (size_t k = 0; k <= packet.Body[0]; ++k) {
            request[k + 1] = MessageByte(packet, k);
        }
        const std::optional<FrameBytes> answer =
            Instrument_.HandleRequest(request, SimClock::now());
        if (!answer) {
            return;
        }
        PacketRecord out;
        BuildPacket(*answer, out);
        std::vector<uint8_t> line{out.Head[0]};
        line.insert(line.end(), out.Body.begin(), out.Body.begin() + out.BodyLength);
        if (write(Master_, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
            ++Answered_;
        }
    }

    void GoAway() {
        close(Master_);
        Master_ = -1;
        HungUp_ = true;
    }

    int Master_ = -1;
    std::string SlavePath_;
    sim::VirtualInstrument Instrument_{{.Seed = 5}};
    std::atomic<HangUpPoint> HangUp_{HangUpPoint::None};
    std::atomic<bool> HungUp_{false};
    std::atomic<bool> Stop_{false};
    std::atomic<int> Answered_{0};
    std::thread Thread_;
};

class SerialHotPlug {
  public:
    SerialHotPlug(const std::filesystem::path& dir, int cycles) : Dir_(dir), Cycles_(cycles) {
        Link_ = Dir_ / "ttyVR0";
        Ini_ = Dir_ / "VR410.ini";
        Device_ = std::make_unique<PtyInstrument>();
        PointLinkAt(Device_->SlavePath());
        // COM1 is the device's stable name, as a udev rule would give it; the window starts on it.
        ProfileFile ini(Ini_.string());
        ini.WriteString("Ports", "COM1", Link_.string());
        ini.WriteInteger("Data", "COM", 1);

        StartOptions options;
        options.Line.Api = std::make_unique<PosixSerialApi>(LinuxPortSources{
            .DeviceDir = Dir_ / "dev", .TtyClassDir = Dir_ / "sys", .IniPath = Ini_});
        options.SettingsPath = Ini_.string();
        auto facilities = std::make_unique<RecordingSystemFacilities>();
        Facilities_ = facilities.get();
        options.Facilities = std::move(facilities);
        Window_ = std::make_unique<TFormMain>(std::move(options));
        Window_->show();
        Inside().Engine().Events().Subscribe([this](const engine::EngineEvent& e) {
            if (const auto* ended = std::get_if<engine::ExchangeEnded>(&e)) {
                ++Ended_;
                LastAccepted_ = ended->Accepted;
            } else if (std::holds_alternative<engine::LinkLost>(e)) {
                ++Lost_;
            } else if (const auto* attempt = std::get_if<engine::AttemptFinished>(&e)) {
                ++Attempts_;
                (void)attempt;
            }
        });
    }

    ~SerialHotPlug() {
        Window_.reset();
        Device_.reset();
    }

    int Run() {
        int failures = 0;
        if (Status() != "COM1 - готов") {
            Fail("the window did not start on the pty: " + Status());
            return Cycles_;
        }
        for (int cycle = 0; cycle < Cycles_; ++cycle) {
            const HangUpPoint point =
                cycle % 2 == 0 ? HangUpPoint::WholeRequest : HangUpPoint::FirstByte;
            if (!OneCycle(cycle, point)) {
                ++failures;
            }
        }
        return failures;
    }

  private:
    test::MainWindowAccess Inside() { return test::MainWindowAccess{*Window_}; }
    std::string Status() {
        return Window_->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text().toStdString();
    }
    bool Fail(const std::string& what) {
        std::printf("serial: FAILED %s\n", what.c_str());
        return false;
    }

    // The device name leads to `target`, replaced in one step as udev replaces its links.
    void PointLinkAt(const std::string& target) {
        const std::filesystem::path next = Dir_ / "ttyVR0.new";
        std::filesystem::remove(next);
        std::filesystem::create_symlink(target, next);
        std::filesystem::rename(next, Link_);
    }

    bool WaitFor(const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }

    bool OneCycle(int cycle, HangUpPoint point) {
        const std::string name =
            "cycle " + std::to_string(cycle + 1) + " (" + PointName(point) + ")";
        // The instrument polled as in measurement: the exchanges run on their own.
        Inside().State().Mode = PanelMode::Measurement;
        Inside().Engine().Issue(FunctionCode::Measure);
        const int endedBefore = Ended_;
        if (!WaitFor([&] { return Ended_ >= endedBefore + 3; }, 3000) || !LastAccepted_) {
            return Fail(name + ": the polling does not run on the new device");
        }

        const size_t boxesBefore = Facilities_->Messages.size();
        const int lostBefore = Lost_;
        const int endedAtLoss = Ended_;
        Device_->HangUpAt(point);
        if (!WaitFor([&] { return Lost_ > lostBefore; }, 3000)) {
            return Fail(name + ": the exchange did not find the device gone");
        }
        bool ok = true;
        if (Ended_ != endedAtLoss + 1 || LastAccepted_) {
            ok = Fail(name + ": the exchange under way did not end as failed");
        }
        const size_t boxes = Facilities_->Messages.size() - boxesBefore;
        if (boxes != 1 || Facilities_->Messages.back().Text.empty()) {
            ok = Fail(name + ": " + std::to_string(boxes) + " boxes instead of one failure text");
        } else {
            std::printf("serial: %s: \"%s\"\n", name.c_str(),
                        Facilities_->Messages.back().Text.c_str());
        }
        if (Status() != "COM1 - отсутствует") {
            ok = Fail(name + ": the status reads \"" + Status() + "\"");
        }
        // The window keeps running, idle: nothing more is tried and nothing more is shown.
        const int attempts = Attempts_;
        QTest::qWait(400);
        if (Attempts_ != attempts || Facilities_->Messages.size() != boxesBefore + boxes ||
            Inside().Engine().Transmitting() || Inside().Engine().TransmitEnabled()) {
            ok = Fail(name + ": the window did not stay idle after the loss");
        }

        // Chosen again while the device is still gone: it stays absent.
        CommandMenu::Click(Window_->findChild<QAction*>(QStringLiteral("COM1")));
        if (Status() != "COM1 - отсутствует") {
            ok = Fail(name + ": choosing the vanished port reads \"" + Status() + "\"");
        }

        // The device is back under the same name; choosing the port opens it.
        Device_ = std::make_unique<PtyInstrument>();
        PointLinkAt(Device_->SlavePath());
        CommandMenu::Click(Window_->findChild<QAction*>(QStringLiteral("COM1")));
        if (Status() != "COM1 - готов") {
            return Fail(name + ": choosing the returned port reads \"" + Status() + "\"");
        }
        Inside().State().Mode = PanelMode::OutputEntry;
        const int endedBeforeTest = Ended_;
        Inside().Engine().Issue(FunctionCode::ExchangeTest);
        if (!WaitFor([&] { return Ended_ > endedBeforeTest; }, 2000) || !LastAccepted_) {
            ok = Fail(name + ": no exchange after the port was chosen again");
        }
        return ok;
    }

    std::filesystem::path Dir_;
    std::filesystem::path Link_;
    std::filesystem::path Ini_;
    int Cycles_;
    std::unique_ptr<PtyInstrument> Device_;
    RecordingSystemFacilities* Facilities_ = nullptr;
    std::unique_ptr<TFormMain> Window_;
    int Ended_ = 0;
    int Lost_ = 0;
    int Attempts_ = 0;
    bool LastAccepted_ = false;
};

size_t OpenFiles() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

// Counts the error notice's appearances.
class ShowCounter : public QObject {
  public:
    int Shows = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++Shows;
        }
        return QObject::eventFilter(watched, event);
    }
};

class UsbHotPlug {
  public:
    static constexpr const char* Serial = "VR000001";
    static constexpr const char* Caption = "USB-RS485 (№ VR000001)";
    // Cycles before the open files and the resident size are taken as the base.
    static constexpr int WarmUpCycles = 10;

    UsbHotPlug(const std::filesystem::path& dir, int cycles, uint32_t seed)
        : Cycles_(cycles), Random_(seed) {
        StartOptions options;
        options.Line = MakeVirtualLine();
        Adapters_ = options.Line.SimulatedUsb;
        options.SettingsPath = (dir / "VR410-usb.ini").string();
        auto facilities = std::make_unique<RecordingSystemFacilities>();
        Facilities_ = facilities.get();
        options.Facilities = std::move(facilities);
        Window_ = std::make_unique<TFormMain>(std::move(options));
        Window_->show();
        // The scans are counted: each one is run by hand, as TimerUSBFind would every 2 s.
        Inside().TimerUSBFind().stop();
        Inside().Notice().installEventFilter(&Notices_);
        Inside().Engine().Events().Subscribe([this](const engine::EngineEvent& e) {
            if (const auto* ended = std::get_if<engine::ExchangeEnded>(&e)) {
                ++Ended_;
                Accepted_ += ended->Accepted ? 1 : 0;
            } else if (const auto* changed = std::get_if<engine::StateChanged>(&e)) {
                if (changed->To == engine::CycleState::Exchanging && UnplugAfterMs_ >= 0) {
                    // The adapter goes while the exchange lets the window's messages through.
                    QTimer::singleShot(UnplugAfterMs_, Qt::PreciseTimer, Window_.get(), [this] {
                        Adapters_->SetPlugged(Serial, false);
                        Unplugged_ = true;
                    });
                    UnplugAfterMs_ = -1;
                }
            }
        });
    }

    int Run() {
        Scan();
        if (QAction* item = Inside().Usb().Item(Caption);
            item == nullptr || !CommandMenu::Click(item) || Status() != Caption) {
            std::printf("usb: FAILED the adapter did not open: %s\n", Status().c_str());
            return Cycles_;
        }
        int failures = 0;
        size_t filesBase = 0;
        long rssBase = 0;
        long heapBase = 0;
        for (int cycle = 0; cycle < Cycles_; ++cycle) {
            if (cycle == std::min(WarmUpCycles, Cycles_ - 1)) {
                filesBase = OpenFiles();
                rssBase = ResidentKb();
                heapBase = HeapKb();
            }
            if (!OneCycle(cycle)) {
                ++failures;
            }
        }
        const long rssGrowth = ResidentKb() - rssBase;
        const long heapGrowth = HeapKb() - heapBase;
        const long filesGrowth = static_cast<long>(OpenFiles()) - static_cast<long>(filesBase);
        size_t openAdapters = 0;
        for (const SimulatedAdapter& adapter : Adapters_->Adapters()) {
            openAdapters += adapter.Open ? 1 : 0;
        }
        if (HeapProfileAfterUsb) {
            bench::PrintHeapProfile();
        }
        std::printf("usb: open_files_growth=%ld open_adapters=%zu rss_growth_kb=%ld "
                    "heap_growth_kb=%ld\n",
                    filesGrowth, openAdapters, rssGrowth, heapGrowth);
        // Under the sanitizer the resident size carries its own caches: the heap is judged.
        if (filesGrowth > 0 || openAdapters > 1 ||
            (bench::UnderAddressSanitizer() ? heapGrowth : rssGrowth) > 2048) {
            std::printf("usb: FAILED handles or memory grew over the cycles\n");
            ++failures;
        }
        return failures;
    }

  private:
    test::MainWindowAccess Inside() { return test::MainWindowAccess{*Window_}; }
    std::string Label(const char* name) {
        return Window_->findChild<QLabel*>(QString::fromLatin1(name))->text().toStdString();
    }
    std::string Status() { return Label("StatusPanel0"); }
    void Scan() { Inside().Usb().TimerUSBFindTimer(); }
    bool Fail(const std::string& what) {
        std::printf("usb: FAILED %s\n", what.c_str());
        return false;
    }
    bool WaitFor(const std::function<bool()>& done, int ms) { return QTest::qWaitFor(done, ms); }

    bool OneCycle(int cycle) {
        const std::string name = "cycle " + std::to_string(cycle + 1);
        // A new measurement start: the polling runs through the adapter.
        Inside().State().Mode = PanelMode::Measurement;
        Inside().Engine().Issue(FunctionCode::Measure);
        const int accepted = Accepted_;
        if (!WaitFor([&] { return Accepted_ >= accepted + 3; }, 5000)) {
            return Fail(name + ": the polling does not run through the adapter");
        }

        // Pulled out at a random point: up to about one exchange and a half after one starts.
        const int notices = Notices_.Shows;
        Unplugged_ = false;
        UnplugAfterMs_ = std::uniform_int_distribution<int>(0, 60)(Random_);
        if (!WaitFor([&] { return Unplugged_; }, 3000)) {
            return Fail(name + ": the adapter was never pulled out");
        }
        WaitFor([&] { return !engine::IsExchanging(Inside().Engine().State()); }, 3000);
        Scan();
        bool ok = true;
        QAction* noPort = Window_->findChild<QAction*>(QStringLiteral("NoPort"));
        if (!noPort->isChecked() || Status() != "порт не выбран" ||
            Inside().Engine().TransmitEnabled()) {
            ok = Fail(name + ": one scan after the unplug the status reads \"" + Status() + "\"");
        }
        if (Notices_.Shows != notices + 1) {
            ok = Fail(name + ": " + std::to_string(Notices_.Shows - notices) +
                      " notices for one unplug");
        }
        Inside().Notice().close();
        Scan();
        if (Notices_.Shows != notices + 1) {
            ok = Fail(name + ": another notice for the same unplug");
        }

        Adapters_->SetPlugged(Serial, true);
        Scan();
        QAction* item = Inside().Usb().Item(Caption);
        if (item == nullptr || !item->isChecked() || Status() != Caption ||
            Label("StatusPanel1") != "USB") {
            ok = Fail(name + ": one scan after the replug the status reads \"" + Status() + "\"");
        }
        if (!Facilities_->Messages.empty()) {
            ok = Fail(name + ": a message box: " + Facilities_->Messages.back().Text);
            Facilities_->Messages.clear();
        }
        return ok;
    }

    int Cycles_;
    std::mt19937 Random_;
    SimulatedFtdiApi* Adapters_ = nullptr;
    RecordingSystemFacilities* Facilities_ = nullptr;
    std::unique_ptr<TFormMain> Window_;
    ShowCounter Notices_;
    int Ended_ = 0;
    int Accepted_ = 0;
    int UnplugAfterMs_ = -1;
    bool Unplugged_ = false;
};

} // namespace

int main(int argc, char** argv) {
    int serialCycles = 10;
    int usbCycles = 100;
    uint32_t seed = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--serial-cycles") == 0 && i + 1 < argc) {
            serialCycles = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--usb-cycles") == 0 && i + 1 < argc) {
            usbCycles = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--heap-profile") == 0) {
            HeapProfileAfterUsb = true;
        } else {
            std::fprintf(stderr, "usage: bench_hotplug [--serial-cycles N] [--usb-cycles N] "
                                 "[--seed S] [--heap-profile]\n");
            return 2;
        }
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;

    int cycles = 0;
    int failures = 0;
    {
        SerialHotPlug serial(dir.path().toStdString(), serialCycles);
        failures += serial.Run();
        cycles += serialCycles;
        std::printf("serial_cycles=%d serial_failures=%d\n", serialCycles, failures);
    }
    if (usbCycles > 0) {
        UsbHotPlug usb(dir.path().toStdString(), usbCycles, seed);
        const int usbFailures = usb.Run();
        failures += usbFailures;
        cycles += usbCycles;
        std::printf("usb_cycles=%d usb_failures=%d\n", usbCycles, usbFailures);
    }
    std::printf("hotplug_cycles=%d hotplug_failures=%d\n", cycles, failures);
    return failures == 0 ? 0 : 1;
}
