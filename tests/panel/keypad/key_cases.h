// The table-driven key cases: the state and recording window before, the keys pressed, what
// must hold after. Shared by the key test files.
#pragma once

#include "panel/keypad/keypad.h"
#include "panel/keypad/output_entry.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vr410::test {

struct KeyCase {
    const char* Name;
    std::function<void(InstrumentState&, RecordingHost&)> Given;
    std::vector<PanelKey> Presses;
    std::function<void(const InstrumentState&, const RecordingHost&)> Then;
};

inline std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << c.Name;
}

inline bool Logged(const RecordingHost& host, const std::string& entry) {
    return std::find(host.Log.begin(), host.Log.end(), entry) != host.Log.end();
}

using Codes = std::vector<int>;

class KeypadCases : public testing::TestWithParam<KeyCase> {
  protected:
    InstrumentState State;
    RecordingHost Host{State};
    OutputEntry Entry{State, Host};
    Keypad Keys{State, Host};

    void SetUp() override { Host.Entry = &Entry; }
};

inline void WithOutputOn(InstrumentState& s, RecordingHost&) {
    s.Mode = PanelMode::OutputOn;
}

} // namespace vr410::test
