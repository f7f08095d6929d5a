#include "codelist/settings_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeeingabe {
namespace {

const NumberFormat kGerman{",", "."};
const NumberFormat kEnglish{".", ","};

struct SaveCase {
    std::string credits;
    std::string masterCode;
    SettingsVerdict german;
    SettingsVerdict english;
    std::int16_t creditsPerCode;  // when saved
};

constexpr auto kSaved = SettingsVerdict::saved;
constexpr auto kBadCredits = SettingsVerdict::creditsNotNumeric;
constexpr auto kBadMaster = SettingsVerdict::masterCodeNotNumeric;

TEST(CheckSettingsTest, BothTextsMustBeNumericInTheUsersFormat) {
    const std::vector<SaveCase> cases = {
        {"5", "12345", kSaved, kSaved, 5},
        {"+5", "12345", kSaved, kSaved, 5},
        {"-1", "-1", kSaved, kSaved, -1},
        {" 7 ", "00042", kSaved, kSaved, 7},
        {"0", "1e3", kSaved, kSaved, 0},
        {"1,5", "1", kSaved, kSaved, 1},
        {"1.5", "1", kSaved, kSaved, 2},
        {"1.000,5", "1", kSaved, kBadCredits, 1},
        {"1,000.5", "1", kBadCredits, kSaved, 1},
        {"2", "1,5", kSaved, kSaved, 2},
        // Not numeric: the credits are checked first.
        {"", "12345", kBadCredits, kBadCredits, 0},
        {"ab", "", kBadCredits, kBadCredits, 0},
        {"12ab", "12345", kBadCredits, kBadCredits, 0},
        {"2", "", kBadMaster, kBadMaster, 0},
        {"2", "12a", kBadMaster, kBadMaster, 0},
        {"2", "1 2", kBadMaster, kBadMaster, 0},
        // Numeric, but no 16-bit number of credits.
        {"40000", "1", kBadCredits, kBadCredits, 0},
        {"1e5", "1", kBadCredits, kBadCredits, 0},
        {"-32768", "1", kSaved, kSaved, -32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("credits \"" + c.credits + "\" master code \"" + c.masterCode + "\"");
        const SettingsCheck german = CheckSettings(c.credits, c.masterCode, kGerman);
        const SettingsCheck english = CheckSettings(c.credits, c.masterCode, kEnglish);
        EXPECT_EQ(german.verdict, c.german);
        EXPECT_EQ(english.verdict, c.english);
        if (german.verdict == kSaved) {
            EXPECT_EQ(german.creditsPerCode, c.creditsPerCode);
        }
        if (english.verdict == kSaved) {
            EXPECT_EQ(english.creditsPerCode, c.creditsPerCode);
        }
    }
}

}  // namespace
}  // namespace codeeingabe
