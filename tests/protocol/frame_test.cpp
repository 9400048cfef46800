// Frame, check byte and packet record, against the worked examples as hex literals.
#include "protocol/frame.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace vr410 {
namespace {

using test::BodyOf;
using test::Hex;

FrameBytes FrameOf(uint8_t address, const std::vector<uint8_t>& message) {
    FrameBytes frame{};
    frame[0] = address;
    std::copy(message.begin(), message.end(), frame.begin() + 1);
    return frame;
}

// Independent of the table: the CRC-7 shifted through a 7-bit register bit by bit.
uint8_t BitwiseCrc7(const std::vector<uint8_t>& data) {
    unsigned reg = 0;
    for (uint8_t b : data) {
        for (int bit = 7; bit >= 0; --bit) {
            const unsigned in = (b >> bit) & 1u;
            const unsigned top = (reg >> 6) & 1u;
            reg = (reg << 1) & 0x7F;
            if (top ^ in) {
                reg ^= 0x65;
            }
        }
    }
    return static_cast<uint8_t>(reg);
}

uint8_t BitwiseCheck(const std::vector<uint8_t>& data) {
    int ones = 0;
    for (uint8_t b : data) {
        for (int bit = 0; bit < 8; ++bit) {
            ones += (b >> bit) & 1;
        }
    }
    return static_cast<uint8_t>(~(BitwiseCrc7(data) | (ones % 2 ? 0x80 : 0)));
}

TEST(Crc7Table, EveryEntryMatchesABitwiseCrc8OfPolynomial0xCA) {
    for (unsigned i = 0; i < 256; ++i) {
        // Bit by bit, MSB first, over a 9-bit shift: the byte i followed by eight zero bits.
        unsigned reg = i << 8;
        for (int bit = 15; bit >= 8; --bit) {
            if (reg & (1u << bit)) {
                reg ^= 0x1CAu << (bit - 8);
            }
        }
        EXPECT_EQ(Crc7Table[i], reg & 0xFF) << "entry " << i;
    }
}

TEST(Crc7Table, NamedEntries) {
    EXPECT_EQ(Crc7Table[1], 0xCA);
    EXPECT_EQ(Crc7Table[2], 0x5E);
    EXPECT_EQ(Crc7Table[3], 0x94);
    EXPECT_EQ(Crc7Table[128], 0x06);
    EXPECT_EQ(Crc7Table[255], 0x42);
    for (uint8_t v : Crc7Table) {
        EXPECT_EQ(v & 1, 0) << "every entry of a table of 0x65 << 1 is even";
    }
}

TEST(Crc7Table, TableCrcEqualsBitwiseCrc7OnEveryTwoByteBlock) {
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; b += 7) {
            const std::vector<uint8_t> block{static_cast<uint8_t>(a), static_cast<uint8_t>(b)};
            ASSERT_EQ(BlockCheck(block.data(), block.size()), BitwiseCheck(block)) << a << " " << b;
        }
    }
}

struct CheckCase {
    const char* name;
    const char* block;
    uint8_t crc7;
    uint8_t check;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class BlockCheckExamples : public ::testing::TestWithParam<CheckCase> {};

TEST_P(BlockCheckExamples, GiveTheCheckByte) {
    const auto block = Hex(GetParam().block);
    EXPECT_EQ(BitwiseCrc7(block), GetParam().crc7);
    EXPECT_EQ(BlockCheck(block.data(), block.size()), GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, BlockCheckExamples,
                         ::testing::Values(CheckCase{"ResetRequest", "03 44 00 01", 0x0B, 0x74},
                                           CheckCase{"Abc", "61 62 63", 0x19, 0xE6},
                                           CheckCase{"LoneZero", "00", 0x00, 0xFF}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(BlockCheck, OfNothingIsFF) {
    EXPECT_EQ(BlockCheck(nullptr, 0), 0xFF);
}

TEST(BlockCheck, EverySingleBitFlipOfAFullBlockChangesTheCheck) {
    std::vector<uint8_t> block = Hex("0E 44 01 05 1E 50 00 01 02 03 04 05 06 07 08");
    const uint8_t good = BlockCheck(block.data(), block.size());
    for (size_t i = 0; i < block.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            block[i] ^= static_cast<uint8_t>(1 << bit);
            EXPECT_NE(BlockCheck(block.data(), block.size()), good) << i << ":" << bit;
            block[i] ^= static_cast<uint8_t>(1 << bit);
        }
    }
}

TEST(Parity, IsOneForAnOddNumberOfOnes) {
    EXPECT_EQ(Parity(0x00), 0);
    EXPECT_EQ(Parity(0x01), 1);
    EXPECT_EQ(Parity(0x03), 0);
    EXPECT_EQ(Parity(0x80), 1);
    EXPECT_EQ(Parity(0xFF), 0);
    EXPECT_EQ(Parity(0xFE), 1);
}

TEST(BuildPacket, ResetRequestMatchesTheWorkedExample) {
    PacketRecord p;
    BuildPacket(FrameOf(0x01, Hex("03 44 00 01")), p);
    EXPECT_EQ(p.HeadLength, 1);
    EXPECT_EQ(p.Head[0], 0x01);
    EXPECT_EQ(BodyOf(p), Hex("03 44 00 01 74"));
    EXPECT_EQ(SendLine(p), "01 03 44 00 01 74 ");
}

TEST(BuildPacket, SetOutputMatchesTheWorkedExample) {
    PacketRecord p;
    BuildPacket(FrameOf(0x01, Hex("0A 44 00 10 01 00 00 00 02 03 E8")), p);
    EXPECT_EQ(BodyOf(p), Hex("0A 44 00 10 01 00 00 00 02 03 E8 30"));
}

struct LengthCase {
    size_t L;
    size_t bodyLength;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << "L" << c.L << " (body of " << c.bodyLength << " bytes)";
}

class BodyLengths : public ::testing::TestWithParam<LengthCase> {};

// The message M[k] = k + 1 (M[0] = L), so every byte can be traced to its body position.
TEST_P(BodyLengths, FollowTheBlockLayout) {
    const size_t L = GetParam().L;
    FrameBytes frame{};
    frame[0] = 7;
    frame[1] = static_cast<uint8_t>(L);
    for (size_t k = 1; k <= L; ++k) {
        frame[k + 1] = static_cast<uint8_t>(k + 1);
    }
    PacketRecord p;
    BuildPacket(frame, p);
    ASSERT_EQ(p.BodyLength, GetParam().bodyLength);
    EXPECT_EQ(ExpectedBodyLength(L), GetParam().bodyLength);
    EXPECT_TRUE(AnswerLengthValid(p));
    for (int block = 0; block < 3; ++block) {
        EXPECT_TRUE(AnswerBlockValid(p, block)) << "block " << block;
    }
    for (size_t k = 0; k <= L; ++k) {
        EXPECT_EQ(MessageByte(p, k), frame[k + 1]) << "M[" << k << "]";
    }
    // Checks sit at 15 and 31 when the next block exists, and right after the last byte.
    const std::vector<uint8_t> block0(frame.begin() + 1,
                                      frame.begin() + 1 + std::min<size_t>(L + 1, 15));
    EXPECT_EQ(p.Body[block0.size()], BlockCheck(block0.data(), block0.size()));
    if (L > 14) {
        EXPECT_EQ(block0.size(), 15u);
        const size_t s1 = std::min<size_t>(L - 14, 15);
        EXPECT_EQ(p.Body[16 + s1], BlockCheck(&frame[16], s1));
    }
    if (L > 29) {
        EXPECT_EQ(p.Body[32 + (L - 29)], BlockCheck(&frame[31], L - 29));
    }
}

INSTANTIATE_TEST_SUITE_P(AroundTheBlockEdges, BodyLengths,
                         ::testing::Values(LengthCase{3, 5}, LengthCase{10, 12}, LengthCase{14, 16},
                                           LengthCase{15, 18}, LengthCase{29, 32},
                                           LengthCase{30, 34}, LengthCase{37, 41}),
                         [](const auto& c) { return "L" + std::to_string(c.param.L); });

// A record that held a read-output answer (L = 10) receives a reset answer (L = 3) over it,
// the lengths set anew and the old bytes still behind the new check byte.
TEST(MessageByte, PastTheAnswersOwnLengthReadsZero) {
    FrameBytes longer{};
    const std::vector<uint8_t> readOutput = Hex("0A 04 01 11 01 23 45 67 02 03 E8");
    std::copy(readOutput.begin(), readOutput.end(), longer.begin() + 1);
    PacketRecord p;
    BuildPacket(longer, p);
    FrameBytes shorter{};
    const std::vector<uint8_t> reset = Hex("03 04 01 01");
    std::copy(reset.begin(), reset.end(), shorter.begin() + 1);
    PacketRecord fresh;
    BuildPacket(shorter, fresh);
    std::copy_n(fresh.Body.begin(), fresh.BodyLength, p.Body.begin());
    p.BodyLength = fresh.BodyLength;

    for (size_t k = 0; k <= 3; ++k) {
        EXPECT_EQ(MessageByte(p, k), reset[k]) << "M[" << k << "]";
    }
    for (size_t k = 4; k <= 40; ++k) {
        EXPECT_EQ(MessageByte(p, k), 0) << "M[" << k << "]";
    }
    p.BodyLength = 0;
    EXPECT_EQ(MessageByte(p, 0), 0) << "nothing received, nothing read";
}

TEST(BuildPacket, MessageLongerThanTheRecordYieldsAnEmptyBody) {
    FrameBytes frame{};
    frame[0] = 1;
    frame[1] = 38;
    PacketRecord p;
    p.BodyLength = 12;
    BuildPacket(frame, p);
    EXPECT_EQ(p.HeadLength, 1);
    EXPECT_EQ(p.BodyLength, 0);
}

TEST(AnswerLength, IsRefusedWhenEmptyOrLongerThanTheRecordOrDisagreeing) {
    PacketRecord p;
    BuildPacket(FrameOf(0x00, Hex("04 04 01 AA 05")), p);
    EXPECT_TRUE(AnswerLengthValid(p));
    p.BodyLength = 5;
    EXPECT_FALSE(AnswerLengthValid(p));
    p.BodyLength = 0;
    EXPECT_FALSE(AnswerLengthValid(p));
    p.Body[0] = 40; // L = 40 would need 44 body bytes
    p.BodyLength = 42;
    EXPECT_FALSE(AnswerLengthValid(p));
    p.BodyLength = 41;
    EXPECT_FALSE(AnswerLengthValid(p));
}

TEST(AnswerBlock, DetectsAWrongCheckInEachBlock) {
    FrameBytes frame{};
    frame[1] = 37;
    PacketRecord p;
    BuildPacket(frame, p);
    for (int block = 0; block < 3; ++block) {
        PacketRecord bad = p;
        const size_t checkPosition = block == 0 ? 15 : (block == 1 ? 31 : 40);
        bad.Body[checkPosition] ^= 0x01;
        for (int b = 0; b < 3; ++b) {
            EXPECT_EQ(AnswerBlockValid(bad, b), b != block) << block << " " << b;
        }
    }
}

TEST(AnswerBlock, AbsentBlocksPass) {
    PacketRecord p;
    EXPECT_TRUE(AnswerBlockValid(p, 0));
    BuildPacket(FrameOf(0, Hex("03 44 00 01")), p);
    EXPECT_TRUE(AnswerBlockValid(p, 1));
    EXPECT_TRUE(AnswerBlockValid(p, 2));
}

TEST(MonitorLines, SendLineStopsAfterSixteenBodyBytes) {
    FrameBytes frame{};
    frame[0] = 0x05;
    frame[1] = 20;
    PacketRecord p;
    BuildPacket(frame, p);
    ASSERT_EQ(p.BodyLength, 23);
    const std::string line = SendLine(p);
    EXPECT_EQ(line.size(), 17u * 3);
    EXPECT_EQ(line.substr(0, 6), "05 14 ");
}

TEST(MonitorLines, ReceiveLineShowsTheAddressOnlyWhenOneCame) {
    PacketRecord rx;
    EXPECT_EQ(ReceiveLine(rx), "");
    rx.HeadLength = 1;
    rx.Head[0] = 0x00;
    rx.Body[0] = 0x04;
    rx.Body[1] = 0xab;
    rx.BodyLength = 2;
    EXPECT_EQ(ReceiveLine(rx), "00 04 AB ");
    rx.HeadLength = 0;
    EXPECT_EQ(ReceiveLine(rx), "04 AB ");
    rx.BodyLength = 200; // never reads past the record
    EXPECT_EQ(ReceiveLine(rx).size(), PacketCapacity * 3);
}

} // namespace
} // namespace vr410
