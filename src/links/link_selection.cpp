#include "links/link_selection.h"

#include <algorithm>

namespace vr410 {

namespace {

// Letter case folded for the Latin letters that the adapters' descriptions and serial numbers
// are made of.
std::string FoldedCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

} // namespace

bool SameDeviceCaption(const std::string& a, const std::string& b) {
    return FoldedCase(WithoutHotkeyMarks(a)) == FoldedCase(WithoutHotkeyMarks(b));
}

std::string UsbDeviceCaption(const UsbDeviceId& device) {
    return device.Description + " (№ " + device.SerialNumber + ")";
}

std::string WithoutHotkeyMarks(const std::string& text) {
    std::string plain = text;
    std::erase(plain, '&');
    return plain;
}

class LinkSelection::ChangeGuard {
  public:
    explicit ChangeGuard(LinkSelection& selection)
        : selection_(selection), was_(selection.changing_) {
        selection_.changing_ = true;
    }
    ~ChangeGuard() { selection_.changing_ = was_; }
    ChangeGuard(const ChangeGuard&) = delete;
    ChangeGuard& operator=(const ChangeGuard&) = delete;

  private:
    LinkSelection& selection_;
    bool was_;
};

LinkSelection::LinkSelection(CommPort& com, SystemFacilities& system, UsbDeviceLink* usb)
    : com_(com), system_(system), usb_(usb) {}

void LinkSelection::Notify(const std::function<void()>& handler) const {
    if (handler) {
        handler();
    }
}

bool LinkSelection::SelectComPort(int number) {
    if (changing_ || shutDown_) {
        return false;
    }
    ChangeGuard guard(*this);
    GiveUpAndOpenCom(number);
    return true;
}

void LinkSelection::GiveUpAndOpenCom(int number) {
    if (activeUsb_) {
        usb_->Close();
        activeUsb_.reset();
    }
    usbDeviceName_.clear();
    Notify(linkGivenUp_);
    comNumber_ = static_cast<uint8_t>(number & 0xFF);
    noLinkStatus_ = LinkStatus::NotSelected;
    // No Port too goes through the open: it closes the port in use and tries COM0, which does
    // not exist. Whatever that finds, no port is no link (see Status).
    com_.OpenComPort(comNumber_);
    Notify(linkChanged_);
}

bool LinkSelection::SelectUsbDevice(const std::string& caption) {
    if (changing_ || shutDown_ || usb_ == nullptr) {
        return false;
    }
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&](const Entry& e) { return e.Item.Caption == caption; });
    if (found == items_.end()) {
        return false;
    }
    const UsbDeviceItem item = found->Item; // the item itself may go while it is opened
    ChangeGuard guard(*this);
    return OpenUsbItem(item);
}

bool LinkSelection::OpenUsbItem(const UsbDeviceItem& item) {
    GiveUpAndOpenCom(0);
    activeUsb_ = item;
    usbDeviceName_ = WithoutHotkeyMarks(item.Caption);
    // A refused open is told by the box below, not by the driver's notice of a lost device.
    usb_->SetErrorReport(false);
    if (!usb_->OpenBySerialNumber(item.Device.SerialNumber)) {
        activeUsb_.reset();
        noLinkStatus_ = LinkStatus::UsbNotOpened;
        system_.ShowMessage(UsbOpenFailedText + item.Caption, MessageKind::Plain);
        // UsbDeviceName keeps the device, so the next scan that lists it builds its item anew
        // and tries again.
        RemoveItem(item.Caption);
        usb_->SetErrorReport(true);
        Notify(linkChanged_);
        Notify(usbItemsChanged_);
        return false;
    }
    usb_->SetErrorReport(true);
    usb_->SetUpLine();
    Notify(linkChanged_);
    return true;
}

void LinkSelection::RemoveItem(const std::string& caption) {
    std::erase_if(items_, [&](const Entry& e) { return e.Item.Caption == caption; });
}

void LinkSelection::UsbListed(const UsbListing& listing) {
    if (changing_ || shutDown_ || usb_ == nullptr) {
        return; // the next scan, 2 s later, sees the devices again
    }
    ChangeGuard guard(*this);
    bool itemsChanged = false;
    for (Entry& e : items_) {
        e.Seen = false;
    }

    if (listing.InUseCaption) {
        for (Entry& e : items_) {
            e.Seen = e.Seen || SameDeviceCaption(e.Item.Caption, *listing.InUseCaption);
        }
    }
    for (const UsbDeviceId& device : listing.Present) {
        const std::string caption = UsbDeviceCaption(device);
        const auto found = std::find_if(items_.begin(), items_.end(), [&](const Entry& e) {
            return SameDeviceCaption(e.Item.Caption, caption);
        });
        if (found != items_.end()) {
            found->Seen = true;
            continue;
        }
        items_.push_back({.Item = {.Device = device, .Caption = caption}, .Seen = true});
        itemsChanged = true;
        // The identity is kept without "&" marks, so the caption loses its marks too: a
        // description holding "&" is taken up again like any other.
        if (WithoutHotkeyMarks(usbDeviceName_) == WithoutHotkeyMarks(caption)) {
            const UsbDeviceItem item = items_.back().Item; // a failed open takes it out again
            OpenUsbItem(item);
        }
    }

    if (listing.Complete) {
        for (auto it = items_.begin(); it != items_.end();) {
            if (it->Seen) {
                ++it;
                continue;
            }
            if (activeUsb_ && activeUsb_->Caption == it->Item.Caption) {
                // The device in use vanished: the operator is told (once: not again when its
                // exchange told it), then No Port, but its identity stays for its return.
                usb_->DeviceVanished();
                const std::string name = usbDeviceName_;
                GiveUpAndOpenCom(0);
                usbDeviceName_ = name;
            }
            it = items_.erase(it);
            itemsChanged = true;
        }
    }

    if (itemsChanged) {
        Notify(usbItemsChanged_);
    }
}

void LinkSelection::Shutdown() {
    shutDown_ = true;
    com_.OpenComPort(0);
    if (usb_ != nullptr) {
        usb_->SetErrorReport(false); // no notices while the program ends
        if (activeUsb_) {
            usb_->Close();
        }
    }
    Notify(linkChanged_);
}

LinkKind LinkSelection::Kind() const {
    if (activeUsb_) {
        return LinkKind::Usb;
    }
    return comNumber_ != 0 ? LinkKind::Com : LinkKind::None;
}

std::vector<UsbDeviceItem> LinkSelection::UsbItems() const {
    std::vector<UsbDeviceItem> items;
    items.reserve(items_.size());
    for (const Entry& e : items_) {
        items.push_back(e.Item);
    }
    return items;
}

LinkStatus LinkSelection::Status() const {
    switch (Kind()) {
    case LinkKind::Usb:
        return usb_->IsOpen() && !usb_->LinkLost() ? LinkStatus::Ready : LinkStatus::Absent;
    case LinkKind::Com:
        return com_.Status();
    case LinkKind::None:
        break;
    }
    return noLinkStatus_;
}

std::string LinkSelection::StatusCaption() const {
    switch (Kind()) {
    case LinkKind::Usb:
        return WithoutHotkeyMarks(activeUsb_->Caption);
    case LinkKind::Com:
        return "COM" + std::to_string(comNumber_) + " - " + LinkStatusText(Status());
    case LinkKind::None:
        break;
    }
    return LinkStatusText(LinkStatus::NotSelected);
}

const char* LinkSelection::KindCaption() const {
    return Kind() == LinkKind::Usb ? KindUsb : KindRs232;
}

Link& LinkSelection::ActiveLink() {
    if (Kind() == LinkKind::Usb) {
        return *usb_;
    }
    return com_;
}

UsbLink* LinkSelection::ActiveUsbLink() {
    return Kind() == LinkKind::Usb ? usb_ : nullptr;
}

} // namespace vr410
