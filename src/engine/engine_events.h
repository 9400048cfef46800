// The one stream of events the exchange engine reports through: the packet monitor, the
// command and answer strip, a readings log and a command-line tool each subscribe and learn
// what happened from it, never from widgets.
#pragma once

#include "engine/answer_step.h"
#include "engine/cycle_state.h"
#include "protocol/frame.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vr410::engine {

// A command was selected (N00Click): its function code and its caption from the command table.
struct CommandSelected {
    uint8_t Code;
    std::string Caption; // UTF-8
    int64_t AtMs;
};

// TimerPrd built the request: the packet as it goes on the wire (SendLine gives the monitor's
// send line).
struct RequestEncoded {
    uint8_t Code;
    PacketRecord Packet;
    int64_t AtMs;
};

enum class AttemptResult : uint8_t {
    Accepted, // the answer passed every check and is decoded next
    Refused,  // a check failed; Outcome holds its text
    Stopped,  // a stop or selection came while the link waited: the answer was not looked at
    LinkLost, // the link found its device gone
};

// One attempt of an exchange is over: what came back (ReceiveLine gives the monitor's receive
// line), the link's receive status and the outcome.
struct AttemptFinished {
    uint8_t Code;
    int Attempt; // 1 or 2
    uint32_t Status;
    // False when the attempt ended before its receive (the link was lost on the send): the
    // monitor's receive line then stays as it was.
    bool ReceiveRan;
    PacketRecord Received; // empty when the receive did not run
    AttemptResult Result;
    std::string Outcome; // Refused: the failing check's text, as the answer label shows it
    int64_t AtMs;
};

// An accepted answer was decoded: the answer label's text after the decoding and what it asked
// of the measured-value timer.
struct AnswerDecoded {
    uint8_t Code;
    ReadValueAction ReadValue;
    std::string Text;
    int64_t AtMs;
};

// The exchange is over, the polling re-armed where it runs. Accepted: an answer was decoded.
struct ExchangeEnded {
    uint8_t Code;
    bool Accepted;
    int64_t AtMs;
};

// The cycle's state or the link's readiness changed; the transmit (N11) and stop (N12) items
// follow the two flags.
struct StateChanged {
    CycleState From;
    CycleState To;
    bool TransmitEnabled;
    bool StopEnabled;
};

// The link found its device gone (unplugged adapter, hang-up): the exchange ended at once and
// the transmission and polling stopped; the window closes the port and shows it absent.
struct LinkLost {
    uint8_t Code;
    int64_t AtMs;
};

using EngineEvent = std::variant<CommandSelected, RequestEncoded, AttemptFinished, AnswerDecoded,
                                 ExchangeEnded, StateChanged, LinkLost>;

class EventStream {
  public:
    using Handler = std::function<void(const EngineEvent&)>;
    using SubscriptionId = uint32_t;

    EventStream() = default;
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

    // Every later event goes to handler, after the handlers subscribed before it. Returns the id
    // that Unsubscribe takes.
    SubscriptionId Subscribe(Handler handler);
    // No more events go to that handler, from now on (also when called inside an event).
    void Unsubscribe(SubscriptionId id);
    // Hands the event to each handler in turn. A handler may subscribe, unsubscribe or destroy
    // the stream's owner; the stream then stops handing out this event.
    void Emit(const EngineEvent& event);

  private:
    struct Entry {
        SubscriptionId Id;
        Handler Fn;
    };
    std::vector<Entry> Entries_;
    SubscriptionId NextId_ = 1;
    int Depth_ = 0; // Emit calls under way, nested ones counted
    std::shared_ptr<int> Alive_ = std::make_shared<int>(0);
};

} // namespace vr410::engine
