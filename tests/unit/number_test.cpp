#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "codelist/credits_from_text.h"
#include "codelist/generation.h"
#include "codelist/numeric_text.h"
#include "codelist/settings_logic.h"
#include "credit/host_message.h"

using namespace codeeingabe;

namespace {

const std::string k9s(100'000, '9'), k0s(100'000, '0');

TEST(Numbers, LeadingNumber) {
    // clang-format off
    const struct { std::string text; double value; } cases[] = {
        {"3", 3}, {"007", 7}, {"-3", -3}, {"+5", 5}, {".5", 0.5}, {"2.25", 2.25}, {"0.1", 0.1}, {"-0.75", -0.75},
        {"1.5E1", 15}, {"1.5e1", 15}, {"1.5D1", 15}, {"1.5d1", 15}, {"25E-1", 2.5}, {"2E+2", 200}, {"5.", 5},
        // Reading stops at what cannot continue the number.
        {"3 apples", 3}, {"2,5", 2}, {"12ab", 12}, {"1.2.3", 1.2}, {"1e2e3", 100}, {"1-2", 1}, {"4+4", 4},
        {"1E", 1}, {"1E+", 1}, {"1d-", 1}, {"1Ex5", 1}, {"1\r2", 1},
        {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"E5", 0}, {"--5", 0}, {"+-5", 0}, {"$5", 0}, {",5", 0}, {"\xB2", 0},
        // Blanks, tabs and line feeds count nowhere.
        {"1 2", 12}, {" - 3", -3}, {"\t\n 42", 42}, {"1\t2\n3", 123}, {"1 . 5", 1.5}, {"1 E 2", 100}, {"1E - 1", 0.1},
        {"& H 1F", 31}, {"&H1F", 31}, {"&h1f", 31}, {"&HfF", 255}, {"&HaA", 170}, {"&O17", 15}, {"&o17", 15},
        {"&H", 0}, {"&O", 0}, {"&H1G", 1}, {"&O18", 1}, {"&O8", 0}, {"&H7FFF", 32767}, {"&H.5", 0}, {"&X12", 0},
        {"&", 0}, {"-&H10", 0}, {"&H10E1", 4321}, {"&H09", 9}, {"&O10", 8},
        {"1.7976931348623157e308", DBL_MAX}, {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {"123456789012345678901234567890", 123456789012345678901234567890.0}, {"0.000123", 0.000123},
        {"1e-400", 0}, {"1e-399", 0}, {"1e399", HUGE_VAL}, {"0.1e400", HUGE_VAL}, {"10e-401", 0},
        {k9s, HUGE_VAL}, {"-" + k9s, -HUGE_VAL}, {"9e99", 9e99}, {"2e308", HUGE_VAL}, {"1e" + k9s, HUGE_VAL},
        {"1e-" + k9s, 0}, {"0." + k0s + "1", 0}, {"&O" + std::string(100'000, '7'), HUGE_VAL},
        {k0s + "5", 5}, {"1" + k0s + "e-100000", 1}, {"0." + k0s + "25e100001", 2.5},
        {"3." + std::string(100'000, '3'), 10.0 / 3.0},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text.substr(0, 40);
}

TEST(Numbers, CreditsRoundHalfToEvenWithinInt16) {
    // clang-format off
    const struct { std::string text; std::optional<std::int16_t> credits; } cases[] = {
        {"3.5", 4}, {"2.5", 2}, {"0.5", 0}, {"1.5", 2}, {"4.5", 4}, {"-0.5", 0}, {"-1.5", -2}, {"-2.5", -2},
        {"0.49", 0}, {"0.51", 1}, {"-0.51", -1}, {"2.4999", 2}, {"25E-1", 2}, {"&H1F", 31}, {"abc", 0}, {"1,5", 1},
        {"32767", 32767}, {"32767.4", 32767}, {"32767.5", std::nullopt}, {"32768", std::nullopt},
        {"-32768", -32768}, {"-32768.5", -32768}, {"-32768.6", std::nullopt}, {"-32769", std::nullopt},
        {"&H8000", std::nullopt}, {"1e5", std::nullopt}, {"3.2767E4", 32767}, {"65536", std::nullopt},
        {"4294967297", std::nullopt}, {"-9e99", std::nullopt}, {k9s, std::nullopt}, {"1e-" + k9s, 0},
        {"&H" + std::string(50, 'F'), std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(CreditsFromText(c.text), c.credits) << c.text.substr(0, 40);
}

TEST(Numbers, CodeCountAndHostHandleFollowTheSameReading) {
    const std::optional<std::size_t> none;
    // clang-format off
    const std::pair<const char*, std::optional<std::size_t>> counts[] = {
        {"1", 1}, {"1000", 1000}, {"12ab", 12}, {"2.5", 2}, {" 2 5 0", 250}, {"1000.5", 1000}, {"1000.6", none},
        {"1001", none}, {"0", none}, {"0.5", none}, {"-3", none}, {"abc", none}, {"65537", none}, {"-65535", none},
    };
    // clang-format on
    for (const auto& [text, count] : counts) EXPECT_EQ(RequestedCodeCount(text), count) << text;

    // clang-format off
    const std::pair<const char*, std::int32_t> handles[] = {
        {"131226", 131226}, {" 1 31 226 ", 131226}, {"65710 (Jukebox)", 65710}, {"-5", -5},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", 0}, {"-2147483649", 0},
        {"9e99", 0}, {"12.5", 12}, {"13.5", 14}, {"12.6", 13}, {"-12.5", -12}, {"", 0}, {"Fenster", 0},
    };
    // clang-format on
    for (const auto& [text, handle] : handles) EXPECT_EQ(HostWindowHandleFromText(text), handle) << text;
}

const NumberFormat kGerman{",", "."};
const NumberFormat kEnglish{".", ","};

TEST(Numbers, NumericTextInGermanAndEnglish) {
    // clang-format off
    const struct { const char* text; bool german, english; } cases[] = {
        {"-1", true, true}, {"+5", true, true}, {"0", true, true}, {"9", true, true}, {" 7 ", true, true},
        {"\t7\t", true, true}, {"  7", true, true}, {"--5", false, false}, {"+-5", false, false}, {"5-", false, false},
        {"- 5", false, false}, {"7 7", false, false}, {"+", false, false}, {"", false, false}, {"   ", false, false},
        {"abc", false, false}, {"12ab", false, false}, {"&H1F", false, false}, {"0x1F", false, false},
        {"\xB2", false, false}, {"1,5", true, true}, {"1.5", true, true}, {"1.000,5", true, false},
        {"1,000.5", false, true}, {"1.0000", true, true}, {"1.000.000", true, false}, {"1,000,000", false, true},
        {"1,5,3", false, true}, {",5", true, false}, {"5,", true, false}, {".5", false, true}, {"5.", false, true},
        {"-,5", true, false}, {",", false, false}, {".", false, false}, {"1..0", false, false}, {"1,,0", false, false},
        {"1 000", false, false}, {"1,0.5", false, true}, {"1.0,5.0", false, false},
        {"1e5", true, true}, {"1E+05", true, true}, {"1e-5", true, true}, {"1e", false, false}, {"1e+", false, false},
        {"e5", false, false}, {"1,5e3", true, true}, {"1.e5", false, true}, {"1e5.0", false, false},
        {"1e1,5", false, false}, {"1e5 ", true, true}, {"1 e5", false, false}, {"1ee5", false, false},
        {",e5", false, false}, {"1x", false, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(IsNumericText(c.text, kGerman), c.german) << c.text;
        EXPECT_EQ(IsNumericText(c.text, kEnglish), c.english) << c.text;
    }
}

TEST(Numbers, NumericTextWithUnusualSeparators) {
    const NumberFormat nbsp{",", "\xA0"}, twoBytes{",", "\xC2\xA0"}, same{",", ","}, none{".", ""}, quote{".", "'"};
    // clang-format off
    const struct { const NumberFormat& format; const char* text; bool numeric; } cases[] = {
        {nbsp, "1\xA0" "000,5", true}, {nbsp, "1 000,5", false}, {nbsp, "\xA0" "1", false}, {nbsp, "1\xA0", false},
        {twoBytes, "1\xC2\xA0" "000", true}, {twoBytes, "1\xC2" "000", false},
        {twoBytes, "1\xC2\xA0\xC2\xA0" "000", false}, {same, "1,5", true}, {same, "1,000", true},
        {same, "1,000,5", false}, {none, "1000.5", true}, {none, "1,000", false}, {quote, "1'000.25", true},
        {quote, "1'000'", false},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(IsNumericText(c.text, c.format), c.numeric) << c.text;
}

TEST(Numbers, SettingsAreSavedOnlyWithNumericTexts) {
    using enum SettingsVerdict;
    // clang-format off
    const struct { const char* credits; const char* master; SettingsVerdict german, english; int credit; } cases[] = {
        {"1.5", "1", saved, saved, 2}, {"1,5", "12345", saved, saved, 1}, {"1.000,5", "1", saved, creditsNotNumeric, 1},
        {"-32768", "1e3", saved, saved, -32768}, {"ab", "", creditsNotNumeric, creditsNotNumeric, 0},
        {"40000", "1", creditsNotNumeric, creditsNotNumeric, 0}, {"2", "1 2", masterCodeNotNumeric, masterCodeNotNumeric, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        for (const auto& [format, verdict] : {std::pair{kGerman, c.german}, {kEnglish, c.english}}) {
            const SettingsCheck check = CheckSettings(c.credits, c.master, format);
            EXPECT_EQ(check.verdict, verdict) << c.credits << " " << c.master;
            EXPECT_TRUE(verdict != saved || check.creditsPerCode == c.credit) << c.credits;
        }
    }
}

}  // namespace
