// The receive-error mark parser on any byte stream, fed in pieces of any size. The characters
// it gives must not depend on where the stream was cut, and a stream the tty could have made
// (each character escaped as the tty escapes it) must come back character for character.
//
// Input: one byte whose bits pick the piece sizes, then the stream. The stream's bytes are also
// read as characters (bit 0 of every second byte a mark) and escaped as the tty would escape
// them.
#include "platform/parmrk_parser.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

std::vector<vr410::ReceivedByte> Parse(const uint8_t* raw, size_t count, uint8_t cuts) {
    vr410::ParmrkParser parser;
    std::vector<vr410::ReceivedByte> out;
    size_t done = 0;
    for (unsigned piece = 0; done < count; ++piece) {
        const size_t size = std::min<size_t>(count - done, ((cuts >> (piece % 8)) & 7) + 1);
        parser.Feed(raw + done, size, out);
        done += size;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vr410::ReceivedByte;
    if (size < 1) {
        return 0;
    }
    const uint8_t cuts = data[0];
    const uint8_t* stream = data + 1;
    const size_t count = size - 1;

    // Any stream: the same characters whole or in pieces, never more than the bytes given.
    const auto whole = Parse(stream, count, 0xFF);
    const auto pieces = Parse(stream, count, cuts);
    Require(whole == pieces, "the characters do not depend on the cuts");
    Require(whole.size() <= count, "no more characters than bytes");

    // The tty's own encoding comes back exactly.
    std::vector<ReceivedByte> sent;
    std::vector<uint8_t> escaped;
    for (size_t i = 0; i + 1 < count; i += 2) {
        const ReceivedByte c{.Value = stream[i], .Marked = (stream[i + 1] & 1) != 0};
        sent.push_back(c);
        if (c.Marked) {
            escaped.insert(escaped.end(), {0xFF, 0x00, c.Value});
        } else if (c.Value == 0xFF) {
            escaped.insert(escaped.end(), {0xFF, 0xFF});
        } else {
            escaped.push_back(c.Value);
        }
    }
    Require(Parse(escaped.data(), escaped.size(), cuts) == sent, "escaped characters return");
    return 0;
}
