// The main window as the operator meets it: shape, menus, timers, the settings file at start
// and at exit, the port choice with its status texts, and the packet strip with the monitor.
#include "main_window_fixture.h"

#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "shell/form_interface.h"

#include <QActionGroup>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vr410::test {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------------
// Shape, menus and timers.

TEST_F(MainWindowFixture, WindowHasItsCaptionAFixedClientAreaAndNoMaximise) {
    StartVirtual();
    EXPECT_EQ(Main().windowTitle(), QStringLiteral("Удаленное управление VR410"));
    EXPECT_FALSE(Main().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(Main().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    Main().show();
    EXPECT_EQ(
        Main().centralWidget()->width(),
        std::max(1070, Inside().Keys().geometry().right() + 1)); // the keypad fits its captions
    EXPECT_EQ(Main().centralWidget()->height() + Main().statusBar()->height(), 190);
    EXPECT_EQ(Main().minimumSize(), Main().maximumSize());
    const int widths[3] = {150, 45, 205};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(
            Find<QLabel>(QStringLiteral("StatusPanel%1").arg(i).toLatin1().constData())->width(),
            widths[i]);
    }
}

TEST_F(MainWindowFixture, MenuBarShowsThreeMenusAndHidesTheCommandList) {
    StartVirtual();
    QStringList shown;
    QString hidden;
    for (QAction* menu : Main().menuBar()->actions()) {
        if (menu->isVisible()) {
            shown << menu->text();
        } else {
            hidden = menu->text();
        }
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Главное"), QStringLiteral("Связь"),
                                  QStringLiteral("Справка")}));
    EXPECT_EQ(hidden, QStringLiteral("Режим"));
}

struct MenuItemCase {
    const char* Name;
    const char* Caption;
    QKeySequence Shortcut;
    bool Checkable;
};

void PrintTo(const MenuItemCase& c, std::ostream* os) {
    *os << c.Name;
}

class MenuItems : public MainWindowFixture, public testing::WithParamInterface<MenuItemCase> {};

TEST_P(MenuItems, CarryTheirCaptionShortcutAndCheckBehaviour) {
    const MenuItemCase& c = GetParam();
    StartVirtual();
    QAction* item = Main().findChild<QAction*>(QString::fromLatin1(c.Name));
    if (item == nullptr) { // the submenus are found by their menu action
        for (QMenu* menu : Main().findChildren<QMenu*>()) {
            if (menu->menuAction()->objectName() == QLatin1String(c.Name)) {
                item = menu->menuAction();
            }
        }
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromUtf8(c.Caption));
    EXPECT_EQ(item->shortcut(), c.Shortcut);
    EXPECT_EQ(item->isCheckable(), c.Checkable);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MainWindow, MenuItems, testing::Values(
    MenuItemCase{.Name = "N11",     .Caption = "Передать",             .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "N12",     .Caption = "Остановить передачу",  .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "N15",     .Caption = "Показывать посылки",   .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Q),   .Checkable = true},
    MenuItemCase{.Name = "N3001",   .Caption = "VR410С",               .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_I),   .Checkable = true},
    MenuItemCase{.Name = "N16",     .Caption = "Выход",                .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "N28",     .Caption = "Адрес назначения...",  .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "N29",     .Caption = "Адрес компьютера...",  .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "COMMenu", .Caption = "COM",                  .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "NoPort",  .Caption = "No Port",              .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F10), .Checkable = true},
    MenuItemCase{.Name = "COM1",    .Caption = "COM1",                 .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F1),  .Checkable = true},
    MenuItemCase{.Name = "COM5",    .Caption = "COM5 ",                .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F5),  .Checkable = true},
    MenuItemCase{.Name = "COM6",    .Caption = "COM6",                 .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F6),  .Checkable = true},
    MenuItemCase{.Name = "COMx",    .Caption = "COM...",               .Shortcut = {},                                   .Checkable = true},
    MenuItemCase{.Name = "USBFind", .Caption = "Найти USB устройства", .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_U),   .Checkable = false},
    MenuItemCase{.Name = "USB1",    .Caption = "USB",                  .Shortcut = {},                                   .Checkable = false},
    MenuItemCase{.Name = "N6",      .Caption = "Показать справку",     .Shortcut = QKeySequence(Qt::Key_F1),             .Checkable = false},
    MenuItemCase{.Name = "N17",     .Caption = "О программе",          .Shortcut = {},                                   .Checkable = false}),
    CaseName<MenuItemCase>);
// clang-format on

TEST_F(MainWindowFixture, CommandListHoldsTheFunctionCodesInMenuOrder) {
    StartVirtual();
    QMenu* mode = nullptr;
    for (QAction* menu : Main().menuBar()->actions()) {
        if (menu->text() == QStringLiteral("Режим")) {
            mode = menu->menu();
        }
    }
    ASSERT_NE(mode, nullptr);
    std::vector<int> tags; // 0 marks a separator
    for (QAction* item : mode->actions()) {
        tags.push_back(item->isSeparator() ? 0 : item->data().toInt());
        if (!item->isSeparator()) {
            EXPECT_TRUE(item->isCheckable());
            EXPECT_TRUE(item->actionGroup()->isExclusive());
        }
    }
    EXPECT_EQ(tags, (std::vector<int>{1, 10, 5, 6, 9, 8, 0, 16, 17, 18, 0, 32, 33, 34, 36, 0, 49,
                                      50, 52}));
}

TEST_F(MainWindowFixture, DisabledCommandItemIgnoresAProgramClick) {
    StartVirtual();
    QAction* n24 = Commands().ItemNamed("N24");
    n24->setEnabled(false);
    EXPECT_FALSE(CommandMenu::Click(n24));
    EXPECT_EQ(State().CommandCode, 1);
    EXPECT_TRUE(Text("LabelCommand").isEmpty());
}

struct TimerCase {
    const char* Name;
    int Interval;
    bool Running;
};

void PrintTo(const TimerCase& c, std::ostream* os) {
    *os << c.Name;
}

class Timers : public MainWindowFixture, public testing::WithParamInterface<TimerCase> {};

TEST_P(Timers, StartWithTheirIntervalAndState) {
    const TimerCase& c = GetParam();
    StartOnPorts({});
    struct Seen {
        std::string Name;
        int Interval;
        bool Running;
    };
    std::vector<Seen> timers;
    const engine::ExchangeEngine& engine = Engine();
    for (const engine::Timer* t : {&engine.TimerPrd(), &engine.TimerPriem(), &engine.TimerQuery(),
                                   &engine.TimerReadADC(), &engine.TimerPredelOn()}) {
        timers.push_back({t->Name(), t->Interval(), t->Active()});
    }
    for (const QTimer* t :
         {&Inside().TimerUSBFind(), &Inside().TimerTimeOutUSB(), &Inside().TimerMessageOff()}) {
        timers.push_back({t->objectName().toStdString(), t->interval(), t->isActive()});
    }
    const Seen* timer = nullptr;
    for (const Seen& t : timers) {
        timer = t.Name == c.Name ? &t : timer;
    }
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval, c.Interval);
    EXPECT_EQ(timer->Running, c.Running);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MainWindow, Timers, testing::Values(
    TimerCase{.Name = "TimerPrd",        .Interval = 1,     .Running = false},
    TimerCase{.Name = "TimerPriem",      .Interval = 1,     .Running = false},
    TimerCase{.Name = "TimerQuery",      .Interval = 0,     .Running = false},
    TimerCase{.Name = "TimerReadADC",    .Interval = 30,    .Running = false},
    TimerCase{.Name = "TimerPredelOn",   .Interval = 300,   .Running = true},
    TimerCase{.Name = "TimerUSBFind",    .Interval = 2000,  .Running = true},
    TimerCase{.Name = "TimerTimeOutUSB", .Interval = 1000,  .Running = false},
    TimerCase{.Name = "TimerMessageOff", .Interval = 10000, .Running = false}),
    CaseName<TimerCase>);
// clang-format on

TEST_F(MainWindowFixture, StartDrawsTheActivityMarkAndSelectsNoCommand) {
    StartVirtual();
    const std::string row2 = Inside().Display().RowText(2);
    EXPECT_EQ(row2.substr(row2.size() - std::string("ѕ").size()), "ѕ");
    EXPECT_EQ(State().CommandCode, 1);
    EXPECT_FALSE(Engine().Transmitting());
    EXPECT_FALSE(Commands().N12->isEnabled());
    EXPECT_TRUE(Find<QLabel>("StatusPanel2")->text().isEmpty());
    EXPECT_FALSE(Find<QWidget>("Panel1")->isVisibleTo(&Main()));
}

TEST_F(MainWindowFixture, FirstShowDrawsThePanelBeforeAnyActivation) {
    StartVirtual();
    const std::string blank(23, ' ');
    ASSERT_EQ(Inside().Display().RowText(1), blank);
    Main().show(); // activation comes later from the event loop, if the desktop gives it at all
    EXPECT_NE(Inside().Display().RowText(1), blank);
}

// A first run finds no settings and opens no port; the prompt still stands cell by cell from
// the left edge, each narrow cell 26 pixels on from the one before it, at its full height.
TEST_F(MainWindowFixture, FirstShowWithoutAPortLaysThePromptOutFromTheLeftEdge) {
    StartOnPorts({});
    ASSERT_EQ(Find<QLabel>("StatusPanel0")->text(), QStringLiteral("порт не выбран"));
    Main().show();
    Panel4& display = Inside().Display();
    EXPECT_EQ(display.RowText(1), "Введите Uвых         Э ");
    EXPECT_EQ(display.RowText(2).substr(0, 12), "+00.000 000V");
    for (int column = 1; column <= 12; ++column) {
        const TLCDScreen* cell = display.Cell(1, column);
        EXPECT_EQ(cell->geometry(), QRect((column - 1) * 26 + 1, 1, 26, 50)) << column;
        EXPECT_TRUE(cell->isVisibleTo(&display)) << column;
        EXPECT_TRUE(display.rect().contains(cell->geometry())) << column;
    }
}

TEST_F(MainWindowFixture, RelativeDisplayWritesTheLocalesDecimalSeparator) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    StartVirtual();
    QLocale::setDefault(saved);
    State().Mode = PanelMode::OutputOn;
    State().OutputDigits = "01000000";
    Inside().Keypad().Press(PanelKey::SB_Shift);
    Inside().Keypad().Press(PanelKey::SB_1); // shifted: the relative display against the set value
    ASSERT_EQ(State().VoltmeterPercent, 1);
    const std::string row2 = Inside().Display().RowText(2);
    EXPECT_NE(row2.find("0,00000%"), std::string::npos) << row2;
}

// Menu items that issue a command give the transmission at once, before any window they open.
struct MenuCommandCase {
    const char* Name;
    const char* Item;
    uint8_t Code;
    const char* ExpectedAnswer;
};

void PrintTo(const MenuCommandCase& c, std::ostream* os) {
    *os << c.Name;
}

class MenuCommands : public MainWindowFixture,
                     public testing::WithParamInterface<MenuCommandCase> {};

TEST_P(MenuCommands, IssueTheirCommandBeforeTheWindowOpens) {
    const MenuCommandCase& c = GetParam();
    StartVirtual();
    ASSERT_TRUE(CommandMenu::Click(Find(c.Item)));
    EXPECT_EQ(State().CommandCode, c.Code);
    EXPECT_EQ(CountGiven(c.Code), 1u);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(Text("LabelAnswer"), QString::fromUtf8(c.ExpectedAnswer));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MainWindow, MenuCommands, testing::Values(
    // The accessory item's read opens its window: tests/shell/form_vr410c_test.cpp.
    MenuCommandCase{.Name = "AboutItemRunsTheExchangeTest",         .Item = "N17",   .Code = 8,  .ExpectedAnswer = "Тест обмена - ОК"}),
    CaseName<MenuCommandCase>);
// clang-format on

// ---------------------------------------------------------------------------------------------
// The settings file at start.

struct StartCase {
    const char* Name;
    const char* Ini;
    bool Virtual;
    const char* CheckedPort; // the ticked item of the "COM" submenu
    int PortTag;
    const char* StatusText;
    bool Ready;
    uint8_t AddrDevice;
    uint8_t PCDevice;
    bool PacketsShown;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.Name;
}

class StartSettings : public MainWindowFixture, public testing::WithParamInterface<StartCase> {};

TEST_P(StartSettings, TakeTheSavedChoices) {
    const StartCase& c = GetParam();
    if (*c.Ini != '\0') {
        WriteIni(c.Ini);
    }
    if (c.Virtual) {
        StartVirtual();
    } else {
        StartOnPorts({1, 3, 12, 44});
    }
    QAction* port = Find(c.CheckedPort);
    EXPECT_TRUE(port->isChecked());
    EXPECT_EQ(port->data().toInt(), c.PortTag);
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(c.StatusText));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("RS232"));
    EXPECT_EQ(Commands().N11->isEnabled(), c.Ready);
    EXPECT_EQ(State().AddrDevice, c.AddrDevice);
    EXPECT_EQ(State().PCDevice, c.PCDevice);
    EXPECT_EQ(Find("N15")->isChecked(), c.PacketsShown);
    EXPECT_EQ(Find<QWidget>("Panel1")->isVisibleTo(&Main()), c.PacketsShown);
    EXPECT_EQ(Inside().FormInterface().isVisible(), c.PacketsShown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MainWindow, StartSettings, testing::Values(
    StartCase{.Name = "FirstRunHasNoPort",         .Ini = "",                                           .Virtual = false, .CheckedPort = "NoPort", .PortTag = 0,  .StatusText = "порт не выбран", .Ready = false, .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "SavedCom3",                 .Ini = "[Data]\nCOM=3\n",                            .Virtual = false, .CheckedPort = "COM3",   .PortTag = 3,  .StatusText = "COM3 - готов",   .Ready = true,  .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "SavedCom12UsesTheOtherItem", .Ini = "[Data]\nCOM=12\n",                          .Virtual = false, .CheckedPort = "COMx",   .PortTag = 12, .StatusText = "COM12 - готов",  .Ready = true,  .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "SavedCom300KeepsLow8Bits",  .Ini = "[Data]\nCOM=300\n",                          .Virtual = false, .CheckedPort = "COMx",   .PortTag = 44, .StatusText = "COM44 - готов",  .Ready = true,  .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "MissingPortIsAbsent",       .Ini = "[Data]\nCOM=2\n",                            .Virtual = false, .CheckedPort = "COM2",   .PortTag = 2,  .StatusText = "COM2 - отсутствует", .Ready = false, .AddrDevice = 1, .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "AddressesKeepLow8Bits",     .Ini = "[Data]\nAddrDevice=257\nPCDevice=5\nCOM=1\n", .Virtual = false, .CheckedPort = "COM1",  .PortTag = 1,  .StatusText = "COM1 - готов",   .Ready = true,  .AddrDevice = 1,  .PCDevice = 5, .PacketsShown = false},
    StartCase{.Name = "BadIntegerGivesDefault",    .Ini = "[Data]\nAddrDevice=x7\n",                    .Virtual = false, .CheckedPort = "NoPort", .PortTag = 0,  .StatusText = "порт не выбран", .Ready = false, .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "ShowPacketsShowsStripAndMonitor", .Ini = "[Data]\nShowPackets=7\n",              .Virtual = false, .CheckedPort = "NoPort", .PortTag = 0,  .StatusText = "порт не выбран", .Ready = false, .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = true},
    StartCase{.Name = "VirtualStartsOnCom1",       .Ini = "",                                           .Virtual = true,  .CheckedPort = "COM1",   .PortTag = 1,  .StatusText = "COM1 - готов",   .Ready = true,  .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false},
    StartCase{.Name = "VirtualKeepsASavedPort",    .Ini = "[Data]\nCOM=4\n",                            .Virtual = true,  .CheckedPort = "COM4",   .PortTag = 4,  .StatusText = "COM4 - готов",   .Ready = true,  .AddrDevice = 1,  .PCDevice = 0, .PacketsShown = false}),
    CaseName<StartCase>);
// clang-format on

// ---------------------------------------------------------------------------------------------
// The port choice.

struct PortCase {
    const char* Name;
    const char* Item;
    bool Refused; // the port is held by another program
    const char* StatusText;
    bool Ready;
};

void PrintTo(const PortCase& c, std::ostream* os) {
    *os << c.Name;
}

class PortChoice : public MainWindowFixture, public testing::WithParamInterface<PortCase> {};

TEST_P(PortChoice, ShowsTheStatusAndEnablesTheExchangeOnlyWhenReady) {
    const PortCase& c = GetParam();
    WriteIni("[Data]\nCOM=1\n");
    StartOnPorts({1, 2, 4});
    if (c.Refused) {
        PortsApi->RefuseOpen(PortsApi->PortDeviceName(4),
                             OpenError{.Kind = OpenFailure::AccessDenied, .Code = 5});
    }
    ASSERT_TRUE(CommandMenu::Click(Find(c.Item)));

    EXPECT_TRUE(Find(c.Item)->isChecked());
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(c.StatusText));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("RS232"));
    EXPECT_EQ(Commands().N11->isEnabled(), c.Ready);
    EXPECT_FALSE(Commands().N12->isEnabled());
    EXPECT_EQ(Find<QPushButton>("SB_Test")->isEnabled(), c.Ready);
    EXPECT_EQ(Find<QPushButton>("SB_QueryState")->isEnabled(), c.Ready);
    EXPECT_EQ(Inside().Keys().isEnabled(), c.Ready);
    EXPECT_EQ(Find("N3001")->isEnabled(), c.Ready);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MainWindow, PortChoice, testing::Values(
    PortCase{.Name = "OpenPortIsReady",     .Item = "COM2",   .Refused = false, .StatusText = "COM2 - готов",       .Ready = true},
    PortCase{.Name = "MissingPortIsAbsent", .Item = "COM3",   .Refused = false, .StatusText = "COM3 - отсутствует", .Ready = false},
    PortCase{.Name = "HeldPortIsBusy",      .Item = "COM4",   .Refused = true,  .StatusText = "COM4 - занят",       .Ready = false},
    PortCase{.Name = "NoPortGivesTheLinkUp", .Item = "NoPort", .Refused = false, .StatusText = "порт не выбран",     .Ready = false}),
    CaseName<PortCase>);
// clang-format on

TEST_F(MainWindowFixture, PortChoiceStopsARunningTransmission) {
    StartVirtual();
    Issue(8);
    ASSERT_TRUE(Engine().Transmitting());
    ASSERT_TRUE(CommandMenu::Click(Find("COM2")));
    EXPECT_FALSE(Engine().Transmitting());
    EXPECT_FALSE(Engine().TimerPrd().Active());
    EXPECT_TRUE(Commands().N11->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// The settings file at exit.

TEST_F(MainWindowFixture, ExitSavesTheChoicesInOrder) {
    WriteIni("[Data]\nAddrDevice=7\nPCDevice=3\nCOM=4\nShowPackets=1\n");
    StartVirtual();
    Main().show();
    ASSERT_TRUE(CommandMenu::Click(Find("N15"))); // packets hidden again
    ASSERT_TRUE(CommandMenu::Click(Find("COM2")));
    Main().move(40, 30);
    ASSERT_TRUE(Main().close());

    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("Form", "Top", -1), Main().geometry().top());
    EXPECT_EQ(ini.ReadInteger("Form", "Left", -1), Main().geometry().left());
    EXPECT_EQ(ini.ReadInteger("Data", "AddrDevice", -1), 7);
    EXPECT_EQ(ini.ReadInteger("Data", "PCDevice", -1), 3);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), 2);
    EXPECT_EQ(ini.ReadString("Data", "ShowPackets", "?"), "0");
    EXPECT_EQ(ini.ReadString("Data", "USB", "?"), "");
    EXPECT_TRUE(Facilities->Messages.empty());
    // The keys of the data section follow the order they are written in.
    const std::string text = ReadFile(IniPath);
    const size_t positions[] = {text.find("AddrDevice="), text.find("PCDevice="), text.find("COM="),
                                text.find("ShowPackets="), text.find("USB=")};
    for (size_t i = 1; i < std::size(positions); ++i) {
        EXPECT_LT(positions[i - 1], positions[i]) << text;
    }
}

TEST_F(MainWindowFixture, FirstExitWritesTheMonitorsStartSize) {
    StartVirtual();
    Main().show();
    ASSERT_TRUE(Main().close());
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("FormI", "Width", -1), 700);
    EXPECT_EQ(ini.ReadInteger("FormI", "Height", -1), 69);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), 1);
}

TEST_F(MainWindowFixture, ExitWithoutWritableSettingsTellsOnceAndStillCloses) {
    IniPath = (Dir / "missing" / "VR410.ini").string();
    StartVirtual();
    Main().show();
    EXPECT_TRUE(Main().close());
    EXPECT_FALSE(Main().isVisible());
    ASSERT_EQ(Facilities->Messages.size(), 1u);
    EXPECT_EQ(Facilities->Messages[0].Text, "Невозможно сохранение настроек в файле VR410.ini");
    EXPECT_EQ(Facilities->Messages[0].Kind, MessageKind::Error);
}

TEST_F(MainWindowFixture, ExitGivesTheSerialPortUp) {
    StartVirtual();
    Main().show();
    ASSERT_EQ(Inside().PortStatus(), "готов");
    ASSERT_TRUE(Main().close());
    EXPECT_NE(Inside().PortStatus(), "готов");
}

// ---------------------------------------------------------------------------------------------
// The packet strip and the monitor window.

TEST_F(MainWindowFixture, ShowPacketsTogglesStripAndMonitorBelowTheWindow) {
    WriteIni("[FormI]\nWidth=640\nHeight=90\n");
    StartVirtual();
    Main().show();
    QAction* n15 = Find("N15");

    ASSERT_TRUE(CommandMenu::Click(n15));
    EXPECT_TRUE(n15->isChecked());
    EXPECT_TRUE(Find<QWidget>("Panel1")->isVisible());
    TFormInterface& monitor = Inside().FormInterface();
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_EQ(monitor.geometry().size(), QSize(640, 90));
    EXPECT_EQ(monitor.frameGeometry().left(), Main().frameGeometry().left());
    EXPECT_EQ(monitor.frameGeometry().top(), Main().frameGeometry().bottom() + 1);

    ASSERT_TRUE(CommandMenu::Click(n15));
    EXPECT_FALSE(Find<QWidget>("Panel1")->isVisible());
    EXPECT_FALSE(monitor.isVisible());
}

TEST_F(MainWindowFixture, MonitorLinesAreKeptWhileHidden) {
    StartVirtual();
    ASSERT_FALSE(Inside().FormInterface().isVisible());
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1));
    const QString sent = Inside().FormInterface().SendLine();
    const QString received = Inside().FormInterface().ReceiveLine();
    EXPECT_TRUE(sent.startsWith(QStringLiteral("01 03 44 00 08 "))) << sent.toStdString();
    EXPECT_EQ(sent.size(), 6 * 3);
    EXPECT_TRUE(received.startsWith(QStringLiteral("00 03 "))) << received.toStdString();
}

} // namespace
} // namespace vr410::test
