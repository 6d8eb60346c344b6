#include "core/app/DataDrive.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {

struct DriveCase {
    const char* name;
    std::vector<DriveInfo> drives;
    std::string expected;
};

class ChooseDataDriveTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(ChooseDataDriveTest, PicksTheFirstAcceptableOtherDrive) {
    EXPECT_EQ(ChooseDataDrive(GetParam().drives, "C:", "C:"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Drives, ChooseDataDriveTest,
    ::testing::Values(
        DriveCase{"cdromSkipped", {{"C:", DriveType::Fixed}, {"D:", DriveType::CdRom}, {"E:", DriveType::Fixed}}, "E:"},
        DriveCase{"onlySystem", {{"C:", DriveType::Fixed}}, "C:"},
        DriveCase{"removableCounts", {{"C:", DriveType::Fixed}, {"D:", DriveType::Removable}}, "D:"},
        DriveCase{"noRootCounts", {{"C:", DriveType::Fixed}, {"F:", DriveType::NoRootDir}}, "F:"},
        DriveCase{"unknownSkipped", {{"C:", DriveType::Fixed}, {"D:", DriveType::Unknown}}, "C:"},
        DriveCase{"nothingAcceptable", {{"C:", DriveType::CdRom}}, "C:"},
        DriveCase{"systemNotFirst", {{"D:", DriveType::CdRom}, {"E:", DriveType::Fixed}}, "E:"}),
    CaseName{});

TEST(ChooseDataDrive, MountPointsWorkTheSameWay) {
    std::vector<DriveInfo> mounts{{"/", DriveType::Fixed}, {"/media/cd", DriveType::CdRom}, {"/data", DriveType::Fixed}};
    EXPECT_EQ(ChooseDataDrive(mounts, "/", "/"), "/data");
}

// Mount rows (source, point, type, read-only, block device, writable) beside a root that
// only the administrator may write.
struct MountCase {
    const char* name;
    std::vector<MountEntry> others;
    std::string expected;
};

class DataDriveFromMounts : public ::testing::TestWithParam<MountCase> {};

TEST_P(DataDriveFromMounts, TakesOnlyAWritableBlockDeviceOutsideBoot) {
    std::vector<MountEntry> mounts{{"/dev/sda2", "/", "ext4", false, true, false}};
    mounts.insert(mounts.end(), GetParam().others.begin(), GetParam().others.end());
    EXPECT_EQ(ChooseDataDrive(DrivesFromMounts(mounts), "/", "/"), GetParam().expected);
}

const MountEntry kData{"/dev/sdb1", "/media/data", "ext4", false, true, true};

INSTANTIATE_TEST_SUITE_P(
    Mounts, DataDriveFromMounts,
    ::testing::Values(MountCase{"uefiPartition", {{"/dev/sda1", "/boot/efi", "vfat", false, true, true}}, "/"},
                      MountCase{"readOnly", {{"/dev/sdc1", "/media/stick", "vfat", true, true, true}}, "/"},
                      MountCase{"notABlockDevice", {{"tmpfs", "/run/user/1000", "tmpfs", false, false, true}}, "/"},
                      MountCase{"notWritable", {{"/dev/sdc1", "/srv/archive", "ext4", false, true, false}}, "/"},
                      MountCase{"writableBlockDevice", {kData}, "/media/data"},
                      MountCase{
                          "hiddenByALaterMount", {kData, {"/dev/sr0", "/media/data", "udf", true, true, false}}, "/"}),
    CaseName{});

TEST(MountTable, DecodesEscapedNamesAndProbesOnlyWhatIsNotReadOnly) {
    std::vector<std::string> probed;
    auto writable = [&](const std::string& point) { return probed.push_back(point), true; };
    auto mounts = ParseMountTable(
        "/dev/sda2 / ext4 rw 0 0\n/dev/sdb1 /media/my\\040stick vfat ro,nosuid 0 0\nbad\n",
        [](const std::string&) { return true; }, writable);
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[1].point, "/media/my stick");
    EXPECT_TRUE(mounts[1].readOnly);
    EXPECT_EQ(probed, std::vector<std::string>{"/"});
}

} // namespace
