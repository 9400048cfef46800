// A station on the simulated instrument bus: it owns an address and turns a well-formed
// request addressed to it into an answer, or stays silent.
#pragma once

#include "platform/line_peer.h"
#include "protocol/frame.h"
#include "protocol/function_codes.h"
#include "protocol/wire_constants.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vr410::sim {

// A request's control byte as the devices of this family take it: the request flag (bit 6) set
// and device type 4. Anything else is another station's answer or another family's frame.
constexpr bool IsRequestControl(uint8_t control) {
    return (control & RequestFlagBit) != 0 && (control & DeviceTypeMask) == DeviceType;
}

class BusDevice {
  public:
    virtual ~BusDevice() = default;
    // The device's current bus address; an instrument's changes with a set-parameters request.
    virtual uint8_t Address() const = 0;
    // Handles a request whose frame and check bytes are sound and whose address byte is this
    // device's. `request` holds the address byte at 0 and M[0..L] at 1..L+1; `at` is when its
    // last character ended on the line. Returns the answer frame in the same layout, or
    // nothing to stay silent.
    virtual std::optional<FrameBytes> HandleRequest(const FrameBytes& request,
                                                    SimClock::time_point at) = 0;
};

// Answer frame from `from` to `to` for function `code` carrying `payload` as M[4..].
// The payload must fit one frame (at most 34 bytes).
FrameBytes MakeAnswer(uint8_t to, uint8_t from, uint8_t code, std::span<const uint8_t> payload,
                      uint8_t control = AnswerControlByte);

// Error answer: function code 0xAA and the error code as its single payload byte. The virtual
// devices give AddressOutOfRange (a new bus address above 240), WrongMode (set output while
// measuring), ValueOutOfRange (a value above the row's maximum, or not decimal digits),
// FrequencyOutOfRange (an AC frequency outside 45..1000 Hz) and RangeNotSet (a range byte the
// device does not know).
FrameBytes MakeErrorAnswer(uint8_t to, uint8_t from, InstrumentError error);

} // namespace vr410::sim
