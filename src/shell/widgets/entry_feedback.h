// How an entry box tells the operator it refused something: the system's exclamation sound and
// a plain message box. Through the program's SystemFacilities when the box was given them (so
// tests count the beeps and read the messages), else straight through Qt.
#pragma once

#include "platform/system_facilities.h"

#include <QString>

class QWidget;

namespace vr410 {

// The exclamation sound.
void EntryBeep(SystemFacilities* facilities);
// A modal box with `text` and one OK button, over `owner`'s window; returns once it is closed.
void EntryMessage(SystemFacilities* facilities, const QString& text, QWidget* owner);

} // namespace vr410
