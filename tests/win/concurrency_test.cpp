// Host mode booking codes as fast as the host allows while settings mode resets and generates the
// same list: no booking is lost, no code is added to a new list, and the file stays whole, as do
// the journal lines of both. Over all those entries, cancelled ones and the master window among
// them, the host-mode process keeps its memory, handles and windows flat.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "codelist/frm_einstellungen.h"
#include "host_test_support.h"
#include "process_resources.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

void BookWhileTheSettingsChangeTheList(std::chrono::seconds length) {
    HostSession session;
    const auto list = session.Folder() / "Codelist.ini";
    WriteBytes(list, CodeListBytes("2", "99999", FreeCodes(1000)));
    session.StartModule();
    const DigitKeys keys(session.Keypad());
    const auto current = [&] { return WholeCodeList(ReadFileBytes(list).bytes); };
    const auto expectThousandCodes = [&] {
        const auto whole = current();
        EXPECT_TRUE(whole && whole->size() == 1000) << "torn, or a booking added a code to a new list";
    };
    // Each counts up before its click and again once its message has been recorded: odd while one runs.
    std::atomic<int> resets{0}, generations{0};
    std::atomic<bool> lastRefused{false};
    // The operator's window in this process, opened after the module started: it counts as a copy of the program.
    std::jthread operatorThread([&](std::stop_token stop) {
        SettingsForm settings(session.Folder());
        // Hidden, it is never the active window: the keypad's activation would wait for its clicks to end, and
        // no booking would run beside a generation.
        ShowWindow(settings.form.Handle(), SW_HIDE);
        settings.SetText(kTxtNrOfCodes, L"1000");
        std::mt19937 random(RunSeed());
        for (bool generation = false; !stop.stop_requested(); generation = !generation) {
            WaitUntil([] { return false; }, std::chrono::milliseconds(std::uniform_int_distribution(0, 250)(random)));
            // A guest whose code a new list refused is credited before the next one: a second refusal in a row would
            // lock the keypad for 10 s, and its first lock notice would load after the warm-up.
            if (generation) WaitUntil([&] { return !lastRefused || stop.stop_requested(); }, kTimeout);
            expectThousandCodes();
            std::atomic<int>& counter = generation ? generations : resets;
            ++counter;
            const Messages shown = settings.Click(generation ? kCmdCreateCodelist : kCmdResetCodelist);
            ++counter;
            EXPECT_EQ(shown, Messages{Box(generation ? L"Codeliste wurde erstellt" : L"Codes wurden zurückgesetzt",
                                          L"Fertig", MessageStyle::information)});
        }
    });
    const auto measured = [&](const char* when) {
        const ProcessResources r = MeasureProcess(session.Module().Handle());
        PrintFigure(std::string(when) + ": working set " + std::to_string(r.workingSetBytes >> 10) + " KB, private " +
                    std::to_string(r.privateBytes >> 10) + " KB, handles " + std::to_string(r.handles) + ", windows " +
                    std::to_string(r.windows));
        return r;
    };
    std::optional<ProcessResources> warm;  // after a third of the time: Wine's heaps and handle caches settle in steps
    std::mt19937 random(RunSeed());
    int entries = 0, credited = 0, checked = 0, refused = 0;
    const auto begin = std::chrono::steady_clock::now();
    for (auto now = begin; now < begin + length; now = std::chrono::steady_clock::now(), ++entries) {
        if (!warm && now > begin + length / 3 && session.Module().VisibleWindows().empty()) warm = measured("after warm-up");
        const int resetsBefore = resets, generationsBefore = generations;
        const auto before = current();
        ASSERT_TRUE(before.has_value()) << "torn file";
        const auto [code, state] =
            *std::next(before->begin(), std::uniform_int_distribution<std::size_t>(0, before->size() - 1)(random));
        ASSERT_TRUE(OpenKeypadWhenFree(session, 15s)) << "the keypad stayed locked";
        if (entries % 50 == 49) {  // the master window, closed by its cross
            keys.Type("99999");
            const HWND master = session.Module().WaitForVisibleWindow(L"Form1");
            PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(384, 24));
            PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(384, 24));
            ASSERT_TRUE(master && WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "master window " << master;
            continue;
        }
        if (entries % 20 == 19 || state != "UNUSED") {
            keys.Type(code.substr(0, 2));
            Click(Child(session.Keypad(), L"Button", L"Abbruch"));
            continue;
        }
        const std::size_t credits = session.CommandCount("AddCredit| 2");
        keys.Type(code);
        const auto after = current();
        const bool generated = generationsBefore != generations || generationsBefore % 2 == 1;
        ASSERT_TRUE(session.Module().Running());
        if (session.CommandCount("AddCredit| 2") == credits) {
            ++refused;
            lastRefused = true;
            EXPECT_TRUE(generated) << code << " refused without a new list";
            continue;
        }
        ++credited;
        lastRefused = false;
        if (!generated && resetsBefore == resets && resetsBefore % 2 == 0) {
            ++checked;
            EXPECT_TRUE(after && after->contains(code) && after->at(code) == "USED")
                << "credit for " << code << " without its booking";
        }
    }
    operatorThread.request_stop();
    operatorThread.join();
    expectThousandCodes();
    ASSERT_TRUE(WaitUntil([&] { return session.Module().VisibleWindows().empty(); }, 15s)) << "a window stayed open";
    const ProcessResources end = measured("at the end");
    EXPECT_GT(checked, 0);
    ASSERT_TRUE(warm.has_value()) << "no quiet moment after the first third";
    EXPECT_LE(end.handles, warm->handles + 10);
    EXPECT_EQ(end.windows, warm->windows);
    EXPECT_LE(end.privateBytes, warm->privateBytes + (4u << 20));
    EXPECT_LE(end.workingSetBytes, warm->workingSetBytes + (4u << 20));
    PrintFigure(std::to_string(entries) + " entries, " + std::to_string(credited) + " credited, " + std::to_string(checked) +
                " of them with no reset or generation between checked \"USED\"; " + std::to_string(resets / 2) +
                " resets and " + std::to_string(generations / 2) + " generations beside them; " + std::to_string(refused) +
                " codes of a replaced list refused");
    session.Send("AppClose");
    EXPECT_EQ(session.Module().Ended(kTimeout), "") << "no clean end";
    // Both processes journal at once: every line whole, none lost.
    const auto journal = JournalLines(session.Folder());
    EXPECT_EQ(std::vector({CountStarting(journal, "torn"), CountStarting(journal, "Credits gesendet;"),
                           CountStarting(journal, "Codeliste erstellt;;2;1000 Codes"),
                           CountStarting(journal, "Alle Codes freigegeben;;;1000 Codes, in den Einstellungen")}),
              std::vector<std::ptrdiff_t>({0, credited, generations / 2, resets / 2}));
}

}  // namespace

TEST(Concurrency, BookingsSettingsAndResourcesOnOneListForEightSeconds) { BookWhileTheSettingsChangeTheList(8s); }

TEST(ConcurrencyLongRun, BookingsSettingsAndResourcesOnOneListForFiveMinutes) { BookWhileTheSettingsChangeTheList(300s); }
