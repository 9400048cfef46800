// The receive queue every serial backend keeps: order, the full queue, the status query and the
// purge.
#include "platform/receive_queue.h"

#include "platform/serial_api.h"

#include <gtest/gtest.h>

#include <vector>

namespace vr410 {
namespace {

std::vector<uint8_t> ReadAll(ReceiveQueue& queue) {
    std::vector<uint8_t> bytes(queue.Waiting());
    bytes.resize(queue.Read(bytes.data(), bytes.size()));
    return bytes;
}

TEST(ReceiveQueue, HandsOutInOrderOfArrivalAndNoMoreThanAsked) {
    ReceiveQueue queue;
    for (uint8_t b : {0x00, 0x04, 0xFF, 0x7E}) {
        queue.Push(b);
    }
    uint8_t two[2] = {};
    EXPECT_EQ(queue.Read(two, 2), 2u);
    EXPECT_EQ(two[0], 0x00);
    EXPECT_EQ(two[1], 0x04);
    EXPECT_EQ(ReadAll(queue), (std::vector<uint8_t>{0xFF, 0x7E}));
    EXPECT_EQ(queue.Read(two, 2), 0u) << "an empty queue never waits";
}

TEST(ReceiveQueue, FullQueueLosesTheCharacterAndReportsOverflowOnce) {
    ReceiveQueue queue(2);
    queue.Push(1);
    queue.Push(2);
    queue.Push(3);
    EXPECT_EQ(queue.Waiting(), 2u);
    EXPECT_EQ(queue.ReceivedSinceClear(), 3u) << "the lost character still counts";
    EXPECT_EQ(queue.TakeErrors(), CE_RXOVER);
    EXPECT_EQ(queue.TakeErrors(), 0u) << "the status query clears what it reported";
    EXPECT_EQ(ReadAll(queue), (std::vector<uint8_t>{1, 2}));
}

TEST(ReceiveQueue, ErrorsOfCharactersAndOfTheDriverGatherUntilTheStatusQuery) {
    ReceiveQueue queue;
    queue.Push(0x00, CE_RXPARITY);
    queue.Push(0x05);
    queue.RaiseErrors(CE_FRAME);
    EXPECT_EQ(queue.Errors(), CE_RXPARITY | CE_FRAME);
    EXPECT_EQ(queue.TakeErrors(), CE_RXPARITY | CE_FRAME);
    EXPECT_EQ(queue.Waiting(), 2u) << "the query does not consume bytes";
}

TEST(ReceiveQueue, PurgeDropsTheBytesAndStartsTheCountButKeepsTheErrors) {
    ReceiveQueue queue;
    queue.Push(1, CE_BREAK);
    queue.Push(2);
    queue.Clear();
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_EQ(queue.ReceivedSinceClear(), 0u);
    EXPECT_EQ(queue.TakeErrors(), CE_BREAK);
    queue.Push(3);
    EXPECT_EQ(queue.ReceivedSinceClear(), 1u);
}

} // namespace
} // namespace vr410
