#include "platform/serial_lock_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace vr410 {

namespace {

// The process id a lock file names: 0 when the text is no id, -1 when the file is gone.
pid_t LockOwner(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? -1 : 0;
    }
    char text[32] = {};
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) {
        return 0;
    }
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// A lock is stale when its process is gone, or when it names this process, which holds the
// device's flock and so no lock of its own on it. An owner that cannot be read (an empty file
// another program is about to fill) counts as live, as the other lock users take it.
bool Stale(pid_t owner) {
    if (owner <= 0) {
        return false;
    }
    if (owner == getpid()) {
        return true;
    }
    return kill(owner, 0) != 0 && errno == ESRCH;
}

} // namespace

std::filesystem::path DefaultLockDir() {
    std::error_code ignored;
    if (std::filesystem::is_directory("/run/lock", ignored)) {
        return "/run/lock";
    }
    return "/var/lock";
}

std::string UucpLock::FileName(const std::string& device) {
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(device, error);
    if (error) {
        real = device;
    }
    const std::string full = real.string();
    const std::string devPrefix = "/dev/";
    std::string name =
        full.rfind(devPrefix, 0) == 0 ? full.substr(devPrefix.size()) : real.filename().string();
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

UucpLock::Outcome UucpLock::Take(const std::filesystem::path& lockDir, const std::string& device,
                                 std::unique_ptr<UucpLock>& lock) {
    lock.reset();
    if (lockDir.empty() || access(lockDir.c_str(), W_OK) != 0) {
        return Outcome::NotUsed;
    }
    const std::filesystem::path path = lockDir / FileName(device);
    // Two tries: a stale file removed in between is created anew; a second program that raced
    // us to it wins.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char text[16];
            const int length =
                std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(getpid()));
            const bool written = write(fd, text, static_cast<size_t>(length)) == length;
            close(fd);
            if (!written) {
                unlink(path.c_str());
                return Outcome::NotUsed;
            }
            lock.reset(new UucpLock(path));
            return Outcome::Taken;
        }
        if (errno != EEXIST) {
            return Outcome::NotUsed;
        }
        const pid_t owner = LockOwner(path);
        if (owner == -1) {
            continue; // removed meanwhile
        }
        if (!Stale(owner)) {
            return Outcome::Held;
        }
        unlink(path.c_str());
    }
    return Outcome::Held;
}

UucpLock::~UucpLock() {
    if (LockOwner(Path_) == getpid()) {
        unlink(Path_.c_str());
    }
}

} // namespace vr410
