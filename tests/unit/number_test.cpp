#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <regex>

#include "codelist/credits_from_text.h"
#include "codelist/generation.h"
#include "codelist/settings_logic.h"
#include "credit/host_message.h"

using namespace codeeingabe;

const std::string k9s(100'000, '9'), k0s(100'000, '0');

// Blanks, tabs and line feeds count nowhere; reading stops at what cannot continue the number.
TEST(Numbers, LeadingNumberRoundedWithinLimits) {
    // clang-format off
    const struct { std::string text; double value; } cases[] = {
        {"007", 7}, {"-3", -3}, {"+5", 5}, {".5", 0.5}, {"5.", 5}, {"25E-1", 2.5}, {"2e+2", 200}, {"1.5D1", 15}, {"1.5d1", 15},
        {"0.000123", 0.000123}, {"3 apples", 3}, {"2,5", 2}, {"1.2.3", 1.2}, {"1e2e3", 100}, {"1-2", 1}, {"1E+", 1}, {"1d-", 1},
        {"1\r2", 1}, {"", 0}, {"-", 0}, {".", 0}, {"E5", 0}, {"--5", 0}, {",5", 0}, {" - 3", -3}, {"1\t2\n3", 123}, {"1 . 5", 1.5},
        {"1E - 1", 0.1}, {"& H 1F", 31}, {"&h1f", 31}, {"&HaA", 170}, {"&o17", 15}, {"&H", 0}, {"&O", 0}, {"&H1G", 1},
        {"&O18", 1}, {"&O8", 0}, {"&H7FFF", 32767}, {"&H.5", 0}, {"&X12", 0}, {"&", 0}, {"-&H10", 0}, {"&H10E1", 4321},
        {"&H09", 9}, {"&O10", 8}, {"1.7976931348623157e308", DBL_MAX}, {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {"123456789012345678901234567890", 1.2345678901234568e29}, {"1e-399", 0}, {"1e-400", 0}, {"10e-401", 0},
        {"1e399", HUGE_VAL}, {"0.1e400", HUGE_VAL}, {k9s, HUGE_VAL}, {"-" + k9s, -HUGE_VAL}, {"9e99", 9e99}, {"2e308", HUGE_VAL},
        {"1e" + k9s, HUGE_VAL}, {"1e-" + k9s, 0}, {"0." + k0s + "1", 0}, {"&O" + std::string(100'000, '7'), HUGE_VAL},
        {k0s + "5", 5}, {"1" + k0s + "e-100000", 1}, {"0." + k0s + "25e100001", 2.5}, {"3." + std::string(100'000, '3'), 10.0 / 3},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text.substr(0, 40);
    // Credits, the code count and the host's handle are the leading number rounded half to even,
    // each within its own limits.
    const std::nullopt_t no = std::nullopt;
    // clang-format off
    const struct { std::string text; std::optional<std::int16_t> credits; } credits[] = {
        {"3.5", 4}, {"2.5", 2}, {"0.5", 0}, {"1.5", 2}, {"-0.5", 0}, {"-1.5", -2}, {"-2.5", -2}, {"0.49", 0}, {"0.51", 1},
        {"-0.51", -1}, {"abc", 0}, {"32767.4", 32767}, {"32767.5", no}, {"-32768.5", -32768}, {"-32768.6", no}, {"-32769", no},
        {"65536", no}, {"4294967297", no}, {"-9e99", no}, {k9s, no}, {"&H" + k9s, no},
    };
    const std::pair<const char*, std::optional<std::size_t>> counts[] = {
        {"1", 1}, {"2.5", 2}, {"1000.5", 1000}, {"1000.6", no}, {"0.5", no}, {"-3", no}, {"65537", no}, {"-65535", no},
    };
    const std::pair<const char*, std::int32_t> handles[] = {
        {" 1 31 226 (Jukebox)", 131226}, {"-5", -5}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", 0},
        {"-2147483649", 0}, {"2147483647.5", 0}, {"-2147483648.5", INT32_MIN}, {"9e99", 0}, {"12.5", 12}, {"13.5", 14}, {"12.6", 13}, {"-12.5", -12}, {"Fenster", 0},
    };
    // clang-format on
    for (const auto& c : credits) EXPECT_EQ(CreditsFromText(c.text), c.credits) << c.text.substr(0, 40);
    for (const auto& [text, count] : counts) EXPECT_EQ(RequestedCodeCount(text), count) << text;
    for (const auto& [text, handle] : handles) EXPECT_EQ(HostWindowHandleFromText(text), handle) << text;
}

// English numbers are this expression's: a sign, digits grouped by "," only between digits of the
// whole part, at most one ".", an exponent, blanks and tabs around. German ones are the same with
// "." and "," swapped. Checked for every text of up to four of the characters that matter.
TEST(Numbers, NumericTextAndSettingsInGermanAndEnglish) {
    const NumberFormat german{",", "."}, english{".", ","};
    const std::regex number(R"([ \t]*[+-]?([0-9]+(,[0-9]+)*(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*)");
    std::vector<std::string> texts{""};
    for (std::size_t i = 0; texts[i].size() < 4; ++i) {
        for (char c : std::string(" \t+-09,.eEx")) texts.push_back(texts[i] + c);
    }
    for (std::string text : texts) {
        const bool numeric = std::regex_match(text, number);
        ASSERT_EQ(IsNumericText(text, english), numeric) << text;
        for (char& c : text) c = c == '.' ? ',' : c == ',' ? '.' : c;
        ASSERT_EQ(IsNumericText(text, german), numeric) << text;
    }
    const NumberFormat nbsp{",", "\xA0"}, twoBytes{",", "\xC2\xA0"}, same{",", ","}, none{".", ""};
    // clang-format off
    const struct { const NumberFormat& format; const char* text; bool numeric; } unusual[] = {
        {german, "1.000.000,5", 1}, {english, "+1,000,000.5e-10", 1}, {german, "1 000", 0}, {nbsp, "1\xA0" "000,5", 1},
        {nbsp, "1 000,5", 0}, {nbsp, "1\xA0", 0}, {twoBytes, "1\xC2\xA0" "000", 1}, {twoBytes, "1\xC2" "000", 0},
        {same, "1,5", 1}, {same, "1,000,5", 0}, {none, "1000.5", 1}, {none, "1,000", 0},
    };
    // clang-format on
    for (const auto& c : unusual) EXPECT_EQ(IsNumericText(c.text, c.format), c.numeric) << c.text;

    // Both texts of the settings window must be numeric in the user's format, and the credits fit 16 bits;
    // a master code that the keypad can match must be no code of the list.
    using enum SettingsVerdict;
    const std::string list = "[Codes]\r\n11111=UNUSED\r\n 22222 = USED\r\n123=USED\r\n[Other]\r\n33333=UNUSED\r\n";
    // clang-format off
    const struct { const NumberFormat& format; const char* credits; const char* master; SettingsVerdict verdict; int credit; } settings[] = {
        {english, "1.5", "1", saved, 2}, {german, "1,5", "12345", saved, 1}, {german, "1.000,5", "1", saved, 1},
        {english, "1.000,5", "1", creditsNotNumeric, 0}, {english, "-32768", "1e3", saved, -32768}, {german, "ab", "", creditsNotNumeric, 0},
        {english, "40000", "1", creditsNotNumeric, 0}, {german, "2", "1 2", masterCodeNotNumeric, 0},
        {english, "2", "11111", masterCodeListed, 0}, {english, "2", "22222", masterCodeListed, 0}, {english, "2", "33333", saved, 2},
        {english, "2", " 11111", saved, 2}, {english, "2", "011111", saved, 2}, {english, "2", "123", saved, 2},
        {german, "ab", "11111", creditsNotNumeric, 0},
    };
    // clang-format on
    for (const auto& c : settings) {
        const SettingsCheck check = CheckSettings(c.credits, c.master, c.format, list);
        EXPECT_TRUE(check.verdict == c.verdict && check.creditsPerCode == c.credit) << c.credits << " " << c.master;
    }
}
