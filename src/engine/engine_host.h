// What the exchange engine asks of the program around it. The links it drives, Link and UsbLink,
// are the links layer's (links/link.h).
// Plain C++: the main window implements the host with its fields and panel, a command-line tool
// or a test with plain values.
#pragma once

#include "links/link.h"
#include "protocol/request_encoder.h"

namespace vr410::engine {

class EngineHost {
  public:
    virtual ~EngineHost() = default;
    // The window fields the encoder reads (frequency, complete-zero value, cancel hint, the
    // parameters dialog's address), the accessory mode among them.
    virtual EncoderInputs EncoderFields() = 0;
    // The accessory item "VR410С" is ticked: requests go to, and answers come from, 251.
    virtual bool AccessoryMode() = 0;
    // A set-parameters request also writes the new address into the destination dialog's field.
    virtual void SetDeviceAddressField(int address) = 0;
    virtual void SetBusyCursor(bool busy) = 0; // the hourglass for the whole screen
    virtual void PressResetKey() = 0;          // the panel's reset key shown down
    virtual void PrintMode() = 0;              // the panel redrawn for the current Mode
};

// The request and packet buffers the engine fills and the links read and write.
struct ExchangeBuffers {
    FrameBytes TxFrame{};
    PacketRecord TxPacket{};
    PacketRecord RxPacket{};
};

} // namespace vr410::engine
