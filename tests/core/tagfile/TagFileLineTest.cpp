#include "core/tagfile/TagFileLine.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

const std::string kTag = "E20000172211010012345678"; // 24 characters

struct LineCase {
    const char* name;
    std::string line;
    TagFileLine::Verdict verdict;
    std::string tagId = {};
    std::string plate = {};
    int carType = 1;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

using V = TagFileLine::Verdict;

class ParseLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseLine, FollowsTheImportRules) {
    const LineCase& c = GetParam();
    TagFileLine classified;
    EXPECT_EQ(TagFileLine::Classify(c.line, classified), c.verdict);
    std::optional<TagFileLine> line = TagFileLine::Parse(c.line);
    ASSERT_EQ(line.has_value(), c.verdict == V::Ok);
    if (!line)
        return;
    EXPECT_EQ(line->tagId, c.tagId);
    EXPECT_EQ(line->plate, c.plate);
    EXPECT_EQ(line->carType, c.carType);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ParseLine,
    ::testing::Values(
        LineCase{"Exported", kTag + ",ABC123,1", V::Ok, kTag, "ABC123", 1},
        LineCase{"Motorcycle", kTag + ",XY9,2", V::Ok, kTag, "XY9", 2},
        LineCase{"SpacedSmallTagDashedPlateBlankType", "e2000017 22110100 12345678,ab-12 3c,   ", V::Ok, kTag,
                 "AB123C", 1},
        LineCase{"EmptyPlateTypeTwo", kTag + ",,2", V::Ok, kTag, "", 2},
        LineCase{"EmptyTypeIsCar", kTag + ",P,", V::Ok, kTag, "P", 1},
        LineCase{"SpacesAroundType", kTag + ",P, 2 ", V::Ok, kTag, "P", 2},
        LineCase{"ChinesePlateKept", kTag + ",臺北-ab 1,1", V::Ok, kTag, "臺北AB1", 1},
        LineCase{"TwelveBig5CharactersAreTwentyFourBytes", "臺臺臺臺臺臺臺臺臺臺臺臺,P,1", V::Ok,
                 "臺臺臺臺臺臺臺臺臺臺臺臺", "P", 1},
        LineCase{"EmptyLine", "", V::Empty},
        LineCase{"ThreeCommas", kTag + ",A,1,", V::Malformed},
        LineCase{"OneComma", kTag + ",A", V::Malformed},
        LineCase{"Tag23", kTag.substr(1) + ",A,1", V::TagTooShort},
        LineCase{"Tag25", kTag + "0,A,1", V::TagTooLong},
        LineCase{"EmptyTag", ",A,1", V::TagTooShort},
        LineCase{"TypeThree", kTag + ",A,3", V::Malformed},
        LineCase{"TypeZeroOne", kTag + ",A,01", V::Malformed},
        LineCase{"TypeOneTab", kTag + ",A,1\t", V::Malformed},
        LineCase{"TabInTagCounts", kTag.substr(1) + "\t,A,1", V::Ok, kTag.substr(1) + "\t", "A", 1},
        LineCase{"TrailingCarriageReturnIsNotALineEnd", kTag + ",A,1\r", V::Malformed}),
    CaseName{});

TEST(FormatLine, WritesTagPlateTypeAndCrLf) {
    EXPECT_EQ(TagFileLine::Format(kTag, "ABC", 2), kTag + ",ABC,2\r\n");
    EXPECT_EQ(TagFileLine::Format(kTag, "", 1), kTag + ",,1\r\n");
    EXPECT_EQ(TagFileLine::Format(kTag, "ABC", 7), kTag + ",ABC,1\r\n"); // any other type is a car
}

TEST(FormatLine, ParsesBackWhatItWrites) {
    std::string line = TagFileLine::Format(kTag, "ABC123", 2);
    line.resize(line.size() - 2);
    auto parsed = TagFileLine::Parse(line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->tagId, kTag);
    EXPECT_EQ(parsed->plate, "ABC123");
    EXPECT_EQ(parsed->carType, 2);
}

std::vector<std::optional<std::string>> Lines(std::initializer_list<const char*> texts) {
    std::vector<std::optional<std::string>> lines;
    for (const char* t : texts)
        lines.emplace_back(t);
    return lines;
}

TEST(DecodeLines, SplitsAtLineFeedsAndDropsTheCarriageReturnBeforeThem) {
    EXPECT_EQ(TagFileLine::DecodeLines("a\r\nb\nc"), Lines({"a", "b", "c"}));
    EXPECT_EQ(TagFileLine::DecodeLines("a\r\n\r\nb\r\n"), Lines({"a", "", "b"}));
    EXPECT_EQ(TagFileLine::DecodeLines(""), Lines({}));
    EXPECT_EQ(TagFileLine::DecodeLines("a\rb\n"), Lines({"a\rb"}));
}

TEST(CodePageLength, CountsTwoBytesForEveryNonAsciiCharacter) {
    EXPECT_EQ(TagFileLine::CodePageLength("AB"), 2u);
    EXPECT_EQ(TagFileLine::CodePageLength("臺A"), 3u);
    EXPECT_EQ(TagFileLine::CodePageLength(""), 0u);
}

} // namespace
