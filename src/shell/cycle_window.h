// What the exchange cycle needs of the main window besides the command menu and the answer
// view: the labels it writes, the window fields the encoder reads, the cursor and the panel's
// reset key. The main window implements it; tests may implement it with a recorder.
#pragma once

#include "links/link.h"
#include "protocol/request_encoder.h"

#include <QString>

#include <string>

namespace vr410 {

class CycleWindow {
  public:
    virtual ~CycleWindow() = default;
    virtual void ShowCommand(const QString& caption) = 0;      // LabelCommand
    virtual void ShowSendLine(const std::string& line) = 0;    // LabelSend of the packet monitor
    virtual void ShowReceiveLine(const std::string& line) = 0; // LabelReceive of the monitor
    // The window fields the encoder reads, the accessory mode (N3001 ticked) among them.
    virtual EncoderInputs EncoderFields() = 0;
    virtual bool AccessoryMode() = 0;
    // A set-parameters request also writes the new address into the destination dialog's field.
    virtual void SetDeviceAddressField(int address) = 0;
    virtual void SetBusyCursor(bool busy) = 0; // the hourglass for the whole screen
    virtual void PressResetKey() = 0;          // the panel's SB_Reset shown down
};

} // namespace vr410
