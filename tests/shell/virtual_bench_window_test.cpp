// The virtual bench window over the virtual instrument's bus: its plug buttons pull the simulated
// adapters out and put them back, and the fault it is told to put on answers reaches the next
// answer on a COM port and on an adapter alike. Writes a picture of the window to screenshots/ in
// the build tree.
#include "links/comm_port.h"
#include "links/usb_port.h"
#include "platform/ftdi_simulated.h"
#include "platform/serial_simulated.h"
#include "platform/system_facilities.h"
#include "protocol/request_encoder.h"
#include "shell/virtual_bench_window.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <functional>
#include <memory>

namespace vr410 {
namespace {

using sim::LineFault;

class SilentUsbHost : public UsbHost {
  public:
    std::optional<std::string> UsbMenuItemCaption() override { return "USB-RS485"; }
    void ShowNotice(const std::string&) override {}
    void RestoreCursor() override {}
    void LogFailure(const std::string&) override {}
    void ProcessMessages() override {}
    void ClearReceivePanel() override {}
};

enum class Via : uint8_t { ComPort, Adapter };

class VirtualBenchTest : public ::testing::Test {
  protected:
    VirtualBenchTest() {
        Bus.AddDevice<sim::VirtualInstrument>(
            sim::VirtualInstrumentConfig{.NoiseCounts = 0, .Seed = 1});
        Serial.AddPort("COM1");
    }

    void OpenLinks() {
        ASSERT_TRUE(Com.OpenComPort(1));
        ASSERT_TRUE(Adapter.OpenBySerialNumber("VR000001"));
        Adapter.SetUpLine();
    }

    // One exchange test through the chosen link; the raw answer is in Rx.
    uint32_t Exchange(Via via) {
        InstrumentState state;
        state.CommandCode = 8;
        FrameBytes frame{};
        PacketRecord tx;
        EXPECT_TRUE(EncodeRequest(state, EncoderInputs{}, frame, tx));
        Link& link = via == Via::ComPort ? static_cast<Link&>(Com) : Adapter;
        Rx = {};
        link.SendPacket(tx);
        return link.ReceivePacket(Rx);
    }

    void Choose(LineFault fault) {
        QComboBox* choice = Window.FaultChoice();
        const int index = choice->findData(static_cast<int>(fault));
        ASSERT_GE(index, 0);
        choice->setCurrentIndex(index);
    }

    sim::VirtualBus Bus;
    SimulatedSerialApi Serial{Bus};
    SimulatedFtdiApi Usb{Bus};
    RecordingSystemFacilities System;
    CommPort Com{Serial, System};
    SilentUsbHost Host;
    UsbAdapterLink Adapter{&Usb, Host};
    // The window lists the adapters there are when it is made.
    std::unique_ptr<VirtualBenchWindow> Bench = [this] {
        Usb.AddAdapter("USB-RS485", "VR000001").AddAdapter("USB-RS485", "VR000002");
        return std::make_unique<VirtualBenchWindow>(Bus, &Usb);
    }();
    VirtualBenchWindow& Window = *Bench;
    PacketRecord Rx;
};

TEST_F(VirtualBenchTest, EachPlugButtonPullsOutAndPutsBackItsOwnAdapter) {
    ASSERT_EQ(Window.AdapterState(0)->text(), QStringLiteral("подключен"));
    ASSERT_EQ(Window.PlugButton(1)->text(), QStringLiteral("Отключить"));

    Window.PlugButton(1)->click();
    EXPECT_TRUE(Usb.Adapters()[0].Plugged);
    EXPECT_FALSE(Usb.Adapters()[1].Plugged);
    EXPECT_EQ(Window.AdapterState(1)->text(), QStringLiteral("отключен"));
    EXPECT_EQ(Window.PlugButton(1)->text(), QStringLiteral("Подключить"));
    uint32_t count = 0;
    Usb.DeviceCount(count);
    EXPECT_EQ(count, 1u);

    Window.PlugButton(1)->click();
    EXPECT_TRUE(Usb.Adapters()[1].Plugged);
    EXPECT_EQ(Window.AdapterState(1)->text(), QStringLiteral("подключен"));
    EXPECT_EQ(Window.PlugButton(1)->text(), QStringLiteral("Отключить"));
}

TEST_F(VirtualBenchTest, PullingOutAnOpenAdapterBreaksItsLinkUntilItIsOpenedAgain) {
    OpenLinks();
    Window.Refresh();
    EXPECT_EQ(Window.AdapterState(0)->text(), QStringLiteral("подключен, открыт"));

    Window.PlugButton(0)->click();
    Exchange(Via::Adapter);
    EXPECT_TRUE(Adapter.LinkLost());
    EXPECT_EQ(Rx.HeadLength, 0);

    Window.PlugButton(0)->click();
    EXPECT_EQ(Window.AdapterState(0)->text(), QStringLiteral("подключен"));
    ASSERT_TRUE(Adapter.OpenBySerialNumber("VR000001"));
    Adapter.SetUpLine();
    Exchange(Via::Adapter);
    EXPECT_EQ(Rx.HeadLength, 1);
}

TEST_F(VirtualBenchTest, TheChosenFaultReachesOnlyTheNextAnswerOnEitherLink) {
    OpenLinks();
    Exchange(Via::Adapter);
    ASSERT_EQ(Rx.HeadLength, 1);
    const PacketRecord clean = Rx;

    struct Case {
        const char* Name;
        LineFault Fault;
        std::function<bool(const PacketRecord&)> Shows;
    };
    const std::vector<Case> cases = {
        {"no answer", LineFault::NoAnswer,
         [](const PacketRecord& rx) { return rx.HeadLength == 0; }},
        {"address byte only", LineFault::AddressOnly,
         [](const PacketRecord& rx) { return rx.HeadLength == 1 && rx.BodyLength == 0; }},
        {"answer to another PC", LineFault::WrongDestinationAddress,
         [&](const PacketRecord& rx) { return rx.Head[0] == clean.Head[0] + 1; }},
        {"wrong length", LineFault::WrongLength,
         [&](const PacketRecord& rx) { return rx.Body[0] == clean.Body[0] + 1; }},
        {"corrupted bit", LineFault::CorruptBlock0Bit,
         [&](const PacketRecord& rx) {
             return rx.HeadLength == 1 && rx.BodyLength == clean.BodyLength &&
                    rx.Body != clean.Body;
         }},
    };
    for (const Via via : {Via::ComPort, Via::Adapter}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (via == Via::ComPort ? " on COM1" : " on VR000001"));
            Choose(c.Fault);
            Window.NextAnswerButton()->click();
            EXPECT_EQ(Window.FaultState()->text(), QStringLiteral("В очереди: 1"));
            Exchange(via);
            EXPECT_TRUE(c.Shows(Rx));
            Window.Refresh();
            EXPECT_EQ(Window.FaultState()->text(), QStringLiteral("В очереди: 0"));
            Exchange(via);
            EXPECT_EQ(Rx.HeadLength, 1);
            EXPECT_EQ(Rx.Head[0], clean.Head[0]);
            EXPECT_EQ(Rx.BodyLength, clean.BodyLength);
        }
    }
}

TEST_F(VirtualBenchTest, ALineErrorOfTheAnswerReachesTheComPortsStatus) {
    OpenLinks();
    const uint32_t cleanStatus = Exchange(Via::ComPort);
    Choose(LineFault::FramingError);
    Window.NextAnswerButton()->click();
    const uint32_t status = Exchange(Via::ComPort);
    EXPECT_NE(status & CE_FRAME, 0u);
    EXPECT_EQ(cleanStatus & CE_FRAME, 0u);
}

TEST_F(VirtualBenchTest, AFaultOnEveryAnswerStaysUntilTheFaultsAreCleared) {
    OpenLinks();
    Choose(LineFault::AddressOnly);
    Window.SharePercent()->setValue(100);
    Window.ShareButton()->click();
    EXPECT_TRUE(Window.FaultState()->text().contains(QStringLiteral("Только адресный байт")));
    for (const Via via : {Via::Adapter, Via::ComPort, Via::Adapter}) {
        Exchange(via);
        EXPECT_EQ(Rx.HeadLength, 1);
        EXPECT_EQ(Rx.BodyLength, 0);
    }

    Window.ClearButton()->click();
    EXPECT_EQ(Window.FaultState()->text(), QStringLiteral("В очереди: 0"));
    Exchange(Via::Adapter);
    EXPECT_GT(Rx.BodyLength, 0);
}

TEST_F(VirtualBenchTest, EveryFaultTheBusKnowsIsOfferedOnceWithACaption) {
    std::vector<int> offered;
    for (int i = 0; i < Window.FaultChoice()->count(); ++i) {
        EXPECT_FALSE(Window.FaultChoice()->itemText(i).isEmpty());
        offered.push_back(Window.FaultChoice()->itemData(i).toInt());
    }
    std::sort(offered.begin(), offered.end());
    std::vector<int> all;
    for (int f = 0; f <= static_cast<int>(LineFault::WrongFunctionCode); ++f)
        all.push_back(f);
    EXPECT_EQ(offered, all);
}

TEST_F(VirtualBenchTest, WritesAPictureOfTheWindow) {
    Window.PlugButton(1)->click();
    Window.adjustSize();
    const QImage picture = Window.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VR410_SCREENSHOT_DIR)));
    EXPECT_TRUE(picture.save(QStringLiteral(VR410_SCREENSHOT_DIR "/virtual_bench.png")));
}

// The main window is 1100 x 200 at (250, 300); the bench window is 330 x 250.
TEST(BenchPlacementTest, GoesWhereTheWholeWindowFitsBesideTheMainWindow) {
    const QRect owner(250, 300, 1100, 200);
    const QSize size(330, 250);
    struct Case {
        const char* Screen;
        QRect Available;
        QPoint Expected;
    };
    const Case cases[] = {
        {.Screen = "wide: right of it",
         .Available = QRect(0, 0, 2000, 900),
         .Expected = QPoint(1358, 300)},
        {.Screen = "room on the left only",
         .Available = QRect(-400, 0, 1800, 900),
         .Expected = QPoint(-88, 300)},
        {.Screen = "narrow: below its right edge",
         .Available = QRect(0, 0, 1600, 900),
         .Expected = QPoint(1020, 508)},
        {.Screen = "small: inside the bottom right corner",
         .Available = QRect(0, 0, 1400, 700),
         .Expected = QPoint(1070, 450)},
        {.Screen = "smaller than the window: its top left",
         .Available = QRect(0, 0, 300, 200),
         .Expected = QPoint(0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BenchPlacement(owner, size, c.Available), c.Expected) << c.Screen;
    }
}

} // namespace
} // namespace vr410
