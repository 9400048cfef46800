#include "sim/virtual_bus.h"

#include <numeric>

namespace vr410::sim {

VirtualBus::VirtualBus(const LineTiming& timing) : Timing_(timing) {}

uint32_t VirtualBus::TotalRequests() const {
    return std::accumulate(RequestCounts_.begin(), RequestCounts_.end(), 0u);
}

BusDevice* VirtualBus::DeviceAt(uint8_t address) const {
    for (const auto& device : Devices_) {
        if (device->Address() == address) {
            return device.get();
        }
    }
    return nullptr;
}

std::vector<LineCharacter> VirtualBus::OnCharacterFromPc(const LineCharacter& sent,
                                                         bool /*rtsRaised*/) {
    if (sent.NinthBit) {
        // An address character starts a new frame whatever came before; every device compares
        // it with its own address, and only the one that matches listens on.
        Assembling_ = true;
        Damaged_ = sent.LineErrors != 0;
        Target_ = DeviceAt(sent.Data);
        Frame_ = {};
        Frame_.Head[0] = sent.Data;
        Frame_.HeadLength = 1;
        ExpectedBody_ = 0;
        return {};
    }
    if (!Assembling_) {
        return {}; // line noise between frames
    }
    Damaged_ = Damaged_ || sent.LineErrors != 0;
    Frame_.Body[Frame_.BodyLength++] = sent.Data;
    if (Frame_.BodyLength == 1) {
        if (sent.Data > MaxMessageLength) {
            Assembling_ = false; // cannot be a frame of this bus
            ++IgnoredFrames_;
            return {};
        }
        ExpectedBody_ = ExpectedBodyLength(sent.Data);
    }
    if (Frame_.BodyLength < ExpectedBody_) {
        return {};
    }
    Assembling_ = false;
    return FrameComplete(sent.Arrival);
}

std::vector<LineCharacter> VirtualBus::FrameComplete(SimClock::time_point end) {
    const bool sound = !Damaged_ && AnswerBlockValid(Frame_, 0) && AnswerBlockValid(Frame_, 1) &&
                       AnswerBlockValid(Frame_, 2);
    if (Target_ == nullptr || !sound) {
        ++IgnoredFrames_;
        return {};
    }
    FrameBytes request{};
    request[0] = Frame_.Head[0];
    const size_t L = Frame_.Body[0];
    for (size_t k = 0; k <= L; ++k) {
        request[k + 1] = MessageByte(Frame_, k);
    }
    ++RequestCounts_[request[4]];

    const std::optional<FrameBytes> answer = Target_->HandleRequest(request, end);
    if (!answer) {
        return {};
    }
    return AnswerCharacters(*answer, Faults_.NextExchange(), end, Timing_);
}

} // namespace vr410::sim
