// The program's message boxes through Qt: the title stays whole however short the text.
#include "shell/qt_system_facilities.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace vr410 {
namespace {

// Notes the title and the width of the next modal message box, then closes it.
struct BoxWatcher {
    QString Title;
    int Width = 0;

    void Arm() {
        QTimer::singleShot(0, [this] { Look(); });
    }
    void Look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, [this] { Look(); });
            return;
        }
        Title = box->windowTitle();
        Width = box->width();
        box->accept();
    }
};

// A box only as wide as a short text leaves the title bar no room: the window manager then
// shortens the program's name ("VR…0K"). The box is wide enough for the title in the bold
// face title bars use and the title bar's buttons beside it.
TEST(MessageBox, HoldsItsWholeTitleBesideAShortText) {
    const QString savedName = QApplication::applicationName();
    QApplication::setApplicationName(QStringLiteral("VR410К"));
    QtSystemFacilities facilities;
    BoxWatcher watcher;
    watcher.Arm();
    facilities.ShowMessage("Ошибка", MessageKind::Error);
    QApplication::setApplicationName(savedName);

    EXPECT_EQ(watcher.Title, QStringLiteral("VR410К"));
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(watcher.Width, QFontMetrics(bold).horizontalAdvance(watcher.Title) + 100);
}

} // namespace
} // namespace vr410
