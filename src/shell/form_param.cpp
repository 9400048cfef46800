#include "shell/form_param.h"

#include "platform/system_facilities.h"
#include "protocol/function_codes.h"
#include "shell/widgets/num_edit.h"
#include "shell/window_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace vr410 {

const QStringList TFormParam::TimeIndItems = {
    QStringLiteral("0,3 секунды"), QStringLiteral("0,6 секунд"), QStringLiteral("1,3 секунды"),
    QStringLiteral("2,6 секунды"), QStringLiteral("5,1 секунды")};
const QStringList TFormParam::DigitalFilterItems = {QStringLiteral("отключен"), QStringLiteral("1"),
                                                    QStringLiteral("2"), QStringLiteral("3")};
const QStringList TFormParam::NumDigitsItems = {QStringLiteral("8 1/2"), QStringLiteral("7 1/2"),
                                                QStringLiteral("6 1/2")};
const QStringList TFormParam::ViewModeItems = {QStringLiteral("10.0000000V"),
                                               QStringLiteral("10.000 000 0V"),
                                               QStringLiteral("10.000m000u0V")};

namespace {

constexpr int HighestAddress = 255;

// The bold number that heads an entry.
QLabel* EntryNumber(const char* number, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(number), parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QComboBox* MakeList(const char* name, const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false); // no typed text: the item index is the code
    list->addItems(items);
    return list;
}

QCheckBox* MakeCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A list shows the code as its item; a code the list has no item for leaves it without a
// selection and shows the bare number in its place.
void ShowCode(QComboBox& list, int code) {
    if (code >= 0 && code < list.count()) {
        list.setCurrentIndex(code);
        return;
    }
    list.setPlaceholderText(QString::number(code));
    list.setCurrentIndex(-1);
}

} // namespace

TFormParam::TFormParam(InstrumentState& state, DialogModel& dialogs, SystemFacilities& facilities,
                       ParamDialogActions actions, QWidget* owner)
    : QDialog(owner), State_(state), Dialogs_(dialogs), Facilities_(facilities),
      Actions_(std::move(actions)) {
    setObjectName(QStringLiteral("FormParam"));
    setWindowTitle(QStringLiteral("Пользовательские настройки VR410К"));
    // A fixed single border with the system menu and the minimise button.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    if (owner != nullptr) {
        CentreOnFirstShow(*this, *owner);
    }
    ShowModelValues();
    Dialogs_.ParamControlsChanged = [this] { ShowModelValues(); };
}

TFormParam::~TFormParam() {
    Dialogs_.ParamControlsChanged = nullptr;
}

void TFormParam::BuildControls() {
    CB_Sound = MakeCheckBox("CB_Sound", QStringLiteral("Звук"), this);
    TrackBarBrihtness = new QSlider(Qt::Horizontal, this);
    TrackBarBrihtness->setObjectName(QStringLiteral("TrackBarBrihtness"));
    TrackBarBrihtness->setRange(0, 7);
    TrackBarBrihtness->setPageStep(1);
    TrackBarBrihtness->setTickPosition(QSlider::TicksBelow);
    TrackBarBrihtness->setTickInterval(1);
    IntEditAddrDevice = new TIntEdit(this);
    IntEditAddrDevice->setObjectName(QStringLiteral("IntEditAddrDevice"));
    IntEditAddrDevice->setMaxLength(3);
    IntEditAddrDevice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    IntEditAddrDevice->SetFacilities(&Facilities_);
    // The box itself takes the characters of a signed number; an address has no sign.
    IntEditAddrDevice->SetOnKeyPress([this](QChar& key) {
        if (key == u'+' || key == u'-') {
            Facilities_.Beep();
            key = QChar();
        }
    });
    GroupTimeInd = MakeList("GroupTimeInd", TimeIndItems, this);
    GroupDigitalFilter = MakeList("GroupDigitalFilter", DigitalFilterItems, this);
    GroupNumDigits = MakeList("GroupNumDigits", NumDigitsItems, this);
    GroupViewMode = MakeList("GroupViewMode", ViewModeItems, this);
    CB_CoefCalibr = MakeCheckBox("CB_CoefCalibr", QStringLiteral("калибратора"), this);
    CB_CoefComp = MakeCheckBox("CB_CoefComp", QStringLiteral("компаратора"), this);
    // The calibration boxes only show whether a user calibration is active: it is switched off
    // with the panel's keys, never here.
    for (QCheckBox* shown : {CB_CoefCalibr, CB_CoefComp}) {
        shown->setAttribute(Qt::WA_TransparentForMouseEvents);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    CB_MoveCursor = MakeCheckBox("CB_MoveCursor", QStringLiteral("Переход курсора"), this);
    CB_Blanking = MakeCheckBox("CB_Blanking", QStringLiteral("Гашение незначащих разрядов"), this);
    LB_Errors = new QListWidget(this);
    LB_Errors->setObjectName(QStringLiteral("LB_Errors"));
    Setup_Read = new QPushButton(QStringLiteral("Считать параметры"), this);
    Setup_Read->setObjectName(QStringLiteral("Setup_Read"));
    Setup_Write = new QPushButton(QStringLiteral("Сохранить параметры"), this);
    Setup_Write->setObjectName(QStringLiteral("Setup_Write"));
    // Enter belongs to the address field: neither button closes or acts on it.
    for (QPushButton* button : {Setup_Read, Setup_Write}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // Entries 1 to 7 on the left, the user calibration and the error list on the right, 10 and
    // 11 across the foot, above the buttons.
    auto* left = new QGridLayout;
    left->setHorizontalSpacing(4);
    left->setVerticalSpacing(4);
    int row = 0;
    auto entry = [&](const char* number, const QString& caption, QWidget* control) {
        left->addWidget(EntryNumber(number, this), row, 0, Qt::AlignTop);
        if (caption.isEmpty()) {
            left->addWidget(control, row, 1);
        } else {
            left->addWidget(new QLabel(caption, this), row, 1);
            ++row;
            left->addWidget(control, row, 1);
        }
        ++row;
    };
    entry("1)", QString(), CB_Sound);
    entry("2)", QStringLiteral("Яркость:"), TrackBarBrihtness);
    // Three digits wide, whatever the font.
    IntEditAddrDevice->setFixedWidth(
        IntEditAddrDevice->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* address = new QHBoxLayout;
    address->addWidget(new QLabel(QStringLiteral("Адрес прибора:"), this));
    address->addWidget(IntEditAddrDevice);
    address->addStretch();
    left->addWidget(EntryNumber("3)", this), row, 0);
    left->addLayout(address, row, 1);
    ++row;
    entry("4)", QStringLiteral("Время индикации:"), GroupTimeInd);
    entry("5)", QStringLiteral("Цифровой фильтр:"), GroupDigitalFilter);
    entry("6)", QStringLiteral("Число разрядов при измерении:"), GroupNumDigits);
    entry("7)", QStringLiteral("Вид индикации:"), GroupViewMode);
    left->setRowStretch(row, 1);

    auto* right = new QGridLayout;
    right->setHorizontalSpacing(4);
    right->setVerticalSpacing(4);
    right->addWidget(new QLabel(QStringLiteral("Пользовательская калибровка"), this), 0, 0, 1, 2);
    right->addWidget(EntryNumber("8)", this), 1, 0);
    right->addWidget(CB_CoefCalibr, 1, 1);
    right->addWidget(EntryNumber("9)", this), 2, 0);
    right->addWidget(CB_CoefComp, 2, 1);
    right->addWidget(new QLabel(QStringLiteral("Коды ошибок:"), this), 3, 0, 1, 2);
    right->addWidget(LB_Errors, 4, 0, 1, 2);
    right->setRowStretch(4, 1);
    right->setColumnStretch(1, 1);

    auto* foot = new QGridLayout;
    foot->setHorizontalSpacing(4);
    foot->setVerticalSpacing(4);
    foot->addWidget(EntryNumber("10)", this), 0, 0);
    foot->addWidget(CB_MoveCursor, 0, 1);
    foot->addWidget(EntryNumber("11)", this), 1, 0);
    foot->addWidget(CB_Blanking, 1, 1);
    foot->setColumnStretch(1, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(8);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Setup_Read);
    buttons->addWidget(Setup_Write);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(8, 8, 8, 8);
    form->addLayout(columns, 1);
    form->addLayout(foot);
    form->addLayout(buttons);

    // The stated client size, or larger where the fonts need more room; never resizable.
    const QSize needed = form->totalMinimumSize();
    setFixedSize(std::max(ClientWidth, needed.width()), std::max(ClientHeight, needed.height()));

    // Keys reach the form first, from whichever control has the focus.
    for (QWidget* control : findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }

    connect(Setup_Read, &QPushButton::clicked, this, &TFormParam::Setup_ReadClick);
    connect(Setup_Write, &QPushButton::clicked, this, &TFormParam::Setup_WriteClick);
    // The operator's edits are kept in the model, so they survive until the next read.
    auto keep = [this](ParamControl control) {
        return [this, control](int value) { Dialogs_.Param(control) = value; };
    };
    connect(CB_Sound, &QCheckBox::toggled, this, keep(ParamControl::CB_Sound));
    connect(TrackBarBrihtness, &QSlider::valueChanged, this, keep(ParamControl::TrackBarBrihtness));
    // Only the operator's choice: a list left without a selection keeps its reported code.
    connect(GroupTimeInd, &QComboBox::activated, this, keep(ParamControl::GroupTimeInd));
    connect(GroupDigitalFilter, &QComboBox::activated, this,
            keep(ParamControl::GroupDigitalFilter));
    connect(GroupNumDigits, &QComboBox::activated, this, keep(ParamControl::GroupNumDigits));
    connect(GroupViewMode, &QComboBox::activated, this, keep(ParamControl::GroupViewMode));
    connect(CB_MoveCursor, &QCheckBox::toggled, this, keep(ParamControl::CB_MoveCursor));
    connect(CB_Blanking, &QCheckBox::toggled, this, keep(ParamControl::CB_Blanking));
}

void TFormParam::ShowModelValues() {
    const DialogModel& model = Dialogs_;
    auto value = [&model](ParamControl control) {
        return model.ParamControls[static_cast<size_t>(control)];
    };
    CB_Sound->setChecked(value(ParamControl::CB_Sound) != 0);
    TrackBarBrihtness->setValue(value(ParamControl::TrackBarBrihtness));
    ShowCode(*GroupTimeInd, value(ParamControl::GroupTimeInd));
    ShowCode(*GroupDigitalFilter, value(ParamControl::GroupDigitalFilter));
    ShowCode(*GroupNumDigits, value(ParamControl::GroupNumDigits));
    ShowCode(*GroupViewMode, value(ParamControl::GroupViewMode));
    CB_CoefCalibr->setChecked(value(ParamControl::CB_CoefCalibr) != 0);
    CB_CoefComp->setChecked(value(ParamControl::CB_CoefComp) != 0);
    CB_MoveCursor->setChecked(value(ParamControl::CB_MoveCursor) != 0);
    CB_Blanking->setChecked(value(ParamControl::CB_Blanking) != 0);
    LB_Errors->clear();
    for (const std::string& entry : model.ErrorList) {
        LB_Errors->addItem(QString::fromStdString(entry));
    }
}

void TFormParam::ShowModal() {
    exec();
}

void TFormParam::TakeDestinationAddress() {
    IntEditAddrDevice->SetValue(Dialogs_.DeviceAddressField);
    Dialogs_.ParamAddressField = Dialogs_.DeviceAddressField;
}

int TFormParam::AdjustAddressField() {
    const int typed = static_cast<int>(IntEditAddrDevice->Value());
    const int adjusted = std::clamp(typed, 0, HighestAddress);
    if (adjusted != typed) {
        IntEditAddrDevice->SetValue(adjusted);
    }
    return adjusted;
}

void TFormParam::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    IntEditAddrDevice->SetValue(State_.AddrDevice);
    // Activation follows every show; run its step here as well for desktops that never
    // activate a new window, so an open dialog always shows the destination dialog's field.
    TakeDestinationAddress();
}

void TFormParam::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Every activation, also after a message box over the dialog, drops an address typed but
    // not saved.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        TakeDestinationAddress();
    }
}

bool TFormParam::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == IntEditAddrDevice) {
        AdjustAddressField();
    }
    return QDialog::eventFilter(watched, event);
}

void TFormParam::done(int result) {
    QDialog::done(result);
    if (Actions_.PrintMode) {
        Actions_.PrintMode();
    }
}

void TFormParam::Setup_ReadClick() {
    Actions_.IssueCommand(FunctionCode::ReadParameters);
    TakeDestinationAddress();
}

void TFormParam::Setup_WriteClick() {
    const DialogModel& model = Dialogs_;
    auto value = [&model](ParamControl control) {
        return static_cast<uint8_t>(model.ParamControls[static_cast<size_t>(control)]);
    };
    State_.Sound = CB_Sound->isChecked() ? 1 : 0;
    State_.Brightness = static_cast<uint8_t>(TrackBarBrihtness->value() + 1);
    // The request carries exactly the address the field shows.
    const int address = AdjustAddressField();
    Dialogs_.DeviceAddressField = address;
    Dialogs_.ParamAddressField = address;
    // A list the operator has not set, left without a selection by a code it has no item for,
    // sends that code back as the instrument reported it.
    State_.TimeInd = value(ParamControl::GroupTimeInd);
    State_.DigitalFilter = value(ParamControl::GroupDigitalFilter);
    State_.NumDigits = value(ParamControl::GroupNumDigits);
    State_.ViewMode = value(ParamControl::GroupViewMode);
    State_.MoveCursor = CB_MoveCursor->isChecked() ? 1 : 0;
    State_.Blanking = CB_Blanking->isChecked() ? 1 : 0;
    Actions_.IssueCommand(FunctionCode::SetParameters);
    if (Actions_.PrintMode) {
        Actions_.PrintMode();
    }
}

} // namespace vr410
