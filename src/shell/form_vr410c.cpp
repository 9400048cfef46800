#include "shell/form_vr410c.h"

#include "engine/exchange_engine.h"
#include "protocol/function_codes.h"
#include "protocol/instrument_state.h"
#include "shell/window_placement.h"

#include <QAction>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <iterator>

namespace vr410 {

namespace {

constexpr int NoTag = -1;

struct ButtonFace {
    AccessoryButton Id;
    const char* Name;
    const char* Caption;
    int Tag;
    int Row; // 0 the bands, 1 the factors
};

// Left to right, the bands then the factors. The tag is the code the button sends.
// clang-format off
constexpr ButtonFace Faces[] = {
    {.Id = AccessoryButton::SB_Enter, .Name = "SB_Enter", .Caption = "20В",   .Tag = 5,     .Row = 0},
    {.Id = AccessoryButton::SB_1,     .Name = "SB_1",     .Caption = "1мА",   .Tag = 0,     .Row = 0},
    {.Id = AccessoryButton::SB_2,     .Name = "SB_2",     .Caption = "10мА",  .Tag = 1,     .Row = 0},
    {.Id = AccessoryButton::SB_3,     .Name = "SB_3",     .Caption = "100мА", .Tag = 2,     .Row = 0},
    {.Id = AccessoryButton::SB_4,     .Name = "SB_4",     .Caption = "1А",    .Tag = 3,     .Row = 0},
    {.Id = AccessoryButton::SB_5,     .Name = "SB_5",     .Caption = "10А",   .Tag = 4,     .Row = 0},
    {.Id = AccessoryButton::SB_Reset, .Name = "SB_Reset", .Caption = "Сброс", .Tag = NoTag, .Row = 1},
    {.Id = AccessoryButton::SB_6,     .Name = "SB_6",     .Caption = "0",     .Tag = 1,     .Row = 1},
    {.Id = AccessoryButton::SB_7,     .Name = "SB_7",     .Caption = "0.3",   .Tag = 2,     .Row = 1},
    {.Id = AccessoryButton::SB_8,     .Name = "SB_8",     .Caption = "0.5",   .Tag = 3,     .Row = 1},
    {.Id = AccessoryButton::SB_9,     .Name = "SB_9",     .Caption = "0.7",   .Tag = 4,     .Row = 1},
    {.Id = AccessoryButton::SB_0,     .Name = "SB_0",     .Caption = "1",     .Tag = 5,     .Row = 1},
};
// clang-format on

// The 10 A button while Ctrl is up and while it is held (Latin "A" both, unlike the design
// caption "10А").
constexpr const char* TenAmpCaption = "10A";
constexpr const char* ThirtyAmpCaption = "30A";
constexpr int TenAmpBand = 4;
constexpr int ThirtyAmpBand = 6;

// The 20 V band takes neither the factor 0.3 nor 0.7.
constexpr int TwentyVoltBand = 5;
bool FactorRefusedOnBand(int band, int factor) {
    return band == TwentyVoltBand && (factor == 2 || factor == 4);
}

// The design's geometry: 65 × 33 buttons, 11 pixels apart, rows 10 apart, in a 465 × 104 client
// area; larger captions widen every button alike.
constexpr QSize ClientSize(465, 104);
constexpr QSize ButtonSize(65, 33);
constexpr int Left = 10;
constexpr int Top = 14;
constexpr int ColumnGap = 11;
constexpr int RowGap = 10;
constexpr int Columns = 6;

const QColor ResetBlue(0, 0, 255);

} // namespace

TFormVR410C::TFormVR410C(QWidget* parent, InstrumentState& state, DialogModel& dialogs,
                         QAction& accessoryItem, engine::ExchangeEngine& engine)
    : QDialog(parent), State_(state), Dialogs_(dialogs), AccessoryItem_(accessoryItem),
      Engine_(engine) {
    setObjectName(QStringLiteral("FormVR410C"));
    setWindowTitle(QStringLiteral("VR410С"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Bands_ = new QButtonGroup(this);
    Factors_ = new QButtonGroup(this);
    for (const ButtonFace& face : Faces) {
        auto* button = new QPushButton(QString::fromUtf8(face.Caption), this);
        button->setObjectName(QString::fromLatin1(face.Name));
        button->setCheckable(true);
        // The buttons never hold the focus, so every key reaches the window.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        (face.Row == 0 ? Bands_ : Factors_)->addButton(button);
        const auto index = static_cast<size_t>(face.Id);
        Buttons_[index] = button;
        Tags_[index] = face.Tag;
        const AccessoryButton id = face.Id;
        if (id == AccessoryButton::SB_Reset) {
            connect(button, &QPushButton::clicked, this, &TFormVR410C::SB_ResetClick);
        } else if (face.Row == 0) {
            connect(button, &QPushButton::clicked, this, [this, id] { BandClick(id); });
        } else {
            connect(button, &QPushButton::clicked, this, [this, id] { FactorClick(id); });
        }
    }
    QPushButton* reset = Button(AccessoryButton::SB_Reset);
    QFont resetFont = reset->font();
    resetFont.setBold(true);
    resetFont.setPixelSize(16);
    reset->setFont(resetFont);
    QPalette resetColours = reset->palette();
    resetColours.setColor(QPalette::ButtonText, ResetBlue);
    reset->setPalette(resetColours);

    Button(AccessoryButton::SB_1)->setChecked(true);
    reset->setChecked(true);
    LayOut();
    if (parent != nullptr) {
        CentreOnFirstShow(*this, *parent);
    }
}

void TFormVR410C::LayOut() {
    // Every button as wide as the widest caption needs (the 10 A button's both captions
    // included), as tall as the tallest font needs, and never below the design's size.
    QSize size = ButtonSize;
    for (const QPushButton* button : Buttons_) {
        const QFontMetrics metrics(button->font());
        const int margins = std::max(
            2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button), 10);
        int text = metrics.horizontalAdvance(button->text());
        if (button == Button(AccessoryButton::SB_5)) {
            text = std::max({text, metrics.horizontalAdvance(QString::fromLatin1(TenAmpCaption)),
                             metrics.horizontalAdvance(QString::fromLatin1(ThirtyAmpCaption))});
        }
        size = size.expandedTo(QSize(text + margins, metrics.height() + 10));
    }
    // Faces lists each row's six buttons left to right.
    for (size_t i = 0; i < std::size(Faces); ++i) {
        const int column = static_cast<int>(i) % Columns;
        Button(Faces[i].Id)
            ->setGeometry(Left + column * (size.width() + ColumnGap),
                          Top + Faces[i].Row * (size.height() + RowGap), size.width(),
                          size.height());
    }
    setFixedSize(QSize(2 * Left + Columns * size.width() + (Columns - 1) * ColumnGap,
                       2 * Top + 2 * size.height() + RowGap)
                     .expandedTo(ClientSize));
}

void TFormVR410C::N3001Click() {
    AccessoryItem_.setChecked(true);
    Send(FunctionCode::ReadOutput);
    exec();
    // A request issued but not yet built would be built for the instrument once the item is
    // unticked: the accessory's set-output would reach the calibrator with the calibrator's
    // value. It is dropped; one already on its way to the accessory finishes.
    if (Engine_.State() == engine::CycleState::EncodePending ||
        Engine_.State() == engine::CycleState::StoppingTransmitGiven) {
        Engine_.StopTransmit();
    }
    AccessoryItem_.setChecked(false);
}

void TFormVR410C::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    TakeAnswerPresses();
}

void TFormVR410C::TakeAnswerPresses() {
    while (!Dialogs_.AccessoryPresses.empty()) {
        Button(Dialogs_.AccessoryPresses.front())->setChecked(true);
        Dialogs_.AccessoryPresses.pop_front();
    }
}

void TFormVR410C::Send(uint8_t code) {
    Engine_.Issue(code);
}

void TFormVR410C::BandClick(AccessoryButton button) {
    State_.AccessoryBand = static_cast<uint8_t>(Tag(button));
    Send(FunctionCode::SetOutput);
}

void TFormVR410C::FactorClick(AccessoryButton button) {
    const int factor = Tag(button);
    if (FactorRefusedOnBand(State_.AccessoryBand, factor)) {
        // The factor that holds stays shown; a value no button stands for changes nothing.
        if (State_.AccessoryFactor == 0) {
            Button(AccessoryButton::SB_Reset)->setChecked(true);
        } else if (State_.AccessoryFactor <= 5) {
            for (const ButtonFace& face : Faces) {
                if (face.Row == 1 && face.Tag == State_.AccessoryFactor) {
                    Button(face.Id)->setChecked(true);
                }
            }
        }
        return;
    }
    State_.AccessoryFactor = static_cast<uint8_t>(factor);
    Send(FunctionCode::SetOutput);
}

void TFormVR410C::SB_ResetClick() {
    Send(FunctionCode::Reset);
}

void TFormVR410C::ShowCtrl(bool held) {
    QPushButton* button = Button(AccessoryButton::SB_5);
    button->setText(QString::fromLatin1(held ? ThirtyAmpCaption : TenAmpCaption));
    Tags_[static_cast<size_t>(AccessoryButton::SB_5)] = held ? ThirtyAmpBand : TenAmpBand;
}

void TFormVR410C::keyPressEvent(QKeyEvent* event) {
    // The Ctrl key's own press may come before the modifier state says so.
    ShowCtrl(event->key() == Qt::Key_Control || event->modifiers().testFlag(Qt::ControlModifier));
    if (event->key() == Qt::Key_Escape) {
        event->accept(); // no cancel button: only the close box closes the window
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormVR410C::keyReleaseEvent(QKeyEvent* event) {
    ShowCtrl(event->key() != Qt::Key_Control && event->modifiers().testFlag(Qt::ControlModifier));
    QDialog::keyReleaseEvent(event);
}

} // namespace vr410
