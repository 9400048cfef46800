// The link choice of the "Связь" menu: a COM port, no port, or one of the USB adapters plugged
// in. It keeps the choice (ComNumber, UsbDeviceName, the checked USB item), opens and closes the
// port or the device, keeps the items of the "USB" submenu in step with the adapters a scan
// reports, gives up a USB link whose adapter vanished and takes it up again when the adapter
// returns, and says what the status bar shows and whether the exchange may run. No widgets: the
// main window draws the menu and the status bar from it and wires its hooks.
#pragma once

#include "links/comm_port.h"
#include "links/link.h"
#include "links/link_status.h"
#include "platform/system_facilities.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vr410 {

// One adapter as the device listing reports it.
struct UsbDeviceId {
    std::string Description;
    std::string SerialNumber;
    bool operator==(const UsbDeviceId&) const = default;
};

// One item of the "USB" submenu.
struct UsbDeviceItem {
    UsbDeviceId Device;
    std::string Caption; // UsbDeviceCaption(Device), any "&" of the description kept
    bool operator==(const UsbDeviceItem&) const = default;
};

// The caption of an adapter's item: the description, " (№ ", the serial number, ")"; for
// example "ABC (№ 123)".
std::string UsbDeviceCaption(const UsbDeviceId& device);
// The text without its "&" hotkey marks: the identity of a device (UsbDeviceName) and what the
// status bar shows for it.
std::string WithoutHotkeyMarks(const std::string& text);
// How a scan recognises a device's item: by its caption, "&" marks and letter case aside.
bool SameDeviceCaption(const std::string& a, const std::string& b);

// What one scan of the adapters found.
struct UsbListing {
    // The adapters listed, in the listing's order.
    std::vector<UsbDeviceId> Present;
    // The caption of the device in use as its open handle tells it, when the listing could not
    // read that device's serial number: it only marks the item of that caption as present.
    std::optional<std::string> InUseCaption;
    // False when the listing ended early (a description could not be read): nothing is
    // removed then.
    bool Complete = true;
};

enum class LinkKind : uint8_t { None, Com, Usb };

class LinkSelection {
  public:
    // The status bar's link kind (panel 1).
    static constexpr const char* KindRs232 = "RS232";
    static constexpr const char* KindUsb = "USB";
    static constexpr const char* UsbOpenFailedText = "Немогу открыть устройство ";

    // All must outlive the selection. `usb` is the one long-lived USB driver, or nullptr where
    // there is none: then USB devices cannot be chosen. At first no link is chosen.
    LinkSelection(CommPort& com, SystemFacilities& system, UsbDeviceLink* usb = nullptr);
    LinkSelection(const LinkSelection&) = delete;
    LinkSelection& operator=(const LinkSelection&) = delete;

    // Runs during every choice, once a USB device in use has been closed (ActiveUsbLink() is
    // then nullptr) and before the COM port is opened: a running transmission must stop, and
    // the exchange must let go of the USB link.
    void OnLinkGivenUp(std::function<void()> handler) { LinkGivenUp_ = std::move(handler); }
    // Runs after every change of the link or of its status that a choice or a scan made: the
    // status bar, the ticks of the link menu and the enabled exchange controls follow.
    void OnLinkChanged(std::function<void()> handler) { LinkChanged_ = std::move(handler); }
    // Runs after a scan added or removed items of the "USB" submenu.
    void OnUsbItemsChanged(std::function<void()> handler) { UsbItemsChanged_ = std::move(handler); }

    // "No Port", "COM1".."COM6" and "COM...": closes a USB device in use, empties
    // UsbDeviceName, lets go of the link (OnLinkGivenUp), then opens COM port `number` (its low
    // 8 bits; 0 is No Port, which only gives the port up). Refused (false) while another link
    // change is in progress. True when the choice was made, whether or not the port opened.
    bool SelectComPort(int number);
    bool SelectNoPort() { return SelectComPort(0); }
    // A USB item (by its exact caption): gives the link up as No Port does, then opens the
    // adapter by its serial number and sets up its line. A refused open shows "Немогу открыть
    // устройство <caption>", takes the item out of the submenu until the next scan lists the
    // device again and leaves no link, with UsbDeviceName kept. False when the device did not
    // open, when no item has that caption, when there is no USB driver, or while another link
    // change is in progress.
    bool SelectUsbDevice(const std::string& caption);

    // The device scan's result: the adapters present, in the listing's order. A listing that
    // ended early (`complete` false: a description could not be read) only adds. Every device
    // without an item gets one at the end of the submenu, and one whose caption equals
    // UsbDeviceName is chosen at once (so a saved or a vanished device is taken up again); both
    // are compared without their "&" marks, so a description holding one is taken up too.
    // When complete, the items of devices no longer present are removed; the device in use among
    // them gives the link up as No Port does, keeping UsbDeviceName. Items match by caption
    // without "&" marks and letter case. Ignored while a link change is in progress (a message
    // box of a failed open runs the scan timer inside it) and after Shutdown.
    // A device found through the open handle (InUseCaption) gets no item of its own: it only
    // keeps the item of that caption. The device in use that vanished is told to the driver
    // (DeviceVanished) before it is closed.
    void UsbListed(const UsbListing& listing);
    void UsbScanned(const std::vector<UsbDeviceId>& present, bool complete = true) {
        UsbListed(UsbListing{.Present = present, .InUseCaption = {}, .Complete = complete});
    }
    // A choice or a scan is under way (one of them may be showing the box of a refused open),
    // or the program is closing: scans are ignored and choices refused.
    bool ChangeInProgress() const { return Changing_ || ShutDown_; }

    // At exit: gives the COM port up, switches the USB driver's error report off and closes the
    // device in use. The choice itself is kept, for the settings to save.
    void Shutdown();

    LinkKind Kind() const;
    // The chosen COM port number; 0 with No Port and with a USB device.
    uint8_t ComNumber() const { return ComNumber_; }
    // The identity of the chosen USB device: its caption without "&". Emptied by every COM or No
    // Port choice, kept when its device vanishes or fails to open.
    const std::string& UsbDeviceName() const { return UsbDeviceName_; }
    // Start-up: the identity read from the settings, for the first scan to take up again.
    void RememberUsbDevice(std::string name) { UsbDeviceName_ = std::move(name); }
    // The USB device in use (the checked item), if any.
    const std::optional<UsbDeviceItem>& ActiveUsbItem() const { return ActiveUsb_; }
    // The "USB" submenu in order.
    std::vector<UsbDeviceItem> UsbItems() const;

    // Ready only while the port or the device in use is open and set up (and not lost).
    LinkStatus Status() const;
    // The exchange controls are enabled exactly while this holds.
    bool ExchangeAllowed() const { return Status().IsReady(); }
    // Status bar panel 0: "COM3 - готов", "COM4 - Error=31", the device's caption without "&",
    // or "порт не выбран".
    std::string StatusCaption() const;
    // Status bar panel 1: "USB" while a USB device is the link, else "RS232".
    const char* KindCaption() const;

    // The link the exchange goes through: the USB driver while a USB device is chosen, else the
    // serial driver.
    Link& ActiveLink();
    // The USB driver while a USB device is chosen, else nullptr.
    UsbLink* ActiveUsbLink();

  private:
    struct Entry {
        UsbDeviceItem Item;
        bool Seen = false; // listed by the scan in progress
    };

    // Holds every choice and scan back while one runs.
    class ChangeGuard;

    void GiveUpAndOpenCom(int number);
    bool OpenUsbItem(const UsbDeviceItem& item);
    void RemoveItem(const std::string& caption);
    void Notify(const std::function<void()>& handler) const;

    CommPort& Com_;
    SystemFacilities& System_;
    UsbDeviceLink* Usb_;
    uint8_t ComNumber_ = 0;
    std::string UsbDeviceName_;
    std::optional<UsbDeviceItem> ActiveUsb_;
    // The status while neither a COM port nor a USB device is the link.
    LinkStatus NoLinkStatus_ = LinkStatus::NotSelected;
    std::vector<Entry> Items_;
    bool Changing_ = false;
    bool ShutDown_ = false;
    std::function<void()> LinkGivenUp_;
    std::function<void()> LinkChanged_;
    std::function<void()> UsbItemsChanged_;
};

} // namespace vr410
