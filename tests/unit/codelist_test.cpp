#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "codelist/chacha20.h"
#include "codelist/credits_from_text.h"
#include "codelist/codelist_export.h"
#include "codelist/codelist_file.h"
#include "codelist/generation.h"
#include "codelist/journal.h"
#include "fake_system.h"
#include "platform/get_field.h"
#include "test_files.h"

using namespace codeeingabe;

// A line without "=" names no code: without the delimiter every piece is empty. Free is a code as
// the keypad reads it: blanks around the value and one pair of quotes do not count.
TEST(CodeList, FieldsLinesFreeCodesAndExport) {
    // clang-format off
    const struct { const char* text; int n; const char* delimiter; const char* field; } cases[] = {
        {"=UNUSED", 1, "=", ""}, {"12345=", 2, "=", ""}, {"a=b=c", 2, "=", "b"}, {"a=b=c", 3, "=", "c"}, {"a=b=c", 4, "=", ""},
        {"a::b::c", 3, "::", "c"}, {"aaa", 2, "aa", "a"}, {"a:b::c", 1, "::", "a:b"}, {"12345", 1, "=", ""}, {"a=b", 1, "", ""},
        {"a=b", 0, "=", ""}, {"a=b", INT_MIN, "=", ""}, {"a=b", INT_MAX, "=", ""},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(GetField(c.text, c.n, c.delimiter), c.field) << c.text << " " << c.n;
    EXPECT_EQ(CodeListHeading(-32768, " 12 ") + CodeListLine("00042"),
              Crlf("[Einstellungen]|CreditsPerCode=-32768|MasterCode= 12 ||[Codes]|00042=UNUSED|"));
    // Start-up must read back every credits value generation writes.
    for (int credits = INT16_MIN; credits <= INT16_MAX; ++credits) {
        const std::string line = GetField(CodeListHeading(static_cast<std::int16_t>(credits), ""), 2, "\r\n");
        ASSERT_EQ(CreditsFromText(GetField(line, 2, "=")), credits) << line;
    }
    // clang-format off
    const std::pair<std::vector<std::string>, std::size_t> freeCodes[] = {
        {{}, 0}, {{"1=unused"}, 0}, {{"1= UNUSED "}, 1}, {{"12345"}, 0}, {{"UNUSED"}, 0}, {{"a=UNUSED=x"}, 1}, {{"=UNUSED"}, 1},
        {{"1='UNUSED'"}, 1}, {{"1=\" UNUSED\""}, 0}, {{"12345=UNUSED", "23456=USED", "34567=UNUSED", "45678=unused", "5=UNUSED"}, 3},
    };
    // clang-format on
    for (const auto& [entries, count] : freeCodes) EXPECT_EQ(CountFreeCodes(entries), count) << entries.size();
    // Export numbers are as wide as the count minus one, so the last can be one digit wider.
    // clang-format off
    const struct { std::size_t i, m; const char* number; } numbers[] = {
        {1, 1, "1"}, {9, 9, "9"}, {10, 10, "10"}, {1, 11, "01"}, {11, 11, "11"}, {99, 100, "99"}, {100, 100, "100"},
        {1, 101, "001"}, {42, 250, "042"}, {1, 1000, "001"}, {1000, 1000, "1000"},
    };
    // clang-format on
    for (const auto& c : numbers) EXPECT_EQ(ExportNumber(c.i, c.m), c.number) << c.i << " of " << c.m;
    const std::string heading = "CodeNr.: \tCode:\r\n\r\n";
    EXPECT_EQ(CodeListExportText({}), heading);
    EXPECT_EQ(CodeListExportText({"00042=UNUSED", "12345=USED", "=UNUSED", "a=b=c", "12345"}),
              heading + Crlf("1:\t\t00042|2:\t\t12345|3:\t\t|4:\t\ta|5:\t\t|"));
    const std::string eleven = CodeListExportText(std::vector<std::string>(11, "00007=USED"));
    EXPECT_TRUE(eleven.starts_with(heading + "01:\t\t00007\r\n") && eleven.ends_with("\r\n11:\t\t00007\r\n")) << eleven;
}

// Lines as a German spreadsheet reads them: date and time padded, the code kept as text.
TEST(CodeList, JournalLines) {
    EXPECT_EQ(JournalFileName(2027) + JournalHeading(),
              "Journal 2027.csv\xEF\xBB\xBF"
              "Datum;Uhrzeit;Ereignis;Code;Credits;Bemerkung\r\n");
    // clang-format off
    const struct { JournalTime time; JournalEntry entry; const char* line; } rows[] = {
        {{2026, 1, 2, 3, 4, 5}, {JournalEvent::codeReturned, "01234", -2, "x"}, "02.01.2026;03:04:05;Code zurückgegeben;=\"01234\";-2;x\r\n"},
        {{1999, 12, 31, 23, 59, 59}, {JournalEvent::hostModeEnded, "", std::nullopt, ""}, "31.12.1999;23:59:59;Hostmodus beendet;;;\r\n"},
        {{2026, 10, 10, 0, 0, 0}, {JournalEvent::listGenerated, "", 0, "3 Codes"}, "10.10.2026;00:00:00;Codeliste erstellt;;0;3 Codes\r\n"},
    };
    // clang-format on
    for (const auto& row : rows) EXPECT_EQ(JournalLine(row.time, row.entry), row.line);
}

static std::vector<std::string> Draw(std::uint64_t seed, float seconds, int count) {
    test::FakeSystem system(seed, seconds);
    CodeGenerator generator(system, system);
    std::vector<std::string> codes(count);
    for (std::string& code : codes) code = generator.GenerateCode();
    return codes;
}

// The block function test vector of RFC 8439, section 2.3.2.
TEST(Generation, ChaCha20KnownAnswer) {
    ChaChaKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i);
    std::string hex;
    for (int byte : ChaCha20Block(key, 1, {0x09000000, 0x4a000000, 0}))
        hex += {"0123456789abcdef"[byte / 16], "0123456789abcdef"[byte % 16]};
    EXPECT_EQ(
        hex,
        "10f1e7e4d13b5915500fdd1fa32071c4c7d1f4c733c068030422aa9ac3d46c4ed2826446079faa0914c2d705d98b02a2b5129cd1de164eb9cbd083e8a2503c4e");
}

// Hands out the given codes in turn, so that a run's file is known byte for byte.
struct ScriptedCodes : CodeSource {
    std::vector<std::string> codes{"00042", "12345", "00042", "99999", "12345", "00000", "55555", "00001", "00042"};
    std::size_t drawn = 0;
    std::string GenerateCode() override { return codes.at(drawn++); }
};

// Each digit stands for 25 byte values; the six left over are drawn again. Reseeding before every
// digit mixes into the running state instead of restarting from the time: were it otherwise, every
// code drawn within one tick from a broken source (all bytes zero) would be the same.
TEST(Generation, UniformDigitsReseededEveryTimeDifferentCodes) {
    std::array<int, 11> bytesPerDigit{};
    for (int byte = 0; byte < 256; ++byte) ++bytesPerDigit[DigitOfByte(static_cast<std::uint8_t>(byte)).value_or(10)];
    EXPECT_EQ(bytesPerDigit, (std::array<int, 11>{25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 6}));
    // Known codes for a known source and time: a change in how any byte of a reseed is mixed in shows.
    EXPECT_EQ(Draw(3, 3600.5f, 4), (std::vector<std::string>{"04645", "73193", "93985", "74383"}));
    EXPECT_NE(Draw(3, 3600.75f, 50), Draw(3, 3600.5f, 50));
    const std::vector<std::string> broken = Draw(0, 0.0f, 2000);
    EXPECT_GT(std::set<std::string>(broken.begin(), broken.end()).size(), 1950u);  // about 20 repeats expected
    EXPECT_LT(std::count_if(broken.begin(), broken.end(), [](const std::string& c) { return c == std::string(5, c[0]); }),
              10);
    // Five fresh deliveries per code: a source that fails at its fifth fails the first code.
    test::FakeSystem four(7, 1.0f, 4), five(7, 1.0f, 5);
    CodeGenerator failing(four, four), once(five, five);
    EXPECT_THROW(failing.GenerateCode(), RandomSourceFailure);
    EXPECT_EQ(once.GenerateCode().size(), 5u);
    EXPECT_THROW(CodeListGeneration(once).CreateCodeList(3, 2, ""), RandomSourceFailure);

    // A list holds different codes, all "UNUSED", in the order first drawn, and never the master code.
    const auto heading = [](const char* master) {
        return Crlf("[Einstellungen]|CreditsPerCode=5|MasterCode=") + master + Crlf("||[Codes]|");
    };
    ScriptedCodes codes;
    CodeListGeneration generation(codes);
    EXPECT_EQ(generation.CreateCodeList(4, 5, "12345"),
              heading("12345") + Crlf("00042=UNUSED|99999=UNUSED|00000=UNUSED|55555=UNUSED|"));
    EXPECT_EQ(codes.drawn, 7u) << "drawing ends with the fourth different code";
    EXPECT_TRUE(generation.CodeCount() == 4 && generation.CodeExists("00000") && !generation.CodeExists("12345"));
    EXPECT_EQ(generation.CreateCodeList(2, 5, "31415"), heading("31415") + Crlf("00001=UNUSED|00042=UNUSED|"))
        << "each run starts afresh";
    EXPECT_THROW(generation.CreateCodeList(kMaxCodeCount + 1, 2, ""), std::out_of_range);
    test::FakeSystem system(11, 43200.0f);
    CodeGenerator generator(system, system);
    const std::string list = CodeListGeneration(generator).CreateCodeList(kMaxCodeCount, 5, "31415");
    EXPECT_EQ(list.size(), heading("31415").size() + kMaxCodeCount * 14);
    for (std::size_t line = heading("31415").size(); line < list.size(); line += 14) {
        ASSERT_TRUE(list.substr(line, 5).find_first_not_of("0123456789") == list.npos &&
                    list.substr(line + 5, 9) == "=UNUSED\r\n")
            << list.substr(line, 14);
    }
}
