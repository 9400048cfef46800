// The program started on a damaged settings file: it starts with the defaults or the values'
// low 8 bits, and at exit it either saves, keeping what the file held besides, or shows the
// save-failure message once and leaves the file as it was.
#include "common/damaged_ini.h"
#include "main_window_fixture.h"

namespace vr410::test {
namespace {

class DamagedSettings : public MainWindowFixture,
                        public testing::WithParamInterface<DamagedIniCase> {
  protected:
    ~DamagedSettings() override { RepairDamage(IniPath); }
};

TEST_P(DamagedSettings, StartWithDefaultsAndSaveOrSayItCannot) {
    const DamagedIniCase& c = GetParam();
    MakeDamage(c.What, IniPath);
    if (c.NeedsNonRoot && RunningAsRoot()) {
        GTEST_SKIP() << "running as root: permissions do not stop the write";
    }
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(IniPath, error);
    const std::string before = regular ? FileBytesOf(IniPath) : "";

    StartOnPorts({3});
    Main().show();
    EXPECT_EQ(State().AddrDevice, c.AddrDevice);
    EXPECT_EQ(State().PCDevice, c.PCDevice);
    EXPECT_TRUE(Find(c.Com == 0 ? "NoPort" : "COM3")->isChecked());
    Facilities->Messages.clear();
    ASSERT_TRUE(Main().close());

    const RecordingSystemFacilities::Message failure{
        "Невозможно сохранение настроек в файле VR410.ini", MessageKind::Error};
    if (!c.Writable) {
        EXPECT_EQ(Facilities->Messages, std::vector{failure});
        if (regular) {
            EXPECT_EQ(FileBytesOf(IniPath), before) << "a failed save leaves the file alone";
        }
        return;
    }
    EXPECT_TRUE(Facilities->Messages.empty());
    const std::string after = FileBytesOf(IniPath);
    if (c.Keeps == nullptr) {
        EXPECT_GE(after.size(), before.size()) << "nothing of the file is lost";
    } else {
        EXPECT_NE(after.find(c.Keeps), std::string::npos) << "keeps " << c.Keeps;
    }
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("Data", "AddrDevice", -1), c.AddrDevice);
    EXPECT_EQ(ini.ReadInteger("Data", "PCDevice", -1), c.PCDevice);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), c.Com);
    EXPECT_EQ(ini.ReadString("Data", "USB", "?"), c.Usb);
}

INSTANTIATE_TEST_SUITE_P(Settings, DamagedSettings, testing::ValuesIn(DamagedIniCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410::test
