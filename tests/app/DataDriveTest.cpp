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

} // namespace
