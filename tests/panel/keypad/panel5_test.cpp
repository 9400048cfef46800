// The keypad widget: its faces, latches, pictures and the confirmation boxes.
#include "panel/keypad/confirmation_box.h"
#include "panel/keypad/key_pictures.h"
#include "panel/keypad/panel5.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace vr410 {
namespace {

struct Face {
    PanelKey Id;
    const char* Caption;
    const char* Shifted; // nullptr: no blue label
};

// clang-format off
const Face Faces[] = {
    // key           caption            blue label
    {PanelKey::SB_Enter, "Ввод",            nullptr},
    {PanelKey::SB_1,     "1     U1",        "%"},
    {PanelKey::SB_2,     "2     U2",        "минимум"},
    {PanelKey::SB_3,     "3    дельтаU",    "макcимум"},
    {PanelKey::SB_4,     "4",               "50A"},
    {PanelKey::SB_5,     "5     АВТ",       "МЕНЮ"},
    {PanelKey::SB_Shift, "Ряд",             nullptr},
    {PanelKey::SB_6,     "6",               "100mV/1mA"},
    {PanelKey::SB_7,     "7",               "1V/10mA"},
    {PanelKey::SB_8,     "8",               "10V/100mA"},
    {PanelKey::SB_9,     "9",               "100V/1A"},
    {PanelKey::SB_0,     "0",               "1000V/10A"},
    {PanelKey::SB_Reset, "Сброс",           nullptr},
    {PanelKey::SB_Polar, "+/-",             "Экран"},
    {PanelKey::SB_Sin,   "~",               "Частота"},
    {PanelKey::SB_I,     "I",               "Ок"},
    {PanelKey::SB_U,     "V",               "Установка О"},
    {PanelKey::SB_Meas,  "Измерение",       "Калибровка"},
};
// clang-format on

TEST(Panel5Widget, HasTheEighteenKeysWithTheirCaptionsAndBlueLabels) {
    Panel5 panel;
    EXPECT_GE(panel.width(), 465);
    EXPECT_EQ(panel.height(), 169);
    EXPECT_EQ(panel.frameShadow(), QFrame::Sunken);
    for (const Face& face : Faces) {
        QPushButton* button = panel.Button(face.Id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf8(face.Caption));
        EXPECT_GE(button->width(), 65) << face.Caption;
        EXPECT_EQ(button->height(), 33) << face.Caption;
        EXPECT_EQ(button->size(), panel.Button(PanelKey::SB_Enter)->size()) << face.Caption;
        QLabel* label = panel.ShiftLabel(face.Id);
        if (face.Shifted == nullptr) {
            EXPECT_EQ(label, nullptr) << face.Caption;
            continue;
        }
        ASSERT_NE(label, nullptr) << face.Caption;
        EXPECT_EQ(label->text(), QString::fromUtf8(face.Shifted));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }
    // The maximum label carries a Latin c among Cyrillic letters.
    EXPECT_EQ(panel.ShiftLabel(PanelKey::SB_3)->text().at(3), QChar(u'c'));
    EXPECT_EQ(panel.Button(PanelKey::SB_Enter)->toolTip(), QStringLiteral("Клавиша ВВОД"));
    QPushButton* shift = panel.Button(PanelKey::SB_Shift);
    EXPECT_TRUE(shift->font().bold());
    EXPECT_EQ(shift->palette().color(QPalette::ButtonText), QColor(Qt::blue));
}

// Every key is written in the panel's own font, none smaller, and its face holds the caption
// (with the picture beside it); every blue label holds its name.
TEST(Panel5Widget, EveryKeyHasThePanelsFontAndHoldsItsCaption) {
    Panel5 panel;
    panel.show();
    for (const Face& face : Faces) {
        const QPushButton* button = panel.Button(face.Id);
        EXPECT_EQ(button->font().pointSizeF(), panel.font().pointSizeF()) << face.Caption;
        const int picture = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + picture + 10,
                  button->width())
            << face.Caption;
        if (const QLabel* label = panel.ShiftLabel(face.Id)) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << face.Shifted;
            EXPECT_TRUE(panel.rect().contains(label->geometry())) << face.Shifted;
        }
        EXPECT_TRUE(panel.rect().contains(button->geometry())) << face.Caption;
    }
}

// The mean colour of a picture.
QColor MeanColour(const QImage& image) {
    double r = 0;
    double g = 0;
    double b = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            r += qRed(pixel);
            g += qGreen(pixel);
            b += qBlue(pixel);
        }
    }
    const double n = double(image.width()) * image.height();
    return QColor(int(r / n), int(g / n), int(b / n));
}

double ColourDistance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

// A latched key looks plainly different from the same key released: the face's mean colour
// moves by more than a quarter of the grey scale, where the style's own checked shade moves it
// by about 40 steps.
TEST(Panel5Widget, ALatchedKeyIsPlainToSee) {
    Panel5 panel;
    panel.show();
    for (const PanelKey key : {PanelKey::SB_Sin, PanelKey::SB_Meas, PanelKey::SB_Shift}) {
        QPushButton* button = panel.Button(key);
        panel.SetKeyDown(key, false);
        const QColor up = MeanColour(button->grab().toImage());
        panel.SetKeyDown(key, true);
        const QColor down = MeanColour(button->grab().toImage());
        EXPECT_GE(ColourDistance(up, down), 70.0) << button->objectName().toStdString();
    }
}

// A disabled keypad (no link) takes the disabled look everywhere: "Ряд" loses its blue bold
// face and the blue labels their blue, and both come back with the link.
TEST(Panel5Widget, ADisabledKeypadLooksDisabled) {
    Panel5 panel;
    panel.show();
    QPushButton* shift = panel.Button(PanelKey::SB_Shift);
    const QLabel* label = panel.ShiftLabel(PanelKey::SB_7);
    panel.setEnabled(false);
    EXPECT_NE(shift->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_FALSE(shift->font().bold());
    EXPECT_NE(label->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(Qt::blue));
    panel.setEnabled(true);
    EXPECT_EQ(shift->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_TRUE(shift->font().bold());
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::blue));
}

TEST(Panel5Widget, StartsWithResetPolarAndVoltDown) {
    Panel5 panel;
    for (const Face& face : Faces) {
        const bool down = face.Id == PanelKey::SB_Reset || face.Id == PanelKey::SB_Polar ||
                          face.Id == PanelKey::SB_U;
        EXPECT_EQ(panel.Button(face.Id)->isChecked(), down) << face.Caption;
        EXPECT_EQ(panel.IsKeyDown(face.Id), down) << face.Caption;
    }
}

TEST(Panel5Widget, LatchesByGroupAndLeavesTheDigitKeysPlain) {
    Panel5 panel;
    panel.SetKeyDown(PanelKey::SB_Meas, true);
    EXPECT_TRUE(panel.Button(PanelKey::SB_Meas)->isChecked());
    EXPECT_FALSE(panel.Button(PanelKey::SB_Reset)->isChecked());
    EXPECT_FALSE(panel.Button(PanelKey::SB_Enter)->isChecked());
    EXPECT_TRUE(panel.Button(PanelKey::SB_Polar)->isChecked()) << "another group is left alone";
    panel.SetKeyDown(PanelKey::SB_Sin, true);
    EXPECT_FALSE(panel.Button(PanelKey::SB_Polar)->isChecked());
    panel.SetKeyDown(PanelKey::SB_Shift, true);
    EXPECT_TRUE(panel.Button(PanelKey::SB_Shift)->isChecked());
    EXPECT_TRUE(panel.Button(PanelKey::SB_Sin)->isChecked())
        << "the shift key is a group of its own";
    panel.SetKeyDown(PanelKey::SB_7, true);
    EXPECT_FALSE(panel.Button(PanelKey::SB_7)->isCheckable());
    EXPECT_FALSE(panel.IsKeyDown(PanelKey::SB_7));
}

TEST(Panel5Widget, AClickIsReportedAndTheLatchesDecideWhatStaysDown) {
    Panel5 panel;
    panel.show();
    QSignalSpy clicks(&panel, &Panel5::KeyClicked);
    QTest::mouseClick(panel.Button(PanelKey::SB_Sin), Qt::LeftButton);
    QTest::mouseClick(panel.Button(PanelKey::SB_7), Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0][0].value<PanelKey>(), PanelKey::SB_Sin);
    EXPECT_EQ(clicks[1][0].value<PanelKey>(), PanelKey::SB_7);
    // Nobody latched the AC key, so the button shows the latches, not its own toggle.
    EXPECT_FALSE(panel.Button(PanelKey::SB_Sin)->isChecked());
    EXPECT_TRUE(panel.Button(PanelKey::SB_Polar)->isChecked());
}

// The share of pixels of a picture that are painted at all.
double PaintedShare(const QPixmap& picture) {
    const QImage image = picture.toImage();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            painted += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    return double(painted) / (image.width() * image.height());
}

TEST(KeyPictures, AreSixteenBySixteenVisibleAndBesideTheirCaptions) {
    for (const QPixmap& picture : {EnterPicture(), ResetPicture()}) {
        EXPECT_EQ(picture.size(), QSize(16, 16));
        const double share = PaintedShare(picture);
        EXPECT_GT(share, 0.1);
        EXPECT_LT(share, 0.9);
    }
    Panel5 panel;
    EXPECT_FALSE(panel.Button(PanelKey::SB_Enter)->icon().isNull());
    EXPECT_FALSE(panel.Button(PanelKey::SB_Reset)->icon().isNull());
    EXPECT_EQ(panel.Button(PanelKey::SB_Enter)->iconSize(), QSize(16, 16));
    EXPECT_TRUE(panel.Button(PanelKey::SB_Meas)->icon().isNull());
}

// Answers the next modal box by pressing the button with caption (or Escape when empty) and
// notes what it showed.
struct BoxAnswerer {
    QString Caption;
    QString Title;
    QString Text;
    int Width = 0;
    QStringList Buttons;

    void ArmFor(const QString& caption) {
        Caption = caption;
        QTimer::singleShot(0, [this] { Answer(); });
    }
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, [this] { Answer(); });
            return;
        }
        Title = box->windowTitle();
        Text = box->text();
        Width = box->width();
        for (QAbstractButton* button : box->buttons()) {
            Buttons << button->text();
        }
        if (Caption.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == Caption) {
                button->click();
            }
        }
    }
};

struct BoxCase {
    const char* Name;
    ConfirmKind Kind;
    const char* Press; // "" presses Escape
    ConfirmAnswer Expected;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.Name;
}

class ConfirmationBoxes : public testing::TestWithParam<BoxCase> {};

TEST_P(ConfirmationBoxes, ShowTheirQuestionAndReportTheButton) {
    const BoxCase& c = GetParam();
    QWidget owner;
    ConfirmationBox confirm(&owner);
    BoxAnswerer answerer;
    answerer.ArmFor(QString::fromUtf8(c.Press));
    EXPECT_EQ(confirm.Ask(c.Kind), c.Expected);
    EXPECT_EQ(answerer.Title, QStringLiteral("Подтверждаете?"));
    // The question's LF CR is one line break on the screen, not an empty line.
    EXPECT_EQ(answerer.Text, QString(ConfirmationText(c.Kind)).replace(u'\r', QString()));
    EXPECT_EQ(answerer.Text.count(u'\n'), 1);
    // The title and the title bar's buttons fit beside each other.
    QFont title = QApplication::font();
    title.setBold(true);
    EXPECT_GE(answerer.Width, QFontMetrics(title).horizontalAdvance(answerer.Title) + 100);
    const QStringList expectedButtons =
        c.Kind == ConfirmKind::AutoCalibration
            ? QStringList{QStringLiteral("Да"), QStringLiteral("Отмена")}
            : QStringList{QStringLiteral("Текущий"), QStringLiteral("Полная"),
                          QStringLiteral("Отмена")};
    QStringList shown = answerer.Buttons;
    shown.sort();
    QStringList expected = expectedButtons;
    expected.sort();
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ConfirmationBoxes,
    testing::Values(
        BoxCase{"AutoCalibrationYes", ConfirmKind::AutoCalibration, "Да", ConfirmAnswer::Yes},
        BoxCase{"AutoCalibrationCancel", ConfirmKind::AutoCalibration, "Отмена",
                ConfirmAnswer::Cancel},
        BoxCase{"ZeroSettingCurrent", ConfirmKind::ZeroSetting, "Текущий", ConfirmAnswer::Yes},
        BoxCase{"ZeroSettingFull", ConfirmKind::ZeroSetting, "Полная", ConfirmAnswer::No},
        BoxCase{"ZeroSettingEscape", ConfirmKind::ZeroSetting, "", ConfirmAnswer::Cancel}),
    [](const testing::TestParamInfo<BoxCase>& row) { return row.param.Name; });

TEST(ConfirmationTexts, BreakTheLineWithLineFeedThenCarriageReturn) {
    EXPECT_EQ(ConfirmationText(ConfirmKind::AutoCalibration),
              QStringLiteral("Начать процесс автокалибровки?\n\rЭто займет некоторое время."));
    EXPECT_EQ(ConfirmationText(ConfirmKind::ZeroSetting),
              QStringLiteral("Вы действительно хотите начать процесс\n\rустановки нулей? Это "
                             "займет некоторое время."));
}

TEST(ConfirmationTexts, AResponderAnswersWithoutABox) {
    ConfirmationBox confirm(nullptr);
    confirm.SetResponder([](ConfirmKind kind) {
        return kind == ConfirmKind::ZeroSetting ? ConfirmAnswer::No : ConfirmAnswer::Yes;
    });
    EXPECT_EQ(confirm.Ask(ConfirmKind::ZeroSetting), ConfirmAnswer::No);
    EXPECT_EQ(confirm.Ask(ConfirmKind::AutoCalibration), ConfirmAnswer::Yes);
}

} // namespace
} // namespace vr410
