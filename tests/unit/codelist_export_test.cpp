#include "codelist/codelist_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codelist/codelist_file.h"

namespace codeeingabe {
namespace {

constexpr char kHeading[] = "CodeNr.: \tCode:\r\n\r\n";

TEST(ExportNumberTest, WidthFollowsDigitsOfCountMinusOne) {
    struct Case {
        std::size_t i;
        std::size_t m;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {1, 1, "1"},        {1, 2, "1"},       {2, 2, "2"},      {1, 9, "1"},       {9, 9, "9"},
        {1, 10, "1"},       {10, 10, "10"},    {1, 11, "01"},    {11, 11, "11"},    {1, 100, "01"},
        {99, 100, "99"},    {100, 100, "100"}, {1, 101, "001"},  {101, 101, "101"}, {1, 250, "001"},
        {42, 250, "042"},   {250, 250, "250"}, {1, 1000, "001"}, {999, 1000, "999"}, {1000, 1000, "1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("i " + std::to_string(c.i) + " m " + std::to_string(c.m));
        EXPECT_EQ(ExportNumber(c.i, c.m), c.expected);
    }
}

TEST(CodeListExportTextTest, ExactBytesOfSmallLists) {
    struct Case {
        std::vector<std::string> entries;
        std::string body;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"00042=UNUSED"}, "1:\t\t00042\r\n"},
        {{"12345"}, "1:\t\t\r\n"},
        {{"00042=UNUSED", "12345=USED", "=UNUSED", "a=b=c"},
         "1:\t\t00042\r\n2:\t\t12345\r\n3:\t\t\r\n4:\t\ta\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("entries: " + std::to_string(c.entries.size()));
        EXPECT_EQ(CodeListExportText(c.entries), kHeading + c.body);
    }
}

TEST(CodeListExportTextTest, NumbersPaddedAcrossWholeList) {
    std::vector<std::string> entries;
    for (int k = 0; k < 11; ++k) {
        entries.push_back("1000" + std::to_string(k % 10) + "=UNUSED");
    }
    const std::string text = CodeListExportText(entries);
    EXPECT_TRUE(text.starts_with(std::string(kHeading) + "01:\t\t10000\r\n02:\t\t10001\r\n"));
    EXPECT_TRUE(text.ends_with("\r\n10:\t\t10009\r\n11:\t\t10000\r\n"));
}

TEST(CodeListExportTextTest, ThousandEntries) {
    std::vector<std::string> entries;
    for (int k = 0; k < 1000; ++k) {
        std::string code = std::to_string(10000 + k);
        std::string line = CodeListLine(code);
        entries.push_back(line.substr(0, line.size() - 2));
    }
    const std::string text = CodeListExportText(entries);

    // Heading, then 999 lines "nnn:\t\tccccc\r\n" and one line "1000:\t\tccccc\r\n".
    const std::size_t headingSize = sizeof(kHeading) - 1;
    EXPECT_EQ(text.size(), headingSize + 999 * 13 + 14);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1002);
    EXPECT_NE(text.find("\r\n001:\t\t10000\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n999:\t\t10998\r\n1000:\t\t10999\r\n"));
}

}  // namespace
}  // namespace codeeingabe
