// An automated guest typing random codes as fast as the keypad lets it, and the unpredictability
// of generated lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <tuple>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;

// Guesses until the lock has come back lockCycles times; the rate is taken over whole lock cycles.
void Guess(int lockCycles) {
    std::mt19937 random(RunSeed());
    const auto anyCode = [&] {
        return std::to_string(std::uniform_int_distribution<int>(100000, 199999)(random)).substr(1);
    };
    std::map<std::string, std::string> listed;
    while (listed.size() < 1000) listed.emplace(anyCode(), "UNUSED");
    HostSession session;
    session.WriteCodeList("2", "", {listed.begin(), listed.end()});  // no master code: every guess is a code
    session.StartModule();
    const DigitKeys keys(session.Keypad());
    int guesses = 0, found = 0, locks = 0, wrongInARow = 0, guessesAtFirstLock = 0;
    Clock::time_point firstLock;
    while (locks <= lockCycles) {
        if (wrongInARow == 2) {
            session.Send("CreditClick");
            ASSERT_NE(session.Module().WaitForVisibleWindow(L"Info"), nullptr) << "no lock after two wrong entries";
            EXPECT_FALSE(session.KeypadVisible());
            wrongInARow = 0;
            if (++locks == 1) std::tie(guessesAtFirstLock, firstLock) = std::pair(guesses, Clock::now());
            continue;
        }
        ASSERT_TRUE(OpenKeypadWhenFree(session, std::chrono::seconds(15))) << "the keypad stayed locked";
        const std::string guess = anyCode();
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        keys.Type(guess);
        ++guesses;
        const auto entry = listed.find(guess);
        const bool free = entry != listed.end() && entry->second == "UNUSED";
        ASSERT_EQ(session.CommandCount("AddCredit| 2") - credits, free ? 1u : 0u)
            << guess << (free ? " is free" : " is no free code");
        if (free) {
            EXPECT_EQ(session.CodeState(guess), "USED");
            entry->second = "USED";
            ++found;
        }
        wrongInARow = free ? 0 : wrongInARow + 1;
    }
    const double perHour =
        (guesses - guessesAtFirstLock) * 3600.0 / std::chrono::duration<double>(Clock::now() - firstLock).count();
    const double chance = (1000.0 - found) / 100000.0;
    char figures[300];
    std::snprintf(figures, sizeof figures,
                  "guessing: %d guesses, %d locks, %d valid codes found; %.0f guesses per hour (whole lock cycles); "
                  "chance per guess %.2f %%, so about %.1f valid codes per hour",
                  guesses, locks, found, perHour, chance * 100.0, perHour * chance);
    PrintFigure(figures);
}

// Two random lists of 1000 codes out of 100,000 share 10 codes on average; 35 or more happen with
// a probability of 3.2e-10 (the hypergeometric tail, summed), so more means they are not independent.
constexpr long kMostSharedByChance = 34;

std::map<std::string, std::string> GeneratedCodes(SettingsWindow& settings, const std::filesystem::path& list) {
    settings.Click(kCmdCreateCodelist);
    const auto box = settings.WaitForMessageBox();
    ExpectMessage(box, L"Codeliste wurde erstellt", L"Fertig", 64);
    if (box) DismissMessageBox(*box);
    const auto codes = WholeCodeList(ReadBytes(list));
    EXPECT_TRUE(codes && codes->size() == 1000) << "no whole list of 1000 codes";
    return codes.value_or(std::map<std::string, std::string>{});
}

}  // namespace

TEST(Guessing, RandomGuessesFindOnlyFreeCodesAndTwoWrongOnesLock) { Guess(1); }

TEST(GuessingLongRun, RandomGuessesForFourMinutes) { Guess(24); }

// Two processes, each generating 1000 codes in the same second: a generator seeded from the time
// would give both the same list.
TEST(Guessing, ListsGeneratedInTheSameSecondShareNoMoreCodesThanChance) {
    std::string shared;
    for (int pairs = 0, attempt = 0; pairs < 3; ++attempt) {
        ASSERT_LT(attempt, 10) << "the pairs of runs never fitted into one second";
        const auto folder = FreshModuleFolder();
        SettingsWindow first, second;
        first.SetText(kTxtNrOfCodes, L"1000");
        second.SetText(kTxtNrOfCodes, L"1000");
        const time_t before = std::time(nullptr);
        WaitUntil([&] { return std::time(nullptr) != before; }, std::chrono::seconds(2));  // a whole second ahead
        const time_t second0 = std::time(nullptr);
        const auto a = GeneratedCodes(first, folder / "Codelist.ini");
        const auto b = GeneratedCodes(second, folder / "Codelist.ini");
        if (std::time(nullptr) != second0) continue;
        const long both = std::count_if(a.begin(), a.end(), [&](const auto& entry) { return b.count(entry.first) != 0; });
        EXPECT_LE(both, kMostSharedByChance);
        shared += (pairs++ == 0 ? "" : ", ") + std::to_string(both);
    }
    PrintFigure("lists of 1000 codes generated by two processes in the same second share " + shared +
                " codes (chance: 10 on average, 35 or more with probability 3.2e-10)");
}
