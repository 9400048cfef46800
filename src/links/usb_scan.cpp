#include "links/usb_scan.h"

#include <array>
#include <cstring>

namespace vr410 {

namespace {

template <size_t N> std::string FieldText(const std::array<char, N>& field) {
    return std::string(field.data(), strnlen(field.data(), N));
}

} // namespace

UsbListing ListUsbDevices(FtdiApi* api, TUSB& usbPort,
                          const std::optional<std::string>& inUseCaption) {
    UsbListing listing;
    TUSB scanning(api, nullptr);
    scanning.FT_Enable_Error_Report = false;
    if (scanning.GetFTDeviceCount() != FT_OK) {
        return listing; // no count, no devices: every item goes
    }
    bool inUseSeen = false;
    for (uint32_t index = 0; index < scanning.FT_Device_Count; ++index) {
        if (scanning.GetFTDeviceSerialNo(index) != FT_OK) {
            if (inUseCaption && !inUseSeen) {
                // The device in use may refuse the listing while it is open: its handle
                // tells who it is.
                scanning.SerialNumber.fill('\0');
                scanning.Description.fill('\0');
                usbPort.USB_FT_GetDeviceInfo(
                    scanning.SerialNumber.data(), scanning.SerialNumber.size(),
                    scanning.Description.data(), scanning.Description.size());
                const UsbDeviceId device{.Description = FieldText(scanning.Description),
                                         .SerialNumber = FieldText(scanning.SerialNumber)};
                if (!device.SerialNumber.empty()) {
                    listing.InUseCaption = UsbDeviceCaption(device);
                    inUseSeen = SameDeviceCaption(*listing.InUseCaption, *inUseCaption);
                }
            }
            // Without a serial number there is nothing to open the device by: no item.
            continue;
        }
        UsbDeviceId device{.Description = {}, .SerialNumber = scanning.FT_Device_String};
        if (scanning.GetFTDeviceDescription(index) != FT_OK) {
            listing.Complete = false; // the next scan tries again
            return listing;
        }
        device.Description = scanning.FT_Device_String;
        if (inUseCaption && SameDeviceCaption(UsbDeviceCaption(device), *inUseCaption)) {
            inUseSeen = true;
        }
        listing.Present.push_back(std::move(device));
    }
    return listing;
}

UsbDeviceScan::UsbDeviceScan(FtdiApi* api, UsbAdapterLink& usbPort, LinkSelection& selection)
    : Api_(api), UsbPort_(usbPort), Selection_(selection) {}

bool UsbDeviceScan::CreateUSBMenu() {
    // The scan runs from a timer and a menu item, and both fire inside every wait that lets the
    // window's messages through. It is held back:
    // - during a link change: a choice from the menu or the scan's own take-up of a remembered
    //   device, including the modal box of a refused open shown inside it. A scan there could
    //   remove or rebuild the very item being handled, or click a rebuilt item and start a
    //   second open of the device while the first is still being handled. The timer's next
    //   tick scans again, so nothing is kept pending: the box is not shown again at once.
    // - during an exchange on the link: the USB transfers and the serial driver's error boxes
    //   let messages through, and a scan there could close the device under the transfer or
    //   switch the link in the middle of an exchange. That scan runs once the exchange ends.
    // - while the program closes (the selection is shut down).
    if (Selection_.ChangeInProgress()) {
        return false;
    }
    if (Exchanging_ && Exchanging_()) {
        Pending_ = true;
        return false;
    }
    Pending_ = false;
    std::optional<std::string> inUse;
    if (const auto& active = Selection_.ActiveUsbItem()) {
        inUse = active->Caption;
    }
    Selection_.UsbListed(ListUsbDevices(Api_, UsbPort_.UsbPort, inUse));
    return true;
}

bool UsbDeviceScan::RunPending() {
    return Pending_ && CreateUSBMenu();
}

} // namespace vr410
