// The seam between the exchange cycle and the wire: the serial driver and the USB driver
// each fulfil it, and the cycle never knows which one it is talking through.
#pragma once

#include "protocol/frame.h"

#include <cstdint>

namespace vr410 {

class Link {
  public:
    virtual ~Link() = default;
    // Puts the request on the wire: the address byte marked, the body after it. Failures are
    // reported by the link itself (message boxes); nothing is returned.
    virtual void SendPacket(const PacketRecord& tx) = 0;
    // Waits for one answer within the link's own time window and fills rx (HeadLength 0 when
    // nothing came). Returns 0 when the link saw no fault, else the link's error status.
    virtual uint32_t ReceivePacket(PacketRecord& rx) = 0;
    // True when a send or receive found the link's device gone (an unplugged adapter, a hung-up
    // tty): the link has closed its port and shows its absence, and every later send and receive
    // does nothing, silently, until the link is opened again. The exchange cycle asks after
    // each send and each receive and ends the transmission at once when it is set.
    virtual bool LinkLost() const { return false; }
};

} // namespace vr410
