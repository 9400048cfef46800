// The Linux backend against a real pseudo-terminal: the test holds the master side, the port
// under test is the slave.
#include "platform/serial_posix.h"

#include "common/pty_pair.h"
#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vr410 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

LineSettings InstrumentLine(ParityMode parity) {
    LineSettings settings;
    settings.BaudRate = 57600;
    settings.Parity = parity;
    return settings;
}

class PosixPtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Pty.Open());
        Port = Api.Open(SlaveName(), Error);
        ASSERT_NE(Port, nullptr) << "errno " << Error.Code;
        ASSERT_TRUE(Port->SetState(InstrumentLine(ParityMode::Mark)));
        ASSERT_TRUE(Port->SetEventMask(EV_TXEMPTY));
        ASSERT_TRUE(Port->SetupQueues(1600, 0));
    }

    void TearDown() override {
        Port.reset();
        Pty.CloseMaster();
    }

    int Master() const { return Pty.Master(); }
    const std::string& SlaveName() const { return Pty.SlaveName(); }

    std::vector<uint8_t> ReadFromMaster(size_t count, Clock::time_point deadline) const {
        return Pty.ReadFromMaster(count, deadline);
    }

    // Collects from the port until `count` bytes are waiting or the deadline passed.
    std::vector<uint8_t> ReadFromPort(size_t count, Clock::time_point deadline) {
        uint32_t errors = 0;
        uint32_t waiting = 0;
        while (Clock::now() < deadline) {
            EXPECT_TRUE(Port->ClearError(errors, waiting));
            EXPECT_EQ(errors, 0u);
            if (waiting >= count)
                break;
            Port->WaitForInput(deadline);
        }
        std::vector<uint8_t> got(waiting);
        size_t read = 0;
        EXPECT_TRUE(Port->Read(got.data(), got.size(), read));
        got.resize(read);
        return got;
    }

    PosixSerialApi Api{LinuxPortSources{}};
    test::PtyPair Pty;
    OpenError Error;
    std::unique_ptr<SerialPort> Port;
};

TEST(PosixOpen, MissingDeviceIsNotFound) {
    test::TempDir dir;
    PosixSerialApi api{LinuxPortSources{}};
    OpenError error;
    EXPECT_EQ(api.Open((dir.Path() / "ttyUSB7").string(), error), nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::NotFound);
    EXPECT_EQ(error.Code, ENOENT);
    EXPECT_EQ(api.Open("", error), nullptr) << "the name of a COM port that has no device";
    EXPECT_EQ(error.Kind, OpenFailure::NotFound);
}

TEST(PosixOpen, FileThatIsNoSerialDeviceIsAnOtherError) {
    test::TempDir dir;
    test::WriteBytes(dir.Path() / "plain", "x");
    PosixSerialApi api{LinuxPortSources{}};
    OpenError error;
    EXPECT_EQ(api.Open((dir.Path() / "plain").string(), error), nullptr);
    EXPECT_EQ(error.Kind, OpenFailure::Other);
    EXPECT_EQ(error.Code, ENOTTY);
}

TEST_F(PosixPtyTest, SecondOpenOfAHeldPortIsAccessDenied) {
    OpenError second;
    EXPECT_EQ(Api.Open(SlaveName(), second), nullptr);
    EXPECT_EQ(second.Kind, OpenFailure::AccessDenied);
    Port.reset();
    EXPECT_NE(Api.Open(SlaveName(), second), nullptr) << "closing gives the port up";
}

TEST_F(PosixPtyTest, LineWithoutRtsOrCountersIsNoError) {
    EXPECT_TRUE(Port->SetRts(true));
    EXPECT_TRUE(Port->SetRts(false));
    uint32_t errors = 1;
    uint32_t waiting = 1;
    EXPECT_TRUE(Port->ClearError(errors, waiting));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(waiting, 0u);
}

TEST_F(PosixPtyTest, SettingsReadBackAsSet) {
    LineSettings settings;
    ASSERT_TRUE(Port->GetState(settings));
    EXPECT_EQ(settings.BaudRate, 57600u);
    EXPECT_EQ(settings.DataBits, 8);
    EXPECT_EQ(settings.StopBits, 1);
    settings.BaudRate = 12345;
    EXPECT_FALSE(Port->SetState(settings)) << "a rate the line cannot run";
}

// A pty drops the parity bit; asking again for what it dropped changes nothing, which
// tcsetattr reports as EINVAL. The same settings must be taken every time, or a port opened a
// second time would read "not configured".
TEST_F(PosixPtyTest, SameSettingsAreTakenAgainAndOnAReopen) {
    EXPECT_TRUE(Port->SetState(InstrumentLine(ParityMode::Mark)));
    EXPECT_TRUE(Port->SetState(InstrumentLine(ParityMode::Space)));
    EXPECT_TRUE(Port->SetState(InstrumentLine(ParityMode::Space)));
    Port.reset();
    Port = Api.Open(SlaveName(), Error);
    ASSERT_NE(Port, nullptr);
    EXPECT_TRUE(Port->SetState(InstrumentLine(ParityMode::Mark)));
}

TEST_F(PosixPtyTest, WrittenBytesArriveAndTransmitEmptyWaitsForTheirLineTime) {
    const std::vector<uint8_t> packet = {0x01, 0x0A, 0x44, 0x00, 0x10,
                                         0xFF, 0x00, 0x00, 0x02, 0x5C};
    const auto start = Clock::now();
    size_t written = 0;
    ASSERT_TRUE(Port->Write(packet.data(), packet.size(), written));
    EXPECT_EQ(written, packet.size());
    uint32_t event = 0;
    ASSERT_TRUE(Port->WaitEvent(event));
    EXPECT_EQ(event, EV_TXEMPTY);
    const auto empty = Clock::now();
    // A pty has no transmitter to ask, so the wait is the line time of the block.
    EXPECT_GE(empty - start, CharacterTime(InstrumentLine(ParityMode::Mark)) * packet.size());
    EXPECT_EQ(ReadFromMaster(packet.size(), Clock::now() + 2s), packet);
}

TEST_F(PosixPtyTest, BytesFromTheFarEndArriveUnchangedFFIncluded) {
    const std::vector<uint8_t> answer = {0x00, 0xFF, 0x05, 0xFF, 0xFF, 0x7E};
    ASSERT_EQ(write(Master(), answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
    EXPECT_EQ(ReadFromPort(answer.size(), Clock::now() + 2s), answer);
}

TEST_F(PosixPtyTest, WaitForInputReturnsWhenAByteComesOrAtTheDeadline) {
    auto deadline = Clock::now() + 20ms;
    Port->WaitForInput(deadline);
    EXPECT_GE(Clock::now(), deadline);

    const uint8_t byte = 0x42;
    ASSERT_EQ(write(Master(), &byte, 1), 1);
    deadline = Clock::now() + 10s;
    Port->WaitForInput(deadline);
    EXPECT_LT(Clock::now(), deadline);
    uint32_t errors = 0;
    uint32_t waiting = 0;
    ASSERT_TRUE(Port->ClearError(errors, waiting));
    EXPECT_EQ(waiting, 1u);
}

TEST_F(PosixPtyTest, PurgeDropsWhatHasArrived) {
    const uint8_t stale[] = {1, 2, 3};
    ASSERT_EQ(write(Master(), stale, 3), 3);
    ASSERT_EQ(ReadFromPort(3, Clock::now() + 2s).size(), 3u) << "read consumes";
    ASSERT_EQ(write(Master(), stale, 3), 3);
    uint32_t errors = 0;
    uint32_t waiting = 0;
    for (auto deadline = Clock::now() + 2s; waiting < 3 && Clock::now() < deadline;) {
        Port->WaitForInput(deadline);
        ASSERT_TRUE(Port->ClearError(errors, waiting));
    }
    ASSERT_EQ(waiting, 3u);
    ASSERT_TRUE(Port->Purge(PURGE_RXABORT | PURGE_RXCLEAR));
    ASSERT_TRUE(Port->ClearError(errors, waiting));
    EXPECT_EQ(waiting, 0u);
}

TEST_F(PosixPtyTest, FullInputQueueRaisesOverflow) {
    ASSERT_TRUE(Port->SetupQueues(4, 0));
    const uint8_t answer[] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(write(Master(), answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    uint32_t errors = 0;
    uint32_t waiting = 0;
    for (auto deadline = Clock::now() + 2s; errors == 0 && Clock::now() < deadline;) {
        Port->WaitForInput(deadline);
        ASSERT_TRUE(Port->ClearError(errors, waiting));
    }
    EXPECT_EQ(errors, CE_RXOVER);
    EXPECT_EQ(waiting, 4u);
}

TEST_F(PosixPtyTest, VanishedFarEndFailsEveryCallAndReportsThePortLost) {
    EXPECT_FALSE(Port->Lost());
    Pty.CloseMaster();
    Port->WaitForInput(Clock::now() + 10s); // the hang-up ends the wait at once
    uint32_t errors = 0;
    uint32_t waiting = 0;
    EXPECT_FALSE(Port->ClearError(errors, waiting));
    EXPECT_TRUE(Port->Lost());
    const uint8_t byte = 0x01;
    size_t written = 0;
    EXPECT_FALSE(Port->Write(&byte, 1, written));
    EXPECT_FALSE(Port->SetState(InstrumentLine(ParityMode::Space)));
}

// A pty standing for a real port: its modem-line calls go to a recorder that answers as the
// driver of the case does.
class ModemLines : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Pty.Open()); }

    std::unique_ptr<SerialPort> Open(bool pseudoTerminal, int answer) {
        PosixSerialOptions options;
        options.IsPseudoTerminal = [pseudoTerminal](int) { return pseudoTerminal; };
        options.SetModemLines = [this, answer](int, int lines, bool raised) {
            Calls.push_back({lines, raised});
            return answer;
        };
        PosixSerialApi api(LinuxPortSources{}, options);
        OpenError error;
        return api.Open(Pty.SlaveName(), error);
    }
    int DtrCalls() const {
        return static_cast<int>(std::count_if(
            Calls.begin(), Calls.end(), [](const auto& call) { return call.first == TIOCM_DTR; }));
    }

    test::PtyPair Pty;
    std::vector<std::pair<int, bool>> Calls;
};

struct RefusalCase {
    const char* Name;
    bool PseudoTerminal;
    int Answer;
    bool Accepted;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const RefusalCase RefusalCases[] = {
    {.Name = "PtyWithoutModemLines",       .PseudoTerminal = true,  .Answer = ENOTTY, .Accepted = true},
    {.Name = "RealPortWithoutModemLines",  .PseudoTerminal = false, .Answer = ENOTTY, .Accepted = false},
    {.Name = "RealPortRefusingTheRequest", .PseudoTerminal = false, .Answer = EINVAL, .Accepted = false},
    {.Name = "RealPortTakingIt",           .PseudoTerminal = false, .Answer = 0,      .Accepted = true},
};
// clang-format on

class ModemLineRefusal : public ModemLines, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ModemLineRefusal, IsNoFailureOnlyOnAPseudoTerminal) {
    const RefusalCase& c = GetParam();
    auto port = Open(c.PseudoTerminal, c.Answer);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->SetRts(true), c.Accepted);
    EXPECT_EQ(port->SetRts(false), c.Accepted);
    EXPECT_EQ(port->SetState(InstrumentLine(ParityMode::Mark)), c.Accepted) << "DTR at the open";
    EXPECT_FALSE(port->Lost());
}

INSTANTIATE_TEST_SUITE_P(Posix, ModemLineRefusal, ::testing::ValuesIn(RefusalCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ModemLines, DtrIsRaisedOnceAtTheOpenNotOnEveryParitySwitch) {
    auto port = Open(false, 0);
    ASSERT_NE(port, nullptr);
    for (ParityMode parity : {ParityMode::Mark, ParityMode::Space, ParityMode::Mark,
                              ParityMode::Space, ParityMode::Mark}) {
        ASSERT_TRUE(port->SetState(InstrumentLine(parity)));
    }
    EXPECT_EQ(DtrCalls(), 1);
    ASSERT_FALSE(Calls.empty());
    EXPECT_TRUE(Calls.front().second) << "raised";
}

// A pty carries no parity bit and drops PARENB; it reads back the parity asked for, so that the
// parity check at the open passes there. A real port reads back what the driver took.
TEST_F(ModemLines, ParityReadsBackAsAskedOnlyOnAPseudoTerminal) {
    for (bool pseudoTerminal : {true, false}) {
        auto port = Open(pseudoTerminal, 0);
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->SetState(InstrumentLine(ParityMode::Mark)));
        LineSettings readBack;
        ASSERT_TRUE(port->GetState(readBack));
        EXPECT_EQ(readBack.Parity == ParityMode::Mark, pseudoTerminal);
    }
}

} // namespace
} // namespace vr410
