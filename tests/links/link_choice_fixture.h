// What the tests of the link choice and of the USB scan share: message boxes that can run code
// while they are shown, and the "USB" submenu as its captions.
#pragma once

#include "links/link_selection.h"
#include "platform/system_facilities.h"

#include <functional>
#include <string>
#include <vector>

namespace vr410::test {

// Message boxes recorded; WhileShown runs inside the box, as the 2 s scan timer does in a
// modal box.
class BoxFacilities : public RecordingSystemFacilities {
  public:
    std::function<void()> WhileShown;
    void ShowMessage(const std::string& text, MessageKind kind) override {
        RecordingSystemFacilities::ShowMessage(text, kind);
        if (WhileShown) {
            WhileShown();
        }
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : Messages) {
            texts.push_back(m.Text);
        }
        return texts;
    }
};

// The captions of the "USB" submenu, in order.
inline std::vector<std::string> UsbCaptions(const LinkSelection& selection) {
    std::vector<std::string> captions;
    for (const UsbDeviceItem& item : selection.UsbItems()) {
        captions.push_back(item.Caption);
    }
    return captions;
}

} // namespace vr410::test
