#include "sim/line_fault.h"

#include "platform/serial_api.h"

#include <algorithm>

namespace vr410::sim {

namespace {

// Faults that change what the device says; the frame builder then makes the check bytes agree,
// so the answer checks see a sound frame with the wrong content.
void ApplyToMessage(LineFault fault, FrameBytes& answer) {
    switch (fault) {
    case LineFault::WrongSourceAddress:
        answer[3] = static_cast<uint8_t>(answer[3] + 1);
        break;
    case LineFault::WrongDestinationAddress:
        answer[0] = static_cast<uint8_t>(answer[0] + 1);
        break;
    case LineFault::RequestFlag:
        answer[2] |= RequestFlagBit;
        break;
    case LineFault::TransferError:
        answer[2] |= TransferErrorBit;
        break;
    case LineFault::WrongDeviceType:
        answer[2] = static_cast<uint8_t>((answer[2] & ~DeviceTypeMask) | (DeviceType + 1));
        break;
    case LineFault::WrongFunctionCode:
        answer[4] ^= 0x80; // never turns a command code into the error code 0xAA
        break;
    default:
        break;
    }
}

// Body position of the bit flipped for a corrupted block: a payload byte of the requested
// block, or of the last block the answer has when it is shorter.
size_t CorruptedPosition(int block, size_t bodyLength) {
    if (block >= 2 && bodyLength > Block2Start + 1) {
        return Block2Start + 1;
    }
    if (block >= 1 && bodyLength > Block1Start + 1) {
        return Block1Start + 1;
    }
    return std::min<size_t>(3, bodyLength - 1); // the function code M[3]
}

// Faults that damage the built packet on its way over the line.
void ApplyToPacket(LineFault fault, PacketRecord& packet) {
    switch (fault) {
    case LineFault::CorruptBlock0Bit:
        packet.Body[CorruptedPosition(0, packet.BodyLength)] ^= 0x01;
        break;
    case LineFault::CorruptBlock1Bit:
        packet.Body[CorruptedPosition(1, packet.BodyLength)] ^= 0x01;
        break;
    case LineFault::CorruptBlock2Bit:
        packet.Body[CorruptedPosition(2, packet.BodyLength)] ^= 0x01;
        break;
    case LineFault::WrongLength:
        ++packet.Body[0];
        break;
    case LineFault::AddressOnly:
        packet.BodyLength = 0;
        break;
    default:
        break;
    }
}

} // namespace

void FaultInjector::Queue(LineFault fault) {
    Queued_.push_back(fault);
}

void FaultInjector::SetRate(double probability, std::vector<LineFault> kinds, uint32_t seed) {
    Probability_ = kinds.empty() ? 0.0 : probability;
    Kinds_ = std::move(kinds);
    Random_.seed(seed);
}

void FaultInjector::Clear() {
    Queued_.clear();
    Probability_ = 0.0;
    Kinds_.clear();
}

std::optional<LineFault> FaultInjector::NextExchange() {
    if (!Queued_.empty()) {
        const LineFault fault = Queued_.front();
        Queued_.pop_front();
        return fault;
    }
    if (Probability_ <= 0.0) {
        return std::nullopt;
    }
    // Drawn from the raw generator output so that a seed gives the same faults on every
    // standard library.
    const double draw = static_cast<double>(Random_()) / 4294967296.0;
    if (draw >= Probability_) {
        return std::nullopt;
    }
    return Kinds_[Random_() % Kinds_.size()];
}

std::vector<LineCharacter> AnswerCharacters(FrameBytes answer, std::optional<LineFault> fault,
                                            SimClock::time_point requestEnd,
                                            const LineTiming& timing) {
    if (fault == LineFault::NoAnswer) {
        return {};
    }
    if (fault) {
        ApplyToMessage(*fault, answer);
    }
    PacketRecord packet;
    BuildPacket(answer, packet);
    if (fault && packet.BodyLength > 0) {
        ApplyToPacket(*fault, packet);
    }

    std::vector<LineCharacter> line;
    line.reserve(1 + packet.BodyLength);
    line.push_back({.Data = packet.Head[0], .NinthBit = true});
    for (size_t i = 0; i < packet.BodyLength; ++i) {
        line.push_back({.Data = packet.Body[i], .NinthBit = false});
    }

    const auto turnaround =
        fault == LineFault::LateAnswer ? timing.LateTurnaround : timing.Turnaround;
    const size_t splitAt = fault == LineFault::SplitAnswer ? line.size() / 2 : line.size();
    auto arrival = requestEnd + std::chrono::duration_cast<SimClock::duration>(turnaround);
    for (size_t i = 0; i < line.size(); ++i) {
        if (i == splitAt && i > 0) {
            arrival += std::chrono::duration_cast<SimClock::duration>(timing.SplitPause);
        }
        arrival += std::chrono::duration_cast<SimClock::duration>(timing.CharacterTime);
        line[i].Arrival = arrival;
    }

    // A damaged character shows in the receiver's flags together with the parity error the
    // address byte always raises, so the damage is put on the address byte: the flags the PC
    // reads are then the same however fast it polls.
    if (fault == LineFault::FramingError) {
        line.front().LineErrors |= CE_FRAME;
    }
    if (fault == LineFault::OverrunError) {
        line.front().LineErrors |= CE_OVERRUN;
    }
    if (fault == LineFault::ParityErrorFirstByte) {
        line.front().LineErrors |= CE_RXPARITY;
    }
    return line;
}

} // namespace vr410::sim
