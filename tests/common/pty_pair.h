// A pseudo-terminal pair for the tests of the Linux serial backend: the test holds the master
// side and plays the far end of the line; the port under test opens the slave side by its name.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace vr410::test {

class PtyPair {
  public:
    using Clock = std::chrono::steady_clock;

    PtyPair() = default;
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Opens a new pair with the slave side unlocked and named. A failure is a fatal test
    // failure: call it under ASSERT_NO_FATAL_FAILURE.
    void Open() {
        Master_ = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(Master_, 0);
        ASSERT_EQ(grantpt(Master_), 0);
        ASSERT_EQ(unlockpt(Master_), 0);
        SlaveName_ = ptsname(Master_);
    }

    // The far end hangs up, as an unplugged adapter does: the slave side loses its line.
    void CloseMaster() {
        if (Master_ >= 0)
            close(Master_);
        Master_ = -1;
    }

    int Master() const { return Master_; }
    const std::string& SlaveName() const { return SlaveName_; }

    // What the master side has received, up to `count` bytes; fewer when the deadline passed.
    std::vector<uint8_t> ReadFromMaster(size_t count, Clock::time_point deadline) const {
        std::vector<uint8_t> got;
        while (got.size() < count && Clock::now() < deadline) {
            pollfd p{.fd = Master_, .events = POLLIN, .revents = 0};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
                continue;
            uint8_t buffer[256];
            const ssize_t n = read(Master_, buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

  private:
    int Master_ = -1;
    std::string SlaveName_;
};

} // namespace vr410::test
