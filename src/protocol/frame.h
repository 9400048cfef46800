// Packet frame of the instrument bus: an address byte (sent with the ninth bit set), then the
// message M[0..L] cut into blocks of at most 15 bytes, each followed by its check byte.
#pragma once

#include "wire_constants.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vr410 {

// The record handed to and filled by the links. Only Head[0], the address byte, is used.
// A receiving link stores at most PacketCapacity body bytes; when more came it may say so with
// a BodyLength above PacketCapacity (nothing is stored past Body), and validation then
// refuses the answer on its length.
struct PacketRecord {
    std::array<uint8_t, PacketCapacity> Head{};
    std::array<uint8_t, PacketCapacity> Body{};
    uint8_t HeadLength = 0;
    uint8_t BodyLength = 0;
};

// A request (or, in the virtual instrument, an answer) before it is cut into blocks:
// position 0 the address byte, positions 1..L+1 the message bytes M[0..L].
using FrameBytes = std::array<uint8_t, FrameCapacity>;

// MSB-first CRC-8 table of 0xCA (the CRC-7 polynomial 0x65 shifted left by one), built at
// compile time; BlockCheck uses it one lookup per byte.
extern const std::array<uint8_t, 256> Crc7Table;

// 1 when b has an odd number of 1-bits, else 0.
uint8_t Parity(uint8_t b);

// Check byte of the first n (1..15) bytes of a block; see frame.cpp for the parameter set.
// n = 0 gives 0xFF (the check of nothing), which answer checks of truncated blocks rely on.
uint8_t BlockCheck(const uint8_t* block, size_t n);

// Body length on the wire of a message with length byte L: L + 2, plus one per extra block.
size_t ExpectedBodyLength(size_t L);

// Fills packet from frame: Head[0] = frame[0], the body block by block with its check bytes.
// A frame whose L would not fit the 41-byte body (L > 37) yields a packet with BodyLength 0.
void BuildPacket(const FrameBytes& frame, PacketRecord& packet);

// Answer side. True when the body length agrees with L = Body[0] (false for an empty body or
// one longer than the record).
bool AnswerLengthValid(const PacketRecord& packet);
// True when block k's (0, 1, 2) check byte is right, or the block is absent. The blocks are
// cut by the body length: block 0 is Body[0..min(B,16)-2], block 1 starts at 16, block 2 at 32.
bool AnswerBlockValid(const PacketRecord& packet, int block);

// Message byte M[k] of a received body (k counts message bytes, skipping the check bytes);
// 0 when k is past the message's own length L = Body[0], past the bytes received (BodyLength)
// or past the record, so a short answer never shows bytes a longer one left in the record.
uint8_t MessageByte(const PacketRecord& packet, size_t k);

// Packet monitor texts: every byte as two upper-case hex digits and one blank.
// Send line: the address byte, then the first min(BodyLength, 16) body bytes.
std::string SendLine(const PacketRecord& tx);
// Receive line: the address byte when one came, then every body byte received.
std::string ReceiveLine(const PacketRecord& rx);

} // namespace vr410
