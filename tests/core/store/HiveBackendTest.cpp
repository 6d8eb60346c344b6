// The behaviour the register relies on, checked on every hive this platform has: the embedded
// one everywhere, and the real registry on Windows (under a key of the test's own below
// HKEY_CURRENT_USER, deleted afterwards).
#include "core/store/SqliteHive.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include "core/store/WinRegistryHive.h"
#include <process.h>
#endif

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class HiveHolder {
public:
    virtual ~HiveHolder() = default;
    virtual Hive& Get() = 0;
};

class SqliteHolder : public HiveHolder {
public:
    Hive& Get() override { return *hive; }

private:
    TempDir dir;
    std::unique_ptr<SqliteHive> hive = SqliteHive::Open(dir.File("user.hive"));
};

#ifdef _WIN32
class RegistryHolder : public HiveHolder {
public:
    RegistryHolder() : name(L"Software\\LumetraTest-" + std::to_wstring(_getpid())) {
        RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        hive = std::make_unique<WinRegistryHive>(key);
    }
    ~RegistryHolder() override {
        hive.reset();
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
    }
    Hive& Get() override { return *hive; }

private:
    std::wstring name;
    HKEY key = nullptr;
    std::unique_ptr<WinRegistryHive> hive;
};
#endif

struct Backend {
    const char* name;
    std::function<std::unique_ptr<HiveHolder>()> make;
};

void PrintTo(const Backend& b, std::ostream* os) { *os << b.name; }

class HiveBackendTest : public ::testing::TestWithParam<Backend> {
protected:
    std::unique_ptr<HiveHolder> holder = GetParam().make();
    Hive& hive = holder->Get();
};

TEST_P(HiveBackendTest, StringsComeBackAsWrittenWithoutATerminatingZero) {
    ASSERT_TRUE(hive.CreateKey("eTag\\T1", nullptr));
    for (const std::string text : {"", "AB-1234", "車1", "臺北市 ABC-5678"}) {
        ASSERT_TRUE(hive.SetValue("eTag\\T1", "LicNo", StringValue(text))) << text;
        auto back = hive.GetValue("eTag\\T1", "LicNo");
        ASSERT_TRUE(back);
        EXPECT_EQ(back->type, ValueType::String);
        EXPECT_EQ(back->data, text);
        auto all = hive.Values("eTag\\T1");
        ASSERT_TRUE(all && all->size() == 1);
        EXPECT_EQ(all->front().second.data, text);
    }
    ASSERT_TRUE(hive.SetValue("eTag\\T1", "CarType", DwordValue(2)));
    EXPECT_EQ(AsDword(*hive.GetValue("eTag\\T1", "cartype")), 2u);
    EXPECT_EQ(hive.StoreErrors(), 0);
}

TEST_P(HiveBackendTest, RolledBackBatchLeavesNoHalfWrittenRecord) {
    ASSERT_TRUE(hive.CreateKey("eTag\\Old", nullptr));
    ASSERT_TRUE(hive.SetValue("eTag\\Old", "LicNo", StringValue("P-OLD")));
    ASSERT_TRUE(hive.BeginBatch());
    EXPECT_TRUE(hive.CreateKey("eTag\\New\\Deep", nullptr));
    EXPECT_TRUE(hive.SetValue("eTag\\New\\Deep", "LicNo", StringValue("P-NEW")));
    EXPECT_TRUE(hive.SetValue("eTag\\Old", "LicNo", StringValue("P-CHANGED")));
    EXPECT_TRUE(hive.SetValue("eTag\\Old", "CarType", DwordValue(2)));
    EXPECT_FALSE(hive.EndBatch(false));

    EXPECT_FALSE(hive.KeyExists("eTag\\New"));
    EXPECT_EQ(hive.GetValue("eTag\\Old", "LicNo")->data, "P-OLD");
    EXPECT_FALSE(hive.GetValue("eTag\\Old", "CarType"));
    // A committed batch keeps everything.
    ASSERT_TRUE(hive.BeginBatch());
    EXPECT_TRUE(hive.SetValue("eTag\\Old", "CarType", DwordValue(2)));
    EXPECT_TRUE(hive.EndBatch(true));
    EXPECT_EQ(AsDword(*hive.GetValue("eTag\\Old", "CarType")), 2u);
}

TEST_P(HiveBackendTest, KeysListInNameOrderAndMissingIsNoError) {
    for (const char* name : {"b", "A", "c", "B2"})
        ASSERT_TRUE(hive.CreateKey(std::string("eTag\\") + name, nullptr));
    EXPECT_EQ(*hive.SubKeys("eTag"), (std::vector<std::string>{"A", "b", "B2", "c"}));
    EXPECT_TRUE(hive.KeyExists("ETAG\\a"));
    EXPECT_FALSE(hive.DeleteKey("eTag")); // it has subkeys
    EXPECT_TRUE(hive.DeleteKey("eTag\\A"));
    EXPECT_FALSE(hive.KeyExists("eTag\\A"));
    EXPECT_FALSE(hive.SubKeys("nothing"));
    EXPECT_FALSE(hive.Values("nothing"));
    EXPECT_FALSE(hive.GetValue("eTag\\b", "nothing"));
    EXPECT_FALSE(hive.SetValue("nothing", "LicNo", StringValue("P")));
    EXPECT_EQ(hive.StoreErrors(), 0);
}

INSTANTIATE_TEST_SUITE_P(, HiveBackendTest,
                         ::testing::Values(Backend{"Embedded", [] { return std::make_unique<SqliteHolder>(); }}
#ifdef _WIN32
                                           ,
                                           Backend{"Registry", [] { return std::make_unique<RegistryHolder>(); }}
#endif
                                           ),
                         CaseName{});

#ifdef _WIN32
// The registry holds UTF-16: text that is not UTF-8 is refused, never stored as "?".
TEST(WinRegistryHiveTest, RefusesTextThatIsNotUtf8) {
    RegistryHolder holder;
    Hive& hive = holder.Get();
    ASSERT_TRUE(hive.CreateKey("eTag\\T1", nullptr));
    EXPECT_FALSE(hive.SetValue("eTag\\T1", "LicNo", StringValue("\xA8\xAE" "1"))); // Big5 bytes
    EXPECT_FALSE(hive.GetValue("eTag\\T1", "LicNo"));
    EXPECT_FALSE(hive.CreateKey("eTag\\\xA8\xAE", nullptr));
}
#endif

} // namespace
