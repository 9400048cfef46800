#include "sim/virtual_bus.h"

#include <numeric>

namespace vr410::sim {

VirtualBus::VirtualBus(const LineTiming& timing) : timing_(timing) {}

uint32_t VirtualBus::TotalRequests() const {
    return std::accumulate(requestCounts_.begin(), requestCounts_.end(), 0u);
}

BusDevice* VirtualBus::DeviceAt(uint8_t address) const {
    for (const auto& device : devices_) {
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
        assembling_ = true;
        damaged_ = sent.LineErrors != 0;
        target_ = DeviceAt(sent.Data);
        frame_ = {};
        frame_.Head[0] = sent.Data;
        frame_.HeadLength = 1;
        expectedBody_ = 0;
        return {};
    }
    if (!assembling_) {
        return {}; // line noise between frames
    }
    damaged_ = damaged_ || sent.LineErrors != 0;
    frame_.Body[frame_.BodyLength++] = sent.Data;
    if (frame_.BodyLength == 1) {
        if (sent.Data > MaxMessageLength) {
            assembling_ = false; // cannot be a frame of this bus
            ++ignoredFrames_;
            return {};
        }
        expectedBody_ = ExpectedBodyLength(sent.Data);
    }
    if (frame_.BodyLength < expectedBody_) {
        return {};
    }
    assembling_ = false;
    return FrameComplete(sent.Arrival);
}

std::vector<LineCharacter> VirtualBus::FrameComplete(SimClock::time_point end) {
    const bool sound = !damaged_ && AnswerBlockValid(frame_, 0) && AnswerBlockValid(frame_, 1) &&
                       AnswerBlockValid(frame_, 2);
    if (target_ == nullptr || !sound) {
        ++ignoredFrames_;
        return {};
    }
    FrameBytes request{};
    request[0] = frame_.Head[0];
    const size_t L = frame_.Body[0];
    for (size_t k = 0; k <= L; ++k) {
        request[k + 1] = MessageByte(frame_, k);
    }
    ++requestCounts_[request[4]];

    const std::optional<FrameBytes> answer = target_->HandleRequest(request, end);
    if (!answer) {
        return {};
    }
    return AnswerCharacters(*answer, faults_.NextExchange(), end, timing_);
}

} // namespace vr410::sim
