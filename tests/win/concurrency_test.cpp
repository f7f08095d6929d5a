// Settings mode resetting and generating while host mode books codes as fast as the host allows,
// on one code list: no booking is lost and the file stays whole.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;

struct Booking {
    std::string code;
    Clock::time_point start;
    Clock::time_point end;
    bool credited = false;
};

// One reset or generation, and the file as it stood just before its click.
struct SettingsStep {
    bool generation = false;
    Clock::time_point snapshotAt;
    std::string snapshot;
    Clock::time_point click;
    Clock::time_point closed;  // its closing message showed: the file was written
};

struct SettingsSide {
    std::mutex mutex;
    std::vector<SettingsStep> steps;
    std::vector<std::string> failures;
};

// The operator: resets and generations by turns, a random pause between them, until stopped.
void OperateSettings(const std::filesystem::path& list, std::atomic<bool>& stop, SettingsSide& side) {
    SettingsWindow settings;
    if (settings.Window() == nullptr) {
        std::lock_guard lock(side.mutex);
        side.failures.push_back("the settings window did not show");
        return;
    }
    settings.SetText(kTxtNrOfCodes, L"1000");
    std::mt19937 random(RunSeed());
    for (int turn = 0; !stop; ++turn) {
        PumpFor(RandomDelay(random, std::chrono::milliseconds(250)));
        SettingsStep step;
        step.generation = turn % 2 == 1;
        step.snapshotAt = Clock::now();
        step.snapshot = FileBytes(list);
        step.click = Clock::now();
        settings.Click(step.generation ? kCmdCreateCodelist : kCmdResetCodelist);
        const auto box = settings.WaitForMessageBox();
        step.closed = Clock::now();
        const std::wstring expected = step.generation ? L"Codeliste wurde erstellt" : L"Codes wurden zurückgesetzt";
        std::lock_guard lock(side.mutex);
        if (!box || box->text != expected) {
            side.failures.push_back(box ? "unexpected message" : "no closing message");
            return;
        }
        side.steps.push_back(std::move(step));
        DismissMessageBox(*box);
        WaitUntil([&] { return settings.AllControlsEnabled(true); }, std::chrono::seconds(5));
    }
}

std::string StateIn(const std::string& bytes, const std::string& code) {
    std::string error;
    const auto list = ParseCodeList(bytes, &error);
    if (!list) return "torn file: " + error;
    const auto found = list->states.find(code);
    return found == list->states.end() ? "(not listed)" : found->second;
}

void BookWhileTheSettingsChangeTheList(std::chrono::seconds length) {
    HostSession session;
    const std::filesystem::path list = session.Folder() / "Codelist.ini";
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000)) codes.emplace_back(code, "UNUSED");
    session.WriteCodeList("2", "", codes);
    session.StartModule();

    std::atomic<bool> stop{false};
    SettingsSide side;
    std::thread operatorThread(OperateSettings, list, std::ref(stop), std::ref(side));
    std::mt19937 random(RunSeed());
    std::vector<Booking> bookings;
    int locks = 0;
    const auto end = Clock::now() + length;
    while (Clock::now() < end) {
        const auto start = Clock::now();
        std::string error;
        const auto current = ParseCodeList(FileBytes(list), &error);
        ASSERT_TRUE(current.has_value()) << error;
        std::vector<std::string> free;
        for (const std::string& code : current->codes) {
            if (current->states.at(code) == "UNUSED") free.push_back(code);
        }
        if (free.empty()) {
            PumpFor(std::chrono::milliseconds(1));
            continue;
        }
        Booking booking{free[std::uniform_int_distribution<std::size_t>(0, free.size() - 1)(random)], start, {}};
        // A code of a list that a generation replaced meanwhile is a wrong entry; two lock the keypad.
        if (!OpenKeypadWhenFree(session, std::chrono::milliseconds(300))) {
            ++locks;
            ASSERT_TRUE(OpenKeypadWhenFree(session, std::chrono::seconds(15)));
        }
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        session.TypeDigits(booking.code);
        booking.end = Clock::now();
        booking.credited = session.CommandCount("AddCredit| 2") > credits;
        bookings.push_back(std::move(booking));
        ASSERT_TRUE(session.Module().Running());
    }
    stop = true;
    operatorThread.join();
    for (const std::string& failure : side.failures) ADD_FAILURE() << failure;
    const auto finalAt = Clock::now();
    const std::string finalBytes = FileBytes(list);
    std::string error;
    const auto finalList = ParseCodeList(finalBytes, &error);
    ASSERT_TRUE(finalList.has_value()) << error;
    EXPECT_EQ(finalList->codes.size(), 1000u) << "a booking added a code to a new list, or one went missing";
    for (const SettingsStep& step : side.steps) {
        const auto before = ParseCodeList(step.snapshot, &error);
        ASSERT_TRUE(before.has_value()) << error;
        EXPECT_EQ(before->codes.size(), 1000u) << "a booking added a code to a new list, or one went missing";
    }

    int credited = 0, checked = 0, lost = 0, refused = 0, generations = 0;
    for (const SettingsStep& step : side.steps) generations += step.generation;
    for (const Booking& booking : bookings) {
        const auto overlaps = [&](const SettingsStep& step, Clock::time_point from, Clock::time_point to) {
            return step.click < to && step.closed > from;
        };
        if (!booking.credited) {
            // Only a list replaced while the guest typed turns a free code away.
            ++refused;
            const bool replaced = std::any_of(side.steps.begin(), side.steps.end(), [&](const SettingsStep& step) {
                return step.generation && overlaps(step, booking.start, booking.end + std::chrono::milliseconds(50));
            });
            EXPECT_TRUE(replaced) << "free code " << booking.code << " refused without a new list";
            continue;
        }
        ++credited;
        // The first look at the file after the credit, with no reset or generation since the booking began.
        const SettingsStep* next = nullptr;
        for (const SettingsStep& step : side.steps) {
            if (step.snapshotAt > booking.end) {
                next = &step;
                break;
            }
        }
        const Clock::time_point lookAt = next != nullptr ? next->snapshotAt : finalAt;
        const bool followed = std::any_of(side.steps.begin(), side.steps.end(),
                                          [&](const SettingsStep& step) { return overlaps(step, booking.start, lookAt); });
        if (followed) continue;
        ++checked;
        const std::string state = StateIn(next != nullptr ? next->snapshot : finalBytes, booking.code);
        if (state != "USED") ++lost;
        EXPECT_EQ(state, "USED") << "credit for " << booking.code << " without its booking";
    }
    EXPECT_GT(checked, 0);
    EXPECT_EQ(lost, 0);
    PrintFigure("concurrency, " + std::to_string(length.count()) + " s: " + std::to_string(bookings.size()) +
                " bookings typed, " + std::to_string(credited) + " credited, " + std::to_string(checked) +
                " checked against the file with no reset or generation between (the rest overlapped one), " +
                std::to_string(lost) + " lost; " + std::to_string(side.steps.size() - generations) + " resets and " +
                std::to_string(generations) + " generations beside them; " + std::to_string(refused) +
                " codes of a list replaced while typed were refused, " + std::to_string(locks) + " locks");
}

}  // namespace

TEST(Concurrency, SettingsResetAndGenerateWhileHostModeBooks) { BookWhileTheSettingsChangeTheList(std::chrono::seconds(8)); }

TEST(ConcurrencyLongRun, SettingsResetAndGenerateWhileHostModeBooksForAMinute) {
    BookWhileTheSettingsChangeTheList(std::chrono::seconds(60));
}
