// The program entry: the main window on the system's serial ports, or with --virtual on the
// virtual instrument's bus with a settings file of its own; then the event loop until the main
// window closes. A virtual run shows the virtual bench window beside it.
#include "platform/profile_file.h"
#include "shell/form_main.h"
#include "shell/virtual_bench_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VR410К"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Удаленное управление VR410"));
    parser.addHelpOption();
    const QCommandLineOption virtualLine(
        QStringLiteral("virtual"),
        QStringLiteral("Every COM port leads to a virtual instrument (address 1) and its "
                       "accessory (address 251); the settings are kept in VR410-virtual.ini "
                       "beside VR410.ini."));
    parser.addOption(virtualLine);
    parser.process(app);

    vr410::StartOptions options;
    options.Line = parser.isSet(virtualLine) ? vr410::MakeVirtualLine() : vr410::MakeSystemLine();
    options.SettingsPath =
        vr410::SettingsPathFor(options.Line, vr410::ExecutableIniPath()).string();
    vr410::sim::VirtualBus* bus = options.Line.Bus.get();
    vr410::SimulatedFtdiApi* adapters = options.Line.SimulatedUsb;
    vr410::TFormMain window(std::move(options));
    window.show();
    std::unique_ptr<vr410::VirtualBenchWindow> bench;
    if (bus != nullptr) {
        bench = std::make_unique<vr410::VirtualBenchWindow>(*bus, adapters);
        bench->adjustSize();
        const QScreen* screen = window.screen();
        bench->move(vr410::BenchPlacement(window.frameGeometry(), bench->frameGeometry().size(),
                                          screen != nullptr ? screen->availableGeometry()
                                                            : window.frameGeometry()));
        bench->show();
    }
    return QApplication::exec();
}
