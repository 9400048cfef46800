#include "platform/profile_file.h"

#include "platform/profile_text.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vr410 {

namespace {

#ifdef _WIN32

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return bytes.str();
}

#else

// The bytes of a regular file; nothing for anything else. A named pipe would block the open
// until some writer came, and a device such as /dev/zero would never end, so either would
// stop the program at start; neither is opened for reading.
std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<std::string> bytes;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.emplace();
        bytes->reserve(static_cast<size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t done = read(fd, chunk, sizeof chunk);
            if (done < 0 && errno == EINTR)
                continue;
            if (done < 0) {
                bytes.reset();
                break;
            }
            if (done == 0)
                break;
            bytes->append(chunk, static_cast<size_t>(done));
        }
    }
    close(fd);
    return bytes;
}

#endif

// The file a path names once every symbolic link on the way is followed, so that a write
// replaces the linked file and leaves the link as it is. A dangling link gives the file it
// would create.
std::filesystem::path FinalTarget(std::filesystem::path path) {
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

#ifdef _WIN32

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path target = FinalTarget(path);
    std::filesystem::path directory = target.parent_path();
    if (directory.empty())
        directory = L".";
    // A target that exists must be writable: replacing a read-only file would defeat its
    // protection.
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        HANDLE probe =
            CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(probe);
    }
    wchar_t temporary[MAX_PATH];
    if (GetTempFileNameW(directory.c_str(), L"VR4", 0, temporary) == 0)
        return false;
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    if (written) {
        DWORD done = 0;
        written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size() && FlushFileBuffers(file);
        written = CloseHandle(file) && written;
    }
    if (!written || !MoveFileExW(temporary, target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary);
        return false;
    }
    return true;
}

#else

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(done));
    }
    return true;
}

// Writes the new version to a temporary file beside the target, flushes it to the disk and
// renames it over the target, so that at every moment the file on the disk is either the old
// version or the new one, whole. The target keeps its permission bits and, where the process
// may give them, its owner and group; a new file gets the usual 0666 less the umask. False,
// with the old file untouched and no temporary file left, when any step fails; a target that
// exists but may not be written (a read-only settings file) is not replaced either.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path target = FinalTarget(path);
    struct stat old {};
    bool existed = false;
    const int probe = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (probe >= 0) {
        existed = fstat(probe, &old) == 0;
        close(probe);
        if (!existed || !S_ISREG(old.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    std::filesystem::path directory = target.parent_path();
    if (directory.empty())
        directory = ".";
    std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own files can be given away; the permission bits still hold.
        }
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the directory.
    const int dir = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

#endif

} // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : Path_(std::move(path)) {}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
    const auto bytes = ReadBytes(Path_);
    if (!bytes)
        return fallback;
    // The file is read for every key: only the lines that lead to the key are decoded.
    return ProfileValue(*bytes, section, key).value_or(fallback);
}

int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                 int32_t fallback) const {
    return ProfileInteger(ReadString(section, key, "")).value_or(fallback);
}

bool ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    std::optional<std::string> bytes = std::string();
    std::error_code error;
    if (std::filesystem::exists(Path_, error)) {
        bytes = ReadBytes(Path_);
        if (!bytes)
            return false;
    }
    ProfileText text(*bytes);
    return text.SetValue(section, key, value) && ReplaceFile(Path_, text.Bytes());
}

bool ProfileFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

std::filesystem::path ExecutableIniPath() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::filesystem::path executable(buffer);
#else
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
#endif
    return executable.replace_filename("VR410.ini");
}

} // namespace vr410
