// What the exchange engine asks of the main window: the fields the encoder reads (the frequency
// field, the complete-zero value, the cancel hint, the parameters dialog's address and the
// accessory item's tick), the destination address field, the hourglass, the panel's reset key
// and the redraw of the panel.
#pragma once

#include "engine/engine_host.h"

class QAction;

namespace vr410 {

class CommandMenu;
class OutputEntryBar;
class PanelKeypadHost;
class SystemFacilities;
struct DialogModel;

class MainWindowEngineHost final : public engine::EngineHost {
  public:
    // Keeps the references; they must outlive the host. accessoryItem is N3001 "VR410С".
    MainWindowEngineHost(const CommandMenu& commands, const QAction& accessoryItem,
                         const OutputEntryBar& entry, PanelKeypadHost& panel, DialogModel& dialogs,
                         SystemFacilities& facilities);

    EncoderInputs EncoderFields() override;
    bool AccessoryMode() override;
    void SetDeviceAddressField(int address) override;
    void SetBusyCursor(bool busy) override;
    void PressResetKey() override;
    void PrintMode() override;

  private:
    const CommandMenu& Commands_;
    const QAction& AccessoryItem_;
    const OutputEntryBar& Entry_;
    PanelKeypadHost& Panel_;
    DialogModel& Dialogs_;
    SystemFacilities& Facilities_;
};

} // namespace vr410
