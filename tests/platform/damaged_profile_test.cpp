// The settings file found damaged at start: the program's keys read as their defaults or as
// their low 8 bits, a save as the program makes it either succeeds and keeps what the file held
// besides, or fails at its first key and leaves the file as it was.
#include "common/damaged_ini.h"
#include "platform/profile_file.h"
#include "common/temp_dir.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

using test::DamagedIniCase;

class DamagedProfile : public ::testing::TestWithParam<DamagedIniCase> {
  protected:
    ~DamagedProfile() override { test::RepairDamage(Ini()); }
    std::filesystem::path Ini() const { return Dir.Path() / "VR410.ini"; }
    test::TempDir Dir;
};

TEST_P(DamagedProfile, ReadsDefaultsAndNeverLosesTheFile) {
    const DamagedIniCase& c = GetParam();
    test::MakeDamage(c.What, Ini());
    if (c.NeedsNonRoot && test::RunningAsRoot()) {
        GTEST_SKIP() << "running as root: permissions do not stop the write";
    }
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(Ini(), error);
    const std::string before = regular ? test::FileBytesOf(Ini()) : "";

    ProfileFile ini(Ini());
    const int addr = ini.ReadInteger("Data", "AddrDevice", 1) & 0xFF;
    const int pc = ini.ReadInteger("Data", "PCDevice", 0) & 0xFF;
    const int com = ini.ReadInteger("Data", "COM", 0) & 0xFF;
    const std::string usb = ini.ReadString("Data", "USB", "");
    EXPECT_EQ(addr, c.AddrDevice);
    EXPECT_EQ(pc, c.PCDevice);
    EXPECT_EQ(com, c.Com);
    EXPECT_EQ(usb, c.Usb);

    // The save in the program's order; it stops at the first key that cannot be written.
    const bool saved =
        ini.WriteInteger("Form", "Top", 10) && ini.WriteInteger("Form", "Left", 20) &&
        ini.WriteInteger("FormI", "Width", 700) && ini.WriteInteger("FormI", "Height", 69) &&
        ini.WriteInteger("Data", "AddrDevice", addr) && ini.WriteInteger("Data", "PCDevice", pc) &&
        ini.WriteInteger("Data", "COM", com) && ini.WriteString("Data", "ShowPackets", "0") &&
        ini.WriteString("Data", "USB", usb);
    EXPECT_EQ(saved, c.Writable);
    if (!c.Writable) {
        if (regular) {
            EXPECT_EQ(test::FileBytesOf(Ini()), before) << "a failed save leaves the file alone";
        }
        return;
    }
    const std::string after = test::FileBytesOf(Ini());
    if (c.Keeps == nullptr) {
        EXPECT_GE(after.size(), before.size()) << "nothing of the file is lost";
    } else {
        EXPECT_NE(after.find(c.Keeps), std::string::npos) << "keeps " << c.Keeps;
    }
    EXPECT_EQ(ini.ReadInteger("Form", "Left", -1), 20);
    EXPECT_EQ(ini.ReadInteger("Data", "AddrDevice", -1), addr);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), com);
    EXPECT_EQ(ini.ReadString("Data", "USB", "?"), usb);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedProfile, ::testing::ValuesIn(test::DamagedIniCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410
