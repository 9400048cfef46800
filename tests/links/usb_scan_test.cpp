// The USB device scan over simulated adapters: what the listing makes of unreadable serial
// numbers and descriptions and of the device in use, and when the scan holds itself back.
#include "links/usb_scan.h"

#include "link_choice_fixture.h"
#include "platform/ftdi_simulated.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_bus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vr410 {
namespace {

using test::BoxFacilities;

constexpr const char* First = "USB-RS485 (№ VR000001)";
constexpr const char* Second = "USB-RS485 (№ VR000002)";

class NoticeHost : public UsbHost {
  public:
    std::vector<std::string> Notices;
    std::function<std::optional<std::string>()> Caption;

    std::optional<std::string> UsbMenuItemCaption() override {
        return Caption ? Caption() : std::nullopt;
    }
    void ShowNotice(const std::string& text) override { Notices.push_back(text); }
    void RestoreCursor() override {}
    void LogFailure(const std::string&) override {}
    void ProcessMessages() override {}
    void ClearReceivePanel() override {}
};

// Two adapters on the bus, the USB driver, the link selection and the scan.
struct ScanRig {
    ScanRig()
        : Serial(Bus), Com(Serial, System), Adapters(Bus), Link(&Adapters, Host),
          Selection(Com, System, &Link), Scan(&Adapters, Link, Selection) {
        Adapters.AddAdapter("USB-RS485", "VR000001").AddAdapter("USB-RS485", "VR000002");
        Host.Caption = [this]() -> std::optional<std::string> {
            if (const auto& active = Selection.ActiveUsbItem()) {
                return active->Caption;
            }
            return std::nullopt;
        };
    }

    std::vector<std::string> Captions() const { return test::UsbCaptions(Selection); }
    size_t Calls(FtdiCall call) const {
        return std::count_if(Adapters.Log().begin(), Adapters.Log().end(),
                             [call](const FtdiCallRecord& r) { return r.Call == call; });
    }

    sim::VirtualBus Bus;
    SimulatedSerialApi Serial;
    BoxFacilities System;
    CommPort Com;
    SimulatedFtdiApi Adapters;
    NoticeHost Host;
    UsbAdapterLink Link;
    LinkSelection Selection;
    UsbDeviceScan Scan;
};

struct ListingCase {
    const char* Name;
    bool FirstInUse; // VR000001 opened as the link first
    FtdiCall Failing;
    FT_STATUS Status;
    std::vector<std::string> Present;
    std::optional<std::string> InUseCaption;
    bool Complete;
    size_t HandleQueries; // FT_GetDeviceInfo calls
};

void PrintTo(const ListingCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const ListingCase ListingCases[] = {
    {.Name = "BothAdaptersListed", .FirstInUse = false, .Failing = FtdiCall::Close, .Status = FT_OK,
     .Present = {First, Second}, .InUseCaption = std::nullopt, .Complete = true, .HandleQueries = 0},
    {.Name = "TheDeviceInUseListedAsAnyOther", .FirstInUse = true, .Failing = FtdiCall::Close, .Status = FT_OK,
     .Present = {First, Second}, .InUseCaption = std::nullopt, .Complete = true, .HandleQueries = 0},
    {.Name = "AnUnreadableDescriptionEndsTheListingIncomplete", .FirstInUse = false,
     .Failing = FtdiCall::DescriptionByIndex, .Status = FT_IO_ERROR,
     .Present = {}, .InUseCaption = std::nullopt, .Complete = false, .HandleQueries = 0},
    {.Name = "AnUnreadableSerialNumberLeavesTheDeviceOut", .FirstInUse = false,
     .Failing = FtdiCall::SerialNumberByIndex, .Status = FT_DEVICE_NOT_FOUND,
     .Present = {}, .InUseCaption = std::nullopt, .Complete = true, .HandleQueries = 0},
    // Asked once: after the handle named the device in use, later indexes do not ask again.
    {.Name = "TheDeviceInUseIsNamedByItsOpenHandle", .FirstInUse = true,
     .Failing = FtdiCall::SerialNumberByIndex, .Status = FT_DEVICE_NOT_FOUND,
     .Present = {}, .InUseCaption = First, .Complete = true, .HandleQueries = 1},
};
// clang-format on

class Listing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(Listing, FollowsWhatTheLibraryCanRead) {
    const ListingCase& c = GetParam();
    ScanRig rig;
    std::optional<std::string> inUse;
    if (c.FirstInUse) {
        ASSERT_TRUE(rig.Link.OpenBySerialNumber("VR000001"));
        inUse = First;
    }
    rig.Adapters.FailCall(c.Failing, c.Status);
    rig.Adapters.ClearLog();
    const UsbListing listing = ListUsbDevices(&rig.Adapters, rig.Link.UsbPort, inUse);
    std::vector<std::string> present;
    for (const UsbDeviceId& device : listing.Present) {
        present.push_back(UsbDeviceCaption(device));
    }
    EXPECT_EQ(present, c.Present);
    EXPECT_EQ(listing.InUseCaption, c.InUseCaption);
    EXPECT_EQ(listing.Complete, c.Complete);
    EXPECT_EQ(rig.Calls(FtdiCall::GetDeviceInfo), c.HandleQueries);
    EXPECT_TRUE(rig.Host.Notices.empty()) << "the listing reports nothing";
}

INSTANTIATE_TEST_SUITE_P(UsbScan, Listing, ::testing::ValuesIn(ListingCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(UsbScan, WithoutTheLibraryNothingIsListed) {
    ScanRig rig;
    const UsbListing listing = ListUsbDevices(nullptr, rig.Link.UsbPort, std::nullopt);
    EXPECT_TRUE(listing.Present.empty());
    EXPECT_TRUE(listing.Complete);
}

TEST(UsbScan, TheDeviceInUseStaysTheLinkWhenOnlyItsHandleNamesIt) {
    ScanRig rig;
    ASSERT_TRUE(rig.Scan.CreateUSBMenu());
    ASSERT_TRUE(rig.Selection.SelectUsbDevice(First));
    rig.Adapters.FailCall(FtdiCall::SerialNumberByIndex, FT_DEVICE_NOT_FOUND);
    ASSERT_TRUE(rig.Scan.CreateUSBMenu());
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::Usb);
    EXPECT_TRUE(rig.Link.IsOpen());
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{First}) << "the other one is left out";
}

// A device that vanished while idle is told once by the scan; one whose exchange already told
// it stays silent.
struct VanishCase {
    const char* Name;
    bool ExchangeFirst;
    size_t Notices;
};

class Vanished : public ::testing::TestWithParam<VanishCase> {};

TEST_P(Vanished, TellsTheOperatorOnce) {
    const VanishCase& c = GetParam();
    ScanRig rig;
    rig.Scan.CreateUSBMenu();
    ASSERT_TRUE(rig.Selection.SelectUsbDevice(First));
    rig.Adapters.SetPlugged("VR000001", false);
    if (c.ExchangeFirst) {
        PacketRecord request;
        request.Head[0] = 1;
        request.HeadLength = 1;
        rig.Link.SendPacket(request);
        ASSERT_TRUE(rig.Link.LinkLost());
    }
    rig.Scan.CreateUSBMenu();
    rig.Scan.CreateUSBMenu();
    EXPECT_EQ(rig.Host.Notices.size(), c.Notices);
    if (!rig.Host.Notices.empty()) {
        EXPECT_EQ(rig.Host.Notices[0], "Устройство USB-RS485 (№ VR000001) отключено!");
    }
    EXPECT_EQ(rig.Selection.Kind(), LinkKind::None);
    EXPECT_EQ(rig.Captions(), std::vector<std::string>{Second});
}

INSTANTIATE_TEST_SUITE_P(UsbScan, Vanished,
                         ::testing::Values(VanishCase{"WhileIdle", false, 1},
                                           VanishCase{"AfterItsExchangeToldIt", true, 1}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(UsbScan, HeldBackByAnExchangeRunsOnceItEnds) {
    ScanRig rig;
    bool exchanging = true;
    rig.Scan.HoldWhileExchanging([&] { return exchanging; });
    EXPECT_FALSE(rig.Scan.CreateUSBMenu());
    EXPECT_TRUE(rig.Scan.Pending());
    EXPECT_TRUE(rig.Captions().empty());
    EXPECT_EQ(rig.Calls(FtdiCall::DeviceCount), 0u) << "not even listed";

    exchanging = false;
    EXPECT_TRUE(rig.Scan.RunPending());
    EXPECT_FALSE(rig.Scan.Pending());
    EXPECT_EQ(rig.Captions(), (std::vector<std::string>{First, Second}));
    EXPECT_FALSE(rig.Scan.RunPending()) << "nothing left pending";
}

TEST(UsbScan, HeldBackInsideTheBoxOfARefusedOpenWithoutComingBackAtOnce) {
    ScanRig rig;
    rig.Scan.CreateUSBMenu();
    rig.Adapters.FailCall(FtdiCall::OpenBySerialNumber, FT_DEVICE_NOT_OPENED);
    bool heldBack = false;
    rig.System.WhileShown = [&] {
        heldBack = !rig.Scan.CreateUSBMenu();
        EXPECT_EQ(rig.Captions(), (std::vector<std::string>{First, Second}))
            << "the item being handled stays while its box is shown";
    };
    EXPECT_FALSE(rig.Selection.SelectUsbDevice(First));
    EXPECT_TRUE(heldBack);
    EXPECT_FALSE(rig.Scan.Pending()) << "the box would come back the moment it closed";
    EXPECT_EQ(rig.Calls(FtdiCall::OpenBySerialNumber), 1u);
    EXPECT_EQ(rig.System.Messages.size(), 1u);
}

} // namespace
} // namespace vr410
