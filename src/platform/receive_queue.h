// What a serial port holds between the wire and the driver: the characters received and not yet
// handed out, and the receive errors seen since the last status query, as a UART driver's input
// queue and error register hold them. The POSIX, Win32 and simulated backends keep their received
// bytes and error flags here, so that a full queue, a purge and a status query mean the same on
// each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace vr410 {

class ReceiveQueue {
  public:
    static constexpr uint32_t DefaultCapacity = 4096;

    explicit ReceiveQueue(uint32_t capacity = DefaultCapacity) : Capacity_(capacity) {}

    // The size the port's input queue was set up with. Bytes already waiting beyond a smaller
    // size stay; only new ones are refused.
    void SetCapacity(uint32_t bytes) { Capacity_ = bytes; }
    uint32_t Capacity() const { return Capacity_; }

    // One received character with the errors (CE_*) seen with it. A full queue loses the
    // character and raises CE_RXOVER instead.
    void Push(uint8_t byte, uint32_t errors = 0);
    // Errors not tied to a character of the queue (the driver's counters, a flag noticed while
    // waiting); they wait for the next status query.
    void RaiseErrors(uint32_t errors) { Errors_ |= errors; }

    // The status query: returns the errors seen since the last one and clears them.
    uint32_t TakeErrors();
    // The errors a status query would return now, without clearing them.
    uint32_t Errors() const { return Errors_; }
    size_t Waiting() const { return Bytes_.size(); }

    // Hands out at most `count` waiting bytes, oldest first; returns how many.
    size_t Read(uint8_t* data, size_t count);

    // Drops the waiting bytes (a purge of the input). The errors stay for the next status query.
    void Clear();
    // Characters received since the last Clear, lost ones included: the position in the answer
    // of the next character.
    size_t ReceivedSinceClear() const { return ReceivedSinceClear_; }

  private:
    uint32_t Capacity_;
    std::deque<uint8_t> Bytes_;
    uint32_t Errors_ = 0;
    size_t ReceivedSinceClear_ = 0;
};

} // namespace vr410
