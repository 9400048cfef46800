// The USB device scan behind the "USB" submenu: a short-lived TUSB lists the adapters by index
// (serial number, then description), the device in use is identified through its open handle
// when its serial number cannot be listed, and the link selection turns the listing into items,
// takes a remembered device up again and gives up a vanished one. It runs on demand and every
// 2 s, also inside waits that let the window's messages through, so it holds itself back while
// that would cut into a link change or an exchange.
#pragma once

#include "links/link_selection.h"
#include "links/usb_port.h"
#include "platform/ftdi_api.h"

#include <functional>
#include <optional>
#include <string>

namespace vr410 {

// Lists the adapters through a scanning TUSB of its own (its error report off). When the serial
// number of an index cannot be read while `inUseCaption` names the device in use and no device
// listed so far matched it, the device is asked through `usbPort`'s open handle; a serial number
// obtained so names the device in use (UsbListing::InUseCaption). An index whose serial number
// cannot be read otherwise is left out; one whose description cannot be read ends the listing
// there, incomplete. `api` may be null: nothing is listed.
UsbListing ListUsbDevices(FtdiApi* api, TUSB& usbPort,
                          const std::optional<std::string>& inUseCaption);

class UsbDeviceScan {
  public:
    // All must outlive the scan; api may be null.
    UsbDeviceScan(FtdiApi* api, UsbAdapterLink& usbPort, LinkSelection& selection);

    // Tells whether an exchange is on the link at the moment (the engine between its send and
    // the end of its answer). Without it no exchange ever holds the scan back.
    void HoldWhileExchanging(std::function<bool()> exchanging) {
        Exchanging_ = std::move(exchanging);
    }

    // CreateUSBMenu: lists the adapters and hands the listing to the selection. False when held
    // back; a scan held back by an exchange is kept pending (RunPending).
    bool CreateUSBMenu();
    // Runs the scan held back by an exchange, if any and if nothing holds it back now.
    bool RunPending();
    bool Pending() const { return Pending_; }

  private:
    FtdiApi* Api_;
    UsbAdapterLink& UsbPort_;
    LinkSelection& Selection_;
    std::function<bool()> Exchanging_;
    bool Pending_ = false;
};

} // namespace vr410
