// The link choice: the status texts and the status bar's captions, COM ports and No Port over
// the simulated line, a lost link, and the USB items following the adapters a scan reports,
// with a fake USB driver.
#include "links/link_selection.h"

#include "link_choice_fixture.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace vr410 {

void PrintTo(const LinkStatus& status, std::ostream* out) {
    *out << static_cast<int>(status.What) << " \"" << LinkStatusText(status) << "\"";
}

namespace {

using test::BoxFacilities;

// The USB driver as the selection sees it: the serial numbers in Openable open, every call is
// recorded.
class FakeUsbDevice : public UsbDeviceLink {
  public:
    std::set<std::string> Openable;
    std::vector<std::string> Calls;
    bool Lost = false;

    void SendPacket(const PacketRecord&) override { Calls.push_back("send"); }
    uint32_t ReceivePacket(PacketRecord& rx) override {
        rx = PacketRecord{};
        return 0;
    }
    bool LinkLost() const override { return Lost; }
    void ResetDevice() override { Calls.push_back("reset"); }
    bool OpenBySerialNumber(const std::string& serialNumber) override {
        Calls.push_back("open " + serialNumber);
        Open = Openable.contains(serialNumber);
        return Open;
    }
    void SetUpLine() override { Calls.push_back("set up"); }
    void Close() override {
        Calls.push_back("close");
        Open = false;
        Lost = false;
    }
    bool IsOpen() const override { return Open; }
    void SetErrorReport(bool enabled) override {
        Calls.push_back(enabled ? "report on" : "report off");
    }
    void DeviceVanished() override { Calls.push_back("vanished"); }

    bool Open = false;
};

const UsbDeviceId Abc{.Description = "ABC", .SerialNumber = "123"};
const UsbDeviceId Xyz{.Description = "XYZ", .SerialNumber = "777"};
const UsbDeviceId Amp{.Description = "A&B", .SerialNumber = "55"};

// The serial driver on the simulated line with COM3 present, the fake USB driver with ABC,
// XYZ and A&B openable, and the selection's hooks counted.
struct LinkRig {
    LinkRig() : Api(Bus), Com(Api, System), Selection(Com, System, &Usb) {
        Api.AddPort("COM3");
        Usb.Openable = {Abc.SerialNumber, Xyz.SerialNumber, Amp.SerialNumber};
        Selection.OnLinkGivenUp([this] {
            ++GivenUp;
            UsbLinkWhenGivenUp = Selection.ActiveUsbLink();
        });
        Selection.OnLinkChanged([this] { ++LinkChanges; });
        Selection.OnUsbItemsChanged([this] { ++ItemChanges; });
    }

    std::vector<std::string> Captions() const { return test::UsbCaptions(Selection); }
    bool ComOpen(const std::string& name) const { return Api.LineState(name).has_value(); }

    sim::VirtualBus Bus;
    SimulatedSerialApi Api;
    BoxFacilities System;
    CommPort Com;
    FakeUsbDevice Usb;
    LinkSelection Selection;
    int GivenUp = 0;
    UsbLink* UsbLinkWhenGivenUp = nullptr;
    int LinkChanges = 0;
    int ItemChanges = 0;
};

struct StatusTextCase {
    const char* Name;
    LinkStatus Status;
    const char* Text;
    bool Ready;
};

void PrintTo(const StatusTextCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const StatusTextCase StatusTextCases[] = {
    {.Name = "NothingTriedYet", .Status = LinkStatus::Empty,              .Text = "",               .Ready = false},
    {.Name = "NoPortChosen",    .Status = LinkStatus::NotSelected,        .Text = "порт не выбран", .Ready = false},
    {.Name = "Ready",           .Status = LinkStatus::Ready,              .Text = "готов",          .Ready = true},
    {.Name = "Absent",          .Status = LinkStatus::Absent,             .Text = "отсутствует",    .Ready = false},
    {.Name = "Busy",            .Status = LinkStatus::Busy,               .Text = "занят",          .Ready = false},
    {.Name = "OsErrorCode",     .Status = LinkStatus::FromOsError(31),    .Text = "Error=31",       .Ready = false},
    {.Name = "OsErrorNegative", .Status = LinkStatus::FromOsError(-5),    .Text = "Error=-5",       .Ready = false},
    {.Name = "NotConfigured",   .Status = LinkStatus::NotConfigured,      .Text = "ошибка",         .Ready = false},
    {.Name = "NoStickParity",   .Status = LinkStatus::NoMarkSpace,        .Text = "нет MARK/SPACE", .Ready = false},
    {.Name = "UsbNotOpened",    .Status = LinkStatus::UsbNotOpened,       .Text = "ошибка",         .Ready = false},
};
// clang-format on

class StatusText : public ::testing::TestWithParam<StatusTextCase> {};

TEST_P(StatusText, ComesFromTheOneTable) {
    const StatusTextCase& c = GetParam();
    EXPECT_EQ(LinkStatusText(c.Status), c.Text);
    EXPECT_EQ(c.Status.IsReady(), c.Ready);
}

INSTANTIATE_TEST_SUITE_P(LinkStatus, StatusText, ::testing::ValuesIn(StatusTextCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(LinkStatus, OsErrorsDifferByTheirCode) {
    EXPECT_EQ(LinkStatus::FromOsError(31), LinkStatus::FromOsError(31));
    EXPECT_NE(LinkStatus::FromOsError(31), LinkStatus::FromOsError(32));
    EXPECT_NE(LinkStatus::FromOsError(31), LinkStatus::OsError);
}

struct CaptionCase {
    const char* Name;
    void (*Choose)(LinkRig&);
    LinkStatus Status;
    const char* Caption; // status bar panel 0
    const char* Kind;    // status bar panel 1
    uint8_t ComNumber;
};

void PrintTo(const CaptionCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const CaptionCase CaptionCases[] = {
    {.Name = "NothingChosenYet", .Choose = [](LinkRig&) {},
     .Status = LinkStatus::NotSelected, .Caption = "порт не выбран", .Kind = "RS232", .ComNumber = 0},
    {.Name = "PortOpened", .Choose = [](LinkRig& r) { r.Selection.SelectComPort(3); },
     .Status = LinkStatus::Ready, .Caption = "COM3 - готов", .Kind = "RS232", .ComNumber = 3},
    {.Name = "MissingPort", .Choose = [](LinkRig& r) { r.Selection.SelectComPort(4); },
     .Status = LinkStatus::Absent, .Caption = "COM4 - отсутствует", .Kind = "RS232", .ComNumber = 4},
    {.Name = "PortHeldElsewhere",
     .Choose = [](LinkRig& r) { r.Api.RefuseOpen("COM3", {.Kind = OpenFailure::AccessDenied, .Code = 5}); r.Selection.SelectComPort(3); },
     .Status = LinkStatus::Busy, .Caption = "COM3 - занят", .Kind = "RS232", .ComNumber = 3},
    {.Name = "OtherRefusal",
     .Choose = [](LinkRig& r) { r.Api.RefuseOpen("COM3", {.Kind = OpenFailure::Other, .Code = 31}); r.Selection.SelectComPort(3); },
     .Status = LinkStatus::FromOsError(31), .Caption = "COM3 - Error=31", .Kind = "RS232", .ComNumber = 3},
    {.Name = "PortNotConfigured",
     .Choose = [](LinkRig& r) { r.Api.FailCall(SerialCall::SetupQueues); r.Selection.SelectComPort(3); },
     .Status = LinkStatus::NotConfigured, .Caption = "COM3 - ошибка", .Kind = "RS232", .ComNumber = 3},
    {.Name = "PortWithoutStickParity",
     .Choose = [](LinkRig& r) { r.Api.SetDefaults({.StickParity = false}); r.Selection.SelectComPort(3); },
     .Status = LinkStatus::NoMarkSpace, .Caption = "COM3 - нет MARK/SPACE", .Kind = "RS232", .ComNumber = 3},
    {.Name = "NumberAbove255KeepsItsLowByte",
     .Choose = [](LinkRig& r) { r.Api.AddPort("\\\\.\\COM44"); r.Selection.SelectComPort(300); },
     .Status = LinkStatus::Ready, .Caption = "COM44 - готов", .Kind = "RS232", .ComNumber = 44},
    {.Name = "NoPortAfterAPort",
     .Choose = [](LinkRig& r) { r.Selection.SelectComPort(3); r.Selection.SelectNoPort(); },
     .Status = LinkStatus::NotSelected, .Caption = "порт не выбран", .Kind = "RS232", .ComNumber = 0},
    {.Name = "UsbDeviceOpened",
     .Choose = [](LinkRig& r) { r.Selection.UsbScanned({Abc}); r.Selection.SelectUsbDevice("ABC (№ 123)"); },
     .Status = LinkStatus::Ready, .Caption = "ABC (№ 123)", .Kind = "USB", .ComNumber = 0},
    {.Name = "UsbCaptionLosesItsHotkeyMark",
     .Choose = [](LinkRig& r) { r.Selection.UsbScanned({Amp}); r.Selection.SelectUsbDevice("A&B (№ 55)"); },
     .Status = LinkStatus::Ready, .Caption = "AB (№ 55)", .Kind = "USB", .ComNumber = 0},
    {.Name = "UsbDeviceRefused",
     .Choose = [](LinkRig& r) { r.Usb.Openable.clear(); r.Selection.UsbScanned({Abc}); r.Selection.SelectUsbDevice("ABC (№ 123)"); },
     .Status = LinkStatus::UsbNotOpened, .Caption = "порт не выбран", .Kind = "RS232", .ComNumber = 0},
    {.Name = "UsbDeviceLost",
     .Choose = [](LinkRig& r) { r.Selection.UsbScanned({Abc}); r.Selection.SelectUsbDevice("ABC (№ 123)"); r.Usb.Lost = true; },
     .Status = LinkStatus::Absent, .Caption = "ABC (№ 123)", .Kind = "USB", .ComNumber = 0},
};
// clang-format on

class StatusBar : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(StatusBar, ShowsTheLinkAndAllowsTheExchangeOnlyWhenReady) {
    const CaptionCase& c = GetParam();
    LinkRig rig;
    c.Choose(rig);
    EXPECT_EQ(rig.Selection.Status(), c.Status);
    EXPECT_EQ(rig.Selection.StatusCaption(), c.Caption);
    EXPECT_STREQ(rig.Selection.KindCaption(), c.Kind);
    EXPECT_EQ(rig.Selection.ComNumber(), c.ComNumber);
    EXPECT_EQ(rig.Selection.ExchangeAllowed(), c.Status == LinkStatus::Ready);
}

INSTANTIATE_TEST_SUITE_P(LinkSelection, StatusBar, ::testing::ValuesIn(CaptionCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(LinkSelection, NoPortIsNoLinkEvenWhereAPortZeroExists) {
    LinkRig rig;
    rig.Api.AddPort("COM0"); // a port named so, which the serial driver then opens
    rig.Selection.SelectNoPort();
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::None);
    EXPECT_FALSE(rig.Selection.ExchangeAllowed());
    EXPECT_EQ(rig.Selection.StatusCaption(), "порт не выбран");
}

TEST(LinkSelection, AnotherPortClosesTheFirstAndTheExchangeFollowsTheChoice) {
    LinkRig rig;
    ASSERT_TRUE(rig.Selection.SelectComPort(3));
    EXPECT_EQ(&rig.Selection.ActiveLink(), &rig.Com);
    EXPECT_EQ(rig.Selection.ActiveUsbLink(), nullptr);
    EXPECT_TRUE(rig.ComOpen("COM3"));

    rig.Api.AddPort("COM5");
    rig.Selection.SelectComPort(5);
    EXPECT_FALSE(rig.ComOpen("COM3"));
    EXPECT_TRUE(rig.ComOpen("COM5"));
    EXPECT_EQ(rig.Selection.StatusCaption(), "COM5 - готов");

    rig.Selection.SelectNoPort();
    EXPECT_FALSE(rig.ComOpen("COM5"));
    EXPECT_EQ(rig.GivenUp, 3);
    EXPECT_EQ(rig.LinkChanges, 3);
}

TEST(LinkSelection, UsbChoiceClosesTheComPortAndAPortChoiceClosesTheDevice) {
    LinkRig rig;
    rig.Selection.SelectComPort(3);
    rig.Selection.UsbScanned({Abc});
    rig.Usb.Calls.clear();

    ASSERT_TRUE(rig.Selection.SelectUsbDevice("ABC (№ 123)"));
    EXPECT_FALSE(rig.ComOpen("COM3"));
    EXPECT_EQ(rig.Selection.ComNumber(), 0);
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
    EXPECT_EQ(&rig.Selection.ActiveLink(), &rig.Usb);
    EXPECT_EQ(rig.Selection.ActiveUsbLink(), &rig.Usb);
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "ABC (№ 123)");
    ASSERT_TRUE(rig.Selection.ActiveUsbItem());
    EXPECT_EQ(rig.Selection.ActiveUsbItem()->Device, Abc);
    // The driver's notice is off while the open may fail, and the line is set up once open.
    EXPECT_EQ(rig.Usb.Calls,
              (std::vector<std::string>{"report off", "open 123", "report on", "set up"}));

    rig.Usb.Calls.clear();
    rig.Selection.SelectComPort(3);
    EXPECT_EQ(rig.Usb.Calls, std::vector<std::string>{"close"});
    EXPECT_EQ(rig.UsbLinkWhenGivenUp, nullptr)
        << "a stop of the transmission must not reset the closed adapter";
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "");
    EXPECT_FALSE(rig.Selection.ActiveUsbItem());
    EXPECT_TRUE(rig.ComOpen("COM3"));
    EXPECT_EQ(rig.Selection.StatusCaption(), "COM3 - готов");
}

TEST(LinkSelection, TheOtherAdapterClosesTheFirst) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc, Xyz});
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"ABC (№ 123)", "XYZ (№ 777)"}));
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    rig.Usb.Calls.clear();
    ASSERT_TRUE(rig.Selection.SelectUsbDevice("XYZ (№ 777)"));
    EXPECT_EQ(rig.Usb.Calls,
              (std::vector<std::string>{"close", "report off", "open 777", "report on", "set up"}));
    EXPECT_EQ(rig.Selection.StatusCaption(), "XYZ (№ 777)");
}

TEST(LinkSelection, AnItemNoLongerInTheMenuIsNotOpened) {
    LinkRig rig;
    EXPECT_FALSE(rig.Selection.SelectUsbDevice("ABC (№ 123)"));
    EXPECT_TRUE(rig.Usb.Calls.empty());
    LinkSelection withoutUsb(rig.Com, rig.System);
    withoutUsb.UsbScanned({Abc});
    EXPECT_TRUE(withoutUsb.UsbItems().empty());
    EXPECT_FALSE(withoutUsb.SelectUsbDevice("ABC (№ 123)"));
}

TEST(LinkSelection, LostComPortReadsAbsentUntilChosenAgain) {
    LinkRig rig;
    rig.Selection.SelectComPort(3);
    rig.Api.RemovePort("COM3");
    PacketRecord request;
    request.Head[0] = 1;
    request.HeadLength = 1;
    request.Body[0] = 3;
    request.BodyLength = 1;
    rig.Selection.ActiveLink().SendPacket(request);

    ASSERT_TRUE(rig.Selection.ActiveLink().LinkLost());
    EXPECT_EQ(rig.Selection.Status(), LinkStatus::Absent);
    EXPECT_EQ(rig.Selection.StatusCaption(), "COM3 - отсутствует");
    EXPECT_FALSE(rig.Selection.ExchangeAllowed());

    rig.Api.AddPort("COM3");
    rig.Selection.SelectComPort(3);
    EXPECT_FALSE(rig.Selection.ActiveLink().LinkLost());
    EXPECT_TRUE(rig.Selection.ExchangeAllowed());
}

TEST(UsbScan, AddsOneItemPerDeviceAndMatchesWithoutHotkeyMarksOrCase) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc, Amp});
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"ABC (№ 123)", "A&B (№ 55)"}));
    EXPECT_EQ(rig.ItemChanges, 1);
    EXPECT_TRUE(rig.Usb.Calls.empty()) << "nothing remembered, nothing opened";

    rig.Selection.UsbScanned({{.Description = "abc", .SerialNumber = "123"},
                              {.Description = "AB", .SerialNumber = "55"}});
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"ABC (№ 123)", "A&B (№ 55)"}));
    EXPECT_EQ(rig.ItemChanges, 1) << "a scan that changes nothing says nothing";
    EXPECT_EQ(rig.LinkChanges, 0);
}

TEST(UsbScan, OpensTheRememberedDevice) {
    LinkRig rig;
    rig.Selection.SelectComPort(3);
    rig.Selection.RememberUsbDevice("XYZ (№ 777)");
    rig.Selection.UsbScanned({Abc, Xyz});
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
    EXPECT_EQ(rig.Selection.StatusCaption(), "XYZ (№ 777)");
    EXPECT_FALSE(rig.ComOpen("COM3"));
}

TEST(UsbScan, DropsTheVanishedDeviceInUseAndTakesItUpOnItsReturn) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc, Xyz});
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    rig.Usb.Calls.clear();

    rig.Selection.UsbScanned({Xyz});
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{"XYZ (№ 777)"});
    EXPECT_EQ(rig.Usb.Calls, (std::vector<std::string>{"vanished", "close"}))
        << "the operator is told while the device still names the link";
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::None);
    EXPECT_EQ(rig.Selection.StatusCaption(), "порт не выбран");
    EXPECT_STREQ(rig.Selection.KindCaption(), "RS232");
    EXPECT_FALSE(rig.Selection.ExchangeAllowed());
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "ABC (№ 123)") << "kept for the device's return";

    rig.Selection.UsbScanned({Xyz, Abc});
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"XYZ (№ 777)", "ABC (№ 123)"}));
    EXPECT_EQ(rig.Selection.StatusCaption(), "ABC (№ 123)");
    EXPECT_TRUE(rig.Selection.ExchangeAllowed());
}

TEST(UsbScan, NoAdaptersEmptiesTheMenuAndDropsTheLink) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc, Xyz});
    rig.Selection.SelectUsbDevice("XYZ (№ 777)");
    rig.Selection.UsbScanned({});
    EXPECT_TRUE(rig.Captions().empty());
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::None);
    EXPECT_EQ(rig.Selection.ActiveUsbLink(), nullptr);
}

TEST(UsbScan, AnIncompleteListingOnlyAdds) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc});
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    rig.Selection.UsbScanned({Xyz}, false);
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"ABC (№ 123)", "XYZ (№ 777)"}));
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
}

TEST(UsbScan, ADescriptionWithAHotkeyMarkIsTakenUpAgain) {
    LinkRig rig;
    rig.Selection.UsbScanned({Amp});
    rig.Selection.SelectUsbDevice("A&B (№ 55)");
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "AB (№ 55)");
    rig.Selection.UsbScanned({});
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::None);
    rig.Selection.UsbScanned({Amp});
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{"A&B (№ 55)"});
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
    EXPECT_EQ(rig.Selection.StatusCaption(), "AB (№ 55)");

    // A remembered identity that still holds its mark (a settings file written by hand).
    LinkRig fresh;
    fresh.Selection.RememberUsbDevice("A&B (№ 55)");
    fresh.Selection.UsbScanned({Amp});
    EXPECT_EQ(fresh.Selection.Kind(), LinkKind::Usb);
}

TEST(UsbScan, TheDeviceInUseNamedOnlyByItsHandleKeepsItsItem) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc, Xyz});
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    rig.Usb.Calls.clear();
    rig.Selection.UsbListed(UsbListing{.Present = {Xyz}, .InUseCaption = "abc (№ 123)"});
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{"ABC (№ 123)", "XYZ (№ 777)"}));
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
    EXPECT_TRUE(rig.Usb.Calls.empty());

    // The handle names a device without an item: it only marks, it adds nothing.
    rig.Selection.UsbListed(UsbListing{.Present = {Xyz}, .InUseCaption = "QQQ (№ 9)"});
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{"XYZ (№ 777)"});
}

TEST(UsbScan, ARefusedDeviceIsTriedAgainByEachScanUntilItOpens) {
    LinkRig rig;
    rig.Usb.Openable.clear();
    rig.Selection.UsbScanned({Abc});
    EXPECT_FALSE(rig.Selection.SelectUsbDevice("ABC (№ 123)"));
    EXPECT_EQ(rig.System.Texts(),
              std::vector<std::string>{"Немогу открыть устройство ABC (№ 123)"});
    EXPECT_TRUE(rig.Captions().empty()) << "taken out of the menu";
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "ABC (№ 123)");
    EXPECT_EQ(rig.Selection.Status(), LinkStatus::UsbNotOpened);
    EXPECT_EQ(rig.Usb.Calls.back(), "report on");

    rig.Selection.UsbScanned({Abc});
    EXPECT_EQ(rig.System.Messages.size(), 2u);
    EXPECT_TRUE(rig.Captions().empty());

    rig.Usb.Openable = {Abc.SerialNumber};
    rig.Selection.UsbScanned({Abc});
    EXPECT_EQ(rig.System.Messages.size(), 2u);
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{"ABC (№ 123)"});
    EXPECT_TRUE(rig.Selection.ExchangeAllowed());
}

TEST(UsbScan, IsHeldBackWhileTheBoxOfARefusedOpenIsShown) {
    LinkRig rig;
    rig.Usb.Openable.clear();
    rig.Selection.UsbScanned({Abc});
    // The scan timer fires inside the box: a second open of the same device would start while
    // the first is still being handled, and a port choice may not cut in either.
    bool choiceRefused = false;
    rig.System.WhileShown = [&] {
        rig.Selection.UsbScanned({Abc, Xyz});
        choiceRefused = !rig.Selection.SelectComPort(3);
    };
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    EXPECT_EQ(rig.System.Messages.size(), 1u);
    EXPECT_TRUE(choiceRefused);
    EXPECT_EQ(std::count(rig.Usb.Calls.begin(), rig.Usb.Calls.end(), "open 123"), 1);
    EXPECT_TRUE(rig.Captions().empty());
    EXPECT_FALSE(rig.ComOpen("COM3"));
}

TEST(LinkSelection, ShutdownClosesBothAndKeepsTheChoiceForTheSettings) {
    LinkRig rig;
    rig.Selection.UsbScanned({Abc});
    rig.Selection.SelectUsbDevice("ABC (№ 123)");
    rig.Usb.Calls.clear();

    rig.Selection.Shutdown();
    EXPECT_EQ(rig.Usb.Calls, (std::vector<std::string>{"report off", "close"}));
    EXPECT_EQ(rig.Selection.UsbDeviceName(), "ABC (№ 123)");
    EXPECT_FALSE(rig.Selection.ExchangeAllowed());

    rig.Usb.Calls.clear();
    rig.Selection.UsbScanned({Abc, Xyz});
    EXPECT_FALSE(rig.Selection.SelectComPort(3));
    EXPECT_TRUE(rig.Usb.Calls.empty());
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{"ABC (№ 123)"});
}

TEST(LinkSelection, ShutdownGivesTheComPortUp) {
    LinkRig rig;
    rig.Selection.SelectComPort(3);
    rig.Selection.Shutdown();
    EXPECT_FALSE(rig.ComOpen("COM3"));
    EXPECT_EQ(rig.Selection.ComNumber(), 3);
    EXPECT_FALSE(rig.Selection.ExchangeAllowed());
}

} // namespace
} // namespace vr410
