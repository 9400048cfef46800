// Packet frame: blocks of at most 15 message bytes, each closed by a check byte.
//
// Check byte of a block of n bytes, full parameter set:
//   CRC-7, generator x^7 + x^6 + x^5 + x^2 + 1 (0x65), width 7, initial register 0,
//   input and output not reflected (most significant bit of each byte first), final XOR 0.
//   It is computed with an 8-bit register and the ordinary MSB-first CRC-8 table of 0xCA
//   (0x65 shifted left by one): R = 0; for each byte b, R = T[R ^ b]; CRC-7 = R >> 1.
//   P = 0x80 when the block holds an odd number of 1-bits, else 0.
//   Check byte = NOT(CRC-7 OR P). Bits 6..0 carry the complemented CRC-7; bit 7 makes the
//   block plus its check byte hold an odd number of 1-bits, so bit 7 alone already catches
//   every single-bit error.
// Examples: 03 44 00 01 gives 0x74, 61 62 63 ("abc") gives 0xE6, a lone 00 gives 0xFF.
#include "protocol/frame.h"

#include <algorithm>
#include <bit>

namespace vr410 {

namespace {

constexpr uint8_t Crc8Polynomial = 0xCA; // 0x65 << 1

constexpr std::array<uint8_t, 256> MakeCrc7Table() {
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 0x80) ? ((r << 1) ^ Crc8Polynomial) : (r << 1);
        }
        table[i] = static_cast<uint8_t>(r);
    }
    return table;
}

char HexDigit(unsigned v) {
    return "0123456789ABCDEF"[v & 0xF];
}

void AppendHexByte(std::string& out, uint8_t b) {
    out += HexDigit(b >> 4);
    out += HexDigit(b);
    out += ' ';
}

// Copies n message bytes from M[first] on (frame position first + 1) into body position to,
// then the check byte right after them. Returns the number of body bytes written (n + 1).
size_t PutBlock(const FrameBytes& frame, size_t first, size_t n, PacketRecord& packet, size_t to) {
    const size_t from = first + 1;
    std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(from), n,
                packet.Body.begin() + static_cast<std::ptrdiff_t>(to));
    packet.Body[to + n] = BlockCheck(&frame[from], n);
    return n + 1;
}

} // namespace

constexpr std::array<uint8_t, 256> Crc7Table = MakeCrc7Table();

static_assert(Crc7Table[1] == 0xCA && Crc7Table[2] == 0x5E && Crc7Table[3] == 0x94);
static_assert(Crc7Table[128] == 0x06 && Crc7Table[255] == 0x42);

uint8_t Parity(uint8_t b) {
    return static_cast<uint8_t>(std::popcount(b) & 1);
}

uint8_t BlockCheck(const uint8_t* block, size_t n) {
    uint8_t r = 0;
    int ones = 0;
    for (size_t i = 0; i < n; ++i) {
        r = Crc7Table[r ^ block[i]];
        ones += std::popcount(block[i]);
    }
    const uint8_t crc7 = r >> 1;
    const uint8_t p = (ones & 1) ? 0x80 : 0x00;
    return static_cast<uint8_t>(~(crc7 | p));
}

size_t ExpectedBodyLength(size_t L) {
    return L + 2 + (L > LastByteOfBlock0 ? 1 : 0) + (L > LastByteOfBlock1 ? 1 : 0);
}

void BuildPacket(const FrameBytes& frame, PacketRecord& packet) {
    packet.HeadLength = 0;
    packet.BodyLength = 0;
    packet.Head[0] = frame[0];
    packet.HeadLength = 1;

    const size_t L = frame[1];
    if (L > MaxMessageLength) {
        return;
    }
    size_t length = PutBlock(frame, 0, std::min(L + 1, MaxBlockBytes), packet, 0);
    if (L > LastByteOfBlock0) {
        length += PutBlock(frame, LastByteOfBlock0 + 1,
                           std::min(L - LastByteOfBlock0, MaxBlockBytes), packet, Block1Start);
    }
    if (L > LastByteOfBlock1) {
        length += PutBlock(frame, LastByteOfBlock1 + 1, L - LastByteOfBlock1, packet, Block2Start);
    }
    packet.BodyLength = static_cast<uint8_t>(length);
}

bool AnswerLengthValid(const PacketRecord& packet) {
    const size_t B = packet.BodyLength;
    if (B == 0 || B > PacketCapacity) {
        return false;
    }
    return B == ExpectedBodyLength(packet.Body[0]);
}

bool AnswerBlockValid(const PacketRecord& packet, int block) {
    const size_t B = packet.BodyLength;
    if (B > PacketCapacity) {
        return false; // more came than the record holds: the bytes to check are gone
    }
    size_t start = 0;
    size_t n = 0;
    switch (block) {
    case 0:
        if (B == 0) {
            return true;
        }
        n = std::min<size_t>(B, Block1Start) - 1;
        break;
    case 1:
        if (B <= Block1Start) {
            return true;
        }
        start = Block1Start;
        n = std::min<size_t>(B - Block1Start, MaxBlockBytes + 1) - 1;
        break;
    case 2:
        if (B <= Block2Start) {
            return true;
        }
        start = Block2Start;
        n = B - Block2Start - 1;
        break;
    default:
        return true;
    }
    return packet.Body[start + n] == BlockCheck(&packet.Body[start], n);
}

uint8_t MessageByte(const PacketRecord& packet, size_t k) {
    // Past the message's own length the record may still hold an earlier, longer answer.
    if (packet.BodyLength == 0 || k > packet.Body[0]) {
        return 0;
    }
    const size_t position = k <= LastByteOfBlock0 ? k : (k <= LastByteOfBlock1 ? k + 1 : k + 2);
    const size_t received = std::min<size_t>(packet.BodyLength, PacketCapacity);
    return position < received ? packet.Body[position] : 0;
}

std::string SendLine(const PacketRecord& tx) {
    std::string line;
    AppendHexByte(line, tx.Head[0]);
    const size_t n = std::min<size_t>(tx.BodyLength, Block1Start); // block 0 and its check
    for (size_t i = 0; i < n; ++i) {
        AppendHexByte(line, tx.Body[i]);
    }
    return line;
}

std::string ReceiveLine(const PacketRecord& rx) {
    std::string line;
    if (rx.HeadLength > 0) {
        AppendHexByte(line, rx.Head[0]);
    }
    const size_t n = std::min<size_t>(rx.BodyLength, PacketCapacity);
    for (size_t i = 0; i < n; ++i) {
        AppendHexByte(line, rx.Body[i]);
    }
    return line;
}

} // namespace vr410
