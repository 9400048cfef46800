// Connects the keypad widget and the entry controls to the key handlers and the entry's change
// handling: owns the Keypad and the OutputEntry of the main window.
#pragma once

#include "panel/keypad/keypad.h"
#include "panel/keypad/output_entry.h"

#include <QObject>

namespace vr410 {

class OutputEntryBar;
class Panel5;

class PanelKeys : public QObject {
    Q_OBJECT
  public:
    // Clicks on keys run the keypad's handlers; changes of MaskEditVoltage and SE_Freq run the
    // entry's. state and host must outlive this object.
    PanelKeys(InstrumentState& state, KeypadHost& host, Panel5& keys, OutputEntryBar& entry,
              QObject* parent = nullptr);

    Keypad& Keys() { return KeypadLogic; }
    OutputEntry& Entry() { return EntryLogic; }

  private:
    Keypad KeypadLogic;
    OutputEntry EntryLogic;
};

} // namespace vr410
