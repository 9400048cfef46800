// The engine's clock on Qt's event loop: timers fire from the loop, a wait runs the loop so
// other timers fire inside it, and the engine's cycle runs on it end to end.
#include "engine/exchange_engine.h"
#include "protocol/function_codes.h"
#include "protocol/test_support.h"
#include "shell/qt_clock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace vr410::engine::test {
namespace {

TEST(QtClockTest, WaitRunsTheLoopSoDueTimersFireInsideItInOrder) {
    QtClock clock;
    std::vector<std::string> fired;
    auto later = clock.CreateTimer("later", 20, [&] { fired.push_back("later"); });
    auto sooner = clock.CreateTimer("sooner", 5, [&] { fired.push_back("sooner"); });
    later->SetSingleShot(true);
    sooner->SetSingleShot(true);
    later->Start();
    sooner->Start();
    EXPECT_TRUE(fired.empty()); // never from inside Start

    const int64_t start = clock.NowMs();
    clock.Wait(60);
    EXPECT_GE(clock.NowMs() - start, 60);
    EXPECT_EQ(fired, (std::vector<std::string>{"sooner", "later"}));
    EXPECT_FALSE(later->Active());
}

TEST(QtClockTest, IntervalChangeAndStopReachTheQtTimer) {
    QtClock clock;
    int fired = 0;
    auto timer = clock.CreateTimer("timer", 5, [&] { ++fired; });
    timer->SetInterval(10000);
    EXPECT_EQ(timer->Interval(), 10000);
    timer->Start();
    EXPECT_TRUE(timer->Active());
    clock.Wait(30);
    EXPECT_EQ(fired, 0);
    timer->Stop();
    EXPECT_FALSE(timer->Active());
}

// A link that answers every request with the exchange test's answer from instrument 1.
class ExchangeTestAnswers : public Link {
  public:
    void SendPacket(const PacketRecord&) override { ++Sent; }
    uint32_t ReceivePacket(PacketRecord& rx) override {
        rx = vr410::test::AnswerPacket(0x00, "03 04 01 08");
        return 0;
    }
    int Sent = 0;
};

class NoWindow : public EngineHost {
  public:
    EncoderInputs EncoderFields() override { return {}; }
    bool AccessoryMode() override { return false; }
    void SetDeviceAddressField(int) override {}
    void SetBusyCursor(bool) override {}
    void PressResetKey() override {}
    void PrintMode() override {}
};

TEST(QtClockTest, EngineRunsItsExchangeFromTheEventLoop) {
    QtClock clock;
    InstrumentState state;
    ExchangeBuffers buffers;
    ExchangeTestAnswers link;
    NoWindow host;
    vr410::test::RecordingView view;
    ExchangeEngine engine(state, buffers, clock, link, host, view);
    engine.SetLinkReady(true);
    std::vector<ExchangeEnded> ended;
    engine.Events().Subscribe([&](const EngineEvent& e) {
        if (const auto* end = std::get_if<ExchangeEnded>(&e)) {
            ended.push_back(*end);
        }
    });

    engine.Issue(FunctionCode::ExchangeTest);
    EXPECT_EQ(link.Sent, 0); // the encoder and the exchange run after the action returned
    clock.Wait(50);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_TRUE(ended[0].Accepted);
    EXPECT_EQ(link.Sent, 1);
}

// The window that owns the engine and its clock may go while the state query waits in the
// clock's nested loop: neither the wait nor the query touches them afterwards.
TEST(QtClockTest, EngineAndClockDestroyedDuringTheStateQuerysWaitEndIt) {
    auto clock = std::make_unique<QtClock>();
    InstrumentState state;
    ExchangeBuffers buffers;
    ExchangeTestAnswers link;
    NoWindow host;
    vr410::test::RecordingView view;
    auto engine = std::make_unique<ExchangeEngine>(state, buffers, *clock, link, host, view);
    engine->SetLinkReady(true);
    int sentBefore = -1;
    QTimer::singleShot(100, [&] {
        sentBefore = link.Sent;
        engine.reset();
        clock.reset();
    });
    ExchangeEngine* querying = engine.get();
    querying->SB_QueryStateClick(); // returns from its first wait without touching either
    EXPECT_EQ(engine, nullptr);
    EXPECT_EQ(clock, nullptr);
    EXPECT_GE(sentBefore, 1); // the parameters' request went out before
    EXPECT_EQ(link.Sent, sentBefore);
}

} // namespace
} // namespace vr410::engine::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
