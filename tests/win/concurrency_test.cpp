// Settings mode resetting and generating while host mode books codes as fast as the host allows,
// on one code list: no booking is lost, no code is added to a new list, and the file stays whole.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "platform/file_store.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

void BookWhileTheSettingsChangeTheList(std::chrono::seconds length) {
    HostSession session;
    const std::filesystem::path list = session.Folder() / "Codelist.ini";
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000)) codes.emplace_back(code, "UNUSED");
    session.WriteCodeList("2", "", codes);
    session.StartModule();
    // Each counts up before its click and again once its closing message shows: odd while one runs.
    std::atomic<int> resets{0}, generations{0}, filesChecked{0};
    const auto expectThousandCodes = [&] {
        const std::string bytes = ReadFileBytes(list).bytes;
        const auto whole = WholeCodeList(bytes);
        EXPECT_TRUE(whole && whole->size() == 1000) << "torn, or a booking added a code to a new list: " << bytes.size() << " bytes";
        ++filesChecked;
    };
    // The operator: resets and generations by turns, a random pause before each.
    std::jthread operatorThread([&](std::stop_token stop) {
        SettingsWindow settings;
        settings.SetText(kTxtNrOfCodes, L"1000");
        std::mt19937 random(RunSeed());
        for (bool generation = false; !stop.stop_requested(); generation = !generation) {
            Sleep(std::uniform_int_distribution<DWORD>(0, 250)(random));
            std::atomic<int>& counter = generation ? generations : resets;
            expectThousandCodes();
            ++counter;
            settings.Click(generation ? kCmdCreateCodelist : kCmdResetCodelist);
            const auto box = settings.WaitForMessageBox();  // its icon may be hidden behind the keypad
            ++counter;
            ASSERT_TRUE(box && box->text == (generation ? L"Codeliste wurde erstellt" : L"Codes wurden zurückgesetzt"));
            DismissMessageBox(*box);
            ASSERT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, std::chrono::seconds(5)));
        }
    });
    std::mt19937 random(RunSeed());
    int typed = 0, credited = 0, checked = 0, lost = 0, refused = 0;
    for (const auto end = std::chrono::steady_clock::now() + length; std::chrono::steady_clock::now() < end;) {
        const int resetsBefore = resets, generationsBefore = generations;
        const auto current = WholeCodeList(ReadFileBytes(list).bytes);
        ASSERT_TRUE(current.has_value()) << "torn file";
        const auto [code, state] = *std::next(current->begin(), std::uniform_int_distribution<std::size_t>(0, current->size() - 1)(random));
        if (state != "UNUSED") continue;
        ++typed;
        // A code of a list replaced meanwhile is a wrong entry; two of them lock the keypad.
        ASSERT_TRUE(OpenKeypadWhenFree(session, std::chrono::seconds(15))) << "the keypad stayed locked";
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        session.TypeDigits(code);
        const auto after = WholeCodeList(ReadFileBytes(list).bytes);
        const bool generated = generationsBefore != generations || generationsBefore % 2 == 1;
        const bool quiet = !generated && resetsBefore == resets && resetsBefore % 2 == 0;
        ASSERT_TRUE(session.Module().Running());
        if (session.CommandCount("AddCredit| 2") == credits) {
            ++refused;
            EXPECT_TRUE(generated) << code << " refused without a new list";
            continue;
        }
        ++credited;
        if (quiet) {
            const bool booked = after && after->count(code) && after->at(code) == "USED";
            lost += !booked;
            ++checked;
            EXPECT_TRUE(booked) << "credit for " << code << " without its booking";
        }
    }
    operatorThread.request_stop();
    operatorThread.join();
    expectThousandCodes();
    EXPECT_GT(checked, 0);
    PrintFigure("concurrency, " + std::to_string(length.count()) + " s: " + std::to_string(typed) + " codes typed, " +
                std::to_string(credited) + " credited, " + std::to_string(checked) +
                " of them with no reset or generation between checked \"USED\": " + std::to_string(lost) + " lost; " +
                std::to_string(resets / 2) + " resets and " + std::to_string(generations / 2) + " generations beside them, " +
                std::to_string(filesChecked.load()) + " files whole with 1000 codes; " + std::to_string(refused) +
                " codes of a replaced list refused");
}

}  // namespace

TEST(Concurrency, SettingsResetAndGenerateWhileHostModeBooks) { BookWhileTheSettingsChangeTheList(std::chrono::seconds(8)); }

TEST(ConcurrencyLongRun, SettingsResetAndGenerateWhileHostModeBooksForAMinute) {
    BookWhileTheSettingsChangeTheList(std::chrono::seconds(60));
}
