// The seam between the exchange cycle and the wire: the serial driver and the USB driver
// each fulfil it, and the cycle never knows which one it is talking through.
#pragma once

#include "protocol/frame.h"

#include <cstdint>
#include <string>

namespace vr410 {

class Link {
  public:
    virtual ~Link() = default;
    // Puts the request on the wire: the address byte marked, the body after it. Failures are
    // reported by the link itself (message boxes); nothing is returned.
    virtual void SendPacket(const PacketRecord& tx) = 0;
    // Waits for one answer within the link's own time window and fills rx (HeadLength 0 when
    // nothing came). Returns 0 when the link saw no fault, else the link's error status.
    virtual uint32_t ReceivePacket(PacketRecord& rx) = 0;
    // True when a send or receive found the link's device gone (an unplugged adapter, a hung-up
    // tty): the link has closed its port and shows its absence, and every later send and receive
    // does nothing, silently, until the link is opened again. The exchange cycle asks after
    // each send and each receive and ends the transmission at once when it is set.
    virtual bool LinkLost() const { return false; }
};

// The USB link as the exchange engine drives it: a link (whose LinkLost tells an unplugged
// adapter) with the adapter reset that every stop of a transmission asks of it. The serial link
// is a plain Link.
class UsbLink : public Link {
  public:
    virtual void ResetDevice() = 0;
};

// What the link selection asks of the USB adapter driver besides the exchange: opening the
// adapter chosen in the "USB" menu by its serial number, setting up its line and closing it.
// One long-lived instance carries the USB link for the whole run.
class UsbDeviceLink : public UsbLink {
  public:
    // Opens the adapter with that serial number (its first 49 characters count). True when the
    // device is open; a refusal shows nothing while the error report is off.
    virtual bool OpenBySerialNumber(const std::string& serialNumber) = 0;
    // The instrument line on the open device: 57600 baud, 8 data bits, one stop bit, no parity
    // (each send switches MARK and SPACE itself), a device reset, read and write time-outs of
    // 20 ms. No flow control; RTS and DTR are left alone.
    virtual void SetUpLine() = 0;
    // Closes the device, if one is open, and clears a lost link.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Switches the notice "Устройство <caption> отключено!" that a failing call of the device
    // shows (at most once until switched on again).
    virtual void SetErrorReport(bool enabled) = 0;
    // The device listing no longer shows the open device: the operator is told as by a call
    // that found the device gone ("Устройство <caption> отключено!"), unless a call of the
    // current exchange told it already.
    virtual void DeviceVanished() = 0;
};

} // namespace vr410
