// The UUCP lock file the Linux backend takes beside its flock: taken at open, removed at close,
// refused while a live process holds it, taken over from a process that is gone, and skipped
// where the lock folder is missing.
#include "platform/serial_lock_file.h"
#include "platform/serial_posix.h"

#include "common/pty_pair.h"
#include "common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vr410 {
namespace {

std::string LockText(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

// The id of a process that has ended and been reaped.
pid_t DeadProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

class LockedPty : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Pty.Open());
        Slave = Pty.SlaveName();
        LockFile = Dir.Path() / UucpLock::FileName(Slave);
    }

    PosixSerialApi Api() const {
        PosixSerialOptions options;
        options.LockDir = Dir.Path();
        return PosixSerialApi(LinuxPortSources{}, options);
    }

    test::TempDir Dir;
    test::PtyPair Pty;
    std::string Slave;
    std::filesystem::path LockFile;
};

TEST_F(LockedPty, OpenTakesTheLockFileAndCloseRemovesIt) {
    PosixSerialApi api = Api();
    OpenError error;
    auto port = api.Open(Slave, error);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(LockFile.filename().string().rfind("LCK..pts_", 0), 0u) << LockFile;
    EXPECT_EQ(test::ReadBytes(LockFile), LockText(getpid()));
    port.reset();
    EXPECT_FALSE(std::filesystem::exists(LockFile));
}

struct ForeignLockCase {
    const char* Name;
    std::string (*Content)();
    bool Opens;
};

void PrintTo(const ForeignLockCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const ForeignLockCase ForeignLockCases[] = {
    {.Name = "LiveOwnerMeansBusy",          .Content = [] { return LockText(getppid()); },      .Opens = false},
    {.Name = "UnreadableOwnerMeansBusy",    .Content = [] { return std::string("locked\n"); }, .Opens = false},
    {.Name = "OwnerGoneIsStale",            .Content = [] { return LockText(DeadProcess()); },  .Opens = true},
    {.Name = "OwnIdFromAnEarlierRunIsStale", .Content = [] { return LockText(getpid()); },      .Opens = true},
};
// clang-format on

class ForeignLock : public LockedPty, public ::testing::WithParamInterface<ForeignLockCase> {};

TEST_P(ForeignLock, IsHonouredOnlyWhileItsProcessLives) {
    const ForeignLockCase& c = GetParam();
    const std::string content = c.Content();
    test::WriteBytes(LockFile, content);
    PosixSerialApi api = Api();
    OpenError error;
    auto port = api.Open(Slave, error);
    if (c.Opens) {
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(test::ReadBytes(LockFile), LockText(getpid()));
    } else {
        EXPECT_EQ(port, nullptr);
        EXPECT_EQ(error.Kind, OpenFailure::AccessDenied) << "the status reads busy";
        EXPECT_EQ(test::ReadBytes(LockFile), content) << "another program's lock is left alone";
    }
}

INSTANTIATE_TEST_SUITE_P(Open, ForeignLock, ::testing::ValuesIn(ForeignLockCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(LockedPty, MissingLockFolderOpensWithoutALockFile) {
    PosixSerialOptions options;
    options.LockDir = Dir.Path() / "no-such-folder";
    PosixSerialApi api(LinuxPortSources{}, options);
    OpenError error;
    EXPECT_NE(api.Open(Slave, error), nullptr);
    EXPECT_FALSE(std::filesystem::exists(options.LockDir));
}

TEST(UucpLockName, IsThePathBelowDevAfterLinksAreFollowed) {
    test::TempDir dir;
    EXPECT_EQ(UucpLock::FileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(UucpLock::FileName("/dev/pts/3"), "LCK..pts_3");
    const auto link = dir.Path() / "by-id-adapter";
    std::filesystem::create_symlink("/dev/null", link);
    EXPECT_EQ(UucpLock::FileName(link.string()), "LCK..null");
}

} // namespace
} // namespace vr410
