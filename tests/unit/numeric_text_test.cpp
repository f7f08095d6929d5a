#include "codelist/numeric_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeeingabe {
namespace {

const NumberFormat kGerman{",", "."};
const NumberFormat kEnglish{".", ","};

struct VerdictCase {
    std::string text;
    bool german;
    bool english;
};

TEST(IsNumericTextTest, GermanAndEnglishVerdicts) {
    const std::vector<VerdictCase> cases = {
        // Plain numbers, signs and surrounding blanks.
        {"-1", true, true},        {"+5", true, true},         {"0", true, true},
        {" 7 ", true, true},       {"\t7\t", true, true},      {"--5", false, false},
        {"+-5", false, false},     {"5-", false, false},       {"- 5", false, false},
        {"7 7", false, false},     {"+", false, false},
        // Nothing numeric at all.
        {"", false, false},        {"   ", false, false},       {"abc", false, false},
        {"12ab", false, false},    {"&H1F", false, false},      {"0x1F", false, false},
        {"\xB2", false, false},
        // Decimal and grouping separators.
        {"1,5", true, true},       {"1.5", true, true},         {"1.000,5", true, false},
        {"1,000.5", false, true},  {"1.0000", true, true},      {"1.000.000", true, false},
        {"1,000,000", false, true}, {"1,5,3", false, true},     {",5", true, false},
        {"5,", true, false},       {".5", false, true},         {"5.", false, true},
        {"-,5", true, false},      {",", false, false},         {".", false, false},
        {"1..0", false, false},    {"1,,0", false, false},      {"1 000", false, false},
        {"1,0.5", false, true},    {"1.0,5.0", false, false},
        // Exponents.
        {"1e5", true, true},       {"1E+05", true, true},       {"1e-5", true, true},
        {"1e", false, false},      {"1e+", false, false},       {"e5", false, false},
        {"1,5e3", true, true},     {"1.e5", false, true},       {"1e5.0", false, false},
        {"1e1,5", false, false},   {"1e5 ", true, true},        {"1 e5", false, false},
        {"1ee5", false, false},    {",e5", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_EQ(IsNumericText(c.text, kGerman), c.german);
        EXPECT_EQ(IsNumericText(c.text, kEnglish), c.english);
    }
}

struct FormatCase {
    NumberFormat format;
    std::string text;
    bool expected;
};

TEST(IsNumericTextTest, UnusualSeparators) {
    const NumberFormat nbsp{",", "\xA0"};
    const NumberFormat twoBytes{",", "\xC2\xA0"};
    const NumberFormat same{",", ","};
    const NumberFormat noGrouping{".", ""};
    const NumberFormat apostrophe{".", "'"};
    const std::vector<FormatCase> cases = {
        {nbsp, "1\xA0" "000,5", true},
        {nbsp, "1 000,5", false},
        {nbsp, "\xA0" "1", false},
        {nbsp, "1\xA0", false},
        {twoBytes, "1\xC2\xA0" "000", true},
        {twoBytes, "1\xC2" "000", false},
        {twoBytes, "1\xC2\xA0\xC2\xA0" "000", false},
        {same, "1,5", true},
        {same, "1,000", true},
        {same, "1,000,5", false},
        {noGrouping, "1000.5", true},
        {noGrouping, "1,000", false},
        {apostrophe, "1'000.25", true},
        {apostrophe, "1'000'", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\" decimal \"" + c.format.decimal_separator + "\" grouping \"" +
                     c.format.grouping_separator + "\"");
        EXPECT_EQ(IsNumericText(c.text, c.format), c.expected);
    }
}

}  // namespace
}  // namespace codeeingabe
