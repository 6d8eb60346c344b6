#include "DataDrive.h"

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
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChooseDataDrive, MountPointsWorkTheSameWay) {
    std::vector<DriveInfo> mounts{{"/", DriveType::Fixed}, {"/media/cd", DriveType::CdRom}, {"/data", DriveType::Fixed}};
    EXPECT_EQ(ChooseDataDrive(mounts, "/", "/"), "/data");
}

// Rows of a mount table: source, point, type, read-only, block device, writable.
MountEntry Mount(const char* source, const char* point, const char* type, bool readOnly, bool block, bool writable) {
    return MountEntry{source, point, type, readOnly, block, writable};
}

const MountEntry kRoot = Mount("/dev/sda2", "/", "ext4", false, true, false); // root-owned

struct MountCase {
    const char* name;
    std::vector<MountEntry> mounts;
    std::string expected;
};

class DataDriveFromMounts : public ::testing::TestWithParam<MountCase> {};

TEST_P(DataDriveFromMounts, TakesOnlyAWritableBlockDeviceOutsideBoot) {
    EXPECT_EQ(ChooseDataDrive(DrivesFromMounts(GetParam().mounts), "/", "/"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mounts, DataDriveFromMounts,
    ::testing::Values(
        MountCase{"uefiPartitionIsNotData", {kRoot, Mount("/dev/sda1", "/boot/efi", "vfat", false, true, true)}, "/"},
        MountCase{"bootPartitionIsNotData", {kRoot, Mount("/dev/sda3", "/boot", "ext4", false, true, true)}, "/"},
        MountCase{"readOnlySkipped", {kRoot, Mount("/dev/sdb1", "/media/stick", "vfat", true, true, true)}, "/"},
        MountCase{"notABlockDevice", {kRoot, Mount("tmpfs", "/run/user/1000", "tmpfs", false, false, true)}, "/"},
        MountCase{"notWritableHere", {kRoot, Mount("/dev/sdb1", "/srv/archive", "ext4", false, true, false)}, "/"},
        MountCase{"writableBlockDevice",
                  {kRoot, Mount("/dev/sda1", "/boot/efi", "vfat", false, true, true),
                   Mount("/dev/sdb1", "/media/data", "ext4", false, true, true)},
                  "/media/data"},
        MountCase{"hiddenByALaterMount",
                  {kRoot, Mount("/dev/sdb1", "/media/data", "ext4", false, true, true),
                   Mount("/dev/sdc1", "/media/data", "iso9660", true, true, false)},
                  "/"},
        MountCase{"writableRootAlone", {Mount("/dev/sda2", "/", "ext4", false, true, true)}, "/"},
        MountCase{"emptyTable", {}, "/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MountTable, ReadsEscapedNamesAndTheReadOnlyOption) {
    const std::string table = "/dev/sda2 / ext4 rw,relatime 0 0\n"
                              "/dev/sdb1 /media/my\\040stick vfat ro,nosuid 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "broken-line\n";
    std::vector<std::string> asked;
    auto block = [](const std::string& source) { return source.rfind("/dev/", 0) == 0; };
    auto writable = [&](const std::string& point) { return asked.push_back(point), true; };
    std::vector<MountEntry> mounts = ParseMountTable(table, block, writable);
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[1].point, "/media/my stick");
    EXPECT_TRUE(mounts[1].readOnly);
    EXPECT_FALSE(mounts[1].writable);
    EXPECT_FALSE(mounts[0].readOnly);
    EXPECT_FALSE(mounts[2].blockDevice);
    EXPECT_EQ(asked, (std::vector<std::string>{"/", "/proc"})); // a read-only one is never probed
}

} // namespace
