// The main window's creation handler, the settings file, the port choice and the close.
#include "shell/form_main.h"

#include "links/comm_port.h"
#include "links/link_selection.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "platform/profile_file.h"
#include "shell/form_interface.h"
#include "shell/usb_host.h"
#include "shell/usb_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <optional>

namespace vr410 {

namespace {

const std::string SectionForm = "Form";
const std::string SectionFormI = "FormI";
const std::string SectionData = "Data";

// Marks a key missing from the settings file.
constexpr int32_t NoValue = std::numeric_limits<int32_t>::min();

// Places the window with its client area (the window without the frame the window manager adds)
// at the saved point. The client position is what the settings keep: the frame is not known
// before the first show on every desktop, so a frame position restored before it would come
// back shifted by the title bar on every start. A saved point too close to the screen's top
// for the title bar is moved down by the height of one. With no saved point, or one on no
// screen (a monitor removed since), the window is centred on the primary screen, never beyond
// its top or left edge.
void PlaceWindow(QWidget& window, std::optional<QPoint> saved) {
    window.adjustSize(); // the fixed client size, known before the first show
    const QSize size = window.size();
    if (saved) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect area = screen->availableGeometry();
            if (area.contains(*saved)) {
                const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
                const QPoint place(saved->x(), std::max(saved->y(), area.top() + titleBar));
                window.setGeometry(QRect(place, size));
                return;
            }
        }
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return;
    }
    const QRect area = primary->availableGeometry();
    const QPoint centred(std::max(area.left(), area.center().x() - size.width() / 2),
                         std::max(area.top(), area.center().y() - size.height() / 2));
    window.setGeometry(QRect(centred, size));
}

} // namespace

void TFormMain::FormCreate() {
    Port_ = std::make_unique<CommPort>(*Line_.Api, *Facilities_);
    UsbHost_ = std::make_unique<QtUsbHost>(*this, *Facilities_, *StatusPanels_[2]);
    UsbPort_ = std::make_unique<UsbAdapterLink>(Line_.Usb.get(), *UsbHost_);
    Links_ = std::make_unique<LinkSelection>(*Port_, *Facilities_, UsbPort_.get());
    UsbHost_->SetCaptionSource([this]() -> std::optional<std::string> {
        if (const auto& active = Links_->ActiveUsbItem()) {
            return active->Caption;
        }
        return std::nullopt;
    });
    AnswerView_ =
        std::make_unique<PanelAnswerView>(*KeyHost_, *Renderer_, *Entry_, *OutputEntry_, Dialogs_);
    EngineHost_ = std::make_unique<MainWindowEngineHost>(Menu_, *N3001_, *Entry_, *KeyHost_,
                                                         Dialogs_, *Facilities_);
    // Idle, with the link not ready until the saved port has opened.
    Engine_ = std::make_unique<engine::ExchangeEngine>(State_, Buffers_, Clock_, *Port_,
                                                       *EngineHost_, *AnswerView_);
    WireEngine();
    UsbMenu_ = std::make_unique<UsbMenu>(UsbMenu::Widgets{.USB1 = USB1_,
                                                          .Group = PortGroup_,
                                                          .NoPort = NoPort_,
                                                          .USBFind = USBFind_,
                                                          .TimerUSBFind = &TimerUSBFind_},
                                         Line_.Usb.get(), *UsbPort_, *Links_, *Engine_);
    // Every choice stops a running transmission before the new link opens; the status bar, the
    // exchange controls and the engine's link follow every change.
    Links_->OnLinkGivenUp([this] {
        Engine_->SetUsbLink(nullptr); // a device in use is closed already: no reset of it
        if (Engine_->Transmitting()) {
            Engine_->StopTransmit();
        }
    });
    // The ticks first: the status remembers the item ticked for the link in use.
    Links_->OnLinkChanged([this] {
        UsbMenu_->ShowTicks();
        ShowPortStatus();
    });
    Links_->OnUsbItemsChanged([this] {
        UsbMenu_->ShowItems();
        ShowPortStatus();
    });

    Panel4_->CLRDisp(1);
    Panel4_->CLRDisp(2);
    // The instrument state starts with its start values as constructed.
    LoadSettings();
    StatusPanels_[2]->clear();
    State_.CommandCode = 1;

    int comNumber = ProfileFile(SettingsPath_).ReadInteger(SectionData, "COM", 0) & 0xFF;
    if (comNumber == 0 && Line_.Bus != nullptr) {
        comNumber = 1; // the virtual instrument is always there: start talking to it
    }
    SelectSavedPort(comNumber);
    // The port choice emptied it; the USB search needs it.
    Links_->RememberUsbDevice(SavedUsbDeviceName_);
    ShowPortStatus();
    Panel4_->PrintText(23, 2, 4, "ѕ"); // the reading activity mark, the box glyph
    // The first USB search: the submenu, and the saved device taken up again when present.
    CommandMenu::Click(USBFind_);
}

void TFormMain::LoadSettings() {
    const ProfileFile ini(SettingsPath_);
    const int top = ini.ReadInteger(SectionForm, "Top", NoValue);
    const int left = ini.ReadInteger(SectionForm, "Left", NoValue);
    PlaceWindow(*this, top != NoValue && left != NoValue ? std::optional(QPoint(left, top))
                                                         : std::nullopt);
    // A size the monitor cannot have (negative, larger than the screen) is made sane whenever
    // it is applied or saved (TFormInterface::SaneSize).
    MonitorWidth_ = ini.ReadInteger(SectionFormI, "Width", 700);
    MonitorHeight_ = ini.ReadInteger(SectionFormI, "Height", 69);
    State_.AddrDevice = static_cast<uint8_t>(ini.ReadInteger(SectionData, "AddrDevice", 1));
    State_.PCDevice = static_cast<uint8_t>(ini.ReadInteger(SectionData, "PCDevice", 0));
    ShowPackets_ = ini.ReadInteger(SectionData, "ShowPackets", 0) != 0;
    SavedUsbDeviceName_ = ini.ReadString(SectionData, "USB", "");
    Dialogs_.DeviceAddressField = State_.AddrDevice;
    Dialogs_.PcAddressField = State_.PCDevice;
}

bool TFormMain::SaveSettings() {
    ProfileFile ini(SettingsPath_);
    // Client measures both ways, as they are applied at start. A monitor never shown in this
    // run keeps the size it was given at start.
    const QSize monitor = FormInterface_->SaneSize(
        FormInterface_->WasShown() ? FormInterface_->size() : QSize(MonitorWidth_, MonitorHeight_));
    return ini.WriteInteger(SectionForm, "Top", geometry().top()) &&
           ini.WriteInteger(SectionForm, "Left", geometry().left()) &&
           ini.WriteInteger(SectionFormI, "Width", monitor.width()) &&
           ini.WriteInteger(SectionFormI, "Height", monitor.height()) &&
           ini.WriteInteger(SectionData, "AddrDevice", State_.AddrDevice) &&
           ini.WriteInteger(SectionData, "PCDevice", State_.PCDevice) &&
           ini.WriteInteger(SectionData, "COM", Links_->ComNumber()) &&
           ini.WriteString(SectionData, "ShowPackets", N15_->isChecked() ? "1" : "0") &&
           // The device of the active USB link, without "&"; none on a COM port or no port.
           ini.WriteString(SectionData, "USB",
                           Links_->ActiveUsbItem()
                               ? WithoutHotkeyMarks(Links_->ActiveUsbItem()->Caption)
                               : std::string());
}

void TFormMain::SelectSavedPort(int comNumber) {
    if (comNumber <= 6) {
        CommandMenu::Click(ComItems_[comNumber]);
        return;
    }
    COMx_->setChecked(true);
    COMx_->setData(comNumber);
    NoPortClick(COMx_);
}

void TFormMain::NoPortClick(QAction* sender) {
    sender->setChecked(true);
    Links_->SelectComPort(sender->data().toInt());
}

void TFormMain::ShowPortStatus() {
    StatusPanels_[0]->setText(QString::fromStdString(Links_->StatusCaption()));
    StatusPanels_[1]->setText(QString::fromLatin1(Links_->KindCaption()));
    PortTick_ = PortGroup_->checkedAction();
    const bool ready = Links_->ExchangeAllowed();
    Engine_->SetUsbLink(Links_->ActiveUsbLink());
    Engine_->SetLinkReady(ready); // N11 and N12 follow the engine's StateChanged
    SB_Test_->setEnabled(ready);
    SB_QueryState_->setEnabled(ready);
    Panel5_->setEnabled(ready);
    N3001_->setEnabled(ready);
    Entry_->SetLinkReady(ready);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // Timers and the waits of the state query keep running until the event loop ends: nothing
    // may reach the port given up, or its driver would answer with error boxes at exit.
    Engine_->Close();
    Links_->Shutdown(); // the port given up; the choice is kept for the settings
    if (!SaveSettings()) {
        Facilities_->ShowMessage("Невозможно сохранение настроек в файле VR410.ini",
                                 MessageKind::Error);
    }
    FormInterface_->hide();
    event->accept();
}

} // namespace vr410
