// What tests and benchmarks look at inside the main window: its engine, state, panel, menus and
// windows. The window shows none of this to the program; it names this struct its friend.
#pragma once

#include "links/comm_port.h"
#include "shell/form_calibration.h"
#include "shell/form_main.h"
#include "shell/form_message.h"
#include "shell/form_vr410c.h"
#include "shell/usb_host.h"
#include "shell/usb_menu.h"

#include <QTimer>

namespace vr410::test {

struct MainWindowAccess {
    TFormMain& Window;

    engine::ExchangeEngine& Engine() { return *Window.Engine_; }
    InstrumentState& State() { return Window.State_; }
    DialogModel& Dialogs() { return Window.Dialogs_; }
    CommandMenu& Commands() { return Window.Menu_; }
    TFormInterface& FormInterface() { return *Window.FormInterface_; }
    TFormHelp& FormHelp() { return *Window.FormHelp_; }
    TFormAbout& FormAbout() { return *Window.FormAbout_; }
    // The windows the main window created after its own creation handler, in creation order.
    const QStringList& WindowsCreated() { return Window.WindowsCreated_; }
    // The virtual instrument bus when the window runs on the virtual line, else nullptr.
    sim::VirtualBus* Bus() { return Window.Line_.Bus.get(); }
    sim::VirtualInstrument* Instrument() { return Window.Line_.Instrument; }
    // The simulated USB adapters of the virtual line, else nullptr.
    SimulatedFtdiApi* Adapters() { return Window.Line_.SimulatedUsb; }
    // The "USB" submenu with its scan (TimerUSBFindTimer runs one tick by hand).
    UsbMenu& Usb() { return *Window.UsbMenu_; }
    TFormMessage& Notice() { return Window.UsbHost_->Notice(); }
    TFormCalibration& FormCalibration() { return *Window.FormCalibration_; }
    TFormVR410C& FormVR410C() { return *Window.FormVR410C_; }
    // The virtual accessory on the virtual line's bus, else nullptr.
    sim::VirtualAccessory* Accessory() { return Window.Line_.Accessory; }

    Panel4& Display() { return *Window.Panel4_; }
    vr410::Panel5& Keys() { return *Window.Panel5_; }
    OutputEntryBar& Entry() { return *Window.Entry_; }
    vr410::Keypad& Keypad() { return *Window.Keypad_; }
    PanelKeypadHost& KeyHost() { return *Window.KeyHost_; }

    // The serial driver's status text ("готов" when ready).
    const std::string& PortStatus() { return Window.Port_->PortStatus(); }

    // The timers of the USB link and of the error notice.
    QTimer& TimerUSBFind() { return Window.TimerUSBFind_; }
    QTimer& TimerTimeOutUSB() { return Window.TimerTimeOutUSB_; }
    QTimer& TimerMessageOff() { return Window.TimerMessageOff_; }
};

// The change a transmit (N11) makes: from idle, or while the link still waits for a stopped
// exchange. The command on its way is the state's CommandCode.
inline bool TransmitGiven(const engine::StateChanged& change) {
    using engine::CycleState;
    return (change.From == CycleState::Idle && change.To == CycleState::EncodePending) ||
           change.To == CycleState::StoppingTransmitGiven;
}

} // namespace vr410::test
