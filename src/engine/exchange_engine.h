// The exchange engine: everything the program asks of an instrument goes through its cycle. A
// command is selected, the transmit action given, the request encoded on the next tick of
// TimerPrd, sent on the next tick of TimerPriem and its answer received, checked and decoded,
// with one repeat of a failed attempt. In measurement TimerQuery and
// TimerReadADC keep the reading fresh; TimerPredelOn turns a confirmed set-output into the
// output-on mode 300 ms after the Enter key (and once at start, which shows the reset key down).
//
// The cycle's state is one CycleState (engine/cycle_state.h holds the transition table). Time
// comes from a Clock, the wire is a Link (a UsbLink while an adapter is chosen), the window is an
// EngineHost and the decoder's AnswerView; what happened is told through one EventStream.
// Single-threaded: every method and every timer runs on the thread of the clock's loop.
#pragma once

#include "engine/answer_step.h"
#include "engine/clock.h"
#include "engine/cycle_state.h"
#include "engine/engine_events.h"
#include "engine/engine_host.h"
#include "protocol/answer.h"
#include "protocol/instrument_state.h"

#include <cstdint>
#include <memory>

namespace vr410::engine {

class ExchangeEngine {
  public:
    // Keeps references to all arguments; they must outlive the engine. Makes the five timers
    // (TimerPredelOn running) and starts Idle with the link not ready: SetLinkReady(true)
    // allows the first transmit.
    ExchangeEngine(InstrumentState& state, ExchangeBuffers& buffers, Clock& clock, Link& serialLink,
                   EngineHost& host, AnswerView& view);
    ~ExchangeEngine();
    ExchangeEngine(const ExchangeEngine&) = delete;
    ExchangeEngine& operator=(const ExchangeEngine&) = delete;

    // Subscribers learn everything here. A handler may call the engine's methods; it must not
    // destroy the engine.
    EventStream& Events() { return Events_; }

    // While link is set, exchanges go through it instead of the serial link and every stop
    // resets its adapter; nullptr returns to the serial link.
    void SetUsbLink(UsbLink* link) { Usb_ = link; }
    // The link in use is ready (its status reads "готов") or not; transmitting needs it ready.
    // A lost link makes the engine take it as not ready until told otherwise.
    void SetLinkReady(bool ready);

    CycleState State() const { return State_; }
    // From the transmit action until the next stop or selection.
    bool Transmitting() const { return IsTransmitting(State_); }
    // N11 "Передать" is enabled: the link is ready and no transmission is running.
    bool TransmitEnabled() const;
    // N12 "Остановить передачу" is enabled: a transmission is running.
    bool StopEnabled() const { return Transmitting(); }

    // Selects the command of that function code: stops the polling and a running transmission,
    // sets CommandCode and reports the caption. Returns false, doing nothing, for a code that is
    // not in the command table or once closed.
    bool N00Click(uint8_t code);
    // Transmit: TimerPrd encodes the selected request on its tick. Returns false, doing nothing,
    // while the item is disabled (a transmission runs, or the link is not ready). Given while
    // the link still waits for a stopped exchange, the request is encoded once that ends.
    bool N11Click();
    // Stop: StopTransmit. Returns false, doing nothing, while no transmission runs.
    bool N12Click();
    // Stops the polling and a pending transmission and resets the USB adapter; an exchange on
    // the link ends without a look at its answer.
    void StopTransmit();
    // A command as keys, dialogs and timers give it: N00Click(code), then N11Click.
    void Issue(uint8_t code);

    // The measure and difference keys: TimerQuery's interval (an active timer restarts with it).
    void SetQueryInterval(int ms);
    // SetQueryInterval(ms) and the KeepQueryInterval flag: the next re-arm keeps ms once.
    void KeepQueryInterval(int ms);
    // The Enter key: TimerPredelOn counts its 300 ms from now.
    void StartPredelOn();

    // The window closes: everything stops, the link is taken as not ready and nothing is sent
    // any more; a state query under way ends at its next step.
    void Close();

    // Timer handlers; the clock calls them, each disables its own timer first.
    void TimerPrdTimer();     // encodes the selected request, then TimerPriem
    void TimerPriemTimer();   // sends, receives, validates (two attempts), decodes, re-arms polling
    void TimerQueryTimer();   // the exchange test (code 8)
    void TimerReadADCTimer(); // the measured value (code 33)
    void TimerPredelOnTimer(); // confirmed set-output: the output is on; else the reset key

    // The exchange test button.
    void SB_TestClick();
    // The state button: parameters, state and (outside measurement) the set output, read half a
    // second apart, and the panel redrawn half a second after the last. Returns when done, or
    // early when the engine was closed or destroyed during a wait.
    void SB_QueryStateClick();
    // Waits ms milliseconds while the clock's other timers keep running.
    void Delay(int ms);

    const Timer& TimerPrd() const { return *TimerPrd_; }
    const Timer& TimerPriem() const { return *TimerPriem_; }
    const Timer& TimerQuery() const { return *TimerQuery_; }
    const Timer& TimerReadADC() const { return *TimerReadADC_; }
    const Timer& TimerPredelOn() const { return *TimerPredelOn_; }

  private:
    Link& ActiveLink() { return Usb_ != nullptr ? *Usb_ : SerialLink_; }
    void Apply(CycleTrigger trigger);
    void StopTimersAndLink(bool resetDevice);
    void ApplyReadValue(ReadValueAction action);
    void RearmPolling();
    void EndWithLostLink(uint8_t code);
    int64_t Now() const { return Clock_.NowMs(); }

    InstrumentState& Instrument_;
    ExchangeBuffers& Buffers_;
    Clock& Clock_;
    Link& SerialLink_;
    UsbLink* Usb_ = nullptr;
    EngineHost& Host_;
    AnswerStep Answers_;
    EventStream Events_;

    CycleState State_ = CycleState::Idle;
    bool LinkReady_ = false;

    std::unique_ptr<Timer> TimerPrd_;
    std::unique_ptr<Timer> TimerPriem_;
    std::unique_ptr<Timer> TimerQuery_;
    std::unique_ptr<Timer> TimerReadADC_;
    std::unique_ptr<Timer> TimerPredelOn_;

    // Waits and the link's own waits run timers and windows that may destroy the engine; code
    // after them checks this first.
    std::shared_ptr<int> Alive_ = std::make_shared<int>(0);
};

} // namespace vr410::engine
