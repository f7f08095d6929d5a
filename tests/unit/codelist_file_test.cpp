#include "codelist/codelist_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "codelist/credits_from_text.h"
#include "platform/get_field.h"

namespace codeeingabe {
namespace {

struct HeadingCase {
    std::int16_t credits;
    std::string masterCode;
    std::string expected;
};

TEST(CodeListHeadingTest, ExactBytes) {
    const std::vector<HeadingCase> cases = {
        {2, "", "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n"},
        {-3, "12345", "[Einstellungen]\r\nCreditsPerCode=-3\r\nMasterCode=12345\r\n\r\n[Codes]\r\n"},
        {0, "00001", "[Einstellungen]\r\nCreditsPerCode=0\r\nMasterCode=00001\r\n\r\n[Codes]\r\n"},
        {32767, "99999", "[Einstellungen]\r\nCreditsPerCode=32767\r\nMasterCode=99999\r\n\r\n[Codes]\r\n"},
        {-32768, "54321", "[Einstellungen]\r\nCreditsPerCode=-32768\r\nMasterCode=54321\r\n\r\n[Codes]\r\n"},
        // The master code is written exactly as held, odd content included.
        {10, " 12 ", "[Einstellungen]\r\nCreditsPerCode=10\r\nMasterCode= 12 \r\n\r\n[Codes]\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("credits " + std::to_string(c.credits) + " master \"" + c.masterCode + "\"");
        EXPECT_EQ(CodeListHeading(c.credits, c.masterCode), c.expected);
    }
}

// The writer's number text must read back unchanged by the start-up reader.
TEST(CodeListHeadingTest, CreditsLineReadsBackForEveryValue) {
    for (int value = std::numeric_limits<std::int16_t>::min(); value <= std::numeric_limits<std::int16_t>::max();
         ++value) {
        const auto credits = static_cast<std::int16_t>(value);
        const std::string line = GetField(CodeListHeading(credits, ""), 2, "\r\n");
        const auto readBack = CreditsFromText(GetField(line, 2, "="));
        ASSERT_EQ(readBack, credits) << "line: " << line;
    }
}

TEST(CodeListFileTest, WholeFileByteForByte) {
    std::string file = CodeListHeading(5, "31415");
    for (const char* code : {"00042", "12345", "99999"}) {
        file += CodeListLine(code);
    }
    EXPECT_EQ(file,
              "[Einstellungen]\r\n"
              "CreditsPerCode=5\r\n"
              "MasterCode=31415\r\n"
              "\r\n"
              "[Codes]\r\n"
              "00042=UNUSED\r\n"
              "12345=UNUSED\r\n"
              "99999=UNUSED\r\n");
}

TEST(CountFreeCodesTest, CountsEntriesWhoseValueIsExactlyUnused) {
    struct Case {
        std::vector<std::string> entries;
        std::size_t expected;
    };
    const std::vector<Case> cases = {
        {{}, 0},
        {{"12345=UNUSED"}, 1},
        {{"12345=USED"}, 0},
        {{"12345=unused"}, 0},
        {{"12345=UNUSED "}, 0},
        {{"12345= UNUSED"}, 0},
        {{"12345"}, 0},
        {{"UNUSED"}, 0},
        {{"a=UNUSED=x"}, 1},
        {{"=UNUSED"}, 1},
        {{"12345=UNUSED", "23456=USED", "34567=UNUSED", "45678=unused", "56789=UNUSED"}, 3},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& entry : c.entries) {
            joined += "[" + entry + "]";
        }
        SCOPED_TRACE("entries: " + joined);
        EXPECT_EQ(CountFreeCodes(c.entries), c.expected);
    }
}

}  // namespace
}  // namespace codeeingabe
