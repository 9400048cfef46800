// What the program needs of the desktop besides windows: message boxes, the exclamation sound,
// the busy cursor and opening a web address. The Qt implementation lives with the shell; the
// links and dialogs see only this interface, so tests can record what they would have shown.
#pragma once

#include <string>
#include <vector>

namespace vr410 {

enum class MessageKind : unsigned char {
    Plain,       // text only, one OK button (the link drivers' boxes)
    Error,       // the error icon and one OK button
    Information, // the information icon and one OK button
};

class SystemFacilities {
  public:
    virtual ~SystemFacilities() = default;
    // Shows a modal box with `text` (UTF-8) and one OK button; returns when it is closed.
    // (Not named MessageBox: windows.h makes that name a macro.)
    virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
    // The system's exclamation sound.
    virtual void Beep() = 0;
    // Shows the busy (hourglass) cursor over the program while `busy`, the normal one after.
    virtual void SetBusyCursor(bool busy) = 0;
    // Opens the address with the desktop's default handler; false when nothing took it.
    virtual bool OpenUrl(const std::string& url) = 0;
};

// Records every call instead of showing anything, for tests.
class RecordingSystemFacilities : public SystemFacilities {
  public:
    struct Message {
        std::string Text;
        MessageKind Kind = MessageKind::Plain;
        bool operator==(const Message&) const = default;
    };

    std::vector<Message> Messages;
    int Beeps = 0;
    std::vector<bool> CursorChanges;
    std::vector<std::string> OpenedUrls;
    bool OpenUrlSucceeds = true;

    void ShowMessage(const std::string& text, MessageKind kind) override {
        Messages.push_back({text, kind});
    }
    void Beep() override { ++Beeps; }
    void SetBusyCursor(bool busy) override { CursorChanges.push_back(busy); }
    bool OpenUrl(const std::string& url) override {
        OpenedUrls.push_back(url);
        return OpenUrlSucceeds;
    }
};

} // namespace vr410
