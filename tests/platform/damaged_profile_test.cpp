// The settings file found damaged at start: the program's keys read as their defaults or as
// their low 8 bits, and a write either succeeds and keeps what the file held besides, or fails
// and leaves the file as it was. Nothing the file can be (a pipe, a device, a loop of links)
// holds up a read or a write.
#include "common/damaged_ini.h"
#include "common/temp_dir.h"
#include "platform/profile_file.h"

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

// The program's four address and link keys, read as the program reads them.
struct ReadKeys {
    int AddrDevice;
    int PCDevice;
    int Com;
    std::string Usb;
};

ReadKeys ReadProgramKeys(const ProfileFile& ini) {
    return {.AddrDevice = ini.ReadInteger("Data", "AddrDevice", 1) & 0xFF,
            .PCDevice = ini.ReadInteger("Data", "PCDevice", 0) & 0xFF,
            .Com = ini.ReadInteger("Data", "COM", 0) & 0xFF,
            .Usb = ini.ReadString("Data", "USB", "")};
}

void ExpectKeys(const ReadKeys& keys, const DamagedIniCase& c, const char* when) {
    EXPECT_EQ(keys.AddrDevice, c.AddrDevice) << when;
    EXPECT_EQ(keys.PCDevice, c.PCDevice) << when;
    EXPECT_EQ(keys.Com, c.Com) << when;
    EXPECT_EQ(keys.Usb, c.Usb) << when;
}

TEST_P(DamagedProfile, ReadsDefaultsAndNeverLosesTheFile) {
    const DamagedIniCase& c = GetParam();
    test::MakeDamage(c.What, Ini());
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(Ini(), error);
    const std::string before = regular ? test::FileBytesOf(Ini()) : "";

    ProfileFile ini(Ini());
    ExpectKeys(ReadProgramKeys(ini), c, "at start");

    // One write, of a key the file holds in most rows; the main window's save of all its keys
    // is the shell's test. Each write reads and rewrites the whole file, so one is enough here.
    bool saved = false;
    {
        const test::AsOrdinaryUser user(Ini());
        ASSERT_TRUE(user.Ready());
        saved = ini.WriteInteger("Data", "COM", c.Com);
    }
    EXPECT_EQ(saved, c.Writable);
    if (!c.Writable) {
        if (regular) {
            EXPECT_EQ(test::FileBytesOf(Ini()), before) << "a failed write leaves the file alone";
        }
        return;
    }
    const std::string after = test::FileBytesOf(Ini());
    if (c.Keeps == nullptr) {
        EXPECT_GE(after.size(), before.size()) << "nothing of the file is lost";
    } else {
        EXPECT_NE(after.find(c.Keeps), std::string::npos) << "keeps " << c.Keeps;
    }
    ExpectKeys(ReadProgramKeys(ini), c, "after the write");
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedProfile, ::testing::ValuesIn(test::DamagedIniCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410
