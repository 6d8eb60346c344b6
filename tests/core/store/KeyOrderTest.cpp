#include "core/store/KeyOrder.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct OrderCase {
    const char* name;
    size_t count;
    bool inOrder;
};

class KeyOrderTest : public ::testing::TestWithParam<OrderCase> {};

// Few distinct keys in mixed case, so ties are many and stability shows; sizes around the
// length of the runs sorted whole before merging.
TEST_P(KeyOrderTest, IsTheStableOrderOfTheFoldedKeys) {
    const OrderCase& c = GetParam();
    std::mt19937 random(7);
    std::vector<std::string> keys(c.count);
    for (std::string& key : keys) {
        const unsigned n = random() % 997;
        key = "E2" + std::to_string(n) + (random() % 2 ? "AB" : "ab");
    }
    const auto folded = [&keys](size_t i) {
        std::string key = keys[i];
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
        return key;
    };
    std::vector<size_t> expected(c.count);
    for (size_t i = 0; i < c.count; ++i)
        expected[i] = i;
    if (c.inOrder)
        std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
            });
        });
    else
        std::stable_sort(expected.begin(), expected.end(), [&](size_t a, size_t b) { return folded(a) < folded(b); });
    size_t pauses = 0;
    const std::vector<size_t> order =
        KeyOrder(c.count, [&keys](size_t i) { return std::string_view(keys[i]); }, [&pauses] { ++pauses; });
    EXPECT_EQ(order, expected);
    EXPECT_GE(pauses, c.count / 8192); // never long without a pause
}

INSTANTIATE_TEST_SUITE_P(Sizes, KeyOrderTest,
                         ::testing::Values(OrderCase{"Empty", 0, false}, OrderCase{"One", 1, false},
                                           OrderCase{"Few", 9, false}, OrderCase{"OneRun", 8192, false},
                                           OrderCase{"RunsAndARest", 3 * 8192 + 17, false},
                                           OrderCase{"AlreadyInOrder", 3 * 8192 + 17, true}),
                         CaseName());

} // namespace
