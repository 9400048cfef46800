#include "shell/form_address.h"

#include "shell/widgets/num_edit.h"
#include "shell/window_placement.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vr410 {

namespace {

constexpr int ClientWidth = 154;
constexpr int ClientHeight = 63;

bool IsAddressKey(QChar key) {
    return key.unicode() == 8 || key.unicode() == 13 ||
           (key >= QLatin1Char('0') && key <= QLatin1Char('9'));
}

} // namespace

int AdjustDeviceAddress(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, 255));
}

int AdjustPcAddress(int64_t value, int addrDevice) {
    int address = static_cast<int>(std::clamp<int64_t>(value, 0, 240));
    if (address == addrDevice) {
        address = address == 0 ? 1 : address - 1;
    }
    return address;
}

TAddressDialog::TAddressDialog(QWidget* owner, SystemFacilities& facilities, int& model,
                               uint8_t& address, Design design)
    : QDialog(owner), Facilities_(facilities), Model_(model), Address_(address), Synced_(model),
      Design_(std::move(design)) {
    setObjectName(QString::fromLatin1(Design_.Name));
    setWindowTitle(Design_.Caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* label = new QLabel(Design_.Caption + QLatin1Char(':'), this);
    label->setObjectName(QStringLiteral("Label1"));
    Field_ = new TIntEdit(this);
    Field_->setObjectName(QString::fromLatin1(Design_.FieldName));
    Field_->SetFacilities(&facilities);
    Field_->setMaxLength(3);
    Field_->setAlignment(Qt::AlignRight);
    Field_->setFixedWidth(
        std::max(33, QFontMetrics(Field_->font()).horizontalAdvance(QStringLiteral("0000")) + 10));
    Field_->SetValue(model);
    Field_->installEventFilter(this);
    label->setBuddy(Field_);
    B_Save_ = new QPushButton(QStringLiteral("Сохранить"), this);
    B_Save_->setObjectName(QStringLiteral("B_Save"));
    B_Save_->setDefault(true); // Enter anywhere in the dialog
    connect(B_Save_, &QPushButton::clicked, this, &TAddressDialog::B_SaveClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(Field_, 0, 1);
    layout->addWidget(B_Save_, 1, 0, 1, 2, Qt::AlignHCenter);
    // The stated client size, or what the font in use needs when that is more.
    const QSize needed = layout->sizeHint();
    setFixedSize(std::max(ClientWidth, needed.width()), std::max(ClientHeight, needed.height()));
    if (owner != nullptr) {
        CentreOnFirstShow(*this, *owner);
    }
}

void TAddressDialog::AdjustField() {
    Field_->SetValue(Design_.Adjust(Field_->Value()));
}

void TAddressDialog::B_SaveClick() {
    AdjustField();
    // The rule keeps the value within 0..255.
    Address_ = static_cast<uint8_t>(Field_->Value());
    accept();
}

bool TAddressDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Field_ && event->type() == QEvent::KeyPress) {
        // The dialog sees the field's keys first: only digits, Backspace and Enter get through.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.front().unicode() != 27 && !IsAddressKey(typed.front())) {
            Facilities_.Beep();
            return true;
        }
    } else if (watched == Field_ && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            isVisible()) {
            AdjustField();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAddressDialog::showEvent(QShowEvent* event) {
    // Somebody else wrote the model since (the parameters dialog's new instrument address).
    if (Model_ != Synced_) {
        Field_->SetValue(Model_);
        Synced_ = Model_;
    }
    QDialog::showEvent(event);
    Field_->setFocus(Qt::OtherFocusReason);
    Field_->selectAll();
}

void TAddressDialog::hideEvent(QHideEvent* event) {
    // What was typed stays for the next opening and for the parameters dialog.
    Model_ = static_cast<int>(Field_->Value());
    Synced_ = Model_;
    QDialog::hideEvent(event);
}

TFormDevice::TFormDevice(QWidget* owner, SystemFacilities& facilities, InstrumentState& state,
                         DialogModel& dialogs)
    : TAddressDialog(owner, facilities, dialogs.DeviceAddressField, state.AddrDevice,
                     {.Name = "FormDevice",
                      .Caption = QStringLiteral("Адрес назначения"),
                      .FieldName = "IntEditAddrDevice",
                      .Adjust = AdjustDeviceAddress}) {}

TFormAddressPC::TFormAddressPC(QWidget* owner, SystemFacilities& facilities, InstrumentState& state,
                               DialogModel& dialogs)
    : TAddressDialog(owner, facilities, dialogs.PcAddressField, state.PCDevice,
                     {.Name = "FormAddressPC",
                      .Caption = QStringLiteral("Адрес компьютера"),
                      .FieldName = "IntEditAddrPC",
                      .Adjust = [&state](int64_t value) {
                          return AdjustPcAddress(value, state.AddrDevice);
                      }}) {}

} // namespace vr410
