// The UUCP lock file of a serial device (LCK..ttyUSB0 in /run/lock). flock and TIOCEXCL keep
// out the programs that lock the same way; older terminal programs, modem managers and the
// dial-out tools honour only the lock file, so the port takes that as well where the folder lets
// it. The file holds the owner's process id as ten characters and a newline.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace vr410 {

// The folder the system keeps its lock files in: /run/lock, or /var/lock where that is missing.
std::filesystem::path DefaultLockDir();

class UucpLock {
  public:
    enum class Outcome : uint8_t {
        Taken,   // the file is ours until the lock is destroyed
        Held,    // a live process has it: the device is in use
        NotUsed, // the folder is missing or not writable: the device goes without a lock file
    };

    // Takes the lock file of `device` in `lockDir` for this process; on Taken, `lock` owns it. A
    // lock whose process is gone (a program that crashed) is stale and taken over; so is one
    // naming this very process, which can only be left from an earlier run under the same id
    // (the device's flock, taken first, shows no port of this process holds it).
    static Outcome Take(const std::filesystem::path& lockDir, const std::string& device,
                        std::unique_ptr<UucpLock>& lock);

    // The lock file's name for `device`: "LCK.." and the device's path below /dev with every
    // "/" turned into "_" (LCK..ttyUSB0, LCK..pts_3), after symbolic links are followed.
    static std::string FileName(const std::string& device);

    // Removes the file, if it still names this process.
    ~UucpLock();
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    const std::filesystem::path& Path() const { return Path_; }

  private:
    explicit UucpLock(std::filesystem::path path) : Path_(std::move(path)) {}

    std::filesystem::path Path_;
};

} // namespace vr410
