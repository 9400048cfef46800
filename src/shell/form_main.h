// TFormMain "Удаленное управление VR410": the main window. It owns the instrument state, the
// packet buffers, the link, the command menu and the exchange cycle, the panel and the packet
// monitor, and passes references to whatever needs them. Its menus issue commands through the
// hidden "Режим" menu; the status bar shows the link.
#pragma once

#include "panel/keypad/confirmation_box.h"
#include "panel/keypad/keypad.h"
#include "panel/keypad/keypad_panel_controls.h"
#include "panel/keypad/output_entry.h"
#include "panel/keypad/panel_keypad_host.h"
#include "panel/panel_controls.h"
#include "panel/renderers.h"
#include "platform/system_facilities.h"
#include "protocol/answer.h"
#include "protocol/instrument_state.h"
#include "shell/command_menu.h"
#include "shell/cycle_window.h"
#include "shell/dialog_model.h"
#include "shell/exchange_cycle.h"
#include "shell/line_backend.h"

#include <QMainWindow>
#include <QShowEvent>
#include <QTimer>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace vr410 {

class CommPort;
class OutputEntryBar;
class Panel4;
class Panel5;
class TFormInterface;

struct StartOptions {
    LineBackend Line;
    // The settings file, normally VR410.ini beside the executable.
    std::string SettingsPath;
    // Facilities for message boxes and the cursor; the Qt ones when null.
    std::unique_ptr<SystemFacilities> Facilities;
};

class TFormMain : public QMainWindow, private AnswerView, private CycleWindow {
    Q_OBJECT
  public:
    // Builds the window and runs its creation handler: start values, settings, the saved port.
    explicit TFormMain(StartOptions options);
    ~TFormMain() override;

    // Issues a command the way the panel keys and the dialogs do: clicks the command's item of
    // the hidden "Режим" menu, then "Передать" (N11). The exchange follows from the event loop.
    void IssueCommand(uint8_t code) { Menu_.Issue(code); }
    CommandMenu& Commands() { return Menu_; }
    ExchangeCycle& Cycle() { return *Cycle_; }
    InstrumentState& State() { return State_; }
    DialogModel& Dialogs() { return Dialogs_; }
    TFormInterface& FormInterface() { return *FormInterface_; }
    // The virtual instrument bus when the program runs with --virtual, else nullptr.
    sim::VirtualBus* Bus() { return Line_.Bus.get(); }
    sim::VirtualInstrument* Instrument() { return Line_.Instrument; }

    // The keypad panel: enabled only while the link is ready.
    vr410::Panel5& Keys() { return *Panel5_; }
    // Label9, MaskEditVoltage and PanelFreq with SE_Freq under the display.
    OutputEntryBar& Entry() { return *Entry_; }
    // The keys' behaviour; Press(key) is a click on the key.
    vr410::Keypad& Keypad() { return *Keypad_; }
    // What the keys ask of the window; its Actions() hold the dialogs the keys open.
    PanelKeypadHost& KeyHost() { return *KeyHost_; }

    // Port choice of "No Port", "COM1".."COM6" and "COM...": gives up a running transmission,
    // opens the port of the sender's tag and shows the status.
    void NoPortClick(QAction* sender);
    // Status bar panel 0 from the port; N11, SB_Test, SB_QueryState, Panel5 and N3001 enabled
    // only while the port status is exactly "готов"; N12 disabled.
    void ShowPortStatus();
    // "Показывать посылки": the strip Panel1 and the packet monitor follow its check mark.
    void N15Click();
    // The display.
    Panel4& Display() { return *Panel4_; }
    // Whether the panel's reset key shows pressed.
    bool ResetKeyDown() const;
    // The link status text of the serial driver ("готов" when ready).
    const std::string& PortStatus() const;
    // The timers of the USB link and of the error notice.
    QTimer& TimerUSBFind() { return TimerUSBFind_; }
    QTimer& TimerTimeOutUSB() { return TimerTimeOutUSB_; }
    QTimer& TimerMessageOff() { return TimerMessageOff_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildWindow();
    void BuildPanel(QWidget* client);
    void BuildMenus();
    void FormCreate();
    void LoadSettings();
    bool SaveSettings();
    void SelectSavedPort(int comNumber);

    // AnswerView.
    void SetAnswerText(const std::string& text) override;
    void PrintMode() override;
    void CLRDisp(int row) override;
    void PrintText(int column, int row, int dotWidth, const std::string& text) override;
    void PrintUin() override;
    void PrintUperc() override;
    void SetFrequencyField(int hertz) override;
    void SetFrequencyPanelVisible(bool visible) override;
    void SetOutputField(const std::string& digits) override;
    void ShowParameters(const InstrumentParameters& parameters) override;
    void ShowErrorList(const std::vector<uint8_t>& codes) override;
    void ShowUserCalibration(CalibratedPart part) override;
    void ShowAccessory(uint8_t band, uint8_t factor) override;
    void ShowFirmwareVersion(const std::string& version) override;

    // CycleWindow.
    void ShowCommand(const QString& caption) override;
    void ShowSendLine(const std::string& line) override;
    void ShowReceiveLine(const std::string& line) override;
    EncoderInputs EncoderFields() override;
    bool AccessoryMode() override;
    void SetDeviceAddressField(int address) override;
    void SetBusyCursor(bool busy) override;
    void PressResetKey() override;

    InstrumentState State_;
    ExchangeBuffers Buffers_;
    DialogModel Dialogs_;
    LineBackend Line_;
    std::string SettingsPath_;
    std::unique_ptr<SystemFacilities> Facilities_;
    std::unique_ptr<CommPort> Port_;
    CommandMenu Menu_;
    std::unique_ptr<ExchangeCycle> Cycle_;
    std::unique_ptr<TFormInterface> FormInterface_;

    // Link state.
    uint8_t ComNumber_ = 0;
    std::string UsbDeviceName_;
    bool ShowPackets_ = false;
    bool FirstShown_ = false; // the first show has drawn the panel
    int MonitorWidth_ = 700;
    int MonitorHeight_ = 69;
    std::unique_ptr<ConfirmationBox> Confirm_;
    std::unique_ptr<KeypadPanelControls> Controls_;
    std::unique_ptr<PanelRenderer> Renderer_;
    std::unique_ptr<PanelKeypadHost> KeyHost_;
    std::unique_ptr<vr410::Keypad> Keypad_;
    std::unique_ptr<OutputEntry> OutputEntry_;

    // Widgets and menu items (owned by Qt's parent chain).
    Panel4* Panel4_ = nullptr;
    vr410::Panel5* Panel5_ = nullptr;
    OutputEntryBar* Entry_ = nullptr;
    QFrame* Panel1_ = nullptr;
    QLabel* LabelCommand_ = nullptr;
    QLabel* LabelAnswer_ = nullptr;
    QPushButton* SB_Test_ = nullptr;
    QPushButton* SB_QueryState_ = nullptr;
    QLabel* StatusPanels_[3] = {};
    QAction* N15_ = nullptr;
    QAction* N3001_ = nullptr;
    QAction* NoPort_ = nullptr;
    QAction* COMx_ = nullptr;
    QActionGroup* PortGroup_ = nullptr;
    QAction* ComItems_[7] = {}; // NoPort, COM1..COM6

    // Timers of the links and the error notice; the protocol's five live in the cycle.
    QTimer TimerUSBFind_;
    QTimer TimerTimeOutUSB_;
    QTimer TimerMessageOff_;
};

} // namespace vr410
