// The program's main window on a simulated line, with its settings file in a fresh directory,
// message boxes recorded instead of shown, and the steps of the exchange engine recorded from
// its event stream with their times.
#pragma once

#include "main_window_access.h"
#include "platform/profile_file.h"
#include "platform/serial_simulated.h"
#include "platform/system_facilities.h"
#include "shell/form_main.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace vr410::test {

using Clock = std::chrono::steady_clock;

// One step of the exchange engine.
struct CycleEvent {
    enum class Kind {
        TransmitGiven, // N11 took the selected command
        RequestSent,   // an attempt put the request on the wire
        ExchangeEnded, // the last attempt is over
    };
    Kind What;
    uint8_t Code;
    bool Accepted = false; // ExchangeEnded: the answer was decoded
    Clock::time_point At;
};

class MainWindowFixture : public testing::Test {
  protected:
    MainWindowFixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vr410-shell-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        Dir = pattern;
        IniPath = (Dir / "VR410.ini").string();
    }
    ~MainWindowFixture() override {
        Window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Dir, ignored);
    }

    void WriteIni(const std::string& content) { std::ofstream(IniPath) << content; }

    // Starts the program as `VR410 --virtual` does.
    void StartVirtual() { Start(MakeVirtualLine()); }

    // Starts the program as on a machine whose serial ports are the given COM numbers, all
    // wired to an instrument at address 1: without the virtual option's start on COM1.
    void StartOnPorts(std::initializer_list<int> ports) {
        PortsBus = std::make_unique<sim::VirtualBus>();
        PortsBus->AddDevice<sim::VirtualInstrument>();
        auto api = std::make_unique<SimulatedSerialApi>(*PortsBus);
        for (int number : ports) {
            api->AddPort(api->PortDeviceName(number));
        }
        PortsApi = api.get();
        LineBackend line;
        line.Api = std::move(api);
        Start(std::move(line));
    }

    // `facilities` records the message boxes (a plain recorder when null).
    void Start(LineBackend line, std::unique_ptr<RecordingSystemFacilities> facilities = nullptr) {
        StartOptions options;
        options.Line = std::move(line);
        options.SettingsPath = IniPath;
        if (facilities == nullptr) {
            facilities = std::make_unique<RecordingSystemFacilities>();
        }
        Facilities = facilities.get();
        options.Facilities = std::move(facilities);
        Window = std::make_unique<TFormMain>(std::move(options));
        Record();
    }

    TFormMain& Main() { return *Window; }
    MainWindowAccess Inside() { return MainWindowAccess{*Window}; }
    engine::ExchangeEngine& Engine() { return Inside().Engine(); }
    InstrumentState& State() { return Inside().State(); }
    CommandMenu& Commands() { return Inside().Commands(); }
    sim::VirtualBus& Bus() { return *Inside().Bus(); }
    sim::VirtualInstrument& Instrument() { return *Inside().Instrument(); }
    // A command as the keys and dialogs give it: selected, then transmitted.
    void Issue(uint8_t code) { Engine().Issue(code); }

    template <class T = QAction> T* Find(const char* name) {
        T* found = Window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }

    // Waits until `count` more exchanges have ended than had ended before the call.
    bool WaitForAnswers(size_t count, int timeoutMs = 5000) {
        const size_t target = Count(CycleEvent::Kind::ExchangeEnded) + count;
        return QTest::qWaitFor([&] { return Count(CycleEvent::Kind::ExchangeEnded) >= target; },
                               timeoutMs);
    }
    size_t Count(CycleEvent::Kind kind) const {
        size_t n = 0;
        for (const CycleEvent& e : Events) {
            n += e.What == kind ? 1 : 0;
        }
        return n;
    }
    size_t CountGiven(uint8_t code) const {
        size_t n = 0;
        for (const CycleEvent& e : Events) {
            n += e.What == CycleEvent::Kind::TransmitGiven && e.Code == code ? 1 : 0;
        }
        return n;
    }
    const CycleEvent* LastHandled() const {
        for (auto e = Events.rbegin(); e != Events.rend(); ++e) {
            if (e->What == CycleEvent::Kind::ExchangeEnded) {
                return &*e;
            }
        }
        return nullptr;
    }

    // Puts the panel and the instrument into DC measurement without the measure key's long
    // first wait: the measurement mode, then switching the instrument to measurement, after
    // whose answer the polling runs at its steady pace.
    void EnterMeasurement() {
        State().Mode = PanelMode::Measurement;
        Issue(32);
        ASSERT_TRUE(WaitForAnswers(1));
    }

    std::filesystem::path Dir;
    std::string IniPath;
    std::unique_ptr<sim::VirtualBus> PortsBus; // the far end of StartOnPorts's line
    SimulatedSerialApi* PortsApi = nullptr;
    RecordingSystemFacilities* Facilities = nullptr;
    std::unique_ptr<TFormMain> Window;
    std::vector<CycleEvent> Events;

  private:
    void Record() {
        using namespace engine;
        Engine().Events().Subscribe([this](const EngineEvent& event) {
            if (const auto* changed = std::get_if<StateChanged>(&event)) {
                if (TransmitGiven(*changed)) {
                    Events.push_back({.What = CycleEvent::Kind::TransmitGiven,
                                      .Code = State().CommandCode,
                                      .At = Clock::now()});
                }
            } else if (const auto* attempt = std::get_if<AttemptFinished>(&event)) {
                Events.push_back({.What = CycleEvent::Kind::RequestSent,
                                  .Code = attempt->Code,
                                  .At = Clock::now()});
            } else if (const auto* ended = std::get_if<ExchangeEnded>(&event)) {
                Events.push_back({.What = CycleEvent::Kind::ExchangeEnded,
                                  .Code = ended->Code,
                                  .Accepted = ended->Accepted,
                                  .At = Clock::now()});
            }
        });
    }
};

} // namespace vr410::test
