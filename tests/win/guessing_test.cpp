// An automated guest typing random codes as fast as the keypad lets it, and the unpredictability
// of generated lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;

std::string FiveDigits(unsigned number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05u", number);
    return text;
}

void GuessFor(std::chrono::seconds length) {
    std::mt19937 random(RunSeed());
    std::vector<unsigned> all(100000);
    std::iota(all.begin(), all.end(), 0u);
    std::shuffle(all.begin(), all.end(), random);
    std::map<std::string, std::string> listed;
    std::vector<std::pair<std::string, std::string>> codes;
    for (int i = 0; i < 1000; ++i) {
        codes.emplace_back(FiveDigits(all[static_cast<std::size_t>(i)]), "UNUSED");
        listed.insert(codes.back());
    }
    HostSession session;
    session.WriteCodeList("2", "", codes);  // no master code: every guess is a code
    session.StartModule();

    std::uniform_int_distribution<unsigned> guessOf(0, 99999);
    int guesses = 0, found = 0, locks = 0, wrongInARow = 0;
    // The rate is taken over whole lock cycles, from the first lock to the last.
    int guessesAtFirstLock = 0, guessesAtLastLock = 0;
    Clock::time_point firstLockAt, lastLockAt;
    const auto start = Clock::now();
    while (Clock::now() - start < length) {
        if (wrongInARow == 2) {
            // The second wrong entry in a row: the next "CreditClick" shows the lock notice, not the keypad.
            session.Send("CreditClick");
            ASSERT_NE(session.Module().WaitForVisibleWindow(L"Info"), nullptr) << "no lock after two wrong entries";
            EXPECT_FALSE(session.KeypadVisible());
            ++locks;
            wrongInARow = 0;
            if (locks == 1) {
                guessesAtFirstLock = guesses;
                firstLockAt = Clock::now();
            }
            guessesAtLastLock = guesses;
            lastLockAt = Clock::now();
        }
        ASSERT_TRUE(OpenKeypadWhenFree(session, std::chrono::seconds(15)));
        const std::string guess = FiveDigits(guessOf(random));
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        session.TypeDigits(guess);
        ++guesses;
        const auto entry = listed.find(guess);
        const bool free = entry != listed.end() && entry->second == "UNUSED";
        if (session.CommandCount("AddCredit| 2") > credits) {
            ASSERT_TRUE(free) << "credit for " << guess << ", which is no free code of the list";
            EXPECT_EQ(session.CodeState(guess), "USED");
            entry->second = "USED";
            ++found;
            wrongInARow = 0;
        } else {
            EXPECT_FALSE(free) << "free code " << guess << " refused";
            ++wrongInARow;
        }
    }
    ASSERT_GE(locks, 2);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double perHour =
        (guessesAtLastLock - guessesAtFirstLock) * 3600.0 / std::chrono::duration<double>(lastLockAt - firstLockAt).count();
    const double chance = (1000.0 - found) / 100000.0;
    char figures[400];
    std::snprintf(figures, sizeof figures,
                  "guessing, %.0f s: %d guesses, %d locks, %d valid codes found; %.0f guesses per hour (whole lock "
                  "cycles); chance per guess %.2f %% (1000 free codes of 100,000), so about %.1f valid codes per hour",
                  seconds, guesses, locks, found, perHour, chance * 100.0, perHour * chance);
    PrintFigure(figures);
}

// Two random lists of 1000 codes out of 100,000 share a hypergeometric number of codes, 10 on
// average; 35 or more happen with a probability of 3.2e-10 (summed tail), so more than 34 means
// the lists are not independent.
constexpr std::size_t kMostSharedByChance = 34;

std::set<std::string> CodesOf(const std::string& bytes) {
    std::string error;
    const auto list = ParseCodeList(bytes, &error);
    EXPECT_TRUE(list.has_value()) << error;
    return list ? std::set<std::string>(list->codes.begin(), list->codes.end()) : std::set<std::string>{};
}

std::string GenerateThousand(SettingsWindow& settings, const std::filesystem::path& list) {
    settings.Click(kCmdCreateCodelist);
    const auto box = settings.WaitForMessageBox();
    ExpectMessage(box, L"Codeliste wurde erstellt", L"Fertig", 64);
    if (box) DismissMessageBox(*box);
    return ReadBytes(list);
}

int SecondOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

}  // namespace

TEST(Guessing, RandomGuessesFindOnlyFreeCodesAndTwoWrongOnesLock) { GuessFor(std::chrono::seconds(20)); }

TEST(GuessingLongRun, RandomGuessesForFourMinutes) { GuessFor(std::chrono::seconds(240)); }

// Two processes, each generating 1000 codes in the same second: a generator seeded from the time
// would give both the same list.
TEST(Guessing, ListsGeneratedInTheSameSecondShareNoMoreCodesThanChance) {
    std::vector<std::size_t> shared;
    for (int attempt = 0; attempt < 10 && shared.size() < 3; ++attempt) {
        const auto folder = FreshModuleFolder();
        SettingsWindow first;
        SettingsWindow second;
        ASSERT_NE(first.Window(), nullptr);
        ASSERT_NE(second.Window(), nullptr);
        first.SetText(kTxtNrOfCodes, L"1000");
        second.SetText(kTxtNrOfCodes, L"1000");
        // Start just after a second begins, so that both runs fit into it.
        SYSTEMTIME now{};
        WaitUntil([&] { GetLocalTime(&now); return now.wMilliseconds < 100; }, std::chrono::seconds(2));
        const int second0 = SecondOfDay();
        const std::set<std::string> a = CodesOf(GenerateThousand(first, folder / "Codelist.ini"));
        const std::set<std::string> b = CodesOf(GenerateThousand(second, folder / "Codelist.ini"));
        if (SecondOfDay() != second0) continue;
        ASSERT_EQ(a.size(), 1000u);
        ASSERT_EQ(b.size(), 1000u);
        std::vector<std::string> both;
        std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
        EXPECT_LE(both.size(), kMostSharedByChance);
        shared.push_back(both.size());
    }
    ASSERT_EQ(shared.size(), 3u) << "the pairs of runs never fitted into one second";
    PrintFigure("lists of 1000 codes generated by two processes in the same second share " + std::to_string(shared[0]) +
                ", " + std::to_string(shared[1]) + " and " + std::to_string(shared[2]) +
                " codes (chance: 10 on average, 35 or more with probability 3.2e-10)");
}
