// "COM..." with its port number dialog, and the two address dialogs of the "Связь" menu, in the
// main window on simulated lines: what the dialogs show, the keys they take, the adjustments of
// the addresses, and the request that follows a saved address.
#include "layout_check.h"
#include "main_window_fixture.h"
#include "screenshot.h"
#include "shell/form_address.h"
#include "shell/form_com.h"
#include "shell/widgets/num_edit.h"
#include "shell/window_placement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace vr410::test {
namespace {

// Runs `step` inside the modal dialog that the next action opens.
void WhileOpen(const char* dialogName, TFormMain& main, std::function<void(QDialog&)> step) {
    QTimer::singleShot(0, &main, [dialogName, &main, step = std::move(step)] {
        auto* dialog = main.findChild<QDialog*>(QString::fromLatin1(dialogName));
        ASSERT_NE(dialog, nullptr) << dialogName;
        ASSERT_TRUE(dialog->isVisible()) << dialogName;
        QApplication::setActiveWindow(dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog)) << dialogName;
        step(*dialog);
        if (dialog->isVisible()) {
            dialog->reject(); // a failed step must not leave the test waiting
            ADD_FAILURE() << dialogName << " stayed open";
        }
    });
}

TIntEdit* FieldOf(QDialog& dialog, const char* name) {
    auto* field = dialog.findChild<TIntEdit*>(QString::fromLatin1(name));
    EXPECT_NE(field, nullptr) << name;
    return field;
}

void SaveShot(QDialog& dialog, const char* name) {
    EXPECT_FALSE(WriteScreenshot(dialog, name).empty()) << name;
}

// ---------------------------------------------------------------------------------------------
// "COM..."

struct ComCase {
    const char* Name;
    const char* Typed;   // nullptr: "Отмена"
    const char* Checked; // the ticked item afterwards
    int Tag;             // of "COM..." afterwards
    const char* Status;
    const char* OpenPort; // the device that must be open afterwards, if any
};
void PrintTo(const ComCase& c, std::ostream* os) {
    *os << c.Name;
}

class OtherPortTest : public MainWindowFixture, public testing::WithParamInterface<ComCase> {};

TEST_P(OtherPortTest, TakesTheNumberTypedAsTagAndItsLowByteAsPort) {
    const ComCase& c = GetParam();
    WriteIni("[Data]\nCOM=1\n");
    StartOnPorts({1, 12, 44});
    WhileOpen("FormCOM", Main(), [&c](QDialog& dialog) {
        TIntEdit* field = FieldOf(dialog, "IntEdit1");
        // The port in use, selected, so typing replaces it.
        EXPECT_EQ(field->text(), QStringLiteral("1"));
        EXPECT_EQ(field->selectedText(), QStringLiteral("1"));
        EXPECT_TRUE(field->hasFocus());
        if (c.Typed == nullptr) {
            QTest::keyClick(field, Qt::Key_Escape);
            return;
        }
        QTest::keyClicks(field, QString::fromLatin1(c.Typed));
        SaveShot(dialog, "form_com");
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ButtonOK")),
                          Qt::LeftButton);
    });
    ASSERT_TRUE(CommandMenu::Click(Find("COMx")));
    EXPECT_TRUE(Find(c.Checked)->isChecked()) << c.Checked;
    if (std::string(c.Checked) != "COMx") {
        EXPECT_FALSE(Find("COMx")->isChecked());
    }
    EXPECT_EQ(Find("COMx")->data().toInt(), c.Tag);
    EXPECT_EQ(Text("StatusPanel0").toStdString(), c.Status);
    if (c.OpenPort != nullptr) {
        EXPECT_TRUE(PortsApi->LineState(c.OpenPort).has_value()) << c.OpenPort;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, OtherPortTest, testing::Values(
    ComCase{.Name = "Twelve",       .Typed = "12",    .Checked = "COMx", .Tag = 12,  .Status = "COM12 - готов",  .OpenPort = "\\\\.\\COM12"},
    ComCase{.Name = "ThreeHundred", .Typed = "300",   .Checked = "COMx", .Tag = 300, .Status = "COM44 - готов",  .OpenPort = "\\\\.\\COM44"},
    ComCase{.Name = "ZeroIsNoPort", .Typed = "0",     .Checked = "COMx", .Tag = 0,   .Status = "порт не выбран", .OpenPort = nullptr},
    ComCase{.Name = "Cancelled",    .Typed = nullptr, .Checked = "COM1", .Tag = 0,   .Status = "COM1 - готов",   .OpenPort = "COM1"}),
    [](const testing::TestParamInfo<ComCase>& param) { return std::string(param.param.Name); });
// clang-format on

TEST_F(MainWindowFixture, CancellingTheOtherPortKeepsItTickedWhenItWasTheLink) {
    WriteIni("[Data]\nCOM=12\n");
    StartOnPorts({12});
    WhileOpen("FormCOM", Main(), [](QDialog& dialog) {
        EXPECT_EQ(FieldOf(dialog, "IntEdit1")->text(), QStringLiteral("12"));
        dialog.findChild<QPushButton*>(QStringLiteral("ButtonCancel"))->click();
    });
    ASSERT_TRUE(CommandMenu::Click(Find("COMx")));
    EXPECT_TRUE(Find("COMx")->isChecked());
    EXPECT_EQ(Text("StatusPanel0"), QStringLiteral("COM12 - готов"));
}

// ---------------------------------------------------------------------------------------------
// The address adjustments.

TEST(AddressAdjustment, KeepsTheDestinationInAByte) {
    const struct {
        int64_t Typed;
        int Expected;
    } cases[] = {{300, 255}, {255, 255}, {7, 7}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(AdjustDeviceAddress(c.Typed), c.Expected) << c.Typed;
    }
}

TEST(AddressAdjustment, KeepsThePcAddressOnTheBusAndApartFromTheDestination) {
    const struct {
        int64_t Typed;
        int AddrDevice;
        int Expected;
    } cases[] = {
        {250, 1, 240}, {1, 1, 0}, {0, 0, 1},       {241, 240, 239},
        {-3, 0, 1},    {5, 1, 5}, {240, 250, 240},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AdjustPcAddress(c.Typed, c.AddrDevice), c.Expected)
            << c.Typed << " with the destination " << c.AddrDevice;
    }
}

// ---------------------------------------------------------------------------------------------
// The address dialogs in the window.

struct SaveCase {
    const char* Name;
    const char* Item; // N28 or N29
    int AddrDevice;   // before
    const char* Typed;
    bool ByMouse; // "Сохранить" clicked, else Enter in the field
    int ExpectedDevice;
    int ExpectedPc;
};
void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.Name;
}

class AddressSaveTest : public MainWindowFixture, public testing::WithParamInterface<SaveCase> {};

TEST_P(AddressSaveTest, SavingAdjustsTheFieldAndStoresTheAddress) {
    const SaveCase& c = GetParam();
    StartVirtual();
    State().AddrDevice = static_cast<uint8_t>(c.AddrDevice);
    const bool device = std::string(c.Item) == "N28";
    const char* dialogName = device ? "FormDevice" : "FormAddressPC";
    const char* fieldName = device ? "IntEditAddrDevice" : "IntEditAddrPC";
    WhileOpen(dialogName, Main(), [&](QDialog& dialog) {
        TIntEdit* field = FieldOf(dialog, fieldName);
        EXPECT_TRUE(field->hasFocus());
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(c.Typed));
        SaveShot(dialog, device ? "form_device" : "form_address_pc");
        if (c.ByMouse) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("B_Save")),
                              Qt::LeftButton);
        } else {
            QTest::keyClick(field, Qt::Key_Return);
        }
    });
    ASSERT_TRUE(CommandMenu::Click(Find(c.Item)));
    EXPECT_EQ(State().AddrDevice, c.ExpectedDevice);
    EXPECT_EQ(State().PCDevice, c.ExpectedPc);
    const int shown = device ? c.ExpectedDevice : c.ExpectedPc;
    // The dialog's own field: the parameters dialog has an address field of the same name.
    const auto* dialog = Main().findChild<QDialog*>(QString::fromLatin1(dialogName));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->findChild<TIntEdit*>(QString::fromLatin1(fieldName))->text(),
              QString::number(shown));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, AddressSaveTest, testing::Values(
    SaveCase{.Name = "Destination300ByEnter",   .Item = "N28", .AddrDevice = 1, .Typed = "300", .ByMouse = false, .ExpectedDevice = 255, .ExpectedPc = 0},
    SaveCase{.Name = "Destination300ByMouse",   .Item = "N28", .AddrDevice = 1, .Typed = "300", .ByMouse = true,  .ExpectedDevice = 255, .ExpectedPc = 0},
    SaveCase{.Name = "DestinationMayEqualPc",   .Item = "N28", .AddrDevice = 1, .Typed = "0",   .ByMouse = false, .ExpectedDevice = 0,   .ExpectedPc = 0},
    SaveCase{.Name = "Pc250",                   .Item = "N29", .AddrDevice = 1, .Typed = "250", .ByMouse = false, .ExpectedDevice = 1,   .ExpectedPc = 240},
    SaveCase{.Name = "PcEqualToDestination",    .Item = "N29", .AddrDevice = 1, .Typed = "1",   .ByMouse = true,  .ExpectedDevice = 1,   .ExpectedPc = 0},
    SaveCase{.Name = "PcZeroWithDestinationZero", .Item = "N29", .AddrDevice = 0, .Typed = "0", .ByMouse = false, .ExpectedDevice = 0,   .ExpectedPc = 1}),
    [](const testing::TestParamInfo<SaveCase>& param) { return std::string(param.param.Name); });
// clang-format on

TEST_F(MainWindowFixture, AddressFieldsTakeOnlyDigitsAndBeepAtTheRest) {
    StartVirtual();
    for (const char* dialogName : {"FormDevice", "FormAddressPC"}) {
        auto* dialog = Main().findChild<TAddressDialog*>(QString::fromLatin1(dialogName));
        ASSERT_NE(dialog, nullptr) << dialogName;
        TIntEdit* field = dialog->Field();
        field->setText(QStringLiteral("12"));
        field->end(false);
        for (const char* typed : {"-", "+", "a", "."}) {
            const int beeps = Facilities->Beeps;
            QTest::keyClicks(field, QString::fromLatin1(typed));
            EXPECT_EQ(field->text(), QStringLiteral("12")) << dialogName << " " << typed;
            EXPECT_EQ(Facilities->Beeps, beeps + 1) << dialogName << " " << typed;
        }
        QTest::keyClicks(field, QStringLiteral("3"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), QStringLiteral("1")) << dialogName;
        QTest::keyClicks(field, QStringLiteral("2345"));
        EXPECT_EQ(field->text(), QStringLiteral("123")) << dialogName; // three characters
    }
}

TEST_F(MainWindowFixture, EscapeKeepsWhatWasTypedForTheNextOpening) {
    WriteIni("[Data]\nAddrDevice=9\nPCDevice=4\n");
    StartVirtual();
    WhileOpen("FormDevice", Main(), [](QDialog& dialog) {
        TIntEdit* field = FieldOf(dialog, "IntEditAddrDevice");
        EXPECT_EQ(field->text(), QStringLiteral("9")); // filled from the settings at start
        QTest::keyClicks(field, QStringLiteral("300"));
        QTest::keyClick(field, Qt::Key_Escape);
    });
    ASSERT_TRUE(CommandMenu::Click(Find("N28")));
    EXPECT_EQ(State().AddrDevice, 9);
    EXPECT_EQ(Inside().Dialogs().DeviceAddressField, 300); // what the parameters dialog reads

    State().AddrDevice = 20; // not what the field shows: it keeps what was typed
    WhileOpen("FormDevice", Main(), [](QDialog& dialog) {
        EXPECT_EQ(FieldOf(dialog, "IntEditAddrDevice")->text(), QStringLiteral("300"));
        dialog.reject();
    });
    ASSERT_TRUE(CommandMenu::Click(Find("N28")));

    WhileOpen("FormAddressPC", Main(), [](QDialog& dialog) {
        TIntEdit* field = FieldOf(dialog, "IntEditAddrPC");
        EXPECT_EQ(field->text(), QStringLiteral("4"));
        QTest::keyClicks(field, QStringLiteral("77"));
        QTest::keyClick(field, Qt::Key_Escape);
    });
    ASSERT_TRUE(CommandMenu::Click(Find("N29")));
    EXPECT_EQ(State().PCDevice, 4);
    WhileOpen("FormAddressPC", Main(), [](QDialog& dialog) {
        EXPECT_EQ(FieldOf(dialog, "IntEditAddrPC")->text(), QStringLiteral("77"));
        dialog.reject();
    });
    ASSERT_TRUE(CommandMenu::Click(Find("N29")));
}

TEST_F(MainWindowFixture, DestinationFieldShowsTheAddressTheParametersDialogWrote) {
    StartVirtual();
    Inside().Dialogs().DeviceAddressField = 7; // as saving the instrument's parameters does
    WhileOpen("FormDevice", Main(), [](QDialog& dialog) {
        EXPECT_EQ(FieldOf(dialog, "IntEditAddrDevice")->text(), QStringLiteral("7"));
        dialog.reject();
    });
    ASSERT_TRUE(CommandMenu::Click(Find("N28")));
    EXPECT_EQ(State().AddrDevice, 1); // changed only when saved here
}

TEST_F(MainWindowFixture, TheNextRequestGoesFromAndToTheSavedAddresses) {
    StartVirtual();
    std::optional<PacketRecord> sent;
    Engine().Events().Subscribe([&sent](const engine::EngineEvent& event) {
        if (const auto* encoded = std::get_if<engine::RequestEncoded>(&event)) {
            sent = encoded->Packet;
        }
    });
    const struct {
        const char* Item;
        const char* Dialog;
        const char* Field;
        const char* Typed;
    } steps[] = {
        {"N28", "FormDevice", "IntEditAddrDevice", "5"},
        {"N29", "FormAddressPC", "IntEditAddrPC", "7"},
    };
    for (const auto& step : steps) {
        WhileOpen(step.Dialog, Main(), [&step](QDialog& dialog) {
            TIntEdit* field = FieldOf(dialog, step.Field);
            field->selectAll();
            QTest::keyClicks(field, QString::fromLatin1(step.Typed));
            QTest::keyClick(field, Qt::Key_Return);
        });
        ASSERT_TRUE(CommandMenu::Click(Find(step.Item)));
    }
    Issue(8);
    ASSERT_TRUE(WaitForAnswers(1));
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->Head[0], 5); // the address byte: the instrument addressed
    EXPECT_EQ(sent->Body[2], 7); // the source: the PC's address
}

// ---------------------------------------------------------------------------------------------
// Placement and size.

TEST_F(MainWindowFixture, DialogsOpenCentredOnTheMainWindow) {
    StartVirtual();
    Main().move(150, 120);
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
    // The offscreen screen is narrower than the main window: centred, then kept on the screen.
    const QRect owner = Main().frameGeometry();
    for (const char* item : {"N28", "N29", "COMx"}) {
        const char* dialogName = std::string(item) == "N28"   ? "FormDevice"
                                 : std::string(item) == "N29" ? "FormAddressPC"
                                                              : "FormCOM";
        WhileOpen(dialogName, Main(), [&owner, item](QDialog& dialog) {
            const QRect frame = dialog.frameGeometry();
            EXPECT_EQ(frame.topLeft(),
                      CentredPlace(frame.size(), owner, dialog.screen()->availableGeometry()))
                << item;
            dialog.reject();
        });
        ASSERT_TRUE(CommandMenu::Click(Find(item)));
    }
}

TEST_F(MainWindowFixture, DialogsShowEveryControlWholeInALargeFont) {
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPointSizeF(saved.pointSizeF() * 2);
    QApplication::setFont(large);
    StartVirtual();
    for (const char* dialogName : {"FormDevice", "FormAddressPC", "FormCOM"}) {
        auto* dialog = Main().findChild<QDialog*>(QString::fromLatin1(dialogName));
        ASSERT_NE(dialog, nullptr) << dialogName;
        dialog->show();
        const std::vector<std::string> clipped = ClippedControls(*dialog);
        EXPECT_TRUE(clipped.empty()) << dialogName << ": " << testing::PrintToString(clipped);
        EXPECT_GE(dialog->width(), 154) << dialogName;
        dialog->hide();
    }
    QApplication::setFont(saved);
}

} // namespace
} // namespace vr410::test
