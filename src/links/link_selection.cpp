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
        : Selection_(selection), Was_(selection.Changing_) {
        Selection_.Changing_ = true;
    }
    ~ChangeGuard() { Selection_.Changing_ = Was_; }
    ChangeGuard(const ChangeGuard&) = delete;
    ChangeGuard& operator=(const ChangeGuard&) = delete;

  private:
    LinkSelection& Selection_;
    bool Was_;
};

LinkSelection::LinkSelection(CommPort& com, SystemFacilities& system, UsbDeviceLink* usb)
    : Com_(com), System_(system), Usb_(usb) {}

void LinkSelection::Notify(const std::function<void()>& handler) const {
    if (handler) {
        handler();
    }
}

bool LinkSelection::SelectComPort(int number) {
    if (Changing_ || ShutDown_) {
        return false;
    }
    ChangeGuard guard(*this);
    GiveUpAndOpenCom(number);
    return true;
}

void LinkSelection::GiveUpAndOpenCom(int number) {
    if (ActiveUsb_) {
        Usb_->Close();
        ActiveUsb_.reset();
    }
    UsbDeviceName_.clear();
    Notify(LinkGivenUp_);
    ComNumber_ = static_cast<uint8_t>(number & 0xFF);
    NoLinkStatus_ = LinkStatus::NotSelected;
    // No Port too goes through the open: it closes the port in use and tries COM0, which does
    // not exist. Whatever that finds, no port is no link (see Status).
    Com_.OpenComPort(ComNumber_);
    Notify(LinkChanged_);
}

bool LinkSelection::SelectUsbDevice(const std::string& caption) {
    if (Changing_ || ShutDown_ || Usb_ == nullptr) {
        return false;
    }
    const auto found = std::find_if(Items_.begin(), Items_.end(),
                                    [&](const Entry& e) { return e.Item.Caption == caption; });
    if (found == Items_.end()) {
        return false;
    }
    const UsbDeviceItem item = found->Item; // the item itself may go while it is opened
    ChangeGuard guard(*this);
    return OpenUsbItem(item);
}

bool LinkSelection::OpenUsbItem(const UsbDeviceItem& item) {
    GiveUpAndOpenCom(0);
    ActiveUsb_ = item;
    UsbDeviceName_ = WithoutHotkeyMarks(item.Caption);
    // A refused open is told by the box below, not by the driver's notice of a lost device.
    Usb_->SetErrorReport(false);
    if (!Usb_->OpenBySerialNumber(item.Device.SerialNumber)) {
        ActiveUsb_.reset();
        NoLinkStatus_ = LinkStatus::UsbNotOpened;
        System_.ShowMessage(UsbOpenFailedText + item.Caption, MessageKind::Plain);
        // UsbDeviceName keeps the device, so the next scan that lists it builds its item anew
        // and tries again.
        RemoveItem(item.Caption);
        Usb_->SetErrorReport(true);
        Notify(LinkChanged_);
        Notify(UsbItemsChanged_);
        return false;
    }
    Usb_->SetErrorReport(true);
    Usb_->SetUpLine();
    Notify(LinkChanged_);
    return true;
}

void LinkSelection::RemoveItem(const std::string& caption) {
    std::erase_if(Items_, [&](const Entry& e) { return e.Item.Caption == caption; });
}

void LinkSelection::UsbListed(const UsbListing& listing) {
    if (Changing_ || ShutDown_ || Usb_ == nullptr) {
        return; // the next scan, 2 s later, sees the devices again
    }
    ChangeGuard guard(*this);
    bool itemsChanged = false;
    for (Entry& e : Items_) {
        e.Seen = false;
    }

    if (listing.InUseCaption) {
        for (Entry& e : Items_) {
            e.Seen = e.Seen || SameDeviceCaption(e.Item.Caption, *listing.InUseCaption);
        }
    }
    for (const UsbDeviceId& device : listing.Present) {
        const std::string caption = UsbDeviceCaption(device);
        const auto found = std::find_if(Items_.begin(), Items_.end(), [&](const Entry& e) {
            return SameDeviceCaption(e.Item.Caption, caption);
        });
        if (found != Items_.end()) {
            found->Seen = true;
            continue;
        }
        Items_.push_back({.Item = {.Device = device, .Caption = caption}, .Seen = true});
        itemsChanged = true;
        // The identity is kept without "&" marks, so the caption loses its marks too: a
        // description holding "&" is taken up again like any other.
        if (WithoutHotkeyMarks(UsbDeviceName_) == WithoutHotkeyMarks(caption)) {
            const UsbDeviceItem item = Items_.back().Item; // a failed open takes it out again
            OpenUsbItem(item);
        }
    }

    if (listing.Complete) {
        for (auto it = Items_.begin(); it != Items_.end();) {
            if (it->Seen) {
                ++it;
                continue;
            }
            if (ActiveUsb_ && ActiveUsb_->Caption == it->Item.Caption) {
                // The device in use vanished: the operator is told (once: not again when its
                // exchange told it), then No Port, but its identity stays for its return.
                Usb_->DeviceVanished();
                const std::string name = UsbDeviceName_;
                GiveUpAndOpenCom(0);
                UsbDeviceName_ = name;
            }
            it = Items_.erase(it);
            itemsChanged = true;
        }
    }

    if (itemsChanged) {
        Notify(UsbItemsChanged_);
    }
}

void LinkSelection::Shutdown() {
    ShutDown_ = true;
    Com_.OpenComPort(0);
    if (Usb_ != nullptr) {
        Usb_->SetErrorReport(false); // no notices while the program ends
        if (ActiveUsb_) {
            Usb_->Close();
        }
    }
    Notify(LinkChanged_);
}

LinkKind LinkSelection::Kind() const {
    if (ActiveUsb_) {
        return LinkKind::Usb;
    }
    return ComNumber_ != 0 ? LinkKind::Com : LinkKind::None;
}

std::vector<UsbDeviceItem> LinkSelection::UsbItems() const {
    std::vector<UsbDeviceItem> items;
    items.reserve(Items_.size());
    for (const Entry& e : Items_) {
        items.push_back(e.Item);
    }
    return items;
}

LinkStatus LinkSelection::Status() const {
    switch (Kind()) {
    case LinkKind::Usb:
        return Usb_->IsOpen() && !Usb_->LinkLost() ? LinkStatus::Ready : LinkStatus::Absent;
    case LinkKind::Com:
        return Com_.Status();
    case LinkKind::None:
        break;
    }
    return NoLinkStatus_;
}

std::string LinkSelection::StatusCaption() const {
    switch (Kind()) {
    case LinkKind::Usb:
        return WithoutHotkeyMarks(ActiveUsb_->Caption);
    case LinkKind::Com:
        return "COM" + std::to_string(ComNumber_) + " - " + LinkStatusText(Status());
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
        return *Usb_;
    }
    return Com_;
}

UsbLink* LinkSelection::ActiveUsbLink() {
    return Kind() == LinkKind::Usb ? Usb_ : nullptr;
}

} // namespace vr410
