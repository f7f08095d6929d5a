#include <gtest/gtest.h>

#include <climits>

#include "codelist/credits_from_text.h"
#include "codelist/codelist_export.h"
#include "codelist/codelist_file.h"
#include "platform/get_field.h"

using namespace codeeingabe;

namespace {

TEST(CodeList, GetFieldSplitsAtEveryDelimiter) {
    // clang-format off
    const struct { const char* text; int n; const char* delimiter; const char* field; } cases[] = {
        {"12345=UNUSED", 1, "=", "12345"}, {"12345=UNUSED", 2, "=", "UNUSED"}, {"12345=UNUSED", 3, "=", ""},
        {"=UNUSED", 1, "=", ""}, {"=UNUSED", 2, "=", "UNUSED"}, {"12345=", 2, "=", ""}, {"a=b=c", 3, "=", "c"},
        {"a=b=c", 2, "=", "b"}, {"a=b=c", 4, "=", ""}, {"a==b", 2, "=", ""}, {"a==b", 3, "=", "b"},
        {"a::b::c", 2, "::", "b"}, {"a::b::c", 3, "::", "c"}, {"a:b::c", 1, "::", "a:b"}, {"aaa", 2, "aa", "a"},
        // No delimiter at all: empty whatever the piece, so a line without "=" names no code.
        {"12345", 1, "=", ""}, {"", 1, "=", ""}, {"aXb", 1, "x", ""}, {"a=b", 1, "", ""}, {"a:b", 1, "::", ""},
        {"a=b", 0, "=", ""}, {"a=b", -1, "=", ""}, {"a=b", INT_MIN, "=", ""}, {"a=b", INT_MAX, "=", ""},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(GetField(c.text, c.n, c.delimiter), c.field) << c.text << " " << c.n;
}

TEST(CodeList, FileBytes) {
    // clang-format off
    const std::pair<std::string, std::string> files[] = {
        {CodeListHeading(2, ""), "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n"},
        {CodeListHeading(-32768, " 12 "), "[Einstellungen]\r\nCreditsPerCode=-32768\r\nMasterCode= 12 \r\n\r\n[Codes]\r\n"},
        {CodeListHeading(5, "31415") + CodeListLine("00042") + CodeListLine("99999"),
         "[Einstellungen]\r\nCreditsPerCode=5\r\nMasterCode=31415\r\n\r\n[Codes]\r\n00042=UNUSED\r\n99999=UNUSED\r\n"},
    };
    // clang-format on
    for (const auto& [bytes, expected] : files) EXPECT_EQ(bytes, expected);
    // Start-up must read back every credits value generation writes.
    for (int credits = INT16_MIN; credits <= INT16_MAX; ++credits) {
        const std::string line = GetField(CodeListHeading(static_cast<std::int16_t>(credits), ""), 2, "\r\n");
        ASSERT_EQ(CreditsFromText(GetField(line, 2, "=")), credits) << line;
    }
}

// Free as the keypad reads a code: blanks around the value and one pair of quotes do not count.
TEST(CodeList, FreeCodesAreThoseReadAsUnused) {
    // clang-format off
    const std::pair<std::vector<std::string>, std::size_t> cases[] = {
        {{}, 0}, {{"12345=UNUSED"}, 1}, {{"12345=USED"}, 0}, {{"12345=unused"}, 0}, {{"12345=UNUSED "}, 1},
        {{"12345= UNUSED"}, 1}, {{"12345"}, 0}, {{"UNUSED"}, 0}, {{"a=UNUSED=x"}, 1}, {{"=UNUSED"}, 1},
        {{"12345=\"UNUSED\""}, 1}, {{"12345='UNUSED'"}, 1}, {{"12345=\"UNUSED'"}, 0}, {{"12345=\" UNUSED\""}, 0},
        {{"12345=\"\"UNUSED\"\""}, 0},
        {{"12345=UNUSED", "23456=USED", "34567=UNUSED", "45678=unused", "56789=UNUSED"}, 3},
    };
    // clang-format on
    for (const auto& [entries, free] : cases) EXPECT_EQ(CountFreeCodes(entries), free) << entries.size();
}

TEST(CodeList, ExportNumbersAreAsWideAsTheCountMinusOne) {
    // clang-format off
    const struct { std::size_t i, m; const char* number; } cases[] = {
        {1, 1, "1"}, {1, 2, "1"}, {9, 9, "9"}, {1, 10, "1"}, {10, 10, "10"}, {1, 11, "01"}, {11, 11, "11"},
        {1, 100, "01"}, {99, 100, "99"}, {100, 100, "100"}, {1, 101, "001"}, {42, 250, "042"}, {1, 1000, "001"},
        {999, 1000, "999"}, {1000, 1000, "1000"},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(ExportNumber(c.i, c.m), c.number) << c.i << " of " << c.m;
}

TEST(CodeList, ExportText) {
    const std::string heading = "CodeNr.: \tCode:\r\n\r\n";
    std::vector<std::string> thousand;
    for (int k = 0; k < 1000; ++k) thousand.push_back(std::to_string(10000 + k) + "=USED");
    // clang-format off
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"00042=UNUSED"}, "1:\t\t00042\r\n"},
        {{"12345"}, "1:\t\t\r\n"},
        {{"00042=UNUSED", "12345=USED", "=UNUSED", "a=b=c"}, "1:\t\t00042\r\n2:\t\t12345\r\n3:\t\t\r\n4:\t\ta\r\n"},
    };
    // clang-format on
    for (const auto& [entries, body] : cases) EXPECT_EQ(CodeListExportText(entries), heading + body);
    const std::string text = CodeListExportText(thousand);
    EXPECT_EQ(text.size(), heading.size() + 999 * 13 + 14) << "numbers padded to three digits, the last one four";
    EXPECT_TRUE(text.ends_with("\r\n999:\t\t10998\r\n1000:\t\t10999\r\n"));
}

}  // namespace
