// Times what the program does with VR410.ini: the start's nine key reads and the exit's nine
// key writes, on the file a run leaves behind and on ten megabytes of random bytes (a file
// damaged beyond use, which the program reads as Windows-1251 text). Every key opens and
// reads the whole file again, so a large file costs once per key. Prints milliseconds; the
// last line is "small_start_ms=A small_exit_ms=B large_start_ms=C large_exit_ms=D".
#include "platform/profile_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using vr410::ProfileFile;

void Put(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

template <typename Work> double Milliseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

// The keys in the order the main window reads them at start.
void ReadAtStart(const ProfileFile& ini) {
    int sum = ini.ReadInteger("Form", "Top", 0) + ini.ReadInteger("Form", "Left", 0) +
              ini.ReadInteger("FormI", "Width", 700) + ini.ReadInteger("FormI", "Height", 69) +
              ini.ReadInteger("Data", "AddrDevice", 1) + ini.ReadInteger("Data", "PCDevice", 0) +
              ini.ReadInteger("Data", "ShowPackets", 0) + ini.ReadInteger("Data", "COM", 0);
    sum += static_cast<int>(ini.ReadString("Data", "USB", "").size());
    if (sum == -1) {
        std::puts(""); // keeps the reads from being optimised away
    }
}

// The keys in the order the main window writes them at exit.
bool WriteAtExit(ProfileFile& ini) {
    return ini.WriteInteger("Form", "Top", 100) && ini.WriteInteger("Form", "Left", 200) &&
           ini.WriteInteger("FormI", "Width", 700) && ini.WriteInteger("FormI", "Height", 69) &&
           ini.WriteInteger("Data", "AddrDevice", 1) && ini.WriteInteger("Data", "PCDevice", 0) &&
           ini.WriteInteger("Data", "COM", 3) && ini.WriteString("Data", "ShowPackets", "0") &&
           ini.WriteString("Data", "USB", "");
}

} // namespace

int main() {
    std::string folder = (std::filesystem::temp_directory_path() / "vr410-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path path = std::filesystem::path(folder) / "VR410.ini";
    ProfileFile ini(path);

    const std::string saved =
        "[Form]\r\nTop=100\r\nLeft=200\r\n[FormI]\r\nWidth=700\r\nHeight=69\r\n[Data]\r\n"
        "AddrDevice=1\r\nPCDevice=0\r\nCOM=3\r\nShowPackets=0\r\nUSB=\r\n";
    Put(path, saved);
    const double smallStart = Milliseconds([&] { ReadAtStart(ini); });
    const double smallExit = Milliseconds([&] { WriteAtExit(ini); });

    std::mt19937 random(410);
    std::string bytes(10 * 1024 * 1024, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(random());
    }
    Put(path, bytes);
    const double largeStart = Milliseconds([&] { ReadAtStart(ini); });
    const double largeExit = Milliseconds([&] {
        if (!WriteAtExit(ini)) {
            std::puts("the save failed");
        }
    });

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::printf("settings file of %zu bytes: start %.1f ms, exit %.1f ms\n", saved.size(),
                smallStart, smallExit);
    std::printf("random bytes, %zu bytes: start %.1f ms, exit %.1f ms\n", bytes.size(), largeStart,
                largeExit);
    std::printf("small_start_ms=%.1f small_exit_ms=%.1f large_start_ms=%.1f large_exit_ms=%.1f\n",
                smallStart, smallExit, largeStart, largeExit);
    return 0;
}
