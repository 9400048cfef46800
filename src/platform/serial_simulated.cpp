#include "platform/serial_simulated.h"

#include "platform/port_naming.h"
#include "platform/receive_queue.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <thread>

namespace vr410 {

namespace {

constexpr uint32_t ErrorFileNotFound = 2;
constexpr uint32_t ErrorAccessDenied = 5;

// The instrument line: 57600 baud, eight data bits and the ninth bit in the parity position.
// A PC set otherwise samples the peer's characters wrongly and sends characters the bus cannot
// read, which both show as framing errors.
bool MatchesInstrumentLine(const LineSettings& settings) {
    return settings.BaudRate == 57600 && settings.DataBits == 8 &&
           settings.Parity != ParityMode::None;
}

// A character in the transmitter: its ninth bit is fixed when it starts to leave, so a parity
// change made before the transmitter is empty reaches the characters still waiting.
struct OutgoingCharacter {
    uint8_t Data = 0;
    SimClock::time_point Start{};
    SimClock::time_point Done{};
    bool Started = false;
    bool NinthBit = false;
    uint32_t LineErrors = 0;
};

} // namespace

bool NinthBitFor(uint8_t data, ParityMode parity) {
    const bool oddOnes = (std::popcount(data) % 2) != 0;
    switch (parity) {
    case ParityMode::Mark:
        return true;
    case ParityMode::Space:
        return false;
    case ParityMode::Odd:
        return !oddOnes;
    case ParityMode::Even:
        return oddOnes;
    case ParityMode::None:
        break;
    }
    return false;
}

class SimulatedPort;

constexpr size_t MaxLogEvents = 1 << 16;

struct SimulatedSerialApi::Shared {
    LinePeer* Peer = nullptr;
    std::set<std::string> Existing;
    std::map<std::string, OpenError> Refusals;
    std::set<SerialCall> Failing;
    SimulatedPortDefaults Defaults;
    std::vector<LineEvent> Log;
    std::map<std::string, SimulatedPort*> OpenPorts;
};

class SimulatedPort final : public SerialPort {
  public:
    SimulatedPort(std::shared_ptr<SimulatedSerialApi::Shared> shared, std::string name)
        : Shared_(std::move(shared)), Name_(std::move(name)) {
        const SimulatedPortDefaults& defaults = Shared_->Defaults;
        State_.Settings = defaults.Settings;
        State_.Timeouts = defaults.Timeouts;
        State_.EventMask = defaults.EventMask;
        State_.InputQueueBytes = defaults.InputQueueBytes;
        Input_.SetCapacity(defaults.InputQueueBytes);
        State_.Dtr = defaults.Settings.DtrEnable;
        StickParity_ = defaults.StickParity;
        Shared_->OpenPorts[Name_] = this;
        Record(LineEvent::Kind::Opened, SimClock::now());
    }

    ~SimulatedPort() override {
        Shared_->OpenPorts.erase(Name_);
        Record(LineEvent::Kind::Closed, SimClock::now());
    }

    const SimulatedLineState& State() const { return State_; }
    void Unplug() { Unplugged_ = true; }
    bool Lost() const override { return Unplugged_; }

    bool GetTimeouts(CommTimeouts& timeouts) override {
        if (!Begin(SerialCall::GetTimeouts))
            return false;
        timeouts = State_.Timeouts;
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        if (!Begin(SerialCall::SetTimeouts))
            return false;
        State_.Timeouts = timeouts;
        return true;
    }

    bool SetupQueues(uint32_t inputBytes, uint32_t outputBytes) override {
        if (!Begin(SerialCall::SetupQueues))
            return false;
        State_.InputQueueBytes = inputBytes;
        State_.OutputQueueBytes = outputBytes;
        Input_.SetCapacity(inputBytes);
        return true;
    }

    bool GetState(LineSettings& settings) override {
        if (!Begin(SerialCall::GetState))
            return false;
        settings = State_.Settings;
        return true;
    }

    bool SetState(const LineSettings& settings) override {
        if (!Begin(SerialCall::SetState))
            return false;
        // What a UART driver refuses as an invalid parameter.
        if (settings.BaudRate == 0 || settings.DataBits < 5 || settings.DataBits > 8 ||
            settings.StopBits < 1 || settings.StopBits > 2)
            return false;
        State_.Settings = settings;
        if (!StickParity_ && settings.Parity == ParityMode::Mark)
            State_.Settings.Parity = ParityMode::Odd;
        if (!StickParity_ && settings.Parity == ParityMode::Space)
            State_.Settings.Parity = ParityMode::Even;
        State_.Dtr = settings.DtrEnable;
        Record(LineEvent::Kind::SettingsChanged, SimClock::now());
        return true;
    }

    bool GetEventMask(uint32_t& mask) override {
        if (!Begin(SerialCall::GetEventMask))
            return false;
        mask = State_.EventMask;
        return true;
    }

    bool SetEventMask(uint32_t mask) override {
        if (!Begin(SerialCall::SetEventMask))
            return false;
        State_.EventMask = mask;
        TxEmptySeen_ = false; // a new mask starts a new event history, as on Windows
        return true;
    }

    bool WaitEvent(uint32_t& event) override {
        if (!Begin(SerialCall::WaitEvent))
            return false;
        if ((State_.EventMask & EV_TXEMPTY) == 0)
            return false; // no event of the mask can ever happen; a real port would block forever
        if (!Outgoing_.empty()) {
            std::this_thread::sleep_until(TxFreeAt_);
            Advance(SimClock::now());
        }
        if (!TxEmptySeen_)
            return false; // nothing was written since the last event: it would block forever
        TxEmptySeen_ = false;
        event = EV_TXEMPTY;
        Record(LineEvent::Kind::TxEmpty, SimClock::now());
        return true;
    }

    bool SetRts(bool raised) override {
        if (!Begin(SerialCall::SetRts))
            return false;
        const bool changed = State_.Rts != raised;
        State_.Rts = raised;
        const auto now = SimClock::now();
        Record(raised ? LineEvent::Kind::RtsRaised : LineEvent::Kind::RtsDropped, now);
        if (changed)
            Shared_->Peer->OnRtsChanged(raised, now);
        return true;
    }

    bool Purge(uint32_t flags) override {
        if (!Begin(SerialCall::Purge))
            return false;
        const auto now = SimClock::now();
        if (flags & PURGE_RXCLEAR)
            Input_.Clear();
        if (flags & (PURGE_TXCLEAR | PURGE_TXABORT)) {
            // The character in the shift register still finishes; the rest are dropped.
            std::erase_if(Outgoing_, [](const OutgoingCharacter& c) { return !c.Started; });
            TxFreeAt_ = Outgoing_.empty() ? now : Outgoing_.back().Done;
        }
        LineEvent& entry = Record(LineEvent::Kind::Purged, now);
        entry.PurgeFlags = flags;
        return true;
    }

    bool Write(const uint8_t* data, size_t count, size_t& written) override {
        written = 0;
        if (!Begin(SerialCall::Write))
            return false;
        const auto now = SimClock::now();
        const auto characterTime = CharacterTime(State_.Settings);
        auto start = std::max(now, TxFreeAt_);
        for (size_t i = 0; i < count; ++i) {
            Outgoing_.push_back({.Data = data[i], .Start = start, .Done = start + characterTime});
            start += characterTime;
        }
        if (count > 0) {
            TxFreeAt_ = start;
            TxEmptySeen_ = false; // the event now means: this block has left
        }
        written = count;
        LineEvent& entry = Record(LineEvent::Kind::Written, now);
        entry.Data.assign(data, data + count);
        return true;
    }

    bool ClearError(uint32_t& errors, uint32_t& inputQueueBytes) override {
        if (!Begin(SerialCall::ClearError))
            return false;
        errors = Input_.TakeErrors();
        inputQueueBytes = static_cast<uint32_t>(Input_.Waiting());
        return true;
    }

    bool Read(uint8_t* data, size_t count, size_t& read) override {
        read = 0;
        if (!Begin(SerialCall::Read))
            return false;
        read = Input_.Read(data, count);
        return true;
    }

    void WaitForInput(std::chrono::steady_clock::time_point deadline) override {
        if (Unplugged_)
            return;
        for (;;) {
            const auto now = SimClock::now();
            Advance(now);
            if (Input_.Waiting() != 0 || Input_.Errors() != 0 || now >= deadline)
                return;
            // Nothing can arrive before the next character leaves or the next reply lands.
            auto wake = deadline;
            if (!Outgoing_.empty())
                wake = std::min(wake, Outgoing_.front().Done);
            if (!InFlight_.empty())
                wake = std::min(wake, InFlight_.front().Arrival);
            std::this_thread::sleep_until(wake);
        }
    }

  private:
    // Common start of every call: injected failures, an unplugged device, then the line catches
    // up with the present.
    bool Begin(SerialCall call) {
        const auto now = SimClock::now();
        if (Unplugged_)
            return false;
        if (Shared_->Failing.count(call) != 0) {
            Record(LineEvent::Kind::CallFailed, now).FailedCall = call;
            return false;
        }
        Advance(now);
        return true;
    }

    // Everything that happened on the line up to `now`: characters that started take their
    // ninth bit, characters that finished go to the peer, replies that landed enter the input
    // queue. Line settings and RTS change only inside calls, which advance first, so the
    // settings in force now are those that held while these things happened.
    void Advance(SimClock::time_point now) {
        const bool lineMatches = MatchesInstrumentLine(State_.Settings);
        for (OutgoingCharacter& c : Outgoing_) {
            if (c.Start > now)
                break;
            if (!c.Started) {
                c.Started = true;
                c.NinthBit = NinthBitFor(c.Data, State_.Settings.Parity);
                c.LineErrors = lineMatches ? 0 : CE_FRAME;
            }
        }
        bool sentSomething = false;
        while (!Outgoing_.empty() && Outgoing_.front().Done <= now) {
            const OutgoingCharacter c = Outgoing_.front();
            Outgoing_.pop_front();
            sentSomething = true;
            LineEvent& entry = Record(LineEvent::Kind::CharacterSent, c.Done);
            entry.Data = {c.Data};
            entry.NinthBit = c.NinthBit;
            const LineCharacter sent{.Data = c.Data,
                                     .NinthBit = c.NinthBit,
                                     .Arrival = c.Done,
                                     .LineErrors = c.LineErrors};
            for (const LineCharacter& reply : Shared_->Peer->OnCharacterFromPc(sent, State_.Rts))
                InFlight_.push_back(reply);
        }
        if (sentSomething) {
            std::stable_sort(InFlight_.begin(), InFlight_.end(),
                             [](const LineCharacter& a, const LineCharacter& b) {
                                 return a.Arrival < b.Arrival;
                             });
            if (Outgoing_.empty())
                TxEmptySeen_ = true;
        }
        while (!InFlight_.empty() && InFlight_.front().Arrival <= now) {
            Receive(InFlight_.front(), lineMatches);
            InFlight_.pop_front();
        }
    }

    void Receive(const LineCharacter& c, bool lineMatches) {
        uint32_t errors = c.LineErrors;
        if (!lineMatches)
            errors |= CE_FRAME;
        else if (c.NinthBit != NinthBitFor(c.Data, State_.Settings.Parity))
            errors |= CE_RXPARITY;
        Input_.Push(c.Data, errors);
    }

    LineEvent& Record(LineEvent::Kind what, SimClock::time_point at) {
        // A program left running on the virtual line logs some hundred events a second; the
        // oldest half goes once the log is full so memory stays bounded.
        if (Shared_->Log.size() >= MaxLogEvents)
            Shared_->Log.erase(Shared_->Log.begin(),
                               Shared_->Log.begin() +
                                   static_cast<std::ptrdiff_t>(MaxLogEvents / 2));
        LineEvent& entry = Shared_->Log.emplace_back();
        entry.What = what;
        entry.At = at;
        entry.Port = Name_;
        entry.Parity = State_.Settings.Parity;
        entry.Rts = State_.Rts;
        return entry;
    }

    std::shared_ptr<SimulatedSerialApi::Shared> Shared_;
    std::string Name_;
    SimulatedLineState State_;
    std::deque<OutgoingCharacter> Outgoing_;
    SimClock::time_point TxFreeAt_{};
    bool TxEmptySeen_ = false;
    std::deque<LineCharacter> InFlight_; // sorted by arrival
    ReceiveQueue Input_;
    bool Unplugged_ = false;
    bool StickParity_ = true;
};

SimulatedSerialApi::SimulatedSerialApi(LinePeer& peer) : Shared_(std::make_shared<Shared>()) {
    Shared_->Peer = &peer;
}

SimulatedSerialApi::~SimulatedSerialApi() = default;

std::string SimulatedSerialApi::PortDeviceName(int number) {
    return WindowsPortDeviceName(number);
}

std::unique_ptr<SerialPort> SimulatedSerialApi::Open(const std::string& deviceName,
                                                     OpenError& error) {
    error = {};
    if (auto refusal = Shared_->Refusals.find(deviceName);
        refusal != Shared_->Refusals.end() && refusal->second.Kind != OpenFailure::None) {
        error = refusal->second;
        return nullptr;
    }
    if (Shared_->Existing.count(deviceName) == 0) {
        error = {.Kind = OpenFailure::NotFound, .Code = ErrorFileNotFound};
        return nullptr;
    }
    if (Shared_->OpenPorts.count(deviceName) != 0) {
        error = {.Kind = OpenFailure::AccessDenied, .Code = ErrorAccessDenied};
        return nullptr;
    }
    return std::make_unique<SimulatedPort>(Shared_, deviceName);
}

uint32_t SimulatedSerialApi::TickCount() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void SimulatedSerialApi::Sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds{milliseconds});
}

SimulatedSerialApi& SimulatedSerialApi::AddPort(const std::string& deviceName) {
    Shared_->Existing.insert(deviceName);
    return *this;
}

void SimulatedSerialApi::RemovePort(const std::string& deviceName) {
    Shared_->Existing.erase(deviceName);
    if (auto open = Shared_->OpenPorts.find(deviceName); open != Shared_->OpenPorts.end())
        open->second->Unplug();
}

void SimulatedSerialApi::RefuseOpen(const std::string& deviceName, OpenError refusal) {
    Shared_->Refusals[deviceName] = refusal;
}

void SimulatedSerialApi::FailCall(SerialCall call, bool fail) {
    if (fail)
        Shared_->Failing.insert(call);
    else
        Shared_->Failing.erase(call);
}

void SimulatedSerialApi::SetDefaults(const SimulatedPortDefaults& defaults) {
    Shared_->Defaults = defaults;
}

std::optional<SimulatedLineState>
SimulatedSerialApi::LineState(const std::string& deviceName) const {
    if (auto open = Shared_->OpenPorts.find(deviceName); open != Shared_->OpenPorts.end())
        return open->second->State();
    return std::nullopt;
}

const std::vector<LineEvent>& SimulatedSerialApi::Log() const {
    return Shared_->Log;
}

void SimulatedSerialApi::ClearLog() {
    Shared_->Log.clear();
}

} // namespace vr410
