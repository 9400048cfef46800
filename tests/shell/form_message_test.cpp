// The error notice: shown without blocking, on top, closed by its timer or by "ОК" earlier,
// and the timer stops however it closes.
#include "shell/form_message.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vr410 {
namespace {

TEST(FormMessage, LooksAsTheNoticeShould) {
    TFormMessage form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ошибка!"));
    EXPECT_EQ(form.size(), QSize(335, 118));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form.isModal());
    EXPECT_EQ(form.Image1->size(), QSize(41, 41));
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Label1->alignment(), Qt::AlignCenter);
    EXPECT_EQ(form.B_Exit->text(), QStringLiteral("ОК"));
    EXPECT_EQ(form.TimerMessageOff->interval(), 10000);
}

TEST(FormMessage, ShowsWithoutBlockingAndTheTimerClosesIt) {
    TFormMessage form;
    form.TimerMessageOff->setInterval(30); // 10 s in the program
    form.ShowNotice(QStringLiteral("Устройство USB-RS485 (№ VR000001) отключено!"));
    // Back here at once: the notice is up and waiting for its timer.
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.TimerMessageOff->isActive());
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Устройство USB-RS485 (№ VR000001) отключено!"));
    EXPECT_FALSE(form.Label2->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
    EXPECT_FALSE(form.TimerMessageOff->isActive());
}

TEST(FormMessage, OkClosesItEarlierAndStopsTheTimer) {
    TFormMessage form;
    form.ShowNotice(QStringLiteral("Устройство USB отключено!"));
    QTest::mouseClick(form.B_Exit, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.TimerMessageOff->isActive());
    // Shown again, it runs its full time again.
    form.ShowNotice(QStringLiteral("Устройство USB отключено!"));
    EXPECT_TRUE(form.TimerMessageOff->isActive());
    form.close(); // the close box
    EXPECT_FALSE(form.TimerMessageOff->isActive());
}

} // namespace
} // namespace vr410
