#include "core/reader/HexText.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {
struct HexCase {
    const char* name;
    std::string text;
    bool converts;
};

class HexToBytesTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexToBytesTest, AcceptsOnlyCapitalPairsUpToSixteenBytes) {
    const HexCase& c = GetParam();
    std::optional<std::vector<std::uint8_t>> bytes = HexToBytes(c.text);
    EXPECT_EQ(bytes.has_value(), c.converts);
    if (bytes) {
        EXPECT_EQ(BytesToHex(bytes->data(), bytes->size()), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, HexToBytesTest,
                         ::testing::Values(HexCase{"OneByte", "0A", true},
                                           HexCase{"AllDigits", "0123456789ABCDEF", true},
                                           HexCase{"SixteenBytes", std::string(32, 'F'), true},
                                           HexCase{"Empty", "", false}, HexCase{"OddLength", "ABC", false},
                                           HexCase{"SeventeenBytes", std::string(34, 'A'), false},
                                           HexCase{"SmallLetter", "0a", false}, HexCase{"Space", "0A 0B", false},
                                           HexCase{"LetterG", "0G", false}, HexCase{"Sign", "-1", false},
                                           HexCase{"NulInside", std::string("0\0", 2), false}),
                         CaseName{});

TEST(HexTextTest, HighNibbleFirstAndCapitalDigitsBack) {
    std::optional<std::vector<std::uint8_t>> bytes = HexToBytes("E2801160");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0xE2, 0x80, 0x11, 0x60}));
    const std::uint8_t raw[] = {0x00, 0xAB, 0xFF};
    EXPECT_EQ(BytesToHex(raw, 3), "00ABFF");
    EXPECT_EQ(BytesToHex(raw, 0), "");
}
} // namespace
