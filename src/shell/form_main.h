// TFormMain "Удаленное управление VR410": the main window. It owns the instrument state, the
// packet buffers, the link, the exchange engine on the Qt clock, the panel and the packet
// monitor, and wires them: the menus and keys give the engine its commands, the engine's events
// drive the packet strip, the monitor and the transmit items, the status bar shows the link.
// What the engine asks of the window is answered by MainWindowEngineHost and PanelAnswerView.
#pragma once

#include "engine/exchange_engine.h"
#include "panel/keypad/confirmation_box.h"
#include "panel/keypad/keypad.h"
#include "panel/keypad/keypad_panel_controls.h"
#include "panel/keypad/output_entry.h"
#include "panel/keypad/panel_keypad_host.h"
#include "panel/panel_controls.h"
#include "panel/renderers.h"
#include "platform/system_facilities.h"
#include "protocol/instrument_state.h"
#include "shell/command_menu.h"
#include "shell/dialog_model.h"
#include "shell/line_backend.h"
#include "shell/main_window_engine_host.h"
#include "shell/panel_answer_view.h"
#include "shell/qt_clock.h"

#include <QMainWindow>
#include <QPointer>
#include <QShowEvent>
#include <QStringList>
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
class LinkSelection;
class OutputEntryBar;
class Panel4;
class Panel5;
class TFormAbout;
class TFormAddressPC;
class TFormCalibration;
class TFormCOM;
class TFormDevice;
class TFormHelp;
class TFormInterface;
class QtUsbHost;
class UsbAdapterLink;
class UsbMenu;
class TFormOkCal;
class TFormParam;
class TFormVR410C;

namespace test {
struct MainWindowAccess;
}

struct StartOptions {
    LineBackend Line;
    // The settings file, normally VR410.ini beside the executable.
    std::string SettingsPath;
    // Facilities for message boxes and the cursor; the Qt ones when null.
    std::unique_ptr<SystemFacilities> Facilities;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
  public:
    // Builds the window and runs its creation handler: start values, settings, the saved port.
    explicit TFormMain(StartOptions options);
    ~TFormMain() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Tests reach the parts they look at through it (tests/shell/main_window_access.h).
    friend struct test::MainWindowAccess;

    void BuildWindow();
    void BuildPanel(QWidget* client);
    void BuildMenus();
    void FormCreate();
    // The program's other windows, each created once, in their fixed order, after the main
    // window's creation handler has loaded the settings they start from.
    void CreateWindows();
    // The engine's commands from the menus and buttons, its events to the strip, the monitor,
    // the transmit items and the status bar.
    void WireEngine();
    void OnEngineEvent(const engine::EngineEvent& event);
    void LoadSettings();
    bool SaveSettings();
    void SelectSavedPort(int comNumber);

    // Port choice of "No Port", "COM1".."COM6" and "COM...": ticks the sender and chooses the
    // port of its tag; the link selection stops a running transmission on the way.
    void NoPortClick(QAction* sender);
    // After every change of the link: the status bar's panels 0 and 1 from the link selection,
    // the engine's link, and the engine's transmit, SB_Test, SB_QueryState, Panel5, N3001 and
    // the output entry enabled only while the link is ready.
    void ShowPortStatus();
    // "Показывать посылки": the strip Panel1 and the packet monitor follow its check mark.
    void N15Click();
    // "COM...": asks for the number; on "ОК" chooses that port as NoPortClick does.
    void COMxClick();
    // "Адрес назначения..." and "Адрес компьютера...": the address dialogs, modal.
    void N28Click();
    void N29Click();
    // The parameters and complete-zero dialogs, created once and opened by the keypad.
    void CreateFormParam();
    void CreateFormOkCal();

    InstrumentState State_;
    engine::ExchangeBuffers Buffers_;
    DialogModel Dialogs_;
    LineBackend Line_;
    std::string SettingsPath_;
    std::unique_ptr<SystemFacilities> Facilities_;
    std::unique_ptr<CommPort> Port_;
    std::unique_ptr<QtUsbHost> UsbHost_;
    std::unique_ptr<UsbAdapterLink> UsbPort_; // the USB driver of the whole run
    std::unique_ptr<LinkSelection> Links_;    // the link choice: a COM port, a USB device or none
    CommandMenu Menu_;
    std::unique_ptr<TFormInterface> FormInterface_;
    std::unique_ptr<TFormHelp> FormHelp_;
    std::unique_ptr<TFormAbout> FormAbout_;
    // The object names of the windows CreateWindows made, in the order it made them.
    QStringList WindowsCreated_;
    QtClock Clock_;

    // The USB device read from the settings, handed to the link selection after the port.
    std::string SavedUsbDeviceName_;
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
    std::unique_ptr<PanelAnswerView> AnswerView_;
    std::unique_ptr<MainWindowEngineHost> EngineHost_;
    std::unique_ptr<TFormCalibration> FormCalibration_;
    std::unique_ptr<TFormParam> FormParam_;
    std::unique_ptr<TFormOkCal> FormOkCal_;
    std::unique_ptr<TFormVR410C> FormVR410C_;
    // Declared last, so it goes first: its timers and handlers use everything above.
    std::unique_ptr<engine::ExchangeEngine> Engine_;
    // The "USB" submenu and its scan; it goes before the engine and the selection it uses.
    std::unique_ptr<UsbMenu> UsbMenu_;

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
    QAction* USBFind_ = nullptr;
    QMenu* USB1_ = nullptr;
    QActionGroup* PortGroup_ = nullptr;
    QAction* ComItems_[7] = {};  // NoPort, COM1..COM6
    QPointer<QAction> PortTick_; // the port item ticked for the link in use
    TFormCOM* FormCOM_ = nullptr;
    TFormDevice* FormDevice_ = nullptr;
    TFormAddressPC* FormAddressPC_ = nullptr;

    // Timers of the links and the error notice; the protocol's five live in the engine.
    QTimer TimerUSBFind_;
    QTimer TimerTimeOutUSB_;
    QTimer TimerMessageOff_;
};

} // namespace vr410
