// The help window and the about box as the operator meets them from the "Справка" menu: the help
// opens beside the main window without blocking it, Escape closes it and it comes back as it was
// left; the about box sends the exchange test before it shows, and its firmware line tells
// whether the instrument answered.
#include "layout_check.h"
#include "main_window_fixture.h"
#include "screenshot.h"

#include "shell/form_about.h"
#include "shell/form_help.h"
#include "shell/form_interface.h"
#include "shell/window_placement.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <filesystem>

namespace vr410::test {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

// How far a window lies from its place centred on the main window and kept on the screen (the
// offscreen screen, 800 x 600, is narrower than the main window), along both axes.
int OffCentre(const QWidget& window, const QWidget& main) {
    const QPoint centred = CentredPlace(window.frameGeometry().size(), main.frameGeometry(),
                                        main.screen()->availableGeometry());
    return (window.frameGeometry().topLeft() - centred).manhattanLength();
}

// ---------------------------------------------------------------------------------------------
// The help window.

class HelpWindow : public MainWindowFixture {
  protected:
    void SetUp() override {
        StartVirtual();
        Main().show();
    }
    TFormHelp& Help() { return Inside().FormHelp(); }
};

TEST_F(HelpWindow, OpensCentredBesideTheMainWindowWithoutBlockingIt) {
    ASSERT_FALSE(Help().isVisible());
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    EXPECT_TRUE(Help().isVisible());
    EXPECT_EQ(Help().windowTitle(), QStringLiteral("Справка"));
    EXPECT_EQ(Help().windowModality(), Qt::NonModal);
    EXPECT_EQ(Help().size(), QSize(405, 438));
    EXPECT_LE(OffCentre(Help(), Main()), 4);
    // The main window keeps working while the help is open.
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_TRUE(LastHandled()->Accepted);
    EXPECT_TRUE(Help().isVisible());
}

TEST_F(HelpWindow, EscapeClosesItWhereverTheFocusIs) {
    struct Case {
        const char* Name;
        QWidget* Target;
    };
    for (const Case& c : {Case{.Name = "text", .Target = Help().Memo1},
                          Case{.Name = "window", .Target = &Help()}}) {
        ASSERT_TRUE(CommandMenu::Click(Find("N6")));
        ASSERT_TRUE(Help().isVisible()) << c.Name;
        QTest::keyClick(c.Target, Qt::Key_Escape);
        EXPECT_FALSE(Help().isVisible()) << c.Name;
    }
}

// The menu's keys work from the program's other non-modal windows too, as they do from the main
// window: F1 in the packet monitor opens the help, Ctrl+Q in the help hides the packets.
TEST_F(HelpWindow, MenuKeysWorkFromTheOtherWindows) {
    TFormInterface& monitor = Inside().FormInterface();
    QAction* packets = Find("N15");
    ASSERT_TRUE(CommandMenu::Click(packets));
    ASSERT_TRUE(monitor.isVisible());
    monitor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&monitor));
    QTest::keyClick(&monitor, Qt::Key_F1);
    EXPECT_TRUE(Help().isVisible()) << "F1 in the packet monitor";

    Help().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Help()));
    QTest::keyClick(Help().Memo1, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(packets->isChecked()) << "Ctrl+Q in the help";
    EXPECT_FALSE(monitor.isVisible());
}

TEST_F(HelpWindow, ComesBackWhereAndAsLargeAsItWasLeft) {
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    Help().resize(520, 300);
    Help().move(Help().pos() + QPoint(30, -20));
    const QRect left = Help().geometry();
    QTest::keyClick(Help().Memo1, Qt::Key_Escape);
    ASSERT_FALSE(Help().isVisible());
    Main().move(Main().pos() + QPoint(10, 10)); // no reason to re-centre
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    EXPECT_EQ(Help().geometry(), left);
}

TEST_F(HelpWindow, TextIsReadOnlyAndScrolls) {
    EXPECT_TRUE(Help().Memo1->isReadOnly());
    EXPECT_EQ(Help().Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    QTest::keyClicks(Help().Memo1, QStringLiteral("x"));
    EXPECT_EQ(Help().Memo1->toPlainText(), HelpText());
    EXPECT_GT(Help().Memo1->verticalScrollBar()->maximum(), 0) << "more text than the window";
}

// The text starts with the program's own sentence, every paragraph starts with two blanks, and
// it tells what the operator needs: the interfaces, the link, the addresses, the panel.
TEST(HelpTextOf, TheProgramCoversEveryTopic) {
    const QString text = HelpText();
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "  Программа удаленного управления системой VR410 позволяет управлять системой VR410 по "
        "последовательным интерфейсам RS232, RS485 и USB.")));
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"))) {
        EXPECT_TRUE(paragraph.startsWith(QStringLiteral("  ")) &&
                    !paragraph.startsWith(QStringLiteral("   ")))
            << paragraph.left(40).toStdString();
    }
    struct Topic {
        const char* What;
        const char* Phrase;
    };
    // clang-format off
    const Topic topics[] = {
        {.What = "RS485 through an adapter",      .Phrase = "поставляется отдельно"},
        {.What = "the link menu",                 .Phrase = "меню «Связь»"},
        {.What = "the COM submenu",               .Phrase = "подменю «COM»"},
        {.What = "the USB submenu",               .Phrase = "подменю «USB»"},
        {.What = "refreshing the USB list",       .Phrase = "«Найти USB устройства»"},
        {.What = "COM numbers on Linux",          .Phrase = "ttyUSB0"},
        {.What = "pinning a port number",         .Phrase = "[Ports]"},
        {.What = "the virtual instrument",        .Phrase = "--virtual"},
        {.What = "the delivered address",         .Phrase = "адресом \"1\""},
        {.What = "the destination address item",  .Phrase = "«Адрес назначения...»"},
        {.What = "the computer address item",     .Phrase = "«Адрес компьютера...»"},
        {.What = "the output value field",        .Phrase = "«Выходное значение»"},
        {.What = "the frequency field",           .Phrase = "«Частота»"},
        {.What = "the accessory window",          .Phrase = "«VR410С» меню «Главное»"},
        {.What = "the settings window",           .Phrase = "в окне настроек"},
    };
    // clang-format on
    for (const Topic& topic : topics) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic.Phrase))) << topic.What;
    }
}

// ---------------------------------------------------------------------------------------------
// The about box.

class AboutBox : public MainWindowFixture {
  protected:
    void SetUp() override {
        StartVirtual();
        Main().show();
    }
    TFormAbout& About() { return Inside().FormAbout(); }
    QString FirmwareLine() { return About().Label10->text(); }
};

TEST_F(AboutBox, LooksAsAFixedDialogShould) {
    EXPECT_EQ(About().windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(About().size(), QSize(226, 273));
    EXPECT_EQ(About().minimumSize(), About().maximumSize()) << "no resizing, so no maximise";
    EXPECT_FALSE(About().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(About().Button1->text(), QStringLiteral("ОК"));
    for (const char* line : {"Удаленное управление VR410", "Версия внешнего ПО 2.0"}) {
        bool found = false;
        for (const QLabel* label : About().findChildren<QLabel*>()) {
            found = found || label->text() == QString::fromUtf8(line);
        }
        EXPECT_TRUE(found) << line;
    }
    EXPECT_EQ(About().Label10->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    About().show();
    EXPECT_GE(About().Label10->width(), 189);
    About().hide();
    // The picture is drawn: its size, and more than a background in it.
    const QImage picture = InstrumentFrontPicture();
    EXPECT_EQ(picture.size(), QSize(210, 41));
    EXPECT_NE(picture.pixel(20, 15), picture.pixel(150, 8));
}

// The settings path may be of any length: the box keeps its size (the design size, or more
// where the desktop's font needs it, never the path's) and shows the path shortened, with
// nothing cut off.
TEST(AboutBoxPath, AnyLengthFitsTheBox) {
    QSize shortPathSize;
    for (const QString& path :
         {QStringLiteral("/VR410.ini"), QStringLiteral("/opt/vr410/VR410.ini"),
          QStringLiteral("/home/") + QString(300, QLatin1Char('x')) +
              QStringLiteral("/VR410.ini")}) {
        QWidget owner;
        TFormAbout about(owner, path);
        about.show();
        if (!shortPathSize.isValid()) {
            shortPathSize = about.size();
            EXPECT_GE(about.width(), 226);
            EXPECT_GE(about.height(), 273);
        }
        EXPECT_EQ(about.size(), shortPathSize) << path.size();
        for (const std::string& clipped : ClippedControls(about)) {
            ADD_FAILURE() << path.size() << ": " << clipped;
        }
    }
}

// The box shows with the exchange test already on its way, so its answer can reach the box.
TEST_F(AboutBox, ExchangeTestIsSentBeforeTheBoxShows) {
    bool transmittingAtShow = false;
    uint8_t codeAtShow = 0;
    struct ShowWatch : QObject {
        std::function<void()> OnShow;
        bool eventFilter(QObject* /*watched*/, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                OnShow();
            }
            return false;
        }
    } watch;
    watch.OnShow = [&] {
        transmittingAtShow = Engine().Transmitting();
        codeAtShow = State().CommandCode;
    };
    About().installEventFilter(&watch);
    ASSERT_TRUE(CommandMenu::Click(Find("N17")));
    About().removeEventFilter(&watch);
    EXPECT_TRUE(About().isVisible());
    EXPECT_EQ(About().windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(transmittingAtShow);
    EXPECT_EQ(codeAtShow, 8);
    EXPECT_LE(OffCentre(About(), Main()), 4);
}

struct FirmwareCase {
    const char* Name;
    bool InstrumentAnswers;
    const char* Line;
};

class AboutFirmware : public AboutBox, public testing::WithParamInterface<FirmwareCase> {};

// Opened once with an instrument that answers, and then with the given case: each opening starts
// from "no link" and only this opening's answer changes it.
TEST_P(AboutFirmware, LineTellsWhetherTheInstrumentAnswered) {
    const FirmwareCase& c = GetParam();
    ASSERT_TRUE(CommandMenu::Click(Find("N17")));
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_EQ(FirmwareLine(), QStringLiteral("Версия встроенного ПО 2.06"));
    QTest::mouseClick(About().Button1, Qt::LeftButton);
    ASSERT_FALSE(About().isVisible());

    if (!c.InstrumentAnswers) {
        State().AddrDevice = 7; // nobody on the bus answers there
    }
    ASSERT_TRUE(CommandMenu::Click(Find("N17")));
    EXPECT_EQ(FirmwareLine(), QStringLiteral("Версия встроенного ПО: нет связи!"));
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(LastHandled()->Accepted, c.InstrumentAnswers);
    EXPECT_EQ(FirmwareLine(), QString::fromUtf8(c.Line));
    EXPECT_TRUE(About().isVisible()) << "the answer arrives while the box is open";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Shell, AboutFirmware, testing::Values(
    FirmwareCase{.Name = "InstrumentAnswers", .InstrumentAnswers = true,  .Line = "Версия встроенного ПО 2.06"},
    FirmwareCase{.Name = "NoInstrument",      .InstrumentAnswers = false, .Line = "Версия встроенного ПО: нет связи!"}),
    CaseName<FirmwareCase>);
// clang-format on

// ---------------------------------------------------------------------------------------------
// Pictures of the windows under the build folder, and nothing in them cut off.

TEST_F(MainWindowFixture, HelpAboutAndMonitorAreWholeAndPictured) {
    WriteIni("[Data]\nShowPackets=1\n");
    StartVirtual();
    Main().show();
    ASSERT_TRUE(CommandMenu::Click(Find("N6")));
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1)); // the monitor shows a request and an answer
    ASSERT_TRUE(CommandMenu::Click(Find("N17")));
    ASSERT_TRUE(WaitForAnswers(1));
    struct Shown {
        const char* Name;
        QWidget* Widget;
    };
    for (const Shown& w : {Shown{.Name = "help", .Widget = &Inside().FormHelp()},
                           Shown{.Name = "about", .Widget = &Inside().FormAbout()},
                           Shown{.Name = "packet_monitor", .Widget = &Inside().FormInterface()}}) {
        ASSERT_TRUE(w.Widget->isVisible()) << w.Name;
        for (const std::string& clipped : ClippedControls(*w.Widget)) {
            ADD_FAILURE() << w.Name << ": " << clipped;
        }
        const std::string path = WriteScreenshot(*w.Widget, w.Name);
        EXPECT_FALSE(path.empty()) << w.Name;
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
}

} // namespace
} // namespace vr410::test
