#include "platform/parmrk_parser.h"

#include "platform/serial_api.h"

namespace vr410 {

uint32_t MarkedCharacterError(size_t position) {
    return position == 0 ? CE_RXPARITY : CE_FRAME;
}

void ParmrkParser::Feed(const uint8_t* raw, size_t count, std::vector<ReceivedByte>& out) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = raw[i];
        switch (State_) {
        case State::Plain:
            if (byte == 0xFF)
                State_ = State::AfterEscape;
            else
                out.push_back({byte, false});
            break;
        case State::AfterEscape:
            if (byte == 0xFF) {
                out.push_back({0xFF, false});
                State_ = State::Plain;
            } else if (byte == 0x00) {
                State_ = State::AfterEscapeZero;
            } else {
                // Not a mark the tty makes: a \377 that was not doubled. Keep both bytes.
                out.push_back({0xFF, false});
                out.push_back({byte, false});
                State_ = State::Plain;
            }
            break;
        case State::AfterEscapeZero:
            out.push_back({byte, true});
            State_ = State::Plain;
            break;
        }
    }
}

} // namespace vr410
