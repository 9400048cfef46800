// The output value field and the frequency field wired to the entry rules through the widgets,
// with a window stand-in that records commands and renderer calls.
#include "panel/keypad/keypad.h"
#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/keypad/widget_keypad_host.h"
#include "recording_host.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace vr410 {
namespace {

// The widgets' own host with the window's share recorded: PrintMode lays the field out as the
// display does.
class WidgetRecordingHost : public WidgetKeypadHost {
  public:
    WidgetRecordingHost(InstrumentState& state, Panel5& keys, OutputEntryBar& entry,
                        ConfirmationBox& confirm)
        : WidgetKeypadHost(keys, entry, confirm), State(state), Keys(keys), Entry(entry) {}

    std::vector<int> Commands;
    std::vector<std::string> Log;

    void IssueCommand(uint8_t code) override { Commands.push_back(code); }
    void SetCancelHint(const std::string&) override {}
    void SetQueryInterval(int) override {}
    void StartPredelOn() override {}
    void PrintMode() override {
        Log.push_back("PrintMode");
        Keys.SetKeyDown(IsAcRow(State.RangeIndex) ? PanelKey::SB_Sin : PanelKey::SB_Polar, true);
        if (ShowsOutputValue(State.Mode)) {
            Entry.MaskEditVoltage()->SetMask(test::PlainMask(State));
            Entry.MaskEditVoltage()->SetDigits(QString::fromStdString(State.OutputDigits));
        }
    }
    void VoltPrint(int row) override { Log.push_back("VoltPrint " + std::to_string(row)); }
    void FreqPrint(int column, int row) override {
        Log.push_back("FreqPrint " + std::to_string(column) + "," + std::to_string(row) + " " +
                      Entry.SE_Freq()->text().toStdString());
    }
    void PrintGuard() override {}
    void PrintPercent() override { Log.push_back("PrintPercent"); }
    void SetPercentBase(int32_t) override {}
    void CLRDisp(int) override {}
    void PrintText(int, int, int, const std::string&) override {}
    void OpenParamDialog() override {}
    OkCalResult OpenOkCalDialog(int, const std::string&) override { return {}; }
    bool OpenCalibrationDialog() override { return false; }

  private:
    InstrumentState& State;
    Panel5& Keys;
    OutputEntryBar& Entry;
};

class EntryWidgets : public testing::Test {
  protected:
    InstrumentState State;
    Panel5 Keys;
    OutputEntryBar Bar;
    ConfirmationBox Confirm{nullptr};
    WidgetRecordingHost Host{State, Keys, Bar, Confirm};
    Keypad KeyLogic{State, Host};
    OutputEntry EntryLogic{State, Host};
    MaskedDigitEdit* Field = Bar.MaskEditVoltage();

    // Wired as the main window wires them.
    void SetUp() override {
        QObject::connect(&Keys, &Panel5::KeyClicked, [this](PanelKey key) { KeyLogic.Press(key); });
        QObject::connect(Field, &MaskedDigitEdit::KeyDown,
                         [this](bool deleting) { EntryLogic.MaskEditVoltageKeyDown(deleting); });
        QObject::connect(Field, &MaskedDigitEdit::Changed,
                         [this](bool typed) { EntryLogic.MaskEditVoltageChange(typed); });
        QObject::connect(Field, &MaskedDigitEdit::Retyped,
                         [this] { EntryLogic.MaskEditVoltageRetyped(); });
        QObject::connect(Bar.SE_Freq(), &QSpinBox::valueChanged,
                         [this] { EntryLogic.SE_FreqChange(); });
        Bar.show();
        Keys.show();
        Host.PrintMode();
        Field->setFocus();
    }
    void Forget() {
        Host.Commands.clear();
        Host.Log.clear();
    }
};

TEST_F(EntryWidgets, ControlsStartAsDesigned) {
    OutputEntryBar bar;
    EXPECT_EQ(bar.Label9()->text(), QStringLiteral("Выходное значение"));
    EXPECT_GE(bar.MaskEditVoltage()->width(), 79);
    EXPECT_GE(bar.MaskEditVoltage()->height(), 21);
    EXPECT_EQ(bar.MaskEditVoltage()->toolTip(), QStringLiteral("Выходное значение калибратора"));
    EXPECT_EQ(bar.MaskEditVoltage()->text(), QStringLiteral("00,000m000V"));
    EXPECT_TRUE(bar.PanelFreq()->isHidden());
    EXPECT_EQ(bar.LabelFreq()->text(), QStringLiteral("Частота"));
    EXPECT_EQ(bar.SE_Freq()->minimum(), 45);
    EXPECT_EQ(bar.SE_Freq()->maximum(), 1000);
    EXPECT_EQ(bar.SE_Freq()->value(), 1000);
}

// Inside the bar, not clipped by it or by the frequency panel.
::testing::AssertionResult InsideTheBar(const QWidget* widget, const OutputEntryBar& bar) {
    const QRect area(widget->mapTo(&bar, QPoint(0, 0)), widget->size());
    const QWidget* parent = widget->parentWidget();
    if (bar.rect().contains(area) &&
        (parent == &bar || parent->rect().contains(widget->geometry()))) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << widget->objectName().toStdString() << " clipped: " << area.width() << "x"
           << area.height() << " in " << bar.width() << "x" << bar.height();
}

// Every control under the display holds its whole text in its own font: the bar sits in the
// window's client area at a fixed place, as in the main window, and the frequency panel
// appears after the bar was first shown; the output field takes its longest layouts without a
// smaller font.
TEST(EntryBar, ControlsHoldTheirWholeTexts) {
    QWidget client;
    auto* bar = new OutputEntryBar(&client);
    bar->move(0, 110);
    client.resize(600, 200);
    client.show();
    bar->SetFreqPanelVisible(true);
    QCoreApplication::processEvents();
    for (const QLabel* label : {bar->Label9(), bar->LabelFreq()}) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->text().toStdString();
        EXPECT_TRUE(InsideTheBar(label, *bar));
    }
    const auto* freq = bar->SE_Freq()->findChild<QLineEdit*>();
    ASSERT_NE(freq, nullptr);
    EXPECT_EQ(bar->SE_Freq()->text(), QStringLiteral("1000"));
    EXPECT_GE(freq->width(), freq->fontMetrics().horizontalAdvance(QStringLiteral("1000")));
    EXPECT_TRUE(InsideTheBar(bar->SE_Freq(), *bar));

    MaskedDigitEdit* field = bar->MaskEditVoltage();
    for (const char* mask :
         {"0\\.000\\m000\\u0\\V;0;0", "000\\.000\\u00\\m\\V;0;0", "00\\.000\\m000\\V;0;0"}) {
        field->SetMask(QString::fromLatin1(mask));
        QCoreApplication::processEvents();
        const std::string shown = field->text().toStdString();
        EXPECT_EQ(field->font().pointSizeF(), bar->font().pointSizeF()) << shown;
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(field->text()) + 4)
            << shown;
        EXPECT_GE(field->width(), 79);
        EXPECT_TRUE(InsideTheBar(field, *bar)) << shown;
    }
}

TEST_F(EntryWidgets, TwelveOnTheTenVoltRangeBecomesTheMaximum) {
    Field->SetCaretIndex(0);
    QTest::keyClicks(Field, QStringLiteral("12"));
    EXPECT_EQ(State.OutputDigits, "10200000");
    EXPECT_EQ(Field->text(), QStringLiteral("10.200000V"));
}

TEST_F(EntryWidgets, AllZerosOnTheAcOneVoltRangeBecomeOnePercent) {
    State.RangeIndex = 21;
    State.OutputDigits = "0500000";
    Host.PrintMode();
    Field->SetCaretIndex(0);
    QTest::keyClicks(Field, QStringLiteral("00"));
    EXPECT_EQ(State.OutputDigits, "0010000");
    EXPECT_EQ(Field->text(), QStringLiteral("0.010000V"));
}

TEST_F(EntryWidgets, EveryTypedDigitIsSentWithTheOutputOnOnly) {
    Forget();
    Field->SetCaretIndex(0);
    QTest::keyClicks(Field, QStringLiteral("0123"));
    EXPECT_TRUE(Host.Commands.empty());

    State.Mode = PanelMode::OutputOn;
    Field->SetCaretIndex(0);
    QTest::keyClicks(Field, QStringLiteral("0111")); // over 0123: two digits change
    EXPECT_EQ(Host.Commands, (std::vector<int>{16, 16}));
    EXPECT_EQ(State.OutputDigits, "01110000");
}

// A key that leaves the digits as they were changes nothing on the instrument: the same digit
// typed over itself, Backspace or Delete on a blank "0".
TEST_F(EntryWidgets, KeysThatLeaveTheDigitsAloneSendNothingWithTheOutputOn) {
    State.Mode = PanelMode::OutputOn;
    State.OutputDigits = "01000000";
    Host.PrintMode();
    Forget();
    Field->SetCaretIndex(1);
    QTest::keyClick(Field, Qt::Key_1);
    Field->SetCaretIndex(3);
    QTest::keyClick(Field, Qt::Key_Delete);
    Field->SetCaretIndex(1);
    QTest::keyClick(Field, Qt::Key_Backspace); // the first "0"
    EXPECT_EQ(Host.Commands, std::vector<int>{});
    EXPECT_TRUE(Host.Log.empty());
    EXPECT_EQ(State.OutputDigits, "01000000");

    Field->SetCaretIndex(1);
    QTest::keyClick(Field, Qt::Key_5);
    EXPECT_EQ(Host.Commands, std::vector<int>{16});
    EXPECT_EQ(State.OutputDigits, "05000000");
}

TEST_F(EntryWidgets, CaretStaysOnTheTypedDigitWithoutCursorMovement) {
    State.MoveCursor = 0;
    Field->SetCaretIndex(0);
    QTest::keyClick(Field, Qt::Key_0);
    EXPECT_EQ(Field->CaretIndex(), 1) << "the first position leaves the caret after it";
    QTest::keyClick(Field, Qt::Key_3);
    EXPECT_EQ(Field->CaretIndex(), 1);
    QTest::keyClick(Field, Qt::Key_4);
    EXPECT_EQ(Field->CaretIndex(), 1) << "typing keeps replacing the same digit";
    EXPECT_EQ(Field->text(), QStringLiteral("04.000000V"));
    QTest::keyClick(Field, Qt::Key_Backspace);
    EXPECT_EQ(Field->CaretIndex(), 0) << "Backspace is not moved back by the handling";

    State.MoveCursor = 1;
    Field->SetCaretIndex(3);
    QTest::keyClick(Field, Qt::Key_7);
    EXPECT_EQ(Field->CaretIndex(), 4);
}

TEST_F(EntryWidgets, FrequencyChangeIsDrawnInEntryModeAndNeverSent) {
    State.RangeIndex = 21;
    Host.PrintMode();
    Forget();
    Bar.SE_Freq()->setValue(50);
    EXPECT_EQ(Host.Log, std::vector<std::string>{"FreqPrint 14,1 50"});
    State.Mode = PanelMode::OutputOn;
    Forget();
    Bar.SE_Freq()->setValue(400);
    EXPECT_TRUE(Host.Log.empty());
    EXPECT_TRUE(Host.Commands.empty());
}

TEST_F(EntryWidgets, KeysReachTheHandlersThroughThePanel) {
    QTest::mouseClick(Keys.Button(PanelKey::SB_Shift), Qt::LeftButton);
    EXPECT_TRUE(Keys.Button(PanelKey::SB_Shift)->isChecked());
    QTest::mouseClick(Keys.Button(PanelKey::SB_7), Qt::LeftButton);
    EXPECT_FALSE(Keys.Button(PanelKey::SB_Shift)->isChecked());
    EXPECT_EQ(State.RangeIndex, 1);
    EXPECT_EQ(Field->text(), QStringLiteral("0.0000000V"));

    QTest::mouseClick(Keys.Button(PanelKey::SB_Sin), Qt::LeftButton);
    EXPECT_EQ(State.RangeIndex, 21);
    EXPECT_TRUE(Keys.Button(PanelKey::SB_Sin)->isChecked());
    EXPECT_FALSE(Bar.PanelFreq()->isHidden());
    EXPECT_EQ(Field->text(), QStringLiteral("0.010000V"));

    QTest::mouseClick(Keys.Button(PanelKey::SB_Meas), Qt::LeftButton);
    EXPECT_TRUE(Bar.PanelFreq()->isHidden());
    EXPECT_TRUE(Field->isHidden());
    EXPECT_TRUE(Bar.Label9()->isHidden());
    EXPECT_TRUE(Keys.Button(PanelKey::SB_Meas)->isChecked());
    QTest::mouseClick(Keys.Button(PanelKey::SB_Reset), Qt::LeftButton);
    EXPECT_FALSE(Field->isHidden());
    EXPECT_FALSE(Bar.PanelFreq()->isHidden());
    EXPECT_EQ(Host.Commands, (std::vector<int>{32, 1}));
}

} // namespace
} // namespace vr410
