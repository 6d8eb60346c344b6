#include "gui/controls/TextPool.h"
#include "tests/support/CaseName.h"

#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Sample {
    const char* name;
    std::string utf8;
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.name;
}

class TextPoolTexts : public testing::TestWithParam<Sample> {};

// Every text comes back as QString::fromUtf8 reads it, stored alone or among others, and
// after the pool was compacted.
TEST_P(TextPoolTexts, ComeBackAsStoredAlsoAfterCompacting) {
    const QString expected = QString::fromUtf8(GetParam().utf8.data(), static_cast<qsizetype>(GetParam().utf8.size()));
    TextPool pool;
    std::vector<TextPool::Ref> refs;
    for (int i = 0; i < 3; ++i) {
        refs.push_back(pool.AddUtf8(GetParam().utf8));
        refs.push_back(pool.Add(expected));
        const TextPool::Ref dropped = pool.AddUtf8("gone " + std::to_string(i));
        pool.Release(dropped);
    }
    for (TextPool::Ref ref : refs)
        EXPECT_EQ(pool.View(ref), expected);
    pool.Compact(refs);
    for (TextPool::Ref ref : refs)
        EXPECT_EQ(pool.View(ref), expected);
    EXPECT_EQ(pool.WasteUnits(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Samples, TextPoolTexts,
                         testing::Values(Sample{"Empty", ""}, Sample{"OneUnit", "*"}, Sample{"ShortAscii", "ABC-1234"},
                                         Sample{"TagNumber", "E2003412B802011500000001"}, Sample{"Big5Plate", "車1234"},
                                         Sample{"LongNonAscii", "機車機車機車機車機車機車機車機車機車"},
                                         Sample{"InvalidUtf8", std::string("P\xff\xfe"
                                                                           "1")},
                                         Sample{"TruncatedUtf8", "AB\xe8\xbb"},
                                         Sample{"ByteOrderMark", "\xef\xbb\xbfX"},
                                         Sample{"LongerThan14Bits", std::string(20000, 'q')},
                                         Sample{"EmbeddedZero", std::string("a\0b", 3)}),
                         CaseName{});

TEST(TextPool, RepeatedShortTextsAreStoredOnceAndSurviveOneCellDroppingThem) {
    TextPool pool;
    std::vector<TextPool::Ref> refs{pool.Add(u"Car"), pool.Add(u"Motorcycle"), pool.Add(u"Car")};
    EXPECT_EQ(refs[0], refs[2]);
    const std::size_t units = pool.Units();
    pool.Release(refs[0]); // the third cell still shows it
    refs.erase(refs.begin());
    EXPECT_EQ(pool.WasteUnits(), 0u);
    EXPECT_EQ(pool.Add(u"Car"), refs[1]);
    EXPECT_EQ(pool.Units(), units);
    pool.Compact(refs);
    EXPECT_EQ(pool.View(refs[0]), u"Motorcycle");
    EXPECT_EQ(pool.View(refs[1]), u"Car");
}

TEST(TextPool, CompactingKeepsOnlyLiveTextsInTheirCellOrder) {
    TextPool pool;
    std::vector<TextPool::Ref> refs;
    for (int i = 0; i < 5000; ++i) {
        const QString text = QStringLiteral("E2003412B8020115%1").arg(i, 8, 10, QLatin1Char('0'));
        refs.push_back(pool.Add(text));
        if (i % 4 != 0) {
            pool.Release(refs.back());
            refs.pop_back();
        }
    }
    EXPECT_TRUE(pool.Wasteful());
    pool.Compact(refs);
    EXPECT_FALSE(pool.Wasteful());
    EXPECT_LT(pool.Units(), 1250u * 26u + 8u);
    for (std::size_t i = 0; i < refs.size(); ++i)
        EXPECT_EQ(pool.View(refs[i]), QStringLiteral("E2003412B8020115%1").arg(i * 4, 8, 10, QLatin1Char('0')));
}

} // namespace
