// TIntEdit: a single-line entry box for a whole number. It lets through only the characters of
// a signed decimal number and beeps at anything else; its Value is computed from the text on
// every read. It has no range of its own: its owners clamp on leaving the box.
#pragma once

#include "platform/system_facilities.h"

#include <QChar>
#include <QLineEdit>

#include <cstdint>
#include <functional>

namespace vr410 {

class TIntEdit : public QLineEdit {
    Q_OBJECT
  public:
    // The owner's key-press event: sees each character the box lets through, before it is
    // inserted; setting it to 0 discards it.
    using KeyPressHandler = std::function<void(QChar& key)>;

    // Text "0", 33 pixels wide.
    explicit TIntEdit(QWidget* parent = nullptr);

    // The text as a decimal 32-bit signed integer, or 0 when it is not one (empty, "abc",
    // eleven digits); widened to 64 bits.
    int64_t Value() const;
    // The text becomes the decimal form of `value`.
    void SetValue(int64_t value);

    void SetOnKeyPress(KeyPressHandler handler) { OnKeyPress_ = std::move(handler); }
    // Where the refused keys beep; straight through Qt when null (the default).
    void SetFacilities(SystemFacilities* facilities) { Facilities_ = facilities; }

  protected:
    // Typed characters: Backspace, Enter, "+", "-" and "0".."9" go on to the owner's key-press
    // event and the standard handling; any other character is discarded with the exclamation
    // sound. Escape is left to the window (a dialog closes on it), keys without a character
    // (arrows, Delete, Shift+Insert) work as in any entry box.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    KeyPressHandler OnKeyPress_;
    SystemFacilities* Facilities_ = nullptr;
};

} // namespace vr410
