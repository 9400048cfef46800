// The parameters dialog and the complete-zero dialog in the main window, against the virtual
// instrument: opened from the keypad and directly, their controls filled by the instrument's
// answers, and what their buttons send checked on the wire.
#include "layout_check.h"
#include "main_window_fixture.h"
#include "screenshot.h"

#include "panel/keypad/panel5.h"
#include "protocol/frame.h"
#include "shell/form_address.h"
#include "shell/form_ok_cal.h"
#include "shell/form_param.h"
#include "shell/widgets/float_edit.h"
#include "shell/widgets/num_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <functional>

namespace vr410::test {
namespace {

constexpr int WaitLimitMs = 10000;

// The instrument's parameter bytes: A = sound, brightness - 1, indication time; B = digital
// filter, number of digits, display style, cursor advance, blanking.
constexpr uint8_t ParamA(int sound, int brightness, int timeInd) {
    return static_cast<uint8_t>(sound | ((brightness - 1) << 1) | (timeInd << 4));
}
constexpr uint8_t ParamB(int filter, int numDigits, int viewMode, int moveCursor, int blanking) {
    return static_cast<uint8_t>(filter | (numDigits << 2) | (viewMode << 4) | (moveCursor << 6) |
                                (blanking << 7));
}

class DialogWindow : public MainWindowFixture {
  protected:
    void SetUp() override {
        StartVirtual();
        Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
        Engine().Events().Subscribe([this](const engine::EngineEvent& event) {
            if (const auto* encoded = std::get_if<engine::RequestEncoded>(&event)) {
                Requests.push_back(encoded->Packet);
            }
        });
        // The output-on timer runs once at start; let it pass.
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return !Engine().TimerPredelOn().Active(); }, WaitLimitMs));
    }

    TFormParam& Param() { return *Main().findChild<TFormParam*>(QStringLiteral("FormParam")); }
    TFormOkCal& OkCal() { return *Main().findChild<TFormOkCal*>(QStringLiteral("FormOkCal")); }
    QPushButton* Key(PanelKey key) { return Inside().Keys().Button(key); }

    // Runs `inside` in the modal loop of `dialog` once it is shown and active, then closes the
    // dialog if `inside` left it open. Call before the action that opens the dialog.
    void WhileOpen(QDialog& dialog, std::function<void()> inside) {
        QTimer::singleShot(0, &dialog, [&dialog, inside = std::move(inside)] {
            if (!QTest::qWaitFor([&dialog] { return dialog.isActiveWindow(); }, WaitLimitMs)) {
                ADD_FAILURE() << "the dialog did not come up";
            } else {
                inside();
            }
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
    }

    // Waits until the answer label shows `text` after an exchange of `code`.
    bool WaitForAnswer(uint8_t code, const QString& text) {
        return QTest::qWaitFor(
            [&] {
                const CycleEvent* last = LastHandled();
                return last != nullptr && last->Code == code && Text("LabelAnswer") == text &&
                       !Engine().TimerPrd().Active() && !Engine().TimerPriem().Active();
            },
            WaitLimitMs);
    }

    const PacketRecord* LastRequest(uint8_t code) const {
        for (auto it = Requests.rbegin(); it != Requests.rend(); ++it) {
            if (MessageByte(*it, 3) == code) {
                return &*it;
            }
        }
        return nullptr;
    }

    // Types `text` into a field in place of all it holds.
    static void Retype(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    static std::vector<std::string> Entries(const QListWidget& list) {
        std::vector<std::string> entries;
        for (int i = 0; i < list.count(); ++i) {
            entries.push_back(list.item(i)->text().toStdString());
        }
        return entries;
    }

    std::vector<PacketRecord> Requests;
};

TEST_F(DialogWindow, MenuKeyReadsTheParametersIntoTheOpenDialog) {
    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.ParamA = ParamA(1, 3, 3);
    device.ParamB = ParamB(2, 1, 0, 1, 1);
    device.CoefComp = true;
    TFormParam& form = Param();
    Key(PanelKey::SB_Shift)->click();
    WhileOpen(form, [&] {
        ASSERT_TRUE(WaitForAnswer(5, QStringLiteral("Считаны параметры прибора")));
        EXPECT_TRUE(form.CB_Sound->isChecked());
        EXPECT_EQ(form.TrackBarBrihtness->value(), 2);
        EXPECT_EQ(form.GroupTimeInd->currentText(), QStringLiteral("2,6 секунды"));
        EXPECT_EQ(form.GroupDigitalFilter->currentText(), QStringLiteral("2"));
        EXPECT_EQ(form.GroupNumDigits->currentText(), QStringLiteral("7 1/2"));
        EXPECT_EQ(form.GroupViewMode->currentText(), QStringLiteral("10.0000000V"));
        EXPECT_FALSE(form.CB_CoefCalibr->isChecked());
        EXPECT_TRUE(form.CB_CoefComp->isChecked());
        EXPECT_TRUE(form.CB_MoveCursor->isChecked());
        EXPECT_TRUE(form.CB_Blanking->isChecked());
        EXPECT_EQ(Entries(*form.LB_Errors), std::vector<std::string>{"отсутствуют"});
        EXPECT_EQ(form.IntEditAddrDevice->text(), QStringLiteral("1"));
        QTest::keyClick(form.IntEditAddrDevice, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    });
    Key(PanelKey::SB_5)->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(Key(PanelKey::SB_Shift)->isChecked());
    EXPECT_EQ(Bus().RequestCount(5), 1u);
    EXPECT_EQ(State().Brightness, 3);
    EXPECT_EQ(State().NumDigits, 1);
}

TEST_F(DialogWindow, ControlsStartAtTheirStartValuesBeforeTheFirstRead) {
    TFormParam& form = Param();
    EXPECT_FALSE(form.CB_Sound->isChecked());
    EXPECT_EQ(form.TrackBarBrihtness->value(), 7);
    EXPECT_EQ(form.GroupTimeInd->currentText(), QStringLiteral("0,3 секунды"));
    EXPECT_EQ(form.GroupDigitalFilter->currentText(), QStringLiteral("отключен"));
    EXPECT_EQ(form.GroupNumDigits->currentText(), QStringLiteral("8 1/2"));
    EXPECT_EQ(form.GroupViewMode->currentText(), QStringLiteral("10.000m000u0V"));
    for (QCheckBox* box :
         {form.CB_CoefCalibr, form.CB_CoefComp, form.CB_MoveCursor, form.CB_Blanking}) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_EQ(Entries(*form.LB_Errors), std::vector<std::string>{"отсутствуют"});
}

TEST_F(DialogWindow, AddressFieldTakesOnlyDigitsAndStaysWithinAByteOnLeaving) {
    struct Row {
        const char* Typed;
        const char* Pasted; // put in with Shift+Insert after typing, in place of everything
        const char* Shown;  // after leaving the field
        int Beeps;
    };
    const Row rows[] = {
        {.Typed = "300", .Pasted = nullptr, .Shown = "255", .Beeps = 0},
        {.Typed = "255", .Pasted = nullptr, .Shown = "255", .Beeps = 0},
        {.Typed = "+7", .Pasted = nullptr, .Shown = "7", .Beeps = 1},
        {.Typed = "-7", .Pasted = nullptr, .Shown = "7", .Beeps = 1},
        {.Typed = "1a2", .Pasted = nullptr, .Shown = "12", .Beeps = 1},
        {.Typed = "", .Pasted = "-5", .Shown = "0", .Beeps = 0},
    };
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        for (const Row& row : rows) {
            const int beeps = Facilities->Beeps;
            Retype(form.IntEditAddrDevice, QString::fromLatin1(row.Typed));
            if (row.Pasted != nullptr) {
                QGuiApplication::clipboard()->setText(QString::fromLatin1(row.Pasted));
                form.IntEditAddrDevice->selectAll();
                QTest::keyClick(form.IntEditAddrDevice, Qt::Key_Insert, Qt::ShiftModifier);
            }
            form.CB_Sound->setFocus();
            EXPECT_EQ(form.IntEditAddrDevice->text(), QString::fromLatin1(row.Shown)) << row.Typed;
            EXPECT_EQ(Facilities->Beeps - beeps, row.Beeps) << row.Typed;
        }
    });
    form.ShowModal();
    EXPECT_EQ(Bus().TotalRequests(), 0u);
}

TEST_F(DialogWindow, SavingANewAddressGoesToTheOldOneAndLeavesItInTheDestinationField) {
    State().AddrDevice = 1;
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        Retype(form.IntEditAddrDevice, QStringLiteral("7"));
        QTest::mouseClick(form.Setup_Write, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(6, QStringLiteral("Параметры прибора установлены")));
        EXPECT_TRUE(form.isVisible()); // saving does not close the dialog
    });
    form.ShowModal();

    const PacketRecord* request = LastRequest(6);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->Head[0], 1);
    EXPECT_EQ(MessageByte(*request, 6), 7);
    EXPECT_EQ(Instrument().State().Address, 7);
    EXPECT_EQ(Inside().Dialogs().DeviceAddressField, 7);
    EXPECT_EQ(State().AddrDevice, 1); // until the destination dialog is saved

    // Opened again, the dialog shows the destination field, not the address still in use.
    WhileOpen(form, [&] { EXPECT_EQ(form.IntEditAddrDevice->text(), QStringLiteral("7")); });
    form.ShowModal();

    // Saving the destination dialog, which shows 7, sends what follows to 7.
    auto& device = *Main().findChild<TFormDevice*>(QStringLiteral("FormDevice"));
    WhileOpen(device, [&] {
        EXPECT_EQ(device.Field()->text(), QStringLiteral("7"));
        QTest::mouseClick(device.B_Save(), Qt::LeftButton);
    });
    device.exec();
    EXPECT_EQ(State().AddrDevice, 7);
    Issue(8);
    ASSERT_TRUE(WaitForAnswer(8, QStringLiteral("Тест обмена - ОК")));
    EXPECT_EQ(LastRequest(8)->Head[0], 7);
}

TEST_F(DialogWindow, ReactivationDropsAnAddressTypedButNotSaved) {
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        Retype(form.IntEditAddrDevice, QStringLiteral("9"));
        // A message box over the dialog takes the activation and gives it back when it closes.
        QDialog box(&form);
        QTimer::singleShot(0, &box, [&box, &form] {
            EXPECT_TRUE(QTest::qWaitFor([&form] { return !form.isActiveWindow(); }, WaitLimitMs));
            EXPECT_EQ(form.IntEditAddrDevice->text(), QStringLiteral("9"));
            box.accept();
        });
        box.exec();
        form.activateWindow(); // what the window manager does when the box goes
        ASSERT_TRUE(QTest::qWaitFor([&form] { return form.isActiveWindow(); }, WaitLimitMs));
        EXPECT_EQ(form.IntEditAddrDevice->text(), QStringLiteral("1"));
    });
    form.ShowModal();
}

TEST_F(DialogWindow, ErrorListShowsEachReportedCodeOrNone) {
    struct Row {
        std::vector<uint8_t> Stored;
        std::vector<std::string> Shown;
    };
    // In this order: a read without codes after one with codes empties the list.
    const Row rows[] = {
        {.Stored = {3, 17, 200}, .Shown = {"3", "17", "200"}},
        {.Stored = {}, .Shown = {"отсутствуют"}},
    };
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        for (const Row& row : rows) {
            Instrument().MutableState().ErrorList = row.Stored;
            QTest::mouseClick(form.Setup_Read, Qt::LeftButton);
            ASSERT_TRUE(WaitForAnswer(5, QStringLiteral("Считаны параметры прибора")));
            EXPECT_EQ(Entries(*form.LB_Errors), row.Shown);
        }
    });
    form.ShowModal();
}

TEST_F(DialogWindow, ReportedCodesWithoutAListEntryAreShownAndSentBackUnchanged) {
    // Indication time 7, four digits' code 3 and display style 3 have no item in their lists.
    sim::VirtualInstrumentState& device = Instrument().MutableState();
    device.ParamA = ParamA(0, 8, 7);
    device.ParamB = ParamB(1, 3, 3, 0, 0);
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        QTest::mouseClick(form.Setup_Read, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(5, QStringLiteral("Считаны параметры прибора")));
        for (QComboBox* list : {form.GroupTimeInd, form.GroupNumDigits, form.GroupViewMode}) {
            EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
        }
        EXPECT_EQ(form.GroupTimeInd->placeholderText(), QStringLiteral("7"));
        EXPECT_EQ(form.GroupViewMode->placeholderText(), QStringLiteral("3"));
        EXPECT_EQ(form.GroupDigitalFilter->currentIndex(), 1);

        // Saved untouched: the instrument gets back exactly what it reported.
        QTest::mouseClick(form.Setup_Write, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(6, QStringLiteral("Параметры прибора установлены")));
        EXPECT_EQ(Instrument().State().ParamA, ParamA(0, 8, 7));
        EXPECT_EQ(Instrument().State().ParamB, ParamB(1, 3, 3, 0, 0));

        // The operator's choice from the list is sent once made.
        form.GroupTimeInd->setFocus();
        QTest::keyClick(form.GroupTimeInd, Qt::Key_Down);
        EXPECT_EQ(form.GroupTimeInd->currentText(), QStringLiteral("0,3 секунды"));
        QTest::mouseClick(form.Setup_Write, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(6, QStringLiteral("Параметры прибора установлены")));
        EXPECT_EQ(Instrument().State().ParamA, ParamA(0, 8, 0));
        EXPECT_EQ(Instrument().State().ParamB, ParamB(1, 3, 3, 0, 0));
    });
    form.ShowModal();
}

TEST_F(DialogWindow, ParametersWrittenToTheInstrumentReadBackIntoTheControls) {
    TFormParam& form = Param();
    WhileOpen(form, [&] {
        form.CB_Sound->setChecked(true);
        form.TrackBarBrihtness->setValue(4);
        auto choose = [](QComboBox* list, int index) {
            list->setFocus();
            while (list->currentIndex() != index) {
                QTest::keyClick(list, list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
            }
        };
        choose(form.GroupTimeInd, 4);
        choose(form.GroupDigitalFilter, 3);
        choose(form.GroupNumDigits, 2);
        choose(form.GroupViewMode, 1);
        form.CB_MoveCursor->setChecked(false);
        form.CB_Blanking->setChecked(true);
        QTest::mouseClick(form.Setup_Write, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(6, QStringLiteral("Параметры прибора установлены")));
        EXPECT_EQ(Instrument().State().ParamA, ParamA(1, 5, 4));
        EXPECT_EQ(Instrument().State().ParamB, ParamB(3, 2, 1, 0, 1));

        // Edits not saved give way to what the instrument holds.
        form.CB_Sound->setChecked(false);
        choose(form.GroupTimeInd, 0);
        form.TrackBarBrihtness->setValue(0);
        QTest::mouseClick(form.Setup_Read, Qt::LeftButton);
        ASSERT_TRUE(WaitForAnswer(5, QStringLiteral("Считаны параметры прибора")));
        EXPECT_TRUE(form.CB_Sound->isChecked());
        EXPECT_EQ(form.TrackBarBrihtness->value(), 4);
        EXPECT_EQ(form.GroupTimeInd->currentIndex(), 4);
        EXPECT_EQ(form.GroupDigitalFilter->currentIndex(), 3);
        EXPECT_EQ(form.GroupNumDigits->currentIndex(), 2);
        EXPECT_EQ(form.GroupViewMode->currentIndex(), 1);
        EXPECT_FALSE(form.CB_MoveCursor->isChecked());
        EXPECT_TRUE(form.CB_Blanking->isChecked());
    });
    form.ShowModal();
}

TEST_F(DialogWindow, EscapeClosesTheParametersDialogFromAnyControl) {
    TFormParam& form = Param();
    for (QWidget* control : std::initializer_list<QWidget*>{
             form.IntEditAddrDevice, form.GroupViewMode, form.Setup_Write, form.LB_Errors}) {
        WhileOpen(form, [&] {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Escape);
            EXPECT_FALSE(form.isVisible()) << control->objectName().toStdString();
        });
        form.ShowModal();
    }
    EXPECT_EQ(Bus().TotalRequests(), 0u);
}

// The complete zero from the keypad ("Ряд", then "Ок") with the output on, on the 10 V row:
// one decimal, "uV".
class CompleteZero : public DialogWindow {
  protected:
    void SetUp() override {
        DialogWindow::SetUp();
        State().RangeIndex = 2;
        State().OutputDigits = "01000000";
        Issue(16);
        ASSERT_TRUE(
            WaitForAnswer(16, QStringLiteral("Выходное напряжение калибратора установлено")));
        State().Mode = PanelMode::OutputOn;
    }

    // Opens the dialog with the keys and runs `inside` in it.
    void OpenWithKeys(std::function<void()> inside) {
        State().OkCalibr = 0;
        Key(PanelKey::SB_Shift)->click();
        WhileOpen(OkCal(), std::move(inside));
        Key(PanelKey::SB_I)->click();
    }
};

TEST_F(CompleteZero, OkSendsANonZeroValueAndAnythingElseCancels) {
    enum class Close { Ok, Cancel, Escape };
    struct Row {
        const char* Typed;
        Close How;
        uint8_t Code;
        int16_t Sent; // the value times ten, when code 18 is sent
    };
    const Row rows[] = {
        {.Typed = "2.5", .How = Close::Ok, .Code = 18, .Sent = 25},
        {.Typed = "-99.9", .How = Close::Ok, .Code = 18, .Sent = -999},
        {.Typed = "0", .How = Close::Ok, .Code = 49, .Sent = 0},
        {.Typed = "3", .How = Close::Cancel, .Code = 49, .Sent = 0},
        {.Typed = "4", .How = Close::Escape, .Code = 49, .Sent = 0},
    };
    for (const Row& row : rows) {
        OpenWithKeys([&] {
            EXPECT_EQ(OkCal().LabelLetters->text(), QStringLiteral("uV"));
            EXPECT_EQ(OkCal().FE_Ok->Digits(), 1);
            Retype(OkCal().FE_Ok, QString::fromLatin1(row.Typed));
            switch (row.How) {
            case Close::Ok:
                QTest::mouseClick(OkCal().ButtonOk, Qt::LeftButton);
                break;
            case Close::Cancel:
                QTest::mouseClick(OkCal().ButtonCancel, Qt::LeftButton);
                break;
            case Close::Escape:
                QTest::keyClick(OkCal().FE_Ok, Qt::Key_Escape);
                break;
            }
            EXPECT_FALSE(OkCal().isVisible()) << row.Typed;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return LastRequest(row.Code) != nullptr; }, WaitLimitMs));
        const PacketRecord& request = *LastRequest(row.Code);
        EXPECT_EQ(request.Head[0], 1) << row.Typed;
        if (row.Code == 18) {
            EXPECT_EQ(
                static_cast<int16_t>((MessageByte(request, 4) << 8) | MessageByte(request, 5)),
                row.Sent)
                << row.Typed;
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return Instrument().State().CalibratorZero == row.Sent; }, WaitLimitMs));
        }
        EXPECT_EQ(State().OkCalibr, row.Code == 18 ? 1 : 0) << row.Typed;
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return !Engine().TimerPrd().Active() && !Engine().TimerPriem().Active(); },
            WaitLimitMs));
        Requests.clear();
    }
}

TEST_F(CompleteZero, AValueTheFieldPutsBackIsShownBeforeItCanBeSent) {
    OpenWithKeys([&] {
        Retype(OkCal().FE_Ok, QStringLiteral("2.5"));
        QTest::keyClick(OkCal().FE_Ok, Qt::Key_Tab); // left with 2.5
        Retype(OkCal().FE_Ok, QStringLiteral("-150"));
        // Below the minimum: leaving for "ОК" puts 2.5 back, and the dialog stays open.
        QTest::mouseClick(OkCal().ButtonOk, Qt::LeftButton);
        EXPECT_TRUE(OkCal().isVisible());
        EXPECT_EQ(static_cast<double>(OkCal().FE_Ok->Value()), 2.5);
        EXPECT_EQ(LastRequest(18), nullptr);
        // Confirmed as shown.
        QTest::mouseClick(OkCal().ButtonOk, Qt::LeftButton);
        EXPECT_FALSE(OkCal().isVisible());
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return LastRequest(18) != nullptr; }, WaitLimitMs));
    EXPECT_EQ(MessageByte(*LastRequest(18), 5), 25);
}

TEST_F(DialogWindow, WindowsShowEveryControlWholeAndLeaveAScreenshot) {
    struct Row {
        QDialog* Dialog;
        QSize Stated;
        const char* Name;
    };
    for (const Row& row : {Row{&Param(), QSize(337, 287), "form_param"},
                           Row{&OkCal(), QSize(201, 65), "form_ok_cal"}}) {
        row.Dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(row.Dialog));
        EXPECT_GE(row.Dialog->width(), row.Stated.width()) << row.Name;
        EXPECT_GE(row.Dialog->height(), row.Stated.height()) << row.Name;
        EXPECT_EQ(ClippedControls(*row.Dialog), std::vector<std::string>{}) << row.Name;
        EXPECT_FALSE(WriteScreenshot(*row.Dialog, row.Name).empty()) << row.Name;
        row.Dialog->hide();
    }
}

} // namespace
} // namespace vr410::test
