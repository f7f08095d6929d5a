// An automated guest typing random codes as fast as the keypad lets it.
#include <gtest/gtest.h>

#include <random>

#include "fault_support.h"

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
            EXPECT_FALSE(session.KeypadVisible()) << "the keypad shows while locked";
            wrongInARow = 0;
            if (++locks == 1) guessesAtFirstLock = guesses, firstLock = Clock::now();
            continue;
        }
        ASSERT_TRUE(OpenKeypadWhenFree(session, 15s)) << "the keypad stayed locked";
        const std::string guess = anyCode();
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        keys.Type(guess);
        ++guesses;
        const auto entry = listed.find(guess);
        const bool free = entry != listed.end() && entry->second == "UNUSED";
        ASSERT_EQ(session.CommandCount("AddCredit| 2") - credits, free ? 1u : 0u)
            << guess << (free ? " is free" : " is not");
        if (free) {
            EXPECT_EQ(session.CodeState(guess), "USED");
            entry->second = "USED";
            ++found;
        }
        wrongInARow = free ? 0 : wrongInARow + 1;
    }
    const double perHour =
        (guesses - guessesAtFirstLock) * 3600.0 / std::chrono::duration<double>(Clock::now() - firstLock).count();
    PrintFigure("guessing: " + std::to_string(guesses) + " guesses, " + std::to_string(locks) + " locks, " +
                std::to_string(found) + " valid codes found; " + std::to_string(std::lround(perHour)) +
                " guesses per hour over whole lock cycles, at " + std::to_string((1000 - found) / 1000.0) + " % per guess");
}

}  // namespace

TEST(Guessing, RandomGuessesFindOnlyFreeCodesAndTwoWrongOnesLock) { Guess(1); }

TEST(GuessingLongRun, RandomGuessesForFourMinutes) { Guess(24); }
