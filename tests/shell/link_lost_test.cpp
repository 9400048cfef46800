// The main window when the serial adapter is unplugged while measurement polls: one box, the
// transmission and the polling stopped, the status "отсутствует" and the exchange disabled.
#include "main_window_fixture.h"

#include "panel/keypad/panel5.h"

#include <QPushButton>

namespace vr410::test {
namespace {

TEST_F(MainWindowFixture, UnpluggedAdapterStopsThePollingShowsOneBoxAndReadsAbsent) {
    WriteIni("[Data]\nCOM=1\n");
    StartOnPorts({1});
    EnterMeasurement();
    ASSERT_TRUE(WaitForAnswers(2)) << "the polling runs";
    ASSERT_TRUE(Facilities->Messages.empty());

    PortsApi->RemovePort(PortsApi->PortDeviceName(1));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Text("StatusPanel0") == QStringLiteral("COM1 - отсутствует"); }, 3000));
    const size_t sent = Count(CycleEvent::Kind::RequestSent);
    QTest::qWait(500); // four polling periods

    ASSERT_EQ(Facilities->Messages.size(), 1u);
    EXPECT_EQ(Facilities->Messages[0].Text, "Ошибка передачи");
    EXPECT_EQ(Count(CycleEvent::Kind::RequestSent), sent) << "nothing more is tried";
    EXPECT_EQ(Inside().PortStatus(), "отсутствует");
    EXPECT_FALSE(Engine().Transmitting());
    EXPECT_FALSE(Engine().TimerQuery().Active());
    EXPECT_FALSE(Engine().TimerReadADC().Active());
    EXPECT_FALSE(Commands().N11->isEnabled());
    EXPECT_FALSE(Commands().N12->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("SB_Test")->isEnabled());
    EXPECT_FALSE(Inside().Keys().isEnabled());

    // The adapter back and the port chosen again: the exchange works as before.
    PortsApi->AddPort(PortsApi->PortDeviceName(1));
    ASSERT_TRUE(CommandMenu::Click(Find("COM1")));
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("COM1 - готов"));
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_TRUE(LastHandled()->Accepted);
}

} // namespace
} // namespace vr410::test
