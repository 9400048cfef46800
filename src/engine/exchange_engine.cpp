// The exchange cycle, the measurement polling and the composite actions.
#include "engine/exchange_engine.h"

#include "protocol/commands.h"
#include "protocol/function_codes.h"
#include "protocol/request_encoder.h"

namespace vr410::engine {

namespace {

constexpr int Attempts = 2; // a failed attempt is sent once more
constexpr int TickMs = 1;   // TimerPrd and TimerPriem: the next tick of the loop
constexpr int QueryIntervalMs = 120;
constexpr int ReadAdcIntervalMs = 30;
constexpr int PredelOnIntervalMs = 300;
constexpr int QueryStateStepMs = 500;

} // namespace

std::string_view StateName(CycleState state) {
    switch (state) {
    case CycleState::Idle:
        return "Idle";
    case CycleState::EncodePending:
        return "EncodePending";
    case CycleState::SendPending:
        return "SendPending";
    case CycleState::Exchanging:
        return "Exchanging";
    case CycleState::Stopping:
        return "Stopping";
    case CycleState::StoppingTransmitGiven:
        return "StoppingTransmitGiven";
    case CycleState::Done:
        return "Done";
    case CycleState::Closed:
        return "Closed";
    }
    return "?";
}

ExchangeEngine::ExchangeEngine(InstrumentState& state, ExchangeBuffers& buffers, Clock& clock,
                               Link& serialLink, EngineHost& host, AnswerView& view)
    : Instrument_(state), Buffers_(buffers), Clock_(clock), SerialLink_(serialLink), Host_(host),
      Answers_(state, view) {
    TimerPrd_ = Clock_.CreateTimer("TimerPrd", TickMs, [this] { TimerPrdTimer(); });
    TimerPriem_ = Clock_.CreateTimer("TimerPriem", TickMs, [this] { TimerPriemTimer(); });
    // Without an interval until the measure key or the first re-arm sets one.
    TimerQuery_ = Clock_.CreateTimer("TimerQuery", 0, [this] { TimerQueryTimer(); });
    TimerReadADC_ =
        Clock_.CreateTimer("TimerReadADC", ReadAdcIntervalMs, [this] { TimerReadADCTimer(); });
    TimerPredelOn_ =
        Clock_.CreateTimer("TimerPredelOn", PredelOnIntervalMs, [this] { TimerPredelOnTimer(); });
    TimerPredelOn_->Start();
}

ExchangeEngine::~ExchangeEngine() {
    Alive_.reset();
}

void ExchangeEngine::Apply(CycleTrigger trigger) {
    const CycleState from = State_;
    const CycleState to = NextState(from, trigger);
    if (to == from) {
        return;
    }
    State_ = to;
    Events_.Emit(StateChanged{.From = from,
                              .To = to,
                              .TransmitEnabled = TransmitEnabled(),
                              .StopEnabled = StopEnabled()});
}

void ExchangeEngine::SetLinkReady(bool ready) {
    if (LinkReady_ == ready) {
        return;
    }
    LinkReady_ = ready;
    Events_.Emit(StateChanged{.From = State_,
                              .To = State_,
                              .TransmitEnabled = TransmitEnabled(),
                              .StopEnabled = StopEnabled()});
}

bool ExchangeEngine::TransmitEnabled() const {
    return LinkReady_ && !Transmitting() && State_ != CycleState::Closed;
}

bool ExchangeEngine::N00Click(uint8_t code) {
    const CommandInfo* command = FindCommand(code);
    if (command == nullptr || State_ == CycleState::Closed) {
        return false;
    }
    TimerQuery_->Stop();
    TimerReadADC_->Stop();
    if (Transmitting()) {
        StopTransmit();
    }
    Instrument_.CommandCode = code;
    Events_.Emit(
        CommandSelected{.Code = code, .Caption = std::string(command->Caption), .AtMs = Now()});
    return true;
}

bool ExchangeEngine::N11Click() {
    if (!TransmitEnabled()) {
        return false;
    }
    // While the link still waits for a stopped exchange, the encoder must not overwrite the
    // packet on the wire: the exchange's end starts TimerPrd instead.
    if (State_ == CycleState::Idle) {
        TimerPrd_->Start();
    }
    Apply(CycleTrigger::Transmit);
    return true;
}

bool ExchangeEngine::N12Click() {
    if (!StopEnabled()) {
        return false;
    }
    StopTransmit();
    return true;
}

void ExchangeEngine::StopTransmit() {
    StopTimersAndLink(true);
    Apply(CycleTrigger::Stop);
}

void ExchangeEngine::StopTimersAndLink(bool resetDevice) {
    TimerQuery_->Stop();
    TimerReadADC_->Stop();
    if (resetDevice && Usb_ != nullptr) {
        Usb_->ResetDevice();
    }
    TimerPrd_->Stop();
    TimerPriem_->Stop();
}

void ExchangeEngine::Issue(uint8_t code) {
    if (N00Click(code)) {
        N11Click();
    }
}

void ExchangeEngine::SetQueryInterval(int ms) {
    TimerQuery_->SetInterval(ms);
}

void ExchangeEngine::KeepQueryInterval(int ms) {
    Instrument_.KeepQueryInterval = 1;
    SetQueryInterval(ms);
}

void ExchangeEngine::StartPredelOn() {
    if (State_ != CycleState::Closed) {
        TimerPredelOn_->Start();
    }
}

void ExchangeEngine::Close() {
    if (State_ == CycleState::Closed) {
        return;
    }
    StopTransmit();
    TimerPredelOn_->Stop();
    LinkReady_ = false;
    Apply(CycleTrigger::Close);
}

void ExchangeEngine::TimerPrdTimer() {
    TimerPrd_->Stop();
    if (State_ != CycleState::EncodePending) {
        return;
    }
    const EncoderInputs inputs = Host_.EncoderFields();
    const uint8_t code = Instrument_.CommandCode;
    if (!EncodeRequest(Instrument_, inputs, Buffers_.TxFrame, Buffers_.TxPacket)) {
        Apply(CycleTrigger::EncodeRefused); // a code outside the command table sends nothing
        return;
    }
    if (code == FunctionCode::SetParameters) {
        Host_.SetDeviceAddressField(inputs.NewAddress);
    }
    TimerPriem_->Start();
    Events_.Emit(RequestEncoded{.Code = code, .Packet = Buffers_.TxPacket, .AtMs = Now()});
    Apply(CycleTrigger::Encoded);
}

void ExchangeEngine::TimerPriemTimer() {
    TimerPriem_->Stop();
    if (State_ != CycleState::SendPending) {
        return;
    }
    Apply(CycleTrigger::ExchangeStarted);
    const std::weak_ptr<int> alive = Alive_;
    const bool busyCursor = Instrument_.Mode != PanelMode::Measurement;
    if (busyCursor) {
        Host_.SetBusyCursor(true);
    }
    Answers_.ClearText();

    const uint8_t code = Instrument_.CommandCode;
    bool decoded = false;
    bool lost = false;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        // The link may run the loop while it waits (the USB receive does): timers, keys and
        // windows act meanwhile, a stop or selection among them, and the engine may be gone.
        Link& link = ActiveLink();
        link.SendPacket(Buffers_.TxPacket);
        if (alive.expired()) {
            return;
        }
        uint32_t status = 0;
        bool received = false;
        lost = link.LinkLost();
        if (!lost) {
            status = link.ReceivePacket(Buffers_.RxPacket);
            if (alive.expired()) {
                return;
            }
            received = true;
            lost = link.LinkLost();
        }

        const AnswerContext answer{.RxPacket = Buffers_.RxPacket,
                                   .TxFrame = Buffers_.TxFrame,
                                   .AccessoryMode = Host_.AccessoryMode()};
        AttemptResult result = AttemptResult::Stopped;
        if (lost) {
            result = AttemptResult::LinkLost;
        } else if (State_ == CycleState::Exchanging) {
            // A stop or selection meanwhile would make CommandCode name another command: the
            // answer is looked at only while the exchange still runs.
            result = Answers_.Validate(status, answer) ? AttemptResult::Accepted
                                                       : AttemptResult::Refused;
        }
        Events_.Emit(AttemptFinished{.Code = code,
                                     .Attempt = attempt,
                                     .Status = status,
                                     .ReceiveRan = received,
                                     .Received = received ? Buffers_.RxPacket : PacketRecord{},
                                     .Result = result,
                                     .Outcome = result == AttemptResult::Refused ? Answers_.Text()
                                                                                 : std::string(),
                                     .AtMs = Now()});
        if (result == AttemptResult::Accepted && State_ == CycleState::Exchanging) {
            const ReadValueAction readValue = Answers_.Decode(answer);
            ApplyReadValue(readValue);
            decoded = true;
            Events_.Emit(AnswerDecoded{
                .Code = code, .ReadValue = readValue, .Text = Answers_.Text(), .AtMs = Now()});
        }
        if (result != AttemptResult::Refused || State_ != CycleState::Exchanging) {
            break;
        }
    }

    if (busyCursor) {
        Host_.SetBusyCursor(false);
    }
    TimerPriem_->Stop();
    if (lost) {
        EndWithLostLink(code);
        return;
    }
    // After a stop the polling stays off; the next exchange given in measurement re-arms it.
    if (State_ == CycleState::Exchanging && Instrument_.Mode == PanelMode::Measurement) {
        RearmPolling();
    }
    if (State_ == CycleState::StoppingTransmitGiven) {
        TimerPrd_->Start(); // the transmit given while the link waited
    }
    Apply(CycleTrigger::ExchangeEnded);
    Events_.Emit(ExchangeEnded{.Code = code, .Accepted = decoded, .AtMs = Now()});
}

void ExchangeEngine::ApplyReadValue(ReadValueAction action) {
    switch (action) {
    case ReadValueAction::Start:
        if (!TimerReadADC_->Active()) { // enabling a running timer does not restart it
            TimerReadADC_->Start();
        }
        break;
    case ReadValueAction::Stop:
        TimerReadADC_->Stop();
        break;
    case ReadValueAction::Keep:
        break;
    }
}

void ExchangeEngine::RearmPolling() {
    if (Instrument_.KeepQueryInterval != 0) {
        Instrument_.KeepQueryInterval = 0; // the measure or difference key chose a longer wait
    } else {
        TimerQuery_->SetInterval(QueryIntervalMs);
    }
    TimerQuery_->Start();
}

// The device is gone: no second attempt, no polling, no transmission and no adapter reset (it
// would only fail again); the link counts as not ready until the window has dealt with it.
void ExchangeEngine::EndWithLostLink(uint8_t code) {
    StopTimersAndLink(false);
    LinkReady_ = false;
    Apply(CycleTrigger::LinkLost);
    Events_.Emit(ExchangeEnded{.Code = code, .Accepted = false, .AtMs = Now()});
    Events_.Emit(LinkLost{.Code = code, .AtMs = Now()});
}

void ExchangeEngine::TimerQueryTimer() {
    TimerQuery_->Stop();
    Issue(FunctionCode::ExchangeTest);
}

void ExchangeEngine::TimerReadADCTimer() {
    TimerReadADC_->Stop();
    TimerQuery_->Stop();
    Issue(FunctionCode::MeasuredValue);
}

void ExchangeEngine::TimerPredelOnTimer() {
    TimerPredelOn_->Stop();
    if (Instrument_.OutputSetDone != 0) {
        Instrument_.Mode = PanelMode::OutputOn;
        Host_.PrintMode();
        Instrument_.OutputSetDone = 0;
    } else {
        Host_.PressResetKey();
    }
}

void ExchangeEngine::SB_TestClick() {
    Issue(FunctionCode::ExchangeTest);
}

void ExchangeEngine::SB_QueryStateClick() {
    // The waits run the loop, in which the window may close or destroy the engine.
    const std::weak_ptr<int> alive = Alive_;
    const auto ended = [&] { return alive.expired() || State_ == CycleState::Closed; };
    Issue(FunctionCode::ReadParameters);
    Delay(QueryStateStepMs);
    if (ended()) {
        return;
    }
    Issue(FunctionCode::PollState);
    Delay(QueryStateStepMs);
    if (ended()) {
        return;
    }
    if (ShowsOutputValue(Instrument_.Mode)) { // the set output too
        Issue(FunctionCode::ReadOutput);
    }
    Delay(QueryStateStepMs);
    if (ended()) {
        return;
    }
    Host_.PrintMode();
}

void ExchangeEngine::Delay(int ms) {
    Clock_.Wait(ms);
}

} // namespace vr410::engine
