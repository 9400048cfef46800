#include "platform/receive_queue.h"

#include "platform/serial_api.h"

namespace vr410 {

void ReceiveQueue::Push(uint8_t byte, uint32_t errors) {
    ++ReceivedSinceClear_;
    Errors_ |= errors;
    if (Bytes_.size() >= Capacity_) {
        Errors_ |= CE_RXOVER;
        return;
    }
    Bytes_.push_back(byte);
}

uint32_t ReceiveQueue::TakeErrors() {
    const uint32_t errors = Errors_;
    Errors_ = 0;
    return errors;
}

size_t ReceiveQueue::Read(uint8_t* data, size_t count) {
    size_t read = 0;
    while (read < count && !Bytes_.empty()) {
        data[read++] = Bytes_.front();
        Bytes_.pop_front();
    }
    return read;
}

void ReceiveQueue::Clear() {
    Bytes_.clear();
    ReceivedSinceClear_ = 0;
}

} // namespace vr410
