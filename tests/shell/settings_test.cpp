// What one run leaves in the settings file for the next: the remembered USB adapter, the
// virtual run's file of its own, the main window's place and the packet monitor's size and
// layout.
#include "main_window_fixture.h"

#include "shell/form_interface.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <fstream>
#include <sstream>
#include <utility>

namespace vr410::test {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------------
// The USB adapter: the key holds the device of the active USB link only, so a run that ends on
// a COM port writes it empty, also when the saved adapter was never plugged in.

class UsbKey : public MainWindowFixture {};

TEST_F(UsbKey, RunOnAComPortWithoutTheAdapterWritesItEmpty) {
    WriteIni("[Data]\nCOM=3\nUSB=FT232R USB UART\n");
    StartOnPorts({3});
    Main().show();
    ASSERT_TRUE(Main().close());
    EXPECT_EQ(ProfileFile(IniPath).ReadString("Data", "USB", "?"), "");
}

TEST_F(UsbKey, ChoosingAComPortGivesTheAdapterUp) {
    WriteIni("[Data]\nCOM=3\nUSB=FT232R USB UART\n");
    StartOnPorts({1, 3});
    Main().show();
    ASSERT_TRUE(CommandMenu::Click(Find("COM1")));
    ASSERT_TRUE(Main().close());
    EXPECT_EQ(ProfileFile(IniPath).ReadString("Data", "USB", "?"), "");
}

// ---------------------------------------------------------------------------------------------
// The virtual line keeps a settings file of its own: its start on COM1 must not reach the
// file that a run on the real ports opens next.

class VirtualSettings : public MainWindowFixture {};

TEST_F(VirtualSettings, VirtualRunLeavesTheRealFileAlone) {
    const std::string real = "[Data]\r\nCOM=0\r\nAddrDevice=7\r\n";
    WriteIni(real);
    const std::filesystem::path realIni = IniPath;
    LineBackend line = MakeVirtualLine();
    IniPath = SettingsPathFor(line, realIni).string();
    EXPECT_EQ(std::filesystem::path(IniPath), Dir / "VR410-virtual.ini");
    Start(std::move(line));
    Main().show();
    EXPECT_EQ(State().AddrDevice, 1) << "the real file is not read either";
    ASSERT_TRUE(Main().close());

    EXPECT_EQ(ReadFile(realIni), real);
    EXPECT_EQ(ProfileFile(IniPath).ReadInteger("Data", "COM", -1), 1);
}

TEST(SettingsPath, RealPortsUseTheRealFile) {
    const LineBackend line = MakeSystemLine();
    EXPECT_EQ(SettingsPathFor(line, "/opt/vr410/VR410.ini"),
              std::filesystem::path("/opt/vr410/VR410.ini"));
}

// ---------------------------------------------------------------------------------------------
// The main window's place: the same measure (the client area's top-left corner) is restored at
// start and saved at exit, so the window stays where it was run after run; with no saved place,
// or one on no screen, it opens centred on the primary screen. Its title bar is always on the
// screen.

struct PlaceCase {
    const char* Name;
    const char* Ini;
    bool Centred;
    QPoint Client; // where the client area opens when not centred; y -1: below the top edge
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.Name;
}

class MainWindowPlace : public MainWindowFixture, public testing::WithParamInterface<PlaceCase> {
  protected:
    struct Shown {
        QRect Client;
        QRect Frame;
    };
    Shown RunOnce() {
        StartVirtual();
        Main().show();
        const Shown shown{.Client = Main().geometry(), .Frame = Main().frameGeometry()};
        EXPECT_TRUE(Main().close());
        Window.reset();
        return shown;
    }
};

TEST_P(MainWindowPlace, StaysWhereItWasRunAfterRun) {
    const PlaceCase& c = GetParam();
    WriteIni(c.Ini);
    const Shown first = RunOnce();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(first.Frame.top(), area.top()) << "the title bar is on the screen";
    EXPECT_GE(first.Client.left(), area.left());
    if (c.Centred) {
        EXPECT_NEAR(first.Client.center().y(), area.center().y(), 1);
        if (first.Frame.width() <= area.width()) {
            EXPECT_NEAR(first.Client.center().x(), area.center().x(), 1);
        }
    } else {
        EXPECT_EQ(first.Client.left(), c.Client.x());
        if (c.Client.y() >= 0) {
            EXPECT_EQ(first.Client.top(), c.Client.y());
        }
    }
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("Form", "Left", -1), first.Client.left());
    EXPECT_EQ(ini.ReadInteger("Form", "Top", -1), first.Client.top());

    const Shown second = RunOnce();
    EXPECT_EQ(second.Client.topLeft(), first.Client.topLeft()) << "no creep";
    EXPECT_EQ(ProfileFile(IniPath).ReadInteger("Form", "Top", -1), first.Client.top());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Settings, MainWindowPlace, testing::Values(
    PlaceCase{.Name = "SavedPlace",       .Ini = "[Form]\nTop=100\nLeft=150\n",     .Centred = false, .Client = {150, 100}},
    PlaceCase{.Name = "AtTheTopEdge",     .Ini = "[Form]\nTop=0\nLeft=150\n",       .Centred = false, .Client = {150, -1}},
    PlaceCase{.Name = "FirstStart",       .Ini = "",                                .Centred = true,  .Client = {}},
    PlaceCase{.Name = "PlaceOnNoScreen",  .Ini = "[Form]\nTop=-4000\nLeft=90000\n", .Centred = true,  .Client = {}},
    PlaceCase{.Name = "OnlyTopSaved",     .Ini = "[Form]\nTop=100\n",               .Centred = true,  .Client = {}}),
    [](const testing::TestParamInfo<PlaceCase>& row) { return std::string(row.param.Name); });
// clang-format on

// ---------------------------------------------------------------------------------------------
// The packet monitor's size: the client size is applied and saved, so it reads back the same
// whatever frame the window manager puts around it; a size the window cannot have is kept
// within its minimum and the screen, and only a sane size is saved.

class PacketMonitor : public MainWindowFixture {};

TEST_F(PacketMonitor, SizeIsTheClientSizeBothWays) {
    WriteIni("[FormI]\nWidth=640\nHeight=90\n[Data]\nShowPackets=1\n");
    StartVirtual();
    Main().show();
    TFormInterface& monitor = Inside().FormInterface();
    ASSERT_TRUE(monitor.isVisible());
    EXPECT_EQ(monitor.geometry().size(), QSize(640, 90));
    ASSERT_TRUE(Main().close());
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("FormI", "Width", -1), 640);
    EXPECT_EQ(ini.ReadInteger("FormI", "Height", -1), 90);
}

struct MonitorSizeCase {
    const char* Name;
    const char* Ini;
    bool Shown;
};

void PrintTo(const MonitorSizeCase& c, std::ostream* os) {
    *os << c.Name;
}

class MonitorSize : public MainWindowFixture,
                    public testing::WithParamInterface<MonitorSizeCase> {};

TEST_P(MonitorSize, StaysWithinItsMinimumAndTheScreen) {
    WriteIni(GetParam().Ini);
    StartVirtual();
    Main().show();
    TFormInterface& monitor = Inside().FormInterface();
    const QSize largest = QGuiApplication::primaryScreen()->availableGeometry().size();
    const auto sane = [&](QSize size) {
        return size.width() >= monitor.minimumWidth() && size.height() >= monitor.minimumHeight() &&
               size.width() <= largest.width() && size.height() <= largest.height();
    };
    if (GetParam().Shown) {
        ASSERT_TRUE(CommandMenu::Click(Find("N15")));
        EXPECT_TRUE(sane(monitor.geometry().size()))
            << monitor.geometry().width() << " x " << monitor.geometry().height();
    }
    ASSERT_TRUE(Main().close());
    const ProfileFile ini(IniPath);
    const QSize saved(ini.ReadInteger("FormI", "Width", -1),
                      ini.ReadInteger("FormI", "Height", -1));
    EXPECT_TRUE(sane(saved)) << saved.width() << " x " << saved.height();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Settings, MonitorSize, testing::Values(
    MonitorSizeCase{.Name = "NegativeAndHugeShown",    .Ini = "[FormI]\nWidth=-5\nHeight=100000\n", .Shown = true},
    MonitorSizeCase{.Name = "NegativeAndHugeNotShown", .Ini = "[FormI]\nWidth=-5\nHeight=100000\n", .Shown = false},
    MonitorSizeCase{.Name = "ZeroShown",               .Ini = "[FormI]\nWidth=0\nHeight=0\n",       .Shown = true},
    MonitorSizeCase{.Name = "HugeWidthShown",          .Ini = "[FormI]\nWidth=100000\nHeight=69\n", .Shown = true}),
    [](const testing::TestParamInfo<MonitorSizeCase>& row) { return std::string(row.param.Name); });
// clang-format on

// The hex lines start right of their captions in whatever font the desktop substitutes for
// the design font.
TEST_F(PacketMonitor, HexStartsAfterTheCaptions) {
    StartVirtual();
    TFormInterface& monitor = Inside().FormInterface();
    for (const auto& [caption, line] :
         {std::pair{"Label3", "LabelSend"}, {"Label5", "LabelReceive"}}) {
        const QLabel* label = monitor.findChild<QLabel*>(QString::fromLatin1(caption));
        const QLabel* hex = monitor.findChild<QLabel*>(QString::fromLatin1(line));
        ASSERT_TRUE(label != nullptr && hex != nullptr);
        EXPECT_GE(hex->x(), label->x() + label->sizeHint().width()) << caption;
        EXPECT_EQ(hex->y(), label->y()) << caption;
    }
}

} // namespace
} // namespace vr410::test
