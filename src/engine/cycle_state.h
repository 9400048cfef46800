// The states of the exchange cycle and the triggers that move it between them. The whole
// transition table is NextState; the engine changes its state nowhere else.
//
//   Idle --Transmit--> EncodePending --Encoded--> SendPending --ExchangeStarted--> Exchanging
//   EncodePending --EncodeRefused--> Done            Exchanging --ExchangeEnded--> Done
//   EncodePending, SendPending, Done --Stop--> Idle
//   Exchanging, StoppingTransmitGiven --Stop--> Stopping --Transmit--> StoppingTransmitGiven
//   Stopping --ExchangeEnded--> Idle        StoppingTransmitGiven --ExchangeEnded--> EncodePending
//   Exchanging, Stopping, StoppingTransmitGiven --LinkLost--> Idle
//   any state --Close--> Closed, which nothing leaves
#pragma once

#include <cstdint>
#include <string_view>

namespace vr410::engine {

enum class CycleState : uint8_t {
    Idle,          // nothing given: a selected command waits for the transmit action
    EncodePending, // transmit given; TimerPrd encodes the request on its tick
    SendPending,   // request encoded; TimerPriem sends it on its tick
    Exchanging,    // the link sends and waits for the answer (two attempts at most)
    // A stop or a selection came while the link waited: the exchange ends without looking at
    // the answer, without a second attempt and without re-arming the polling.
    Stopping,
    // ... and a transmit was given since: its request is encoded once the exchange has ended,
    // never inside it, so the packet on the wire is not overwritten.
    StoppingTransmitGiven,
    Done,   // the exchange ended; the transmission counts as running until a selection or stop
    Closed, // the window closed: nothing is sent any more
};

enum class CycleTrigger : uint8_t {
    Transmit,        // N11
    Encoded,         // TimerPrd built the packet
    EncodeRefused,   // the selected code is not a command: nothing to send
    ExchangeStarted, // TimerPriem fired
    Stop,            // N12, a selection, a link change
    ExchangeEnded,   // the last attempt is over
    LinkLost,        // the link found its device gone
    Close,
};

// The state the trigger leads to; the same state when the trigger does not apply there.
constexpr CycleState NextState(CycleState from, CycleTrigger trigger) {
    using S = CycleState;
    using T = CycleTrigger;
    if (from == S::Closed || trigger == T::Close) {
        return S::Closed;
    }
    switch (trigger) {
    case T::Transmit:
        return from == S::Idle       ? S::EncodePending
               : from == S::Stopping ? S::StoppingTransmitGiven
                                     : from;
    case T::Encoded:
        return from == S::EncodePending ? S::SendPending : from;
    case T::EncodeRefused:
        return from == S::EncodePending ? S::Done : from;
    case T::ExchangeStarted:
        return from == S::SendPending ? S::Exchanging : from;
    case T::Stop:
        switch (from) {
        case S::EncodePending:
        case S::SendPending:
        case S::Done:
            return S::Idle;
        case S::Exchanging:
        case S::StoppingTransmitGiven:
            return S::Stopping;
        default:
            return from;
        }
    case T::ExchangeEnded:
        return from == S::Exchanging              ? S::Done
               : from == S::Stopping              ? S::Idle
               : from == S::StoppingTransmitGiven ? S::EncodePending
                                                  : from;
    case T::LinkLost:
        return from == S::Exchanging || from == S::Stopping || from == S::StoppingTransmitGiven
                   ? S::Idle
                   : from;
    case T::Close:
        break;
    }
    return from;
}

// A transmission counts as running (N11 disabled, N12 enabled) from the transmit action until
// the next stop.
constexpr bool IsTransmitting(CycleState state) {
    switch (state) {
    case CycleState::EncodePending:
    case CycleState::SendPending:
    case CycleState::Exchanging:
    case CycleState::StoppingTransmitGiven:
    case CycleState::Done:
        return true;
    default:
        return false;
    }
}

// The link is busy with an exchange: TimerPriemTimer is running.
constexpr bool IsExchanging(CycleState state) {
    return state == CycleState::Exchanging || state == CycleState::Stopping ||
           state == CycleState::StoppingTransmitGiven;
}

// The state's name, for logs and test messages.
std::string_view StateName(CycleState state);

} // namespace vr410::engine
