#include "core/register/PlateList.h"
#include "core/store/SqliteHive.h"
#include "tests/support/ReadFailingHive.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class PlateListTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
    PlateList cars{*hive, 1};
    PlateList motorcycles{*hive, 2};

    void AddPlate(const std::string& list, const std::string& plate) {
        ASSERT_TRUE(hive->CreateKey("Software\\Vessory\\LicensePlate\\" + list + "\\" + plate, nullptr));
    }
    std::optional<std::string> Tag(const std::string& list, const std::string& plate) {
        auto v = hive->GetValue("Software\\Vessory\\LicensePlate\\" + list + "\\" + plate, "eTag");
        return v ? std::optional(v->data) : std::nullopt;
    }
};

TEST_F(PlateListTest, ListsAreSeparateByVehicleType) {
    AddPlate("Data", "ABC123");
    EXPECT_TRUE(cars.Exists("ABC123"));
    EXPECT_TRUE(cars.Exists("abc123"));
    EXPECT_FALSE(motorcycles.Exists("ABC123"));
    EXPECT_FALSE(cars.Exists(""));
    EXPECT_FALSE(cars.Exists("ABC\\123"));
    EXPECT_EQ(motorcycles.SetTag("ABC123", "T1", true), PlateList::SetTagResult::NoPlate);
}

TEST_F(PlateListTest, OnlyIfEmptyKeepsAnAssignedTagAndFillsAnEmptyOne) {
    AddPlate("Data2", "M1");
    EXPECT_EQ(motorcycles.SetTag("M1", "T1", true), PlateList::SetTagResult::Written);
    EXPECT_EQ(Tag("Data2", "M1"), "T1");
    EXPECT_EQ(motorcycles.SetTag("M1", "T2", true), PlateList::SetTagResult::KeptExisting);
    EXPECT_EQ(Tag("Data2", "M1"), "T1");

    AddPlate("Data2", "M2");
    ASSERT_TRUE(hive->SetValue("Software\\Vessory\\LicensePlate\\Data2\\M2", "eTag", StringValue("")));
    EXPECT_EQ(motorcycles.SetTag("M2", "T3", true), PlateList::SetTagResult::Written);
    EXPECT_EQ(Tag("Data2", "M2"), "T3");

    EXPECT_EQ(motorcycles.SetTag("M1", "T9", false), PlateList::SetTagResult::Written);
    EXPECT_EQ(Tag("Data2", "M1"), "T9");
}

TEST_F(PlateListTest, AnUnreadablyLongTagCountsAsSet) {
    AddPlate("Data", "P1");
    std::string longTag(60, 'F');
    ASSERT_TRUE(hive->SetValue("Software\\Vessory\\LicensePlate\\Data\\P1", "eTag", StringValue(longTag)));
    EXPECT_EQ(cars.SetTag("P1", "T1", true), PlateList::SetTagResult::KeptExisting);
    EXPECT_EQ(Tag("Data", "P1"), longTag);
}

// A plate or tag the store could not read is neither missing nor empty: nothing is written.
TEST_F(PlateListTest, AReadFailureIsAFailureAndKeepsTheTag) {
    AddPlate("Data", "P1");
    ASSERT_TRUE(hive->SetValue("Software\\Vessory\\LicensePlate\\Data\\P1", "eTag", StringValue("T0")));
    ReadFailingHive failing(*hive);
    PlateList unreadable(failing, 1);
    for (int operation : {1 /* the plate's key */, 2 /* its tag */}) {
        failing.FailOperation(operation);
        EXPECT_EQ(unreadable.SetTag("P1", "T1", true), PlateList::SetTagResult::Failed) << operation;
        EXPECT_EQ(Tag("Data", "P1"), "T0") << operation;
    }
}

} // namespace
