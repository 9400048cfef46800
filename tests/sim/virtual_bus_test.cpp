// The bus: framing by the ninth bit, addressing, check bytes, several devices, answer timing,
// the accessory, the request counter and how faults are handed out.
#include "sim/virtual_accessory.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace vr410::sim {
namespace {

using namespace std::chrono_literals;
using test::Hex;
using test::Request;

constexpr SimClock::time_point T0 = SimClock::time_point{} + 1s;

// Puts a packet on the line from the PC, one character per character time, and collects what
// the bus sends back.
std::vector<LineCharacter> Feed(VirtualBus& bus, const PacketRecord& packet,
                                SimClock::time_point start = T0, bool ninthBitOnAddress = true,
                                uint32_t errorsOnLast = 0) {
    std::vector<LineCharacter> replies;
    auto at = start;
    auto send = [&](uint8_t data, bool ninth, uint32_t errors) {
        at += CharacterTime57600;
        auto r = bus.OnCharacterFromPc(
            {.Data = data, .NinthBit = ninth, .Arrival = at, .LineErrors = errors}, true);
        replies.insert(replies.end(), r.begin(), r.end());
    };
    send(packet.Head[0], ninthBitOnAddress, 0);
    for (size_t i = 0; i < packet.BodyLength; ++i) {
        send(packet.Body[i], false, i + 1 == packet.BodyLength ? errorsOnLast : 0);
    }
    return replies;
}

PacketRecord PacketOf(const FrameBytes& frame) {
    PacketRecord packet;
    BuildPacket(frame, packet);
    return packet;
}

// The answer characters back as a packet record, the way a receiver splits them.
PacketRecord Received(const std::vector<LineCharacter>& line) {
    PacketRecord rx;
    if (line.empty()) {
        return rx;
    }
    rx.Head[0] = line[0].Data;
    rx.HeadLength = 1;
    for (size_t i = 1; i < line.size() && i <= PacketCapacity; ++i) {
        rx.Body[rx.BodyLength++] = line[i].Data;
    }
    return rx;
}

class Bus : public ::testing::Test {
  protected:
    Bus()
        : Instrument(Line.AddDevice<VirtualInstrument>(VirtualInstrumentConfig{.Seed = 1})),
          Accessory(Line.AddDevice<VirtualAccessory>()) {}

    VirtualBus Line;
    VirtualInstrument& Instrument;
    VirtualAccessory& Accessory;
};

struct AddressingCase {
    const char* Name;
    uint8_t Address;
    bool NinthBitOnAddress;
    bool CorruptCheck;
    uint32_t LineErrorOnLast;
    bool Answered;
};

void PrintTo(const AddressingCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const AddressingCase AddressingCases[] = {
    {.Name = "InstrumentAtItsAddressAnswers",  .Address = 1,   .NinthBitOnAddress = true,  .CorruptCheck = false, .LineErrorOnLast = 0,        .Answered = true},
    {.Name = "AccessoryAt251Answers",          .Address = 251, .NinthBitOnAddress = true,  .CorruptCheck = false, .LineErrorOnLast = 0,        .Answered = true},
    {.Name = "NobodyAtAddress2",               .Address = 2,   .NinthBitOnAddress = true,  .CorruptCheck = false, .LineErrorOnLast = 0,        .Answered = false},
    {.Name = "AddressWithoutTheNinthBitStartsNoFrame", .Address = 1, .NinthBitOnAddress = false, .CorruptCheck = false, .LineErrorOnLast = 0, .Answered = false},
    {.Name = "WrongCheckByteIsIgnored",        .Address = 1,   .NinthBitOnAddress = true,  .CorruptCheck = true,  .LineErrorOnLast = 0,        .Answered = false},
    {.Name = "DamagedCharacterSpoilsTheFrame", .Address = 1,   .NinthBitOnAddress = true,  .CorruptCheck = false, .LineErrorOnLast = 0x8,      .Answered = false},
};
// clang-format on

class BusAddressing : public Bus, public ::testing::WithParamInterface<AddressingCase> {};

TEST_P(BusAddressing, OnlyTheAddressedDeviceAnswersASoundFrame) {
    const AddressingCase& c = GetParam();
    PacketRecord packet = PacketOf(Request(c.Address, 8));
    if (c.CorruptCheck) {
        packet.Body[packet.BodyLength - 1] ^= 0x01;
    }
    const auto replies = Feed(Line, packet, T0, c.NinthBitOnAddress, c.LineErrorOnLast);
    EXPECT_EQ(!replies.empty(), c.Answered);
    EXPECT_EQ(Line.RequestCount(8), c.Answered ? 1u : 0u);
    if (c.Answered) {
        const PacketRecord rx = Received(replies);
        EXPECT_EQ(rx.Head[0], 0) << "to the request's source";
        EXPECT_EQ(rx.Body[2], c.Address) << "from the device's own address";
        EXPECT_EQ(rx.Body[1], 0x04) << "answer control byte";
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, BusAddressing, ::testing::ValuesIn(AddressingCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(Bus, AnswerStartsAfterTheTurnaroundAtTheCharacterTime) {
    const PacketRecord packet = PacketOf(Request(1, 1));
    const auto requestEnd = T0 + (1 + packet.BodyLength) * CharacterTime57600;
    const auto replies = Feed(Line, packet);
    ASSERT_EQ(replies.size(), 6u);
    EXPECT_EQ(replies[0].Arrival, requestEnd + 1ms + CharacterTime57600);
    for (size_t i = 1; i < replies.size(); ++i) {
        EXPECT_EQ(replies[i].Arrival - replies[i - 1].Arrival, CharacterTime57600);
        EXPECT_FALSE(replies[i].NinthBit);
    }
    EXPECT_TRUE(replies[0].NinthBit) << "the answer's address byte carries the ninth bit";
}

TEST_F(Bus, AnswerToAPcAtAnotherAddressGoesThere) {
    const auto replies = Feed(Line, PacketOf(Request(1, 8, {}, 9)));
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(replies[0].Data, 9);
}

TEST_F(Bus, SeveralInstrumentsAnswerEachFromItsOwnAddress) {
    Line.AddDevice<VirtualInstrument>(VirtualInstrumentConfig{.Address = 7, .Seed = 1});
    EXPECT_EQ(Received(Feed(Line, PacketOf(Request(7, 8)))).Body[2], 7);
    EXPECT_EQ(Received(Feed(Line, PacketOf(Request(1, 8)))).Body[2], 1);
    EXPECT_EQ(Line.RequestCount(8), 2u);
}

TEST_F(Bus, NewAddressHoldsFromTheNextRequest) {
    const PacketRecord rx = Received(Feed(Line, PacketOf(Request(1, 6, Hex("1E 50 05")))));
    EXPECT_EQ(rx.Body[2], 1) << "the acknowledgement still comes from the old address";
    EXPECT_TRUE(Feed(Line, PacketOf(Request(1, 8))).empty());
    EXPECT_FALSE(Feed(Line, PacketOf(Request(5, 8))).empty());
}

TEST_F(Bus, ANinthBitCharacterRestartsAnUnfinishedFrame) {
    PacketRecord partial = PacketOf(Request(1, 16, Hex("01 00 00 00 02 03 E8")));
    partial.BodyLength = 5;
    EXPECT_TRUE(Feed(Line, partial).empty());
    EXPECT_FALSE(Feed(Line, PacketOf(Request(1, 8)), T0 + 10ms).empty());
    EXPECT_EQ(Line.TotalRequests(), 1u);
}

TEST_F(Bus, LongAnswerIsCutIntoThreeBlocksWithSoundChecks) {
    for (uint8_t code = 1; code <= 31; ++code) {
        Instrument.MutableState().ErrorList.push_back(code);
    }
    const PacketRecord rx = Received(Feed(Line, PacketOf(Request(1, 5))));
    EXPECT_EQ(rx.BodyLength, 41);
    EXPECT_TRUE(AnswerLengthValid(rx));
    EXPECT_TRUE(AnswerBlockValid(rx, 0));
    EXPECT_TRUE(AnswerBlockValid(rx, 1));
    EXPECT_TRUE(AnswerBlockValid(rx, 2));
}

TEST_F(Bus, AccessorySetsAndReadsItsBandAndFactor) {
    EXPECT_EQ(Received(Feed(Line, PacketOf(Request(251, 17)))).Body[4], 0xFF) << "in reset";
    Feed(Line, PacketOf(Request(251, 16, Hex("31"))));
    EXPECT_EQ(Received(Feed(Line, PacketOf(Request(251, 17)))).Body[4], 0x31);
    const PacketRecord refused = Received(Feed(Line, PacketOf(Request(251, 16, Hex("70")))));
    EXPECT_EQ(refused.Body[3], 0xAA) << "band 7 and factor 0 do not exist";
    EXPECT_EQ(Accessory.BandFactor(), 0x31);
    Feed(Line, PacketOf(Request(251, 1)));
    EXPECT_EQ(Accessory.BandFactor(), 0xFF);
    EXPECT_TRUE(Feed(Line, PacketOf(Request(251, 5))).empty()) << "no parameters to read";
}

TEST_F(Bus, QueuedFaultsApplyOnePerAnsweredExchangeInOrder) {
    Line.Faults().Queue(LineFault::NoAnswer);
    Line.Faults().Queue(LineFault::AddressOnly);
    EXPECT_TRUE(Feed(Line, PacketOf(Request(2, 8))).empty());
    EXPECT_EQ(Line.Faults().QueuedCount(), 2u) << "a frame nobody takes uses no fault";
    EXPECT_TRUE(Feed(Line, PacketOf(Request(1, 8))).empty());
    EXPECT_EQ(Feed(Line, PacketOf(Request(1, 8))).size(), 1u);
    EXPECT_EQ(Feed(Line, PacketOf(Request(1, 8))).size(), 6u);
    EXPECT_EQ(Line.RequestCount(8), 3u) << "silenced requests still count";
}

TEST_F(Bus, LateAndSplitAnswersKeepTheirCharactersButMoveThem) {
    const PacketRecord packet = PacketOf(Request(1, 1));
    const auto requestEnd = T0 + (1 + packet.BodyLength) * CharacterTime57600;
    Line.Faults().Queue(LineFault::LateAnswer);
    const auto late = Feed(Line, packet);
    ASSERT_EQ(late.size(), 6u);
    EXPECT_GE(late[0].Arrival - requestEnd, 150ms);

    Line.Faults().Queue(LineFault::SplitAnswer);
    const auto split = Feed(Line, packet);
    ASSERT_EQ(split.size(), 6u);
    EXPECT_GE(split[3].Arrival - split[2].Arrival, 40ms);
}

TEST(FaultInjector, RateDrawsTheSameFaultsFromTheSameSeed) {
    auto draw = [](uint32_t seed) {
        FaultInjector faults;
        faults.SetRate(0.3, {LineFault::NoAnswer, LineFault::CorruptBlock0Bit}, seed);
        std::vector<int> seen;
        for (int i = 0; i < 200; ++i) {
            const auto f = faults.NextExchange();
            seen.push_back(f ? static_cast<int>(*f) : -1);
        }
        return seen;
    };
    const auto a = draw(11);
    EXPECT_EQ(a, draw(11));
    const auto faulted = std::count_if(a.begin(), a.end(), [](int f) { return f >= 0; });
    EXPECT_GT(faulted, 30);
    EXPECT_LT(faulted, 90);

    FaultInjector off;
    off.SetRate(0.0, {LineFault::NoAnswer}, 1);
    EXPECT_FALSE(off.NextExchange());
}

} // namespace
} // namespace vr410::sim
