#include "codelist/credits_from_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace codeeingabe {
namespace {

struct ReadCase {
    std::string text;
    double expected;
};

void ExpectReads(const std::vector<ReadCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_EQ(LeadingNumber(c.text), c.expected);
    }
}

TEST(LeadingNumberTest, ReadsDecimalNumberAtStart) {
    ExpectReads({
        {"3", 3.0},        {"007", 7.0},      {"-3", -3.0},     {"+5", 5.0},
        {".5", 0.5},       {"2.25", 2.25},    {"0.1", 0.1},     {"-0.75", -0.75},
        {"1.5E1", 15.0},   {"1.5e1", 15.0},   {"1.5D1", 15.0},  {"1.5d1", 15.0},
        {"25E-1", 2.5},    {"2E+2", 200.0},   {"5.", 5.0},      {"1e-400", 0.0},
    });
}

TEST(LeadingNumberTest, StopsAtFirstCharacterThatDoesNotFit) {
    ExpectReads({
        {"3 apples", 3.0}, {"2,5", 2.0},   {"1,5", 1.0},   {"12ab", 12.0},
        {"1.2.3", 1.2},    {"1e2e3", 100.0}, {"1-2", 1.0}, {"4+4", 4.0},
        {"1E", 1.0},       {"1E+", 1.0},   {"1d-", 1.0},   {"1Ex5", 1.0},
        {"1\r2", 1.0},
    });
}

TEST(LeadingNumberTest, NoLeadingNumberReadsZero) {
    ExpectReads({
        {"", 0.0},  {"abc", 0.0}, {"-", 0.0},  {".", 0.0},  {"E5", 0.0},
        {"--5", 0.0}, {"+-5", 0.0}, {"$5", 0.0}, {",5", 0.0}, {"\xB2", 0.0},
    });
}

TEST(LeadingNumberTest, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    ExpectReads({
        {"1 2", 12.0},     {" - 3", -3.0},  {"\t\n 42", 42.0}, {"1\t2\n3", 123.0},
        {"1 . 5", 1.5},    {"1 E 2", 100.0}, {"1E - 1", 0.1},  {"& H 1F", 31.0},
    });
}

TEST(LeadingNumberTest, ReadsHexadecimalAndOctal) {
    ExpectReads({
        {"&H1F", 31.0},  {"&h1f", 31.0},   {"&HfF", 255.0}, {"&O17", 15.0},
        {"&o17", 15.0},  {"&H", 0.0},      {"&O", 0.0},     {"&H1G", 1.0},
        {"&O18", 1.0},   {"&O8", 0.0},     {"&H7FFF", 32767.0}, {"&H.5", 0.0},
        {"&X12", 0.0},   {"&", 0.0},       {"-&H10", 0.0},  {"&H10E1", 4321.0},
    });
}

TEST(LeadingNumberTest, RoundsCorrectlyToDouble) {
    EXPECT_EQ(LeadingNumber("1.7976931348623157e308"), DBL_MAX);
    EXPECT_EQ(LeadingNumber("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(LeadingNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(LeadingNumber("0.000123"), 0.000123);
}

TEST(LeadingNumberTest, SaturatesOnHugeInputs) {
    const std::string manyNines(100'000, '9');
    EXPECT_EQ(LeadingNumber(manyNines), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("-" + manyNines), -HUGE_VAL);
    EXPECT_EQ(LeadingNumber("9e99"), 9e99);
    EXPECT_EQ(LeadingNumber("2e308"), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("1e" + std::string(30, '9')), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("1e-" + std::string(30, '9')), 0.0);
    EXPECT_EQ(LeadingNumber("0." + std::string(100'000, '0') + "1"), 0.0);
    EXPECT_EQ(LeadingNumber("&O" + std::string(100'000, '7')), HUGE_VAL);

    const double hex = LeadingNumber("&H" + std::string(50, 'F'));
    EXPECT_TRUE(std::isfinite(hex));
    EXPECT_GT(hex, 1e59);
}

TEST(LeadingNumberTest, LongDigitRunsKeepTheirValue) {
    EXPECT_EQ(LeadingNumber(std::string(100'000, '0') + "5"), 5.0);
    EXPECT_EQ(LeadingNumber("1" + std::string(100'000, '0') + "e-100000"), 1.0);
    EXPECT_EQ(LeadingNumber("0." + std::string(100'000, '0') + "25e100001"), 2.5);
    EXPECT_EQ(LeadingNumber("3." + std::string(100'000, '3')), 10.0 / 3.0);
}

struct CreditsCase {
    std::string text;
    std::optional<std::int16_t> expected;
};

void ExpectCredits(const std::vector<CreditsCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_EQ(CreditsFromText(c.text), c.expected);
    }
}

TEST(CreditsFromTextTest, RoundsHalfToEven) {
    ExpectCredits({
        {"3.5", 4},   {"2.5", 2},    {"0.5", 0},    {"1.5", 2},   {"4.5", 4},
        {"-0.5", 0},  {"-1.5", -2},  {"-2.5", -2},  {"0.49", 0},  {"0.51", 1},
        {"-0.51", -1}, {"2.4999", 2}, {"25E-1", 2}, {".5", 0},    {"&H1F", 31},
    });
}

TEST(CreditsFromTextTest, TakesTheLeadingNumber) {
    ExpectCredits({
        {"007", 7}, {"-3", -3}, {"abc", 0}, {"", 0},  {"1 2", 12}, {" - 3", -3},
        {"&O17", 15}, {"1.5E1", 15}, {"1.5D1", 15}, {"+5", 5}, {"1,5", 1},
        {"3 apples", 3}, {"1e-30", 0},
    });
}

TEST(CreditsFromTextTest, AcceptsExactlyTheInt16Range) {
    ExpectCredits({
        {"32767", 32767},      {"32767.4", 32767},    {"32767.5", std::nullopt},
        {"32768", std::nullopt}, {"-32768", -32768},  {"-32768.5", -32768},
        {"-32768.6", std::nullopt}, {"-32769", std::nullopt}, {"&H7FFF", 32767},
        {"&H8000", std::nullopt}, {"1e5", std::nullopt}, {"3.2767E4", 32767},
    });
}

TEST(CreditsFromTextTest, RejectsHugeValuesWithoutWrapping) {
    ExpectCredits({
        {"9e99", std::nullopt},
        {"-9e99", std::nullopt},
        {"65536", std::nullopt},
        {"65537", std::nullopt},
        {"4294967297", std::nullopt},
        {std::string(100'000, '9'), std::nullopt},
        {"&H" + std::string(50, 'F'), std::nullopt},
        {"1e" + std::string(30, '9'), std::nullopt},
        {"1e-" + std::string(30, '9'), 0},
    });
}

}  // namespace
}  // namespace codeeingabe
