// Codelist.exe killed at random moments while it books a code, generates, resets or saves: the
// code list stays whole, and credit and "USED" go together except in the one window between the
// durable "USED" and the host's receipt of "AddCredit", which loses at most that guest's credit.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;

struct KillTally {
    int kills = 0;
    int before = 0;  // the file as before the operation (booking: code free, no credit)
    int after = 0;   // the operation's whole result (booking: "USED" and credit)
    int window = 0;  // booking only: "USED" without credit
    int lost = 0;    // booking only: credit for a code that stayed free
    int tmpLeft = 0; // a temporary file left behind: the kill fell inside a write

    std::string Summary(const std::string& operation) const {
        std::ostringstream text;
        text << "kills during " << operation << ": " << kills << " (files checked " << kills << "; old " << before
             << ", new " << after << ", \"USED\" without credit " << window << ", caught inside a write " << tmpLeft
             << ")";
        return text.str();
    }
};

std::chrono::microseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

HWND DigitKey(HostSession& session, char digit) {
    const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
    return Child(session.Keypad(), L"Button", caption);
}

// Types the first four digits and waits until the keypad shows them; then only the fifth one,
// posted, starts the check, so that the kill's delay is measured from there.
bool PrepareEntry(HostSession& session, const std::string& code) {
    if (!session.OpenKeypad()) return false;
    session.TypeDigits(code.substr(0, 4));
    return WaitUntil([&] { return session.CodeShown() == std::wstring(code.begin(), code.begin() + 4); }, kTimeout);
}

const std::vector<std::pair<std::string, std::string>> kBookingList = {
    {"04711", "UNUSED"}, {"12345", "USED"}, {"31415", "UNUSED"}, {"27182", "UNUSED"}, {"00007", "USED"},
    {"99998", "UNUSED"}, {"16180", "UNUSED"}, {"50505", "UNUSED"}};

std::chrono::microseconds Median(std::vector<std::chrono::microseconds> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// From the fifth digit to "AddCredit" at the host, the median of a few bookings.
std::chrono::microseconds BookingDuration() {
    HostSession session;
    session.WriteCodeList("2", "99999", kBookingList);
    session.StartModule();
    std::vector<std::chrono::microseconds> times;
    for (const std::string code : {"04711", "31415", "27182", "99998", "16180"}) {
        EXPECT_TRUE(PrepareEntry(session, code));
        const auto start = Clock::now();
        PostMessageW(DigitKey(session, code[4]), BM_CLICK, 0, 0);
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        while (session.CommandCount("AddCredit| 2") == credits && Since(start) < kTimeout) PumpFor(std::chrono::microseconds(200));
        times.push_back(Since(start));
    }
    return Median(times);
}

void KillDuringBookings(int rounds, KillTally& tally) {
    const std::chrono::microseconds duration = BookingDuration();
    PrintFigure("booking, fifth digit to credit at the host: " + std::to_string(duration.count()) + " us");
    std::mt19937 random(RunSeed());
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HostSession session;
        session.WriteCodeList("2", "99999", kBookingList);
        const std::string before = session.CodeListBytes();
        ModuleProcess& module = session.StartModule();
        const std::string code = kBookingList[static_cast<std::size_t>(round) % kBookingList.size()].first;
        const bool free = session.CodeState(code) == "UNUSED";
        ASSERT_TRUE(PrepareEntry(session, code));
        PostMessageW(DigitKey(session, code[4]), BM_CLICK, 0, 0);
        PumpFor(RandomDelay(random, duration * 2));
        module.Kill();
        ++tally.kills;
        PumpFor(std::chrono::milliseconds(50));  // a credit already on its way still arrives

        const bool credited = session.CommandCount("AddCredit| 2") > 0;
        const std::string bytes = session.CodeListBytes();
        std::string error;
        const auto list = ParseCodeList(bytes, &error);
        ASSERT_TRUE(list.has_value()) << error;
        ASSERT_EQ(list->codes.size(), kBookingList.size());
        for (const auto& [other, state] : kBookingList) {
            if (other != code) {
                EXPECT_EQ(list->states.at(other), state) << other;
            }
        }
        const std::string state = list->states.at(code);
        tally.tmpLeft += std::filesystem::exists(session.Folder() / "Codelist.ini.tmp");
        if (!free) {
            EXPECT_FALSE(credited) << "credit for a used code";
            EXPECT_EQ(bytes, before);
            ++tally.before;
        } else if (state == "UNUSED") {
            EXPECT_FALSE(credited) << "credit for a code that stayed free";
            EXPECT_EQ(bytes, before);
            ++(credited ? tally.lost : tally.before);
        } else {
            ++(credited ? tally.after : tally.window);
        }
    }
}

enum class Operation { generation, reset, save };

struct OperationCase {
    Operation operation;
    const char* name;
    int button;
};

const OperationCase kOperations[] = {
    {Operation::generation, "generation", kCmdCreateCodelist},
    {Operation::reset, "reset", kCmdResetCodelist},
    {Operation::save, "save", kCmdSave},
};

std::string OldList() {
    std::vector<std::pair<std::string, std::string>> codes;
    const auto sample = SampleCodes(1000);
    for (std::size_t i = 0; i < sample.size(); ++i) codes.emplace_back(sample[i], i % 7 == 0 ? "USED" : "UNUSED");
    return CodeListBytes("2", "99999", codes);
}

std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size())) {
        bytes.replace(at, from.size(), to);
    }
    return bytes;
}

// The file as the finished operation leaves it; for a generation, whether the bytes are a fresh list.
bool IsFinished(Operation operation, const std::string& old, const std::string& bytes) {
    switch (operation) {
        case Operation::generation: {
            std::string error;
            const auto list = ParseCodeList(bytes, &error);
            return list && bytes != old && list->creditsPerCode == "2" && list->masterCode == "99999" &&
                   list->codes.size() == 1000 &&
                   std::all_of(list->states.begin(), list->states.end(), [](const auto& entry) { return entry.second == "UNUSED"; });
        }
        case Operation::reset:
            return bytes == Replaced(old, "=USED\r\n", "=UNUSED\r\n");
        case Operation::save:
            return bytes == Replaced(Replaced(old, "CreditsPerCode=2\r\n", "CreditsPerCode=5\r\n"), "MasterCode=99999\r\n",
                                     "MasterCode=54321\r\n");
    }
    return false;
}

void Prepare(SettingsWindow& settings, Operation operation) {
    if (operation == Operation::generation) settings.SetText(kTxtNrOfCodes, L"1000");
    if (operation == Operation::save) {
        settings.SetText(kTxtCreditsPerCode, L"5");
        settings.SetText(kTxtMasterCode, L"54321");
    }
}

// From the click to the new file on the disk, the median of a few runs.
std::chrono::microseconds OperationDuration(const OperationCase& c) {
    std::vector<std::chrono::microseconds> times;
    const std::string old = OldList();
    for (int run = 0; run < 5; ++run) {
        const auto folder = FreshModuleFolder();
        WriteBytes(folder / "Codelist.ini", old);
        SettingsWindow settings;
        EXPECT_NE(settings.Window(), nullptr);
        Prepare(settings, c.operation);
        const auto start = Clock::now();
        settings.Click(c.button);
        while (FileBytes(folder / "Codelist.ini") == old && Since(start) < kTimeout) {
            PumpFor(std::chrono::microseconds(200));
        }
        times.push_back(Since(start));
    }
    return Median(times);
}

void KillDuringOperation(const OperationCase& c, int rounds, KillTally& tally) {
    const std::chrono::microseconds duration = OperationDuration(c);
    PrintFigure(std::string(c.name) + ", click to the new file: " + std::to_string(duration.count()) + " us");
    std::mt19937 random(RunSeed() + static_cast<unsigned>(c.operation));
    const std::string old = OldList();
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(std::string(c.name) + " round " + std::to_string(round));
        const auto folder = FreshModuleFolder();
        WriteBytes(folder / "Codelist.ini", old);
        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        Prepare(settings, c.operation);
        settings.Click(c.button);
        PumpFor(RandomDelay(random, duration * 3 / 2));
        settings.Process().Kill();
        ++tally.kills;
        tally.tmpLeft += std::filesystem::exists(folder / "Codelist.ini.tmp");
        const std::string bytes = ReadBytes(folder / "Codelist.ini");
        std::string error;
        EXPECT_TRUE(ParseCodeList(bytes, &error).has_value()) << error;
        if (bytes == old) {
            ++tally.before;
        } else {
            ASSERT_TRUE(IsFinished(c.operation, old, bytes)) << "neither the old file nor the new one";
            ++tally.after;
        }
    }
}

void KillDuringEverything(int bookingRounds, int operationRounds) {
    KillTally booking;
    KillDuringBookings(bookingRounds, booking);
    PrintFigure(booking.Summary("booking"));
    int kills = booking.kills;
    for (const OperationCase& c : kOperations) {
        KillTally tally;
        KillDuringOperation(c, operationRounds, tally);
        PrintFigure(tally.Summary(c.name));
        kills += tally.kills;
    }
    PrintFigure("faults injected (kills): " + std::to_string(kills) + "; bookings lost (credit for a code left free): " +
                std::to_string(booking.lost));
}

}  // namespace

TEST(FaultInjection, KillsDuringBookingGenerationResetAndSaveLeaveAWholeFileAndNoUnbookedCredit) {
    KillDuringEverything(12, 10);
}

TEST(FaultLongRun, KillsDuringBookingGenerationResetAndSave) { KillDuringEverything(100, 70); }
