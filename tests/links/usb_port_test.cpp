// The USB adapter driver over simulated adapters to the virtual instrument: the order of the
// library calls in a send, the answer's time limits and length, a device pulled out during an
// exchange, and every command the whole way through validation and decoding.
#include "exchange_fixture.h"
#include "links/usb_port.h"
#include "platform/ftdi_simulated.h"
#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <thread>

namespace vr410::test {
namespace {

constexpr const char* Caption = "USB-RS485 (№ VR000001)";

class RecordingUsbHost : public UsbHost {
  public:
    std::optional<std::string> MenuCaption = Caption;
    std::vector<std::string> Notices;
    std::vector<std::string> LogLines;
    int CursorRestores = 0;
    int PanelClears = 0;
    std::function<void()> OnMessages; // what a pending message does, if anything

    std::optional<std::string> UsbMenuItemCaption() override { return MenuCaption; }
    void ShowNotice(const std::string& text) override { Notices.push_back(text); }
    void RestoreCursor() override { ++CursorRestores; }
    void LogFailure(const std::string& text) override { LogLines.push_back(text); }
    void ProcessMessages() override {
        if (OnMessages)
            OnMessages();
    }
    void ClearReceivePanel() override { ++PanelClears; }
};

// The USB driver with the adapter VR000001 open and set up, its set-up calls cleared from the
// library's log.
class UsbPortTest : public ProtocolFixture {
  protected:
    UsbPortTest() {
        Api.AddAdapter("USB-RS485", "VR000001");
        EXPECT_TRUE(Link.OpenBySerialNumber("VR000001"));
        Link.SetUpLine();
        Api.ClearLog();
    }

    // Encodes the request of `code` into TxPacket, exchanges it and returns the receive status.
    uint32_t Exchange(uint8_t code) {
        Encode(code);
        Link.UsbSendPacket(TxPacket);
        return Link.UsbReceivePacket(RxPacket);
    }

    SimulatedFtdiApi Api{Bus};
    RecordingUsbHost Host;
    UsbAdapterLink Link{&Api, Host};
};

TEST_F(UsbPortTest, AnEmptyRequestTouchesNothing) {
    Link.UsbSendPacket(PacketRecord{});
    EXPECT_TRUE(Api.Log().empty());
}

TEST_F(UsbPortTest, SendResetsPurgesAndMarksOnlyTheAddressByte) {
    State.CommandCode = 8;
    ASSERT_TRUE(EncodeRequest(State, Inputs, TxFrame, TxPacket));
    Link.UsbSendPacket(TxPacket);
    struct Step {
        FtdiCall Call;
        uint32_t Value;
    };
    const std::vector<Step> expected = {
        {FtdiCall::ResetDevice, 0},     {FtdiCall::Purge, FT_PURGE_RX},
        {FtdiCall::Purge, FT_PURGE_TX}, {FtdiCall::SetDataCharacteristics, FT_PARITY_MARK},
        {FtdiCall::Write, 0},           {FtdiCall::SetDataCharacteristics, FT_PARITY_SPACE},
        {FtdiCall::Write, 0},
    };
    const auto& log = Api.Log();
    ASSERT_EQ(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].Call, expected[i].Call) << "step " << i;
        if (log[i].Call != FtdiCall::Write) {
            EXPECT_EQ(log[i].Value, expected[i].Value) << "step " << i;
        }
    }
    EXPECT_EQ(log[4].Data, std::vector<uint8_t>{TxPacket.Head[0]});
    EXPECT_EQ(log[6].Data, std::vector<uint8_t>(TxPacket.Body.begin(),
                                                TxPacket.Body.begin() + TxPacket.BodyLength));
    // The SPACE switch waits for the address byte to leave: 1 ms after its write.
    EXPECT_GE(log[5].At - log[4].At, std::chrono::milliseconds{1});
}

TEST_F(UsbPortTest, AnAnswerOfNBytesIsTheAddressByteAndNMinusOneBodyBytes) {
    ASSERT_EQ(Exchange(8), 0u);
    ASSERT_EQ(RxPacket.HeadLength, 1);
    EXPECT_EQ(RxPacket.Head[0], 0x00); // PC 0
    EXPECT_EQ(RxPacket.BodyLength, ExpectedBodyLength(RxPacket.Body[0]));
    EXPECT_TRUE(Accepted(0)) << View.AnswerText;
    EXPECT_TRUE(Host.Notices.empty());
}

TEST_F(UsbPortTest, NoAnswerEndsAtTheTimeLimitWithNothingAndTheThirdPanelCleared) {
    Bus.Faults().Queue(sim::LineFault::NoAnswer);
    EXPECT_EQ(Exchange(8), 0u);
    EXPECT_TRUE(Link.UsbTimedOut());
    EXPECT_EQ(RxPacket.HeadLength, 0);
    EXPECT_EQ(RxPacket.BodyLength, 0);
    EXPECT_EQ(Host.PanelClears, 1);
    EXPECT_TRUE(Host.Notices.empty());
}

TEST_F(UsbPortTest, AnAnswerEndsOnlyAtAReadWindowWithoutNewBytes) {
    struct Case {
        const char* Name;
        std::chrono::milliseconds Pause;
        bool Whole;
    };
    // A pause shorter than a read window keeps the answer whole; one longer ends it, and the
    // part that came is refused on its length.
    for (const Case c : {Case{"ShorterThanAWindow", std::chrono::milliseconds{12}, true},
                         Case{"LongerThanAWindow", std::chrono::milliseconds{45}, false}}) {
        SCOPED_TRACE(c.Name);
        Bus.Timing().SplitPause = c.Pause;
        Bus.Faults().Queue(sim::LineFault::SplitAnswer);
        ASSERT_EQ(Exchange(5), 0u);
        EXPECT_EQ(RxPacket.BodyLength == ExpectedBodyLength(RxPacket.Body[0]), c.Whole);
        EXPECT_EQ(Accepted(0), c.Whole) << View.AnswerText;
        std::this_thread::sleep_for(c.Pause); // the rest of a cut answer passes
    }
}

TEST_F(UsbPortTest, ADevicePulledOutShowsOneNoticeAndTheRestOfTheExchangeStaysSilent) {
    struct Case {
        const char* Name;
        int PullAtMessage; // the adapter goes at this pass through the message loop
        uint32_t Status;   // what the receive returns
    };
    // Pass 1 is in the send, before the body goes out: the receive then does nothing. Pass 2 is
    // the receive's first wait, whose queue query fails.
    for (const Case c : {Case{"DuringTheSend", 1, 0}, Case{"DuringTheReceive", 2, FT_IO_ERROR}}) {
        SCOPED_TRACE(c.Name);
        Host = {};
        ASSERT_TRUE(Link.OpenBySerialNumber("VR000001"));
        Link.SetUpLine();
        int passes = 0;
        Host.OnMessages = [&] {
            if (++passes == c.PullAtMessage)
                Api.SetPlugged("VR000001", false);
        };
        const uint32_t status = Exchange(8);
        EXPECT_EQ(status, c.Status);
        EXPECT_EQ(RxPacket.HeadLength, 0);
        EXPECT_EQ(Host.Notices,
                  std::vector<std::string>{"Устройство " + std::string(Caption) + " отключено!"});
        EXPECT_EQ(Host.CursorRestores, 1);
        ASSERT_EQ(Host.LogLines.size(), 1u);
        EXPECT_EQ(Host.LogLines[0].find(" - Ошибка ввода-вывода") != std::string::npos, true)
            << Host.LogLines[0];
        EXPECT_TRUE(Link.LinkLost());
        // The cycle's second attempt, or a stop: nothing more is shown.
        Link.UsbSendPacket(TxPacket);
        Link.UsbReceivePacket(RxPacket);
        Link.ResetDevice();
        EXPECT_EQ(Host.Notices.size(), 1u);
        Host.OnMessages = nullptr;
        Link.Close();
        Api.SetPlugged("VR000001", true);
    }
}

TEST_F(UsbPortTest, ADeviceClosedWhileATransferHandlesMessagesEndsItSilently) {
    // The operator chose another link from the menu while the transfer let messages through:
    // the device is closed under it. Pass 1 is in the send, pass 2 the receive's first wait.
    for (const int closeAt : {1, 2}) {
        SCOPED_TRACE(closeAt);
        Host = {};
        ASSERT_TRUE(Link.OpenBySerialNumber("VR000001"));
        Link.SetUpLine();
        Api.ClearLog();
        int passes = 0;
        Host.OnMessages = [&] {
            if (++passes == closeAt)
                Link.Close();
        };
        EXPECT_EQ(Exchange(8), 0u);
        EXPECT_EQ(RxPacket.HeadLength, 0);
        EXPECT_TRUE(Host.Notices.empty());
        EXPECT_TRUE(Host.LogLines.empty());
        EXPECT_EQ(Api.Log().back().Call, FtdiCall::Close) << "nothing reaches the closed device";
        Host.OnMessages = nullptr;
    }
}

TEST_F(UsbPortTest, WithNoDeviceCheckedTheNoticeNamesUsb) {
    Host.MenuCaption.reset();
    Api.SetPlugged("VR000001", false);
    Exchange(8);
    EXPECT_EQ(Host.Notices, std::vector<std::string>{"Устройство USB отключено!"});
}

TEST_F(UsbPortTest, AnOpenUsesTheFirst49CharactersOfTheSerialNumber) {
    const std::string serial49(49, '7');
    Api.AddAdapter("USB-RS485", serial49);
    UsbAdapterLink other(&Api, Host);
    EXPECT_TRUE(other.OpenBySerialNumber(serial49 + "89ABCDEFGHI"));
    EXPECT_EQ(std::string(other.UsbPort.FT_Device_String_Buffer.data()), serial49);
    other.Close();
}

TEST_F(UsbPortTest, EveryCommandTravelsAsOverTheSerialLink) {
    // The same commands over a simulated COM port to a bus of its own give the same outcome.
    sim::VirtualBus serialBus;
    serialBus.AddDevice<sim::VirtualInstrument>(
        sim::VirtualInstrumentConfig{.NoiseCounts = 0, .Seed = 1});
    serialBus.AddDevice<sim::VirtualAccessory>();
    SimulatedSerialApi serialApi(serialBus);
    serialApi.AddPort("COM1");
    RecordingSystemFacilities system;
    CommPort port(serialApi, system);
    ASSERT_TRUE(port.OpenComPort(1));
    InstrumentState serialState;
    Inputs.NewAddress = 1; // the parameters request keeps the instrument at 1

    auto run = [&](uint8_t code, bool accessory) {
        SCOPED_TRACE(testing::Message() << "code " << int(code) << (accessory ? " 251" : ""));
        Inputs.AccessoryMode = accessory;
        const uint32_t status = Exchange(code);
        ASSERT_EQ(RxPacket.HeadLength, 1);
        const bool usbAccepted = Accepted(status);
        const std::string usbText = View.AnswerText;

        serialState.CommandCode = code;
        FrameBytes frame{};
        PacketRecord tx;
        PacketRecord rx;
        ASSERT_TRUE(EncodeRequest(serialState, Inputs, frame, tx));
        port.ComSendPacket(tx);
        const uint32_t serialStatus = port.ComReceivePacket(1, rx);
        AnswerRecorder serialView;
        const AnswerContext answer{.RxPacket = rx, .TxFrame = frame, .AccessoryMode = accessory};
        const bool serialAccepted = ValidateAnswer(serialStatus, answer, serialState, serialView);
        if (serialAccepted)
            DecodeAnswer(answer, serialState, serialView);
        EXPECT_EQ(usbAccepted, serialAccepted);
        EXPECT_EQ(usbText, serialView.AnswerText);
    };
    for (const CommandInfo& command : CommandTable)
        run(command.Code, false);
    run(17, true); // the accessory's band and factor
    EXPECT_TRUE(Host.Notices.empty());
}

// A library that answers every call and delivers scripted reads, for answers no instrument
// gives.
class ScriptedFtdiApi : public SimulatedFtdiApi {
  public:
    using SimulatedFtdiApi::SimulatedFtdiApi;
    std::deque<std::vector<uint8_t>> Reads;
    FT_STATUS GetQueueStatus(FtHandle, uint32_t& bytes) override {
        bytes = 0;
        return FT_OK;
    }
    FT_STATUS Read(FtHandle, uint8_t* buffer, uint32_t count, uint32_t& read) override {
        read = 0;
        if (Reads.empty())
            return FT_OK;
        std::vector<uint8_t>& next = Reads.front();
        read = std::min<uint32_t>(count, static_cast<uint32_t>(next.size()));
        std::copy_n(next.begin(), read, buffer);
        next.erase(next.begin(), next.begin() + read);
        if (next.empty())
            Reads.pop_front();
        return FT_OK;
    }
};

TEST(UsbPortLongAnswer, KeepsFortyOneBodyBytesAndCountsThemAll) {
    sim::VirtualBus bus;
    ScriptedFtdiApi api(bus);
    api.AddAdapter("USB-RS485", "VR000001");
    RecordingUsbHost host;
    UsbAdapterLink link(&api, host);
    ASSERT_TRUE(link.OpenBySerialNumber("VR000001"));
    std::vector<uint8_t> answer(1 + 60);
    for (size_t i = 0; i < answer.size(); ++i)
        answer[i] = static_cast<uint8_t>(i);
    api.Reads.push_back(answer);
    PacketRecord rx;
    rx.Head.fill(0xEE);
    EXPECT_EQ(link.UsbReceivePacket(rx), 0u);
    EXPECT_EQ(rx.HeadLength, 1);
    EXPECT_EQ(rx.BodyLength, 60);
    EXPECT_EQ(rx.Body[0], 1);
    EXPECT_EQ(rx.Body[PacketCapacity - 1], PacketCapacity);
    EXPECT_FALSE(AnswerLengthValid(rx));
}

} // namespace
} // namespace vr410::test
