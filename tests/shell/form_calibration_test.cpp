// The user calibration dialog in the main window against the virtual instrument: opened by the
// shifted "Калибровка" key, typed into, accepted or refused, and what the keypad then sends.
#include "layout_check.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "screenshot.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/panel5.h"
#include "protocol/function_codes.h"
#include "shell/window_placement.h"

#include <QPushButton>
#include <QScreen>

namespace vr410::test {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

constexpr uint8_t UserCalibration = FunctionCode::UserCalibration;
constexpr const char* LimitsMessage = "Действительное напряжение должно находиться\r\n"
                                      "в пределах от 00.990m000V до 01.010m000V!";

class CalibrationDialog : public MainWindowFixture {
  protected:
    TFormCalibration& Dialog() { return Inside().FormCalibration(); }
    MaskedDigitEdit* Field() { return Dialog().M_Real(); }

    // The calibrator on the 10 V DC row with the output on at value, the field's layout with
    // the separator letters: 01.000m000V.
    void StartOutputOn(const char* value) {
        StartVirtual();
        Main().show();
        State().ViewMode = 2;
        State().RangeIndex = 2;
        Inside().KeyHost().SetOutputFieldText(value);
        Inside().Keypad().Press(PanelKey::SB_Enter);
        ASSERT_TRUE(QTest::qWaitFor([this] { return State().Mode == PanelMode::OutputOn; }, 5000));
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return Engine().State() == engine::CycleState::Done; }, 5000));
    }
    // The shifted "Калибровка" key, which opens the dialog in output-on mode.
    void PressCalibration() {
        Inside().Keypad().Press(PanelKey::SB_Shift);
        Inside().Keypad().Press(PanelKey::SB_Meas);
    }
    // Types digits from the caret index on.
    void TypeAt(int caret, const char* digits) {
        Field()->SetCaretIndex(caret);
        QTest::keyClicks(Field(), QString::fromLatin1(digits));
    }
    // The packed digits of the last user calibration request on the wire.
    std::string SentDigits() const { return SentCalibration; }

    void RecordCalibrationRequests() {
        Engine().Events().Subscribe([this](const engine::EngineEvent& event) {
            const auto* encoded = std::get_if<engine::RequestEncoded>(&event);
            if (encoded == nullptr || encoded->Code != UserCalibration) {
                return;
            }
            // Block 0 of the body: length, control, PC address, code, then the four BCD bytes.
            char text[9];
            std::snprintf(text, sizeof text, "%02X%02X%02X%02X", encoded->Packet.Body[4],
                          encoded->Packet.Body[5], encoded->Packet.Body[6],
                          encoded->Packet.Body[7]);
            SentCalibration = text;
        });
    }

    std::string SentCalibration;
};

// ---------------------------------------------------------------------------------------------
// Opened by the key: what "Принять", "Выйти" and Escape lead to.

struct CloseCase {
    const char* Name;
    const char* Typed; // from the first digit on
    std::function<void(TFormCalibration&)> Close;
    size_t Sent; // user calibration requests
    const char* Digits;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.Name;
}

class CalibrationClosing : public CalibrationDialog,
                           public testing::WithParamInterface<CloseCase> {};

TEST_P(CalibrationClosing, SendsTheUserCalibrationOnlyOnYes) {
    const CloseCase& c = GetParam();
    StartOutputOn("01000000");
    RecordCalibrationRequests();
    bool shown = false;
    WhenShown(Dialog(), [&] {
        shown = true;
        EXPECT_EQ(Field()->text(), QStringLiteral("01.000m000V"));
        TypeAt(0, c.Typed);
        c.Close(Dialog());
    });
    PressCalibration();
    ASSERT_TRUE(shown);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(CountGiven(UserCalibration), c.Sent);
    EXPECT_EQ(State().CalibrationDigits, c.Digits);
    if (c.Sent != 0) {
        ASSERT_TRUE(WaitForAnswers(1));
        EXPECT_EQ(SentDigits(), c.Digits);
        EXPECT_EQ(Text("LabelAnswer"), QStringLiteral("Пользовательская калибровка активирована"));
        EXPECT_EQ(State().CoefCalibr, 1);
    }
    EXPECT_TRUE(Facilities->Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CalibrationClosing,
    testing::Values(
        CloseCase{.Name = "AcceptWithin",
                  .Typed = "01005000",
                  .Close = [](TFormCalibration& d) { d.B_Apply()->click(); },
                  .Sent = 1,
                  .Digits = "01005000"},
        CloseCase{.Name = "EnterAccepts",
                  .Typed = "00995000",
                  .Close = [](TFormCalibration& d) { QTest::keyClick(d.M_Real(), Qt::Key_Return); },
                  .Sent = 1,
                  .Digits = "00995000"},
        // A cancelled dialog keeps what was typed last and sends nothing.
        CloseCase{.Name = "Exit",
                  .Typed = "01005000",
                  .Close = [](TFormCalibration& d) { d.B_Close()->click(); },
                  .Sent = 0,
                  .Digits = "01005000"},
        CloseCase{.Name = "Escape",
                  .Typed = "01005000",
                  .Close = [](TFormCalibration& d) { QTest::keyClick(d.M_Real(), Qt::Key_Escape); },
                  .Sent = 0,
                  .Digits = "01005000"}),
    CaseName<CloseCase>);

TEST_F(CalibrationDialog, ValueBelowTheLowerLimitIsRefusedWithBothLimitsAndTheEntryReset) {
    StartOutputOn("01000000");
    bool stayedOpen = false;
    QString afterRefusal;
    WhenShown(Dialog(), [&] {
        TypeAt(0, "00980000");
        EXPECT_EQ(State().CalibrationDigits, "00980000");
        Dialog().B_Apply()->click();
        stayedOpen = Dialog().isVisible();
        afterRefusal = Field()->text();
        Dialog().B_Close()->click();
    });
    PressCalibration();

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(Facilities->Messages.size(), 1u);
    EXPECT_EQ(Facilities->Messages[0].Text, LimitsMessage);
    EXPECT_EQ(Facilities->Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(afterRefusal, QStringLiteral("01.000m000V")) << "the entry starts again";
    EXPECT_EQ(CountGiven(UserCalibration), 0u);
}

TEST_F(CalibrationDialog, ADigitPastTheUpperLimitCannotBeTyped) {
    StartOutputOn("01000000");
    WhenShown(Dialog(), [&] {
        TypeAt(4, "2"); // 01.020m000V: past 01.010m000V
        EXPECT_EQ(Field()->text(), QStringLiteral("01.000m000V"));
        EXPECT_EQ(State().CalibrationDigits, "01000000");
        EXPECT_EQ(Field()->CaretIndex(), 4) << "the caret stays on the refused digit";
        TypeAt(4, "1"); // 01.010m000V, the limit itself
        EXPECT_EQ(State().CalibrationDigits, "01010000");
    });
    PressCalibration();
}

struct CaretCase {
    const char* Name;
    uint8_t MoveCursor;
    int Caret;
    std::function<void(MaskedDigitEdit*)> Key;
    int After;
};

void PrintTo(const CaretCase& c, std::ostream* os) {
    *os << c.Name;
}

class CalibrationCaret : public CalibrationDialog, public testing::WithParamInterface<CaretCase> {};

TEST_P(CalibrationCaret, FollowsTheCursorAdvanceParameter) {
    const CaretCase& c = GetParam();
    StartOutputOn("01000000");
    State().MoveCursor = c.MoveCursor;
    WhenShown(Dialog(), [&] {
        Field()->SetCaretIndex(c.Caret);
        c.Key(Field());
        EXPECT_EQ(Field()->CaretIndex(), c.After);
    });
    PressCalibration();
}

void TypeFive(MaskedDigitEdit* field) {
    QTest::keyClick(field, Qt::Key_5);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CalibrationCaret,
    testing::Values(
        // "01.000m000V": index 5 is the third digit after the point; a "5" there gives
        // 01.005m000V, within the limits.
        CaretCase{.Name = "AdvanceOffStaysOnTheTypedDigit",
                  .MoveCursor = 0,
                  .Caret = 5,
                  .Key = TypeFive,
                  .After = 5},
        CaretCase{.Name = "AdvanceOffOnTheFirstDigitMovesOn",
                  .MoveCursor = 0,
                  .Caret = 0,
                  .Key = [](MaskedDigitEdit* f) { QTest::keyClick(f, Qt::Key_0); },
                  .After = 1},
        CaretCase{
            .Name = "AdvanceOnMovesOn", .MoveCursor = 1, .Caret = 5, .Key = TypeFive, .After = 6},
        CaretCase{.Name = "BackspaceIsNotMovedBack",
                  .MoveCursor = 0,
                  .Caret = 2,
                  .Key = [](MaskedDigitEdit* f) { QTest::keyClick(f, Qt::Key_Backspace); },
                  .After = 1}),
    CaseName<CaretCase>);

// ---------------------------------------------------------------------------------------------
// The voltmeter's reading.

TEST_F(CalibrationDialog, VoltmeterEntryStartsFromTheReadingInTheRangesLayout) {
    StartVirtual();
    Main().show();
    State().Mode = PanelMode::Measurement;
    State().VoltmeterRange = 2;
    State().MeasuredDigits = "0012345678";
    State().CoefComp = 0;
    Inside().Dialogs().Param(ParamControl::CB_CoefComp) = 1;
    QString shown;
    WhenShown(Dialog(), [&] {
        shown = Field()->text();
        EXPECT_EQ(Dialog().Entry().Limits().Upper, 124691); // 123456 × 1.01
        EXPECT_EQ(Dialog().Entry().Limits().Lower, 122221); // 123456 × 0.99
    });
    EXPECT_FALSE(Dialog().Execute());
    EXPECT_EQ(shown, QStringLiteral("00,123m456V"));
    EXPECT_EQ(State().CalibrationDigits, "00123456");
    EXPECT_EQ(Inside().Dialogs().Param(ParamControl::CB_CoefComp), 0)
        << "the parameters dialog's box follows the voltmeter's calibration";
}

// ---------------------------------------------------------------------------------------------
// The window.

TEST_F(CalibrationDialog, WindowHasItsCaptionSizeAndPlaceAndHoldsItsCaptions) {
    StartOutputOn("01000000");
    QRect frame;
    QPoint centred;
    std::vector<std::string> clipped;
    WhenShown(Dialog(), [&] {
        frame = Dialog().frameGeometry();
        centred = CentredPlace(frame.size(), Main().frameGeometry(),
                               Dialog().screen()->availableGeometry());
        clipped = ClippedControls(Dialog());
        EXPECT_FALSE(WriteScreenshot(Dialog(), "form_calibration").empty());
    });
    PressCalibration();

    EXPECT_EQ(frame.topLeft(), centred);
    EXPECT_TRUE(clipped.empty()) << testing::PrintToString(clipped);
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Пользовательская калибровка"));
    EXPECT_GE(Dialog().width(), 281);
    EXPECT_GE(Dialog().height(), 81);
    EXPECT_EQ(Dialog().minimumSize(), Dialog().maximumSize());
    EXPECT_GE(Field()->width(), 124);
    EXPECT_EQ(Dialog().B_Apply()->text(), QStringLiteral("Принять"));
    EXPECT_EQ(Dialog().B_Close()->text(), QStringLiteral("Выйти"));
    EXPECT_TRUE(Dialog().B_Apply()->isDefault());

    // A second opening keeps the place the window had.
    Dialog().move(frame.topLeft() + QPoint(40, 30));
    const QPoint moved = Dialog().pos();
    QPoint again;
    WhenShown(Dialog(), [&] { again = Dialog().pos(); });
    PressCalibration();
    EXPECT_EQ(again, moved);
}

} // namespace
} // namespace vr410::test
