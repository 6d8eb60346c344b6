// The boxes of start-up when the user's hive cannot be used as it is.
#include "gui/app/OpenUserHive.h"
#include "tests/support/CaseName.h"
#include "tests/support/HiveFixtures.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Answers the in-use box, and on Retry the other program lets go first.
class ReleasingPrompts : public ScriptedPrompts {
public:
    HiveLockHolder* other = nullptr;
    bool RetryCancel(QWidget* parent, const QString& text) override {
        bool retry = ScriptedPrompts::RetryCancel(parent, text);
        if (retry && other)
            (void)other->Release();
        return retry;
    }
};

class OpenUserHiveTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("user.hive");
    LanguageTexts texts;
    ReleasingPrompts prompts;
    QString FileName() const { return QString::fromStdString(file); }
};

TEST_F(OpenUserHiveTest, ADamagedHiveGetsABoxNamingItAndIsLeftAsItIs) {
    ASSERT_TRUE(HiveFixtures::MakeRegister(file, 20000));
    ASSERT_TRUE(HiveFixtures::DamageMiddle(file));
    std::string before = HiveFixtures::Bytes(file);
    EXPECT_EQ(OpenUserHive(file, texts), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1);
    EXPECT_TRUE(prompts.Messages()[0].contains(QStringLiteral("損毀")));
    EXPECT_TRUE(prompts.Messages()[0].contains(FileName()));
    EXPECT_TRUE(HiveFixtures::Bytes(file) == before);
}

TEST_F(OpenUserHiveTest, AnotherProgramsDatabaseGetsABoxNamingItAndIsLeftAsItIs) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE plates(no TEXT); INSERT INTO plates VALUES('AB-1234');", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::string before = HiveFixtures::Bytes(file);
    EXPECT_EQ(OpenUserHive(file, texts), nullptr);
    ASSERT_EQ(prompts.Messages().size(), 1);
    EXPECT_TRUE(prompts.Messages()[0].contains(FileName()));
    EXPECT_TRUE(HiveFixtures::Bytes(file) == before);
}

struct BusyCase {
    const char* label;
    bool retry;
};
void PrintTo(const BusyCase& c, std::ostream* out) {
    *out << c.label;
}

class BusyHiveTest : public OpenUserHiveTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(BusyHiveTest, AHeldHiveAsksRetryOrCancel) {
    ASSERT_TRUE(HiveFixtures::MakeRegister(file, 10));
    HiveLockHolder other(file, HiveLockHolder::Lock::Exclusive);
    ASSERT_TRUE(other.Held());
    prompts.other = &other;
    prompts.retryAnswers = {GetParam().retry};

    auto hive = OpenUserHive(file, texts, 100);
    EXPECT_EQ(hive != nullptr, GetParam().retry);
    ASSERT_EQ(prompts.Count(QStringLiteral("retry")), 1);
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("其他程式")));
    EXPECT_TRUE(prompts.shown[0].text.contains(FileName()));
    EXPECT_TRUE(prompts.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, BusyHiveTest, ::testing::Values(BusyCase{"Retry", true}, BusyCase{"Cancel", false}),
                         CaseLabel{});

} // namespace
