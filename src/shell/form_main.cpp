// The main window: layout, menus, creation, activation and close.
#include "shell/form_main.h"

#include "links/comm_port.h"
#include "links/link_selection.h"
#include "links/usb_port.h"
#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "protocol/function_codes.h"
#include "shell/form_about.h"
#include "shell/form_calibration.h"
#include "shell/form_help.h"
#include "shell/form_interface.h"
#include "shell/form_ok_cal.h"
#include "shell/form_param.h"
#include "shell/form_vr410c.h"
#include "shell/qt_system_facilities.h"
#include "shell/usb_host.h"
#include "shell/usb_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include <algorithm>

namespace vr410 {

namespace {

constexpr int ClientWidth = 1070;
constexpr int ClientHeight = 190;
constexpr int StatusBarHeight = 19;
constexpr int StatusPanelWidths[3] = {150, 45, 205};

QFrame* MakePanel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(geometry);
    return panel;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    return label;
}

QAction* MakeItem(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    // The menu's keys work while any of the program's windows is active, not only the main
    // window; a modal dialog still blocks them.
    item->setShortcutContext(Qt::ApplicationShortcut);
    return item;
}

} // namespace

TFormMain::TFormMain(StartOptions options)
    : Line_(std::move(options.Line)), SettingsPath_(std::move(options.SettingsPath)),
      Facilities_(std::move(options.Facilities)), Menu_(this) {
    if (Facilities_ == nullptr) {
        Facilities_ = std::make_unique<QtSystemFacilities>();
    }
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Удаленное управление VR410"));
    // A fixed single border with the system menu and the minimise button, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    BuildWindow();
    BuildMenus();
    FormCreate();
    CreateWindows();
}

TFormMain::~TFormMain() = default;

void TFormMain::BuildWindow() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(ClientWidth, ClientHeight - StatusBarHeight);
    setCentralWidget(client);

    // The display and the keypad side by side; the keypad panel fills the height.
    BuildPanel(client);
    // The keypad is as wide as its captions need in the system's font; the window follows it.
    client->setFixedWidth(std::max(ClientWidth, Panel5_->geometry().right() + 1));

    SB_Test_ = new QPushButton(QStringLiteral("Тест"), client);
    SB_Test_->setObjectName(QStringLiteral("SB_Test"));
    SB_Test_->setToolTip(QStringLiteral("Тест обмена данными"));
    SB_Test_->setGeometry(436, 110, 75, 23);
    SB_QueryState_ = new QPushButton(QStringLiteral("Состояние"), client);
    SB_QueryState_->setObjectName(QStringLiteral("SB_QueryState"));
    SB_QueryState_->setToolTip(
        QStringLiteral("Запрос состояния прибора (режимы, параметры и установленное значение)"));
    SB_QueryState_->setGeometry(516, 110, 85, 23);

    // The strip of the packet monitor: command and answer, shown with "Показывать посылки".
    Panel1_ = MakePanel(client, "Panel1", QRect(0, 136, 601, 33));
    QLabel* commandCaption = MakeLabel(Panel1_, "Label1", QStringLiteral("Команда:"), 4, 2);
    QLabel* answerCaption = MakeLabel(Panel1_, "Label2", QStringLiteral("Ответ:"), 4, 17);
    // The texts start together right of the longer caption, whatever the font.
    const int textLeft =
        4 + std::max(commandCaption->sizeHint().width(), answerCaption->sizeHint().width()) + 6;
    LabelCommand_ = MakeLabel(Panel1_, "LabelCommand", QString(), textLeft, 2);
    LabelAnswer_ = MakeLabel(Panel1_, "LabelAnswer", QString(), textLeft, 17);
    LabelCommand_->setFixedWidth(Panel1_->width() - textLeft - 4);
    LabelAnswer_->setFixedWidth(Panel1_->width() - textLeft - 4);
    Panel1_->hide();

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(StatusBarHeight);
    for (int i = 0; i < 3; ++i) {
        StatusPanels_[i] = new QLabel(bar);
        StatusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels_[i]->setFixedWidth(StatusPanelWidths[i]);
        StatusPanels_[i]->setTextFormat(Qt::PlainText);
        bar->addWidget(StatusPanels_[i]);
    }
    setStatusBar(bar);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The USB device scan runs from start to exit; the USB receive's time limit and the error
    // notice's closing wait for their owners to start them.
    TimerUSBFind_.setObjectName(QStringLiteral("TimerUSBFind"));
    TimerUSBFind_.setInterval(2000);
    TimerUSBFind_.start();
    TimerTimeOutUSB_.setObjectName(QStringLiteral("TimerTimeOutUSB"));
    TimerTimeOutUSB_.setInterval(1000);
    TimerMessageOff_.setObjectName(QStringLiteral("TimerMessageOff"));
    TimerMessageOff_.setInterval(10000);
}

void TFormMain::BuildPanel(QWidget* client) {
    Panel4_ = new Panel4(client);
    Panel4_->setObjectName(QStringLiteral("Panel4"));
    Panel4_->move(0, 0);
    Panel5_ = new vr410::Panel5(client);
    Panel5_->setObjectName(QStringLiteral("Panel5"));
    Panel5_->move(605, 0);
    Entry_ = new OutputEntryBar(client);
    Entry_->move(0, 110);

    Confirm_ = std::make_unique<ConfirmationBox>(this);
    Controls_ = std::make_unique<KeypadPanelControls>(*Panel5_, *Entry_);
    Renderer_ = std::make_unique<PanelRenderer>(State_, *Panel4_, *Controls_);
    // The relative reading is written with the user's own decimal separator.
    Renderer_->SetDecimalSeparator(QLocale().decimalPoint().toStdString());
    // The dialogs the keys open come with their own windows; until then a key that needs one
    // behaves as if the dialog was closed without confirming.
    ShellActions actions{
        .IssueCommand = [this](uint8_t code) { Engine_->Issue(code); },
        .SetCancelHint =
            [this](const std::string& hint) { Menu_.SetCancelHint(QString::fromStdString(hint)); },
        .SetQueryInterval = [this](int ms) { Engine_->SetQueryInterval(ms); },
        .StartPredelOn = [this] { Engine_->StartPredelOn(); },
        .OpenParamDialog = {},
        .OpenOkCalDialog = {},
        .OpenCalibrationDialog = {},
    };
    KeyHost_ = std::make_unique<PanelKeypadHost>(State_, *Panel5_, *Entry_, *Confirm_, *Renderer_,
                                                 *Panel4_, std::move(actions));
    Keypad_ = std::make_unique<vr410::Keypad>(State_, *KeyHost_);
    OutputEntry_ = std::make_unique<OutputEntry>(State_, *KeyHost_);

    connect(Panel5_, &Panel5::KeyClicked, this, [this](PanelKey key) { Keypad_->Press(key); });
    MaskedDigitEdit* field = Entry_->MaskEditVoltage();
    connect(field, &MaskedDigitEdit::KeyDown, this,
            [this](bool deleting) { OutputEntry_->MaskEditVoltageKeyDown(deleting); });
    connect(field, &MaskedDigitEdit::Changed, this,
            [this](bool typed) { OutputEntry_->MaskEditVoltageChange(typed); });
    connect(field, &MaskedDigitEdit::Retyped, this,
            [this] { OutputEntry_->MaskEditVoltageRetyped(); });
    connect(Entry_->SE_Freq(), &QSpinBox::valueChanged, this,
            [this] { OutputEntry_->SE_FreqChange(); });
}

void TFormMain::BuildMenus() {
    QMenu* main = menuBar()->addMenu(QStringLiteral("Главное"));
    main->addAction(Menu_.N11);
    main->addAction(Menu_.N12);
    N15_ = MakeItem(main, "N15", QStringLiteral("Показывать посылки"),
                    QKeySequence(Qt::CTRL | Qt::Key_Q));
    N15_->setCheckable(true);
    connect(N15_, &QAction::triggered, this, &TFormMain::N15Click);
    N3001_ = MakeItem(main, "N3001", QStringLiteral("VR410С"), QKeySequence(Qt::CTRL | Qt::Key_I));
    N3001_->setCheckable(true);
    // The accessory mode while its window is open: everything goes to the accessory.
    connect(N3001_, &QAction::triggered, this, [this] { FormVR410C_->N3001Click(); });
    main->addSeparator();
    QAction* n16 = MakeItem(main, "N16", QStringLiteral("Выход"));
    connect(n16, &QAction::triggered, this, &QWidget::close);

    QMenu* link = menuBar()->addMenu(QStringLiteral("Связь"));
    QAction* n28 = MakeItem(link, "N28", QStringLiteral("Адрес назначения..."));
    connect(n28, &QAction::triggered, this, &TFormMain::N28Click);
    QAction* n29 = MakeItem(link, "N29", QStringLiteral("Адрес компьютера..."));
    connect(n29, &QAction::triggered, this, &TFormMain::N29Click);
    QMenu* com = link->addMenu(QStringLiteral("COM"));
    com->menuAction()->setObjectName(QStringLiteral("COMMenu"));
    PortGroup_ = new QActionGroup(this);
    PortGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    struct PortItem {
        const char* Name;
        QString Caption;
        QKeySequence Shortcut;
    };
    // clang-format off
    const PortItem portItems[7] = {
        {.Name = "NoPort", .Caption = QStringLiteral("No Port"), .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F10)},
        {.Name = "COM1",   .Caption = QStringLiteral("COM1"),    .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F1)},
        {.Name = "COM2",   .Caption = QStringLiteral("COM2"),    .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {.Name = "COM3",   .Caption = QStringLiteral("COM3"),    .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F3)},
        {.Name = "COM4",   .Caption = QStringLiteral("COM4"),    .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {.Name = "COM5",   .Caption = QStringLiteral("COM5 "),   .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {.Name = "COM6",   .Caption = QStringLiteral("COM6"),    .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F6)},
    };
    // clang-format on
    for (int i = 0; i < 7; ++i) {
        QAction* item =
            MakeItem(com, portItems[i].Name, portItems[i].Caption, portItems[i].Shortcut);
        item->setCheckable(true);
        item->setData(i); // the tag: the port number
        PortGroup_->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { NoPortClick(item); });
        ComItems_[i] = item;
    }
    NoPort_ = ComItems_[0];
    NoPort_->setChecked(true);
    COMx_ = MakeItem(com, "COMx", QStringLiteral("COM..."));
    COMx_->setCheckable(true);
    COMx_->setData(0);
    PortGroup_->addAction(COMx_);
    connect(COMx_, &QAction::triggered, this, &TFormMain::COMxClick);
    USBFind_ = MakeItem(link, "USBFind", QStringLiteral("Найти USB устройства"),
                        QKeySequence(Qt::CTRL | Qt::Key_U));
    USB1_ = link->addMenu(QStringLiteral("USB"));
    USB1_->menuAction()->setObjectName(QStringLiteral("USB1"));

    // The program's list of commands: never shown, clicked by keys, dialogs and timers.
    QMenu* mode = menuBar()->addMenu(QStringLiteral("Режим"));
    Menu_.AddItemsTo(*mode);
    mode->menuAction()->setVisible(false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    QAction* n6 =
        MakeItem(help, "N6", QStringLiteral("Показать справку"), QKeySequence(Qt::Key_F1));
    connect(n6, &QAction::triggered, this, [this] { FormHelp_->ShowHelp(); });
    QAction* n17 = MakeItem(help, "N17", QStringLiteral("О программе"));
    // The about box shows the firmware line that the exchange test's answer refreshes.
    connect(n17, &QAction::triggered, this, [this] {
        Engine_->Issue(FunctionCode::ExchangeTest);
        FormAbout_->ShowModal();
    });

    connect(SB_Test_, &QPushButton::clicked, this, [this] { Engine_->SB_TestClick(); });
    connect(SB_QueryState_, &QPushButton::clicked, this, [this] { Engine_->SB_QueryStateClick(); });
}

void TFormMain::N15Click() {
    const bool shown = N15_->isChecked();
    Panel1_->setVisible(shown);
    if (shown) {
        FormInterface_->ShowBelow(*this, MonitorWidth_, MonitorHeight_);
    } else {
        FormInterface_->hide();
    }
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The first show draws the panel even where the window manager never activates the window
    // (a bare X server, some tiling desktops): otherwise the display would stay blank.
    if (!FirstShown_) {
        FirstShown_ = true;
        KeyHost_->PrintMode();
    }
}

void TFormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Every activation, for instance after a dialog closes, redraws the panel for the mode.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        KeyHost_->PrintMode();
    }
}

} // namespace vr410
