#include "panel/keypad/panel5.h"

#include "panel/keypad/key_pictures.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace vr410 {
namespace {

struct KeyFace {
    PanelKey Id;
    const char* Name;    // object name of the button
    const char* Caption; // UTF-8
    const char* Shifted; // blue label, nullptr when the key has none
    int Row;             // 0..2
    int Column;          // 0..5
};

// "макcимум" is written with a Latin "c" as its fourth letter, as on the instrument.
// clang-format off
const KeyFace KeyFaces[PanelKeyCount] = {
    {.Id = PanelKey::SB_Enter, .Name = "SB_Enter", .Caption = "Ввод",           .Shifted = nullptr,            .Row = 0, .Column = 0},
    {.Id = PanelKey::SB_1,     .Name = "SB_1",     .Caption = "1     U1",       .Shifted = "%",                .Row = 0, .Column = 1},
    {.Id = PanelKey::SB_2,     .Name = "SB_2",     .Caption = "2     U2",       .Shifted = "минимум",          .Row = 0, .Column = 2},
    {.Id = PanelKey::SB_3,     .Name = "SB_3",     .Caption = "3    дельтаU",   .Shifted = "мак\x63имум",      .Row = 0, .Column = 3},
    {.Id = PanelKey::SB_4,     .Name = "SB_4",     .Caption = "4",              .Shifted = "50A",              .Row = 0, .Column = 4},
    {.Id = PanelKey::SB_5,     .Name = "SB_5",     .Caption = "5     АВТ",      .Shifted = "МЕНЮ",             .Row = 0, .Column = 5},
    {.Id = PanelKey::SB_Shift, .Name = "SB_Shift", .Caption = "Ряд",            .Shifted = nullptr,            .Row = 1, .Column = 0},
    {.Id = PanelKey::SB_6,     .Name = "SB_6",     .Caption = "6",              .Shifted = "100mV/1mA",        .Row = 1, .Column = 1},
    {.Id = PanelKey::SB_7,     .Name = "SB_7",     .Caption = "7",              .Shifted = "1V/10mA",          .Row = 1, .Column = 2},
    {.Id = PanelKey::SB_8,     .Name = "SB_8",     .Caption = "8",              .Shifted = "10V/100mA",        .Row = 1, .Column = 3},
    {.Id = PanelKey::SB_9,     .Name = "SB_9",     .Caption = "9",              .Shifted = "100V/1A",          .Row = 1, .Column = 4},
    {.Id = PanelKey::SB_0,     .Name = "SB_0",     .Caption = "0",              .Shifted = "1000V/10A",        .Row = 1, .Column = 5},
    {.Id = PanelKey::SB_Reset, .Name = "SB_Reset", .Caption = "Сброс",          .Shifted = nullptr,            .Row = 2, .Column = 0},
    {.Id = PanelKey::SB_Polar, .Name = "SB_Polar", .Caption = "+/-",            .Shifted = "Экран",            .Row = 2, .Column = 1},
    {.Id = PanelKey::SB_Sin,   .Name = "SB_Sin",   .Caption = "~",              .Shifted = "Частота",          .Row = 2, .Column = 2},
    {.Id = PanelKey::SB_I,     .Name = "SB_I",     .Caption = "I",              .Shifted = "Ок",               .Row = 2, .Column = 3},
    {.Id = PanelKey::SB_U,     .Name = "SB_U",     .Caption = "V",              .Shifted = "Установка О",      .Row = 2, .Column = 4},
    {.Id = PanelKey::SB_Meas,  .Name = "SB_Meas",  .Caption = "Измерение",      .Shifted = "Калибровка",       .Row = 2, .Column = 5},
};
// clang-format on

// Layout at the design's sizes: six columns of 65-pixel buttons 75 pixels apart, three rows
// 53 pixels apart, each button with its blue label in the 14 pixels under it.
constexpr int Left = 10;
constexpr int Top = 6;
constexpr int ColumnGap = 10;
constexpr int RightMargin = 15;
constexpr int RowStep = 53;
constexpr int LabelHeight = 14;

const QColor ShiftBlue(0, 0, 255);

// A latched key is pressed in and lit, as the instrument's keys show their state, so that the
// range, the mode and the shift key can be read off the keypad at a glance. Only the latched
// state is styled; the other states keep the platform's look.
const char* const LatchedLook = R"(
QPushButton:checked {
    background-color: #a9c1e0;
    border: 1px solid #2f4261;
    border-top-width: 3px;
    border-left-width: 2px;
    border-radius: 3px;
}
QPushButton:checked:disabled {
    background-color: #d3d8df;
    border-color: #9aa3b0;
}
)";

// Blue for the working keypad only: a disabled one takes the style's disabled text colour.
void PaintBlue(QWidget* widget, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, ShiftBlue);
    palette.setColor(QPalette::Inactive, role, ShiftBlue);
    widget->setPalette(palette);
}

// The width a button needs for its caption in its own font (bold for "Ряд"), with the picture
// beside it and the style's margins on both sides.
int CaptionWidth(const QPushButton* button, bool bold) {
    QFont font = button->font();
    font.setBold(bold);
    const int picture = button->icon().isNull() ? 0 : KeyPictureSize + 4;
    const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    return QFontMetrics(font).horizontalAdvance(button->text()) + picture + std::max(margins, 10);
}

} // namespace

Panel5::Panel5(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel5"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setStyleSheet(QString::fromLatin1(LatchedLook));

    QFont labelFont = font();
    labelFont.setPointSizeF(labelFont.pointSizeF() * 0.85);

    for (const KeyFace& face : KeyFaces) {
        const size_t index = static_cast<size_t>(face.Id);
        auto* button = new QPushButton(QString::fromUtf8(face.Caption), this);
        button->setObjectName(QString::fromLatin1(face.Name));
        button->setCheckable(KeyGroup(face.Id) != 0);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, key = face.Id] {
            ShowLatches(); // undo the button's own toggle: the latches decide
            emit KeyClicked(key);
        });
        Buttons_[index] = button;

        if (face.Shifted != nullptr) {
            auto* label = new QLabel(QString::fromUtf8(face.Shifted), this);
            label->setObjectName(QString::fromLatin1(face.Name) + QStringLiteral("_Shifted"));
            label->setFont(labelFont);
            PaintBlue(label, QPalette::WindowText);
            label->setAlignment(Qt::AlignCenter);
            ShiftLabels_[index] = label;
        }
    }

    PaintBlue(Button(PanelKey::SB_Shift), QPalette::ButtonText);
    ShowShiftFace();

    Button(PanelKey::SB_Enter)->setToolTip(QStringLiteral("Клавиша ВВОД"));
    Button(PanelKey::SB_Enter)->setIcon(EnterPicture());
    Button(PanelKey::SB_Reset)->setIcon(ResetPicture());
    for (PanelKey key : {PanelKey::SB_Enter, PanelKey::SB_Reset}) {
        Button(key)->setIconSize(QSize(KeyPictureSize, KeyPictureSize));
    }

    LayOut();
    ShowLatches();
}

void Panel5::LayOut() {
    int buttonWidth = ButtonWidth;
    for (const QPushButton* button : Buttons_) {
        buttonWidth =
            std::max(buttonWidth, CaptionWidth(button, button == Button(PanelKey::SB_Shift)));
    }
    int columnStep = buttonWidth + ColumnGap;
    for (const QLabel* label : ShiftLabels_) {
        if (label != nullptr) {
            columnStep =
                std::max(columnStep, label->fontMetrics().horizontalAdvance(label->text()) + 2);
        }
    }
    // The blue label is as wide as a column and centred under its button.
    const int labelWidth = columnStep;
    const int left = std::max(Left, (labelWidth - buttonWidth) / 2 + frameWidth());
    for (const KeyFace& face : KeyFaces) {
        const size_t index = static_cast<size_t>(face.Id);
        const int x = left + face.Column * columnStep;
        const int y = Top + face.Row * RowStep;
        Buttons_[index]->setGeometry(x, y, buttonWidth, ButtonHeight);
        if (QLabel* label = ShiftLabels_[index]) {
            label->setGeometry(x - (labelWidth - buttonWidth) / 2, y + ButtonHeight + 1, labelWidth,
                               LabelHeight);
        }
    }
    const int lastLabelRight = left + 5 * columnStep + (buttonWidth + labelWidth) / 2;
    setFixedSize(std::max({PanelWidth, left + 5 * columnStep + buttonWidth + RightMargin,
                           lastLabelRight + frameWidth()}),
                 PanelHeight);
}

void Panel5::ShowShiftFace() {
    QPushButton* shift = Button(PanelKey::SB_Shift);
    QFont face = shift->font();
    face.setBold(isEnabled());
    shift->setFont(face);
}

void Panel5::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        ShowShiftFace();
    }
}

void Panel5::SetKeyDown(PanelKey key, bool down) {
    Latches_.SetDown(key, down);
    ShowLatches();
}

void Panel5::ShowLatches() {
    for (size_t i = 0; i < PanelKeyCount; ++i) {
        if (Buttons_[i]->isCheckable()) {
            Buttons_[i]->setChecked(Latches_.IsDown(static_cast<PanelKey>(i)));
        }
    }
}

} // namespace vr410
