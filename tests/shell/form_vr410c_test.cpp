// The accessory window in the main window against the virtual accessory on address 251: opened
// by "VR410С", its buttons set the accessory, the read at opening presses the buttons of what the
// accessory holds, and closing returns the traffic to the instrument.
#include "layout_check.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "screenshot.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/panel5.h"
#include "protocol/function_codes.h"
#include "shell/window_placement.h"
#include "sim/virtual_accessory.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>

namespace vr410::test {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

constexpr uint8_t AccessoryBusAddress = 251;

using B = AccessoryButton;

struct Request {
    uint8_t Code;
    uint8_t Address;
    bool operator==(const Request&) const = default;
};

void PrintTo(const Request& r, std::ostream* os) {
    *os << "code " << int(r.Code) << " to " << int(r.Address);
}

class AccessoryWindow : public MainWindowFixture {
  protected:
    void SetUp() override {
        StartVirtual();
        Main().show();
        Engine().Events().Subscribe([this](const engine::EngineEvent& event) {
            if (const auto* encoded = std::get_if<engine::RequestEncoded>(&event)) {
                Requests.push_back({encoded->Code, encoded->Packet.Head[0]});
            }
        });
    }

    TFormVR410C& Window() { return Inside().FormVR410C(); }
    QPushButton* Button(B button) { return Window().Button(button); }
    QAction* N3001() { return Find("N3001"); }
    uint8_t AccessoryByte() { return Inside().Accessory()->BandFactor(); }

    // Opens the window with its menu item and runs script inside it once the opening read has
    // been answered; the window is closed afterwards.
    void WithWindowOpen(const std::function<void()>& script) {
        WhenShown(Window(), [&] {
            ASSERT_TRUE(WaitForAnswers(1)) << "the opening read";
            script();
        });
        N3001()->trigger();
    }
    // Clicks the button and waits for the exchange it starts.
    void ClickAndWait(B button) {
        QTest::mouseClick(Button(button), Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswers(1)) << Button(button)->objectName().toStdString();
    }

    std::vector<Request> Requests;
};

// ---------------------------------------------------------------------------------------------
// Opening and closing.

TEST_F(AccessoryWindow, OpeningReadsTheAccessoryAndClosingReturnsToTheInstrument) {
    Button(B::SB_6)->setChecked(true); // shown until the read reports the reset
    bool tickedWhileOpen = false;
    QString answer;
    WithWindowOpen([&] {
        tickedWhileOpen = N3001()->isChecked();
        answer = Text("LabelAnswer");
    });
    EXPECT_TRUE(tickedWhileOpen);
    EXPECT_EQ(Requests, (std::vector<Request>{{FunctionCode::ReadOutput, AccessoryBusAddress}}));
    // The accessory starts in reset.
    EXPECT_EQ(answer, QStringLiteral("Прибор в режиме сброса"));
    EXPECT_TRUE(Button(B::SB_Reset)->isChecked());
    EXPECT_FALSE(N3001()->isChecked());

    // The next request, a panel key's, goes to the instrument and is answered by it.
    Requests.clear();
    Inside().Keypad().Press(PanelKey::SB_Reset);
    ASSERT_TRUE(WaitForAnswers(1));
    EXPECT_EQ(Requests, (std::vector<Request>{{FunctionCode::Reset, State().AddrDevice}}));
    EXPECT_TRUE(LastHandled()->Accepted);
}

TEST_F(AccessoryWindow, ReadAnswerPressesTheButtonsOfWhatTheAccessoryHolds) {
    WithWindowOpen([&] {
        ClickAndWait(B::SB_8); // factor 0.5
        ClickAndWait(B::SB_3); // band 100 mA
    });
    ASSERT_EQ(AccessoryByte(), 0x23);
    // Other buttons shown down meanwhile; the next opening's read puts the held ones down.
    Button(B::SB_4)->setChecked(true);
    Button(B::SB_9)->setChecked(true);
    WithWindowOpen([&] {
        EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Считано состояние VR410C"));
        EXPECT_TRUE(Button(B::SB_3)->isChecked());
        EXPECT_TRUE(Button(B::SB_8)->isChecked());
        EXPECT_FALSE(Button(B::SB_4)->isChecked());
        EXPECT_FALSE(Button(B::SB_9)->isChecked());
    });
    EXPECT_TRUE(Inside().Dialogs().AccessoryPresses.empty());
}

TEST_F(AccessoryWindow, EscapeDoesNotCloseTheWindow) {
    bool openAfterEscape = false;
    WithWindowOpen([&] {
        QTest::keyClick(&Window(), Qt::Key_Escape);
        openAfterEscape = Window().isVisible();
    });
    EXPECT_TRUE(openAfterEscape);
}

// ---------------------------------------------------------------------------------------------
// Buttons.

TEST_F(AccessoryWindow, BandAndFactorClicksSetTheAccessoryAtOnce) {
    WithWindowOpen([&] {
        Requests.clear();
        ClickAndWait(B::SB_7); // factor 0.3
        ClickAndWait(B::SB_2); // band 10 mA
        EXPECT_EQ(AccessoryByte(), 0x12);
        EXPECT_EQ(State().AccessoryBand, 1);
        EXPECT_EQ(State().AccessoryFactor, 2);
        ClickAndWait(B::SB_Reset);
        EXPECT_EQ(AccessoryByte(), AccessoryResetByte);
        EXPECT_TRUE(Button(B::SB_Reset)->isChecked());
        EXPECT_FALSE(Button(B::SB_7)->isChecked());
        EXPECT_TRUE(Button(B::SB_2)->isChecked()) << "the band row keeps its button";
    });
    EXPECT_EQ(Requests, (std::vector<Request>{{FunctionCode::SetOutput, AccessoryBusAddress},
                                              {FunctionCode::SetOutput, AccessoryBusAddress},
                                              {FunctionCode::Reset, AccessoryBusAddress}}));
}

struct FactorCase {
    const char* Name;
    B Clicked;
    bool Taken;
};

void PrintTo(const FactorCase& c, std::ostream* os) {
    *os << c.Name;
}

class TwentyVoltBand : public AccessoryWindow, public testing::WithParamInterface<FactorCase> {};

TEST_P(TwentyVoltBand, RefusesTheFactorsPointThreeAndPointSeven) {
    const FactorCase& c = GetParam();
    WithWindowOpen([&] {
        ClickAndWait(B::SB_6);     // factor 0
        ClickAndWait(B::SB_Enter); // band 20 V
        ASSERT_EQ(AccessoryByte(), 0x51);
        const size_t given = Count(CycleEvent::Kind::TransmitGiven);
        QTest::mouseClick(Button(c.Clicked), Qt::LeftButton);
        if (c.Taken) {
            ASSERT_TRUE(WaitForAnswers(1));
            EXPECT_EQ(AccessoryByte(), 0x50 | Window().Tag(c.Clicked));
            EXPECT_TRUE(Button(c.Clicked)->isChecked());
            EXPECT_FALSE(Button(B::SB_6)->isChecked());
        } else {
            QTest::qWait(50);
            EXPECT_EQ(Count(CycleEvent::Kind::TransmitGiven), given) << "nothing is sent";
            EXPECT_EQ(State().AccessoryFactor, 1);
            EXPECT_TRUE(Button(B::SB_6)->isChecked()) << "the factor that holds stays down";
            EXPECT_FALSE(Button(c.Clicked)->isChecked());
            EXPECT_EQ(AccessoryByte(), 0x51);
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Factors, TwentyVoltBand,
    testing::Values(FactorCase{.Name = "PointThree", .Clicked = B::SB_7, .Taken = false},
                    FactorCase{.Name = "PointSeven", .Clicked = B::SB_9, .Taken = false},
                    FactorCase{.Name = "PointFive", .Clicked = B::SB_8, .Taken = true}),
    CaseName<FactorCase>);

// A refused factor shows the factor that holds again: "Сброс" for 0 (the value at program start),
// and nothing changes for a value no button stands for (15 after the accessory's reset report).
TEST_F(AccessoryWindow, RefusedFactorShowsResetForZeroAndLeavesOtherValuesAlone) {
    struct Case {
        uint8_t Factor;
        B Down;
    };
    WithWindowOpen([&] {
        for (const Case c : {Case{0, B::SB_Reset}, Case{15, B::SB_9}}) {
            State().AccessoryBand = 5; // "20В"
            State().AccessoryFactor = c.Factor;
            Button(B::SB_6)->setChecked(true);
            const size_t given = Count(CycleEvent::Kind::TransmitGiven);
            QTest::mouseClick(Button(B::SB_9), Qt::LeftButton);
            EXPECT_TRUE(Button(c.Down)->isChecked()) << int(c.Factor);
            EXPECT_EQ(State().AccessoryFactor, c.Factor);
            EXPECT_EQ(Count(CycleEvent::Kind::TransmitGiven), given) << int(c.Factor);
        }
    });
}

TEST_F(AccessoryWindow, CtrlTurnsTheTenAmpButtonIntoThirtyAmps) {
    WithWindowOpen([&] {
        ClickAndWait(B::SB_8); // factor 0.5
        QTest::keyPress(&Window(), Qt::Key_Control);
        EXPECT_EQ(Button(B::SB_5)->text(), QStringLiteral("30A"));
        EXPECT_EQ(Window().Tag(B::SB_5), 6);
        ClickAndWait(B::SB_5);
        EXPECT_EQ(AccessoryByte(), 0x63) << "the 30 A band";
        QTest::keyRelease(&Window(), Qt::Key_Control);
        EXPECT_EQ(Button(B::SB_5)->text(), QStringLiteral("10A"));
        EXPECT_EQ(Window().Tag(B::SB_5), 4);
        ClickAndWait(B::SB_5);
        EXPECT_EQ(AccessoryByte(), 0x43) << "the 10 A band";
    });
}

// ---------------------------------------------------------------------------------------------
// The window.

struct FaceCase {
    B Button;
    const char* Caption;
    int Tag;
    int Row; // 0 the bands, 1 the factors
};

TEST_F(AccessoryWindow, WindowHasItsCaptionButtonsSizeAndPlace) {
    QRect frame;
    QPoint centred;
    WithWindowOpen([&] {
        frame = Window().frameGeometry();
        centred = CentredPlace(frame.size(), Main().frameGeometry(),
                               Window().screen()->availableGeometry());
        EXPECT_FALSE(WriteScreenshot(Window(), "form_vr410c").empty());
    });
    EXPECT_EQ(frame.topLeft(), centred);
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("VR410С"));
    EXPECT_GE(Window().width(), 465);
    EXPECT_GE(Window().height(), 104);
    EXPECT_EQ(Window().minimumSize(), Window().maximumSize());

    // clang-format off
    const FaceCase faces[] = {
        {B::SB_Enter, "20В", 5, 0},    {B::SB_1, "1мА", 0, 0}, {B::SB_2, "10мА", 1, 0},
        {B::SB_3, "100мА", 2, 0},      {B::SB_4, "1А", 3, 0},  {B::SB_5, "10А", 4, 0},
        {B::SB_Reset, "Сброс", -1, 1}, {B::SB_6, "0", 1, 1},   {B::SB_7, "0.3", 2, 1},
        {B::SB_8, "0.5", 3, 1},        {B::SB_9, "0.7", 4, 1}, {B::SB_0, "1", 5, 1},
    };
    // clang-format on
    int previousRight[2] = {0, 0};
    for (const FaceCase& face : faces) {
        QPushButton* button = Button(face.Button);
        const std::string name = button->objectName().toStdString();
        EXPECT_EQ(button->text(), QString::fromUtf8(face.Caption)) << name;
        EXPECT_EQ(Window().Tag(face.Button), face.Tag) << name;
        EXPECT_GE(button->width(), 65) << name;
        EXPECT_GE(button->height(), 33) << name;
        // The design's 65 pixels hold every caption; the style's wish for 80 is not followed.
        const QFontMetrics metrics(button->font());
        EXPECT_GE(button->width(), metrics.horizontalAdvance(button->text()) + 8) << name;
        EXPECT_GE(button->height(), metrics.height() + 4) << name;
        EXPECT_TRUE(Window().rect().contains(button->geometry())) << name;
        // Each row left to right, the bands above the factors.
        const int row = face.Row;
        EXPECT_GT(button->x(), previousRight[row]) << name;
        previousRight[row] = button->geometry().right();
        EXPECT_EQ(button->y() > Button(B::SB_1)->y(), row == 1) << name;
    }
    const QFont reset = Button(B::SB_Reset)->font();
    EXPECT_TRUE(reset.bold());
    EXPECT_EQ(reset.pixelSize(), 16);
    EXPECT_EQ(Button(B::SB_Reset)->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
}

TEST_F(AccessoryWindow, EachRowIsOneRadioGroup) {
    WithWindowOpen([&] {
        ClickAndWait(B::SB_4);
        ClickAndWait(B::SB_0);
        int bandsDown = 0;
        int factorsDown = 0;
        for (B band : {B::SB_Enter, B::SB_1, B::SB_2, B::SB_3, B::SB_4, B::SB_5}) {
            bandsDown += Button(band)->isChecked() ? 1 : 0;
        }
        for (B factor : {B::SB_Reset, B::SB_6, B::SB_7, B::SB_8, B::SB_9, B::SB_0}) {
            factorsDown += Button(factor)->isChecked() ? 1 : 0;
        }
        EXPECT_EQ(bandsDown, 1);
        EXPECT_EQ(factorsDown, 1);
        EXPECT_TRUE(Button(B::SB_4)->isChecked());
        EXPECT_TRUE(Button(B::SB_0)->isChecked());
    });
}

// The accessory and the user calibration windows are laid out when the main window is built;
// a font twice the size then stands for a larger desktop font or scale.
TEST_F(MainWindowFixture, AccessoryAndCalibrationWindowsShowEveryControlWholeInALargeFont) {
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPointSizeF(saved.pointSizeF() * 2);
    QApplication::setFont(large);
    StartVirtual();
    for (QDialog* dialog : {static_cast<QDialog*>(&Inside().FormVR410C()),
                            static_cast<QDialog*>(&Inside().FormCalibration())}) {
        dialog->show();
        const std::vector<std::string> clipped = ClippedControls(*dialog);
        EXPECT_TRUE(clipped.empty())
            << dialog->objectName().toStdString() << ": " << testing::PrintToString(clipped);
        dialog->hide();
    }
    QApplication::setFont(saved);
}

// Both windows as the operator sees them, the calibration entry in its widest layout (the output
// field's letters): nothing cut off, a picture of each. The scale2 run repeats this at twice the
// pixel density.
TEST_F(MainWindowFixture, AccessoryAndCalibrationWindowsAreWholeAndPictured) {
    StartVirtual();
    Main().show();
    State().ViewMode = 2;
    State().RangeIndex = 2;
    State().Mode = PanelMode::OutputOn;
    State().OutputDigits = "01000000";
    struct Shown {
        const char* Name;
        QDialog* Dialog;
        QSize Design;
    };
    const Shown windows[] = {
        {.Name = "form_calibration", .Dialog = &Inside().FormCalibration(), .Design = {281, 81}},
        {.Name = "form_vr410c", .Dialog = &Inside().FormVR410C(), .Design = {465, 104}},
    };
    for (const Shown& w : windows) {
        w.Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.Dialog)) << w.Name;
        EXPECT_GE(w.Dialog->width(), w.Design.width()) << w.Name;
        EXPECT_GE(w.Dialog->height(), w.Design.height()) << w.Name;
        EXPECT_EQ(ClippedControls(*w.Dialog), std::vector<std::string>{}) << w.Name;
        EXPECT_FALSE(WriteScreenshot(*w.Dialog, w.Name).empty()) << w.Name;
        w.Dialog->hide();
    }
    EXPECT_EQ(Inside().FormCalibration().M_Real()->text(), QStringLiteral("01.000m000V"));
}

} // namespace
} // namespace vr410::test
