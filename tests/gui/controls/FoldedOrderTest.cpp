#include "gui/controls/CaseFold.h"
#include "gui/controls/FoldedOrder.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// Texts drawn from a small alphabet with a shared lead, so that the sort has long runs that
// tie for many units, texts that end inside a packed group, and exact duplicates.
struct TextSet {
    std::string name;
    QString lead;     // every text starts with it
    QString alphabet; // the rest is drawn from these
    int maxTail;
    int count;
};

void PrintTo(const TextSet& set, std::ostream* out) {
    *out << set.name;
}

std::vector<QString> Draw(const TextSet& set, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QString> texts;
    for (int i = 0; i < set.count; ++i) {
        QString text = set.lead;
        const int tail = static_cast<int>(random() % (set.maxTail + 1));
        for (int k = 0; k < tail; ++k)
            text += set.alphabet[static_cast<qsizetype>(random() % set.alphabet.size())];
        texts.push_back(text);
    }
    return texts;
}

class FoldedOrderTest : public testing::TestWithParam<TextSet> {};

// The order must be exactly that of a stable sort with the list's comparison, both ways.
TEST_P(FoldedOrderTest, AgreesWithAStableSortOfTheFoldedComparison) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::vector<QString> texts = Draw(GetParam(), seed);
        const std::vector<QStringView> views(texts.begin(), texts.end());
        for (bool ascending : {true, false}) {
            std::vector<int> expected(texts.size());
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                const int order = CompareFolded(texts[a], texts[b]);
                return ascending ? order < 0 : order > 0;
            });
            ASSERT_EQ(FoldedOrder(views, ascending), expected) << "seed " << seed << " ascending " << ascending;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, FoldedOrderTest,
    testing::Values(TextSet{"HexTagsOfOneBatch", QStringLiteral("E2003412B8020115"), QStringLiteral("0123456789ABCDEF"),
                            8, 3000},
                    TextSet{"FewLettersBothCases", QString(), QStringLiteral("aAbB"), 9, 2000},
                    TextSet{"EndingInsideAGroup", QStringLiteral("P"), QStringLiteral("01"), 6, 2000},
                    TextSet{"NulAgainstTheEnd", QStringLiteral("x"), QString(QChar(0)) + QStringLiteral("a"), 5, 1000},
                    TextSet{"TwoByteCharacters", QString::fromUtf8("車"), QString::fromUtf8("汽機車Aa"), 7, 2000},
                    TextSet{"OnlyDuplicates", QStringLiteral("Car"), QString(), 0, 500},
                    TextSet{"HighCodeUnits", QString(), QString(QChar(0xFFFF)) + QChar(0xFFFE) + QChar(0x7A), 6, 1000}),
    CaseName{});

TEST(FoldedOrder, EmptyAndSingle) {
    EXPECT_EQ(FoldedOrder({}, true), std::vector<int>{});
    const QString one = QStringLiteral("x");
    EXPECT_EQ(FoldedOrder({QStringView(one)}, false), std::vector<int>{0});
}

} // namespace
