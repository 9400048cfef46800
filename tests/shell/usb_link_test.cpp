// The USB link in the main window over the simulated adapters of the virtual line: the "USB"
// submenu and its ticks shared with the COM items, the loss and return of the adapter in use,
// a refused open and the scan timer firing inside its box, the device remembered across runs,
// a description holding "&", and an adapter pulled out in the middle of an exchange. The scan
// timer is stopped and ticked by hand.
#include "main_window_fixture.h"

#include "platform/ftdi_simulated.h"

#include <QActionGroup>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace vr410::test {
namespace {

constexpr const char* First = "USB-RS485 (№ VR000001)";
constexpr const char* Second = "USB-RS485 (№ VR000002)";

// Message boxes recorded; WhileShown runs inside a box, as the window's timers do inside a
// modal box. MaxDepth tells whether a box was ever shown inside another.
class BoxFacilities : public RecordingSystemFacilities {
  public:
    std::function<void()> WhileShown;
    int Depth = 0;
    int MaxDepth = 0;

    void ShowMessage(const std::string& text, MessageKind kind) override {
        RecordingSystemFacilities::ShowMessage(text, kind);
        ++Depth;
        MaxDepth = std::max(MaxDepth, Depth);
        if (WhileShown) {
            WhileShown();
        }
        --Depth;
    }
};

class UsbLinkWindow : public MainWindowFixture {
  protected:
    void StartUsb(std::function<void(SimulatedFtdiApi&)> moreAdapters = {}) {
        LineBackend line = MakeVirtualLine();
        Adapters = line.SimulatedUsb;
        Serial = line.Simulated;
        if (moreAdapters) {
            moreAdapters(*Adapters);
        }
        auto facilities = std::make_unique<BoxFacilities>();
        Boxes = facilities.get();
        Start(std::move(line), std::move(facilities));
        Inside().TimerUSBFind().stop(); // ticked by hand
        Main().show();
    }

    void Tick() { Inside().Usb().TimerUSBFindTimer(); }
    QAction* Item(const std::string& caption) { return Inside().Usb().Item(caption); }
    // An item of the link menu by its caption (a device) or its name (NoPort, COM1, ...).
    QAction* LinkItem(const std::string& captionOrName) {
        if (QAction* device = Item(captionOrName)) {
            return device;
        }
        return Find(captionOrName.c_str());
    }
    QStringList ItemTexts() {
        QStringList texts;
        for (const QAction* item : Find("USB1")->menu()->actions()) {
            texts << item->text();
        }
        return texts;
    }
    // The ticked items of radio group 1 (COM and USB together).
    std::vector<QAction*> Ticked() {
        std::vector<QAction*> ticked;
        for (QAction* item : Find("NoPort")->actionGroup()->actions()) {
            if (item->isChecked()) {
                ticked.push_back(item);
            }
        }
        return ticked;
    }
    bool AdapterOpen(const std::string& serial) {
        for (const SimulatedAdapter& adapter : Adapters->Adapters()) {
            if (adapter.SerialNumber == serial) {
                return adapter.Open;
            }
        }
        return false;
    }
    bool ComOpen(int number) {
        return Serial->LineState(Serial->PortDeviceName(number)).has_value();
    }
    size_t Opens() {
        return std::count_if(
            Adapters->Log().begin(), Adapters->Log().end(),
            [](const FtdiCallRecord& r) { return r.Call == FtdiCall::OpenBySerialNumber; });
    }
    bool Exchanges() {
        Issue(8);
        return WaitForAnswers(1) && LastHandled()->Accepted;
    }

    SimulatedFtdiApi* Adapters = nullptr;
    SimulatedSerialApi* Serial = nullptr;
    BoxFacilities* Boxes = nullptr;
};

// ---------------------------------------------------------------------------------------------
// One link at a time across the COM and USB items.

struct ChoiceCase {
    const char* Name;
    std::vector<std::string> Clicks; // the virtual run starts on COM1
    const char* Ticked;
    const char* Panel0;
    const char* Panel1;
    int ComOpen;             // 0: no COM port open
    const char* AdapterOpen; // nullptr: none
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const ChoiceCase ChoiceCases[] = {
    {.Name = "UsbClosesTheComPort", .Clicks = {First},
     .Ticked = First, .Panel0 = First, .Panel1 = "USB", .ComOpen = 0, .AdapterOpen = "VR000001"},
    {.Name = "TheOtherAdapterClosesTheFirst", .Clicks = {First, Second},
     .Ticked = Second, .Panel0 = Second, .Panel1 = "USB", .ComOpen = 0, .AdapterOpen = "VR000002"},
    {.Name = "AComPortClosesTheAdapter", .Clicks = {First, "COM2"},
     .Ticked = "COM2", .Panel0 = "COM2 - готов", .Panel1 = "RS232", .ComOpen = 2, .AdapterOpen = nullptr},
    {.Name = "NoPortClosesTheAdapter", .Clicks = {Second, "NoPort"},
     .Ticked = "NoPort", .Panel0 = "порт не выбран", .Panel1 = "RS232", .ComOpen = 0, .AdapterOpen = nullptr},
};
// clang-format on

class UsbChoice : public UsbLinkWindow, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(UsbChoice, TicksOneItemAndLeavesOneLinkOpen) {
    const ChoiceCase& c = GetParam();
    StartUsb();
    ASSERT_TRUE(ComOpen(1));
    EXPECT_EQ(ItemTexts(), (QStringList{First, Second}));
    for (const std::string& click : c.Clicks) {
        ASSERT_TRUE(CommandMenu::Click(LinkItem(click))) << click;
    }
    EXPECT_EQ(Ticked(), std::vector<QAction*>{LinkItem(c.Ticked)});
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(c.Panel0));
    EXPECT_EQ(Text("StatusPanel1"), QString::fromUtf8(c.Panel1));
    for (int port = 1; port <= 2; ++port) {
        EXPECT_EQ(ComOpen(port), port == c.ComOpen) << "COM" << port;
    }
    for (const char* serial : {"VR000001", "VR000002"}) {
        EXPECT_EQ(AdapterOpen(serial),
                  c.AdapterOpen != nullptr && serial == std::string(c.AdapterOpen))
            << serial;
    }
    if (c.ComOpen != 0 || c.AdapterOpen != nullptr) {
        EXPECT_TRUE(Exchanges()) << "the engine talks through the link chosen";
    } else {
        EXPECT_FALSE(Commands().N11->isEnabled());
    }
    EXPECT_TRUE(Boxes->Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(UsbLinkWindow, UsbChoice, ::testing::ValuesIn(ChoiceCases),
                         [](const auto& row) { return std::string(row.param.Name); });

// ---------------------------------------------------------------------------------------------
// Loss and return.

TEST_F(UsbLinkWindow, UnpluggedAdapterFallsBackToNoPortAndIsTakenUpOnItsReturn) {
    StartUsb();
    ASSERT_TRUE(CommandMenu::Click(Item(First)));

    Adapters->SetPlugged("VR000001", false);
    Tick();
    EXPECT_TRUE(Inside().Notice().isVisible());
    EXPECT_EQ(Inside().Notice().Label1->text(),
              QStringLiteral("Устройство USB-RS485 (№ VR000001) отключено!"));
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Find("NoPort")});
    EXPECT_EQ(ItemTexts(), QStringList{Second});
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("порт не выбран"));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("RS232"));
    EXPECT_FALSE(Commands().N11->isEnabled());

    Inside().Notice().close();
    Tick();
    EXPECT_FALSE(Inside().Notice().isVisible()) << "one notice for one loss";

    Adapters->SetPlugged("VR000001", true);
    Tick();
    EXPECT_EQ(ItemTexts(), (QStringList{Second, First}));
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(First)});
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(First));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("USB"));
    EXPECT_TRUE(Exchanges());
    EXPECT_TRUE(Boxes->Messages.empty());
}

TEST_F(UsbLinkWindow, NoAdaptersEmptyTheSubmenuAndDropTheLinkInUse) {
    StartUsb();
    ASSERT_TRUE(CommandMenu::Click(Item(Second)));
    Adapters->SetPlugged("VR000001", false);
    Adapters->SetPlugged("VR000002", false);
    Tick();
    EXPECT_TRUE(ItemTexts().isEmpty());
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Find("NoPort")});
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("порт не выбран"));
    EXPECT_FALSE(Commands().N11->isEnabled());
}

TEST_F(UsbLinkWindow, AdapterPulledOutDuringAnExchangeShowsOneNoticeAndEndsItWithoutARetry) {
    StartUsb();
    ASSERT_TRUE(CommandMenu::Click(Item(First)));
    // Pulled out while the send lets the window's messages through, after the address byte.
    Engine().Events().Subscribe([this](const engine::EngineEvent& event) {
        const auto* changed = std::get_if<engine::StateChanged>(&event);
        if (changed != nullptr && changed->To == engine::CycleState::Exchanging) {
            QTimer::singleShot(0, [this] { Adapters->SetPlugged("VR000001", false); });
        }
    });
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_FALSE(LastHandled()->Accepted);
    EXPECT_EQ(Count(CycleEvent::Kind::RequestSent), 1u) << "no second attempt";
    EXPECT_FALSE(Engine().Transmitting());
    EXPECT_TRUE(Inside().Notice().isVisible());
    EXPECT_EQ(Inside().Notice().Label1->text(),
              QStringLiteral("Устройство USB-RS485 (№ VR000001) отключено!"));
    EXPECT_FALSE(Commands().N11->isEnabled());

    Inside().Notice().close();
    Tick();
    EXPECT_FALSE(Inside().Notice().isVisible()) << "the exchange told it already";
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Find("NoPort")});
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("порт не выбран"));
}

// ---------------------------------------------------------------------------------------------
// A device that cannot be opened.

TEST_F(UsbLinkWindow, RefusedAdapterIsTriedByEachScanOneBoxAtATimeUntilItOpens) {
    StartUsb();
    Adapters->FailCall(FtdiCall::OpenBySerialNumber, FT_DEVICE_NOT_OPENED);
    QAction* clicked = Item(First);
    const size_t opensBefore = Opens();
    // The scan timer and the search item inside the box of the refused open.
    bool itemKeptInsideTheBox = true;
    Boxes->WhileShown = [&] {
        QAction* handled = Item(First);
        Tick();
        CommandMenu::Click(Find("USBFind"));
        itemKeptInsideTheBox = itemKeptInsideTheBox && Item(First) == handled && handled != nullptr;
    };
    ASSERT_TRUE(CommandMenu::Click(clicked));
    EXPECT_TRUE(itemKeptInsideTheBox);
    EXPECT_EQ(Opens(), opensBefore + 1) << "no second open from inside the box";
    ASSERT_EQ(Boxes->Messages.size(), 1u);
    EXPECT_EQ(Boxes->Messages[0].Text, "Немогу открыть устройство USB-RS485 (№ VR000001)");
    EXPECT_EQ(ItemTexts(), QStringList{Second}) << "taken out of the menu";
    EXPECT_TRUE(Ticked().empty());
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("порт не выбран"));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("RS232"));
    EXPECT_FALSE(ComOpen(1));

    Tick();
    Tick();
    EXPECT_EQ(Boxes->Messages.size(), 3u) << "each scan rebuilds the item and tries again";
    EXPECT_EQ(Boxes->MaxDepth, 1);

    Adapters->FailCall(FtdiCall::OpenBySerialNumber, FT_OK);
    Tick();
    EXPECT_EQ(Boxes->Messages.size(), 3u);
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(First)});
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(First));
    EXPECT_TRUE(Exchanges());
}

// ---------------------------------------------------------------------------------------------
// The device across runs, and a description holding "&".

TEST_F(UsbLinkWindow, SavedAdapterIsTheLinkAfterTheFirstScan) {
    WriteIni("[Data]\nCOM=3\nUSB=USB-RS485 (№ VR000002)\n");
    StartUsb();
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(Second)});
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(Second));
    EXPECT_EQ(Text("StatusPanel1"), QStringLiteral("USB"));
    EXPECT_FALSE(ComOpen(3));
    EXPECT_TRUE(Exchanges());
}

TEST_F(UsbLinkWindow, CancellingTheOtherPortPutsTheTickBackOnTheAdapterTheScanTookUp) {
    WriteIni("[Data]\nUSB=USB-RS485 (№ VR000002)\n");
    StartUsb();
    QTimer::singleShot(0, &Main(), [this] {
        auto* dialog = Main().findChild<QDialog*>(QStringLiteral("FormCOM"));
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    ASSERT_TRUE(CommandMenu::Click(Find("COMx")));
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(Second)});
    EXPECT_EQ(Text("StatusPanel0"), QString::fromUtf8(Second));
}

struct ExitCase {
    const char* Name;
    std::vector<std::string> Clicks;
    int Com;
    const char* Usb;
};

void PrintTo(const ExitCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const ExitCase ExitCases[] = {
    {.Name = "OnAnAdapter",         .Clicks = {Second},         .Com = 0, .Usb = Second},
    {.Name = "OnAComPort",          .Clicks = {Second, "COM2"}, .Com = 2, .Usb = ""},
    {.Name = "AfterTheAdapterLeft", .Clicks = {Second, "lose"}, .Com = 0, .Usb = ""},
};
// clang-format on

class UsbExit : public UsbLinkWindow, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(UsbExit, SavesTheComNumberAndTheActiveAdapter) {
    const ExitCase& c = GetParam();
    StartUsb();
    for (const std::string& click : c.Clicks) {
        if (click == "lose") {
            Adapters->SetPlugged("VR000002", false);
            Tick();
        } else {
            ASSERT_TRUE(CommandMenu::Click(LinkItem(click))) << click;
        }
    }
    ASSERT_TRUE(Main().close());
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), c.Com);
    EXPECT_EQ(ini.ReadString("Data", "USB", "?"), c.Usb);
    EXPECT_FALSE(AdapterOpen("VR000002"));
}

INSTANTIATE_TEST_SUITE_P(UsbLinkWindow, UsbExit, ::testing::ValuesIn(ExitCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(UsbLinkWindow, AmpersandInADescriptionShowsAsItIsAndTheAdapterIsTakenUpAgain) {
    const auto addAmp = [](SimulatedFtdiApi& api) { api.AddAdapter("RS485 & Co", "AMP00001"); };
    const std::string caption = "RS485 & Co (№ AMP00001)";
    StartUsb(addAmp);
    QAction* item = Item(caption);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("RS485 && Co (№ AMP00001)")) << "no hotkey mark";
    EXPECT_EQ(item->iconText(), QString::fromStdString(caption));

    ASSERT_TRUE(CommandMenu::Click(item));
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("RS485  Co (№ AMP00001)"));
    Adapters->SetPlugged("AMP00001", false);
    Tick();
    Adapters->SetPlugged("AMP00001", true);
    Tick();
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(caption)}) << "reopened by the scan";
    EXPECT_TRUE(AdapterOpen("AMP00001"));

    ASSERT_TRUE(Main().close());
    EXPECT_EQ(ProfileFile(IniPath).ReadString("Data", "USB", "?"), "RS485  Co (№ AMP00001)");
    Window.reset();
    StartUsb(addAmp);
    EXPECT_EQ(Ticked(), std::vector<QAction*>{Item(caption)}) << "and at the next start";
}

// ---------------------------------------------------------------------------------------------
// The simulated line and adapters log every call for the tests; the window drops the logs as it
// goes, so that a run left on the virtual line for hours does not grow them.

TEST_F(UsbLinkWindow, SimulatedLogsHoldNoMoreThanTheLastScanOrExchange) {
    StartUsb();
    ASSERT_TRUE(CommandMenu::Click(Item(First)));
    const auto calls = [&](FtdiCall call) {
        return std::count_if(Adapters->Log().begin(), Adapters->Log().end(),
                             [call](const FtdiCallRecord& r) { return r.Call == call; });
    };

    // The scan timer on its own, as in an idle window.
    int ticks = 0;
    QObject::connect(&Inside().TimerUSBFind(), &QTimer::timeout, [&] { ++ticks; });
    Inside().TimerUSBFind().start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 10; }, 5000));
    Inside().TimerUSBFind().stop();
    EXPECT_LE(calls(FtdiCall::DeviceCount), 1) << "at most the last scan's listing";

    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Exchanges());
    }
    // A request goes out in two writes: the address byte, then the body.
    EXPECT_LE(calls(FtdiCall::Write), 2) << "at most the last exchange's request";
    EXPECT_TRUE(Serial->Log().empty()) << "the serial line's log goes after every exchange";
}

} // namespace
} // namespace vr410::test
