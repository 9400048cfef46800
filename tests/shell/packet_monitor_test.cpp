// The packet monitor window's place and size: directly below the main window, shown at the
// start-up size each time, following the main window, its close box hiding only the window, and
// the size it has at exit kept for the next run.
#include "main_window_fixture.h"

#include "shell/form_help.h"
#include "shell/form_interface.h"
#include "shell/widgets/num_edit.h"

#include <QWindow>

namespace vr410::test {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

class PacketMonitorWindow : public MainWindowFixture {
  protected:
    TFormInterface& Monitor() { return Inside().FormInterface(); }
    // The monitor's frame starts at the main window's outer left edge and right below its
    // outer bottom edge.
    bool SitsBelowTheMainWindow() {
        const QRect main = Main().frameGeometry();
        const QRect monitor = Monitor().frameGeometry();
        return monitor.left() == main.left() && monitor.top() == main.bottom() + 1;
    }
    std::string Places() {
        const QRect main = Main().frameGeometry();
        const QRect monitor = Monitor().frameGeometry();
        return "main " + std::to_string(main.left()) + "," + std::to_string(main.bottom()) +
               " monitor " + std::to_string(monitor.left()) + "," + std::to_string(monitor.top());
    }
};

TEST_F(PacketMonitorWindow, FirstShowIs700By69RightBelowTheMainWindow) {
    StartVirtual();
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
    ASSERT_FALSE(Monitor().isVisible());
    ASSERT_TRUE(CommandMenu::Click(Find("N15")));
    EXPECT_EQ(Monitor().windowTitle(), QStringLiteral("Посылки через интерфейс"));
    EXPECT_EQ(Monitor().size(), QSize(700, 69));
    EXPECT_TRUE(SitsBelowTheMainWindow()) << Places();
}

// Shown while the program starts, before the main window has its frame: once the main window
// is on the screen, the monitor sits below its frame, not over its bottom border.
TEST_F(PacketMonitorWindow, ShownAtStartItEndsBelowTheMainWindowsFrame) {
    WriteIni("[Form]\nTop=120\nLeft=60\n[Data]\nShowPackets=1\n");
    StartVirtual();
    ASSERT_TRUE(Monitor().isVisible());
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return SitsBelowTheMainWindow(); }, 2000)) << Places();
    EXPECT_EQ(Monitor().size(), QSize(700, 69));
}

struct FollowCase {
    const char* Name;
    bool HiddenWhileMoving; // the monitor is toggled off before the move and on after it
};

class MonitorFollows : public PacketMonitorWindow,
                       public testing::WithParamInterface<FollowCase> {};

TEST_P(MonitorFollows, TheMovedMainWindow) {
    StartVirtual();
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
    QAction* n15 = Find("N15");
    ASSERT_TRUE(CommandMenu::Click(n15));
    if (GetParam().HiddenWhileMoving) {
        ASSERT_TRUE(CommandMenu::Click(n15));
    }
    Main().move(Main().pos() + QPoint(-40, 25));
    if (GetParam().HiddenWhileMoving) {
        ASSERT_TRUE(CommandMenu::Click(n15));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return SitsBelowTheMainWindow(); }, 2000)) << Places();
    EXPECT_EQ(Monitor().size(), QSize(700, 69));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Shell, MonitorFollows, testing::Values(
    FollowCase{.Name = "WhileShown",              .HiddenWhileMoving = false},
    FollowCase{.Name = "HiddenThenShownAgain",    .HiddenWhileMoving = true}),
    CaseName<FollowCase>);
// clang-format on

// Each show brings back the start-up size; the size the window has at exit is saved.
TEST_F(PacketMonitorWindow, ShowsAtTheStartSizeAndExitSavesTheCurrentOne) {
    WriteIni("[FormI]\nWidth=640\nHeight=90\n");
    StartVirtual();
    Main().show();
    QAction* n15 = Find("N15");
    ASSERT_TRUE(CommandMenu::Click(n15));
    Monitor().resize(560, 120); // within the 800 x 600 offscreen screen
    ASSERT_TRUE(CommandMenu::Click(n15));
    ASSERT_TRUE(CommandMenu::Click(n15));
    EXPECT_EQ(Monitor().size(), QSize(640, 90));
    Monitor().resize(620, 100);
    ASSERT_TRUE(Main().close());
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("FormI", "Width", -1), 620);
    EXPECT_EQ(ini.ReadInteger("FormI", "Height", -1), 100);
}

// The close box hides the window alone: the item stays checked and the strip shown; the next
// click hides the strip, the one after shows both.
TEST_F(PacketMonitorWindow, CloseBoxHidesOnlyTheWindow) {
    StartVirtual();
    Main().show();
    QAction* n15 = Find("N15");
    QWidget* strip = Find<QWidget>("Panel1");
    ASSERT_TRUE(CommandMenu::Click(n15));
    TFormInterface* created = &Monitor();
    ASSERT_TRUE(Monitor().close());
    EXPECT_FALSE(Monitor().isVisible());
    EXPECT_TRUE(n15->isChecked());
    EXPECT_TRUE(strip->isVisible());

    ASSERT_TRUE(CommandMenu::Click(n15));
    EXPECT_FALSE(n15->isChecked());
    EXPECT_FALSE(strip->isVisible());
    ASSERT_TRUE(CommandMenu::Click(n15));
    EXPECT_TRUE(strip->isVisible());
    EXPECT_TRUE(Monitor().isVisible());
    EXPECT_EQ(&Monitor(), created) << "the same window, not a new one";
}

// ---------------------------------------------------------------------------------------------
// The windows around the main window: each created once, in the program's order, after the
// settings are loaded; closing one hides it, and the next opening shows the same window.

TEST_F(MainWindowFixture, WindowsAreCreatedOnceInTheProgramsOrder) {
    WriteIni("[Data]\nAddrDevice=9\nPCDevice=4\nShowPackets=1\n");
    StartVirtual();
    const QStringList expected = {
        QStringLiteral("FormCalibration"), QStringLiteral("FormParam"),
        QStringLiteral("FormAddressPC"),   QStringLiteral("FormDevice"),
        QStringLiteral("FormOkCal"),       QStringLiteral("FormInterface"),
        QStringLiteral("FormHelp"),        QStringLiteral("FormVR410C"),
        QStringLiteral("FormCOM"),         QStringLiteral("FormAbout"),
    };
    EXPECT_EQ(Inside().WindowsCreated(), expected)
        << Inside().WindowsCreated().join(QLatin1Char(' ')).toStdString();
    // Created after the settings: the monitor was shown by its creation, the address dialogs
    // start from the saved addresses.
    EXPECT_TRUE(Inside().FormInterface().isVisible());
    // The destination dialog's own field: the parameters dialog has one of the same name.
    const auto* device = Find<QWidget>("FormDevice");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->findChild<TIntEdit*>(QStringLiteral("IntEditAddrDevice"))->Value(), 9);
    EXPECT_EQ(Find<TIntEdit>("IntEditAddrPC")->Value(), 4);

    Main().show();
    QWidget* help = &Inside().FormHelp();
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    ASSERT_TRUE(help->close());
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    EXPECT_EQ(&Inside().FormHelp(), help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(Inside().WindowsCreated().size(), expected.size()) << "nothing created again";
}

} // namespace
} // namespace vr410::test
