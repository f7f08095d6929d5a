// Codelist.exe killed at random moments while it books a code, generates, resets or saves, and a full
// disk (full_disk_shim.c, preloaded by CTest): the file is always the old one byte for byte or the
// operation's whole result, and no credit goes out for a code left free. "USED" without its credit
// is the one window the booking order accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <ranges>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// This thread's messages (the module's sends to the test host) until the time is up; the last
// millisecond is spun, so that short delays are kept.
void PumpFor(Micros duration) {
    for (const auto end = Clock::now() + duration; Clock::now() < end;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

// 1000 codes, every seventh used unless reset, and the booked one used.
std::string List(const char* credits, const char* master, bool reset = false, const std::string& booked = "") {
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000))
        codes.emplace_back(code, (!reset && codes.size() % 7 == 0) || code == booked ? "USED" : "UNUSED");
    return CodeListBytes(credits, master, codes);
}

const std::string kOld = List("2", "99999"), kOldExport = "the old export\r\n", kCode = SampleCodes(1000)[1];

// clang-format off
// button 0: the fifth digit of a booking; stopTitle: of its message when the disk is full; kills fall
// within spread times its median duration (0: none); result: the whole file it leaves (empty: a fresh
// list, or any export).
struct Operation { const char* name; int button; const char* file; const wchar_t* stopTitle; double spread; std::string result; };
const Operation kOperations[] = {
    {"booking", 0, "Codelist.ini", nullptr, 2.0, List("2", "99999", false, kCode)},
    {"generation", kCmdCreateCodelist, "Codelist.ini", L"Codeliste nicht erstellt", 1.5, ""},
    {"reset", kCmdResetCodelist, "Codelist.ini", L"Codes nicht freigegeben", 1.5, List("2", "99999", true)},
    {"save", kCmdSave, "Codelist.ini", L"Einstellungen nicht gesichert", 1.5, List("5", "54321")},
    {"export", kCmdCreateCodelistText, "Codelist.txt", L"Textdatei nicht geschrieben", 0, ""},
};
// clang-format on

enum Outcome { kOldFile, kNewFile, kUsedWithoutCredit, kBroken };

// Codelist.exe on the old files, the operation one message away: four digits typed in host mode,
// every box filled in the settings window.
struct Round {
    explicit Round(const Operation& operation)
        : op(operation), old(op.button == kCmdCreateCodelistText ? kOldExport : kOld), file(folder / op.file) {
        if (op.button == 0) host.emplace();
        WriteBytes(folder / "Codelist.ini", kOld);
        WriteBytes(folder / "Codelist.txt", kOldExport);
        if (!host) {
            settings.emplace();
            for (auto [id, text] :
                 {std::pair{kTxtNrOfCodes, L"1000"}, {kTxtCreditsPerCode, L"5"}, {kTxtMasterCode, L"54321"}})
                settings->SetText(id, text);
            return;
        }
        host->StartModule();
        EXPECT_TRUE(host->OpenKeypad());
        keys.emplace(host->Keypad());
        keys->Type(kCode.substr(0, 4));
    }
    void Start() { host ? void(PostMessageW(keys->key[kCode[4] - '0'], BM_CLICK, 0, 0)) : settings->Click(op.button); }
    // The whole operation again, as the guest or the operator would try it.
    void Retry() {
        if (!host) {
            ASSERT_TRUE(WaitUntil([&] { return settings->AllControlsEnabled(true); }, 5s)) << "the window stayed busy";
            return settings->Click(op.button);
        }
        ASSERT_TRUE(host->KeypadHides() && host->OpenKeypad()) << "the keypad did not hide and show again";
        keys->Type(kCode);
    }
    bool Credited() const { return host && host->CommandCount("AddCredit| 2") > 0; }
    bool Done() const { return host ? Credited() : ReadFileBytes(file).bytes != old; }
    void Kill() {
        host ? host->Module().Kill() : settings->Process().Kill();
        PumpFor(50ms);  // a credit already on its way still arrives
    }
    bool TemporaryLeft() const { return std::filesystem::exists(file.wstring() + L".tmp"); }
    Outcome Result() const {
        const std::string bytes = ReadFileBytes(file).bytes;
        if (bytes == old) return Credited() ? kBroken : kOldFile;
        const auto fresh = WholeCodeList(bytes);
        const bool whole = !op.result.empty()
                               ? bytes == op.result
                               : op.button == kCmdCreateCodelistText  // its lines are checked in the settings tests
                                     || (fresh && fresh->size() == 1000 && bytes.find("=USED") == std::string::npos &&
                                         bytes.starts_with(CodeListBytes("2", "99999", {})));
        return !whole ? kBroken : host && !Credited() ? kUsedWithoutCredit : kNewFile;
    }

    const Operation& op;
    const std::string& old;
    const std::filesystem::path folder = FreshModuleFolder(), file;
    std::optional<HostSession> host;
    std::optional<DigitKeys> keys;
    std::optional<SettingsWindow> settings;
};

// Every operation killed the given number of times (bookings, settings operations); the first five
// rounds of each run to its end, and their median bounds the delays of the kills.
void KillDuringEverything(int bookingRounds, int settingsRounds) {
    for (const Operation& op : kOperations | std::views::filter([](const Operation& op) { return op.spread > 0; })) {
        std::vector<Micros> times;
        std::mt19937 random(RunSeed() + static_cast<unsigned>(op.button));
        int outcomes[4] = {}, inside = 0, rounds = op.button == 0 ? bookingRounds : settingsRounds;
        for (int kill = -5; kill < rounds; ++kill) {
            SCOPED_TRACE(std::string(op.name) + " round " + std::to_string(kill));
            Round round(op);
            const auto start = Clock::now();
            round.Start();
            if (kill < 0) {
                while (!round.Done() && Clock::now() - start < kTimeout) PumpFor(Micros(200));
                EXPECT_TRUE(round.Done()) << "not finished within " << kTimeout.count() << " ms";
                times.push_back(std::chrono::duration_cast<Micros>(Clock::now() - start));
                std::ranges::sort(times);
            } else {
                PumpFor(Micros(std::uniform_int_distribution<long long>(0, times[2].count() * op.spread)(random)));
            }
            round.Kill();
            inside += round.TemporaryLeft();
            const Outcome outcome = round.Result();
            EXPECT_NE(outcome, kBroken) << "neither the old file nor the whole new one, or a credit for a code left free";
            ++outcomes[outcome];
        }
        PrintFigure(std::string(op.name) + ": " + std::to_string(rounds + 5) +
                    " kills; old file, new, \"USED\" without credit: " + std::to_string(outcomes[kOldFile]) + ", " +
                    std::to_string(outcomes[kNewFile]) + ", " + std::to_string(outcomes[kUsedWithoutCredit]) +
                    "; killed inside a write " + std::to_string(inside));
    }
}

}  // namespace

TEST(FaultInjection, KillsLeaveTheOldOrTheWholeNewFileAndNoUnbookedCredit) { KillDuringEverything(30, 20); }

TEST(FaultLongRun, KillsDuringBookingGenerationResetAndSave) { KillDuringEverything(500, 300); }

// The shim lets no file of a folder holding ".full-disk" grow past the size it names: 4 KB is far
// less than a list of 1000 codes (14 KB) or its export, so the disk fills in mid-write.
TEST(FullDisk, EveryWriteFailsWholeAndTheSameActionWorksOnceThereIsRoom) {
    for (const Operation& op : kOperations) {
        SCOPED_TRACE(op.name);
        Round round(op);
        WriteBytes(round.folder / ".full-disk", "4096");
        round.Start();
        if (round.host) {
            round.Retry();  // a second wrong entry would lock
            EXPECT_EQ(round.host->Module().Window(L"Info", true), nullptr) << "a valid code counted as a wrong entry";
        } else {
            const auto box = round.settings->WaitForMessageBox();
            ASSERT_TRUE(box.has_value()) << "no message";
            EXPECT_EQ(box->title, op.stopTitle);
            EXPECT_EQ(box->iconStyle, 16);
            EXPECT_NE(box->text.find(round.file.wstring()), std::wstring::npos) << "the message does not name the file";
            DismissMessageBox(*box);
            // Once the handler has ended, a viewer would be there; ended, as it would hold the test's output open.
            ASSERT_TRUE(WaitUntil([&] { return round.settings->AllControlsEnabled(true); }, 5s)) << "the window stayed busy";
            EXPECT_FALSE(CloseViewerOf(round.settings->Process().ProcessId(), 0ms)) << "a viewer shows an unwritten file";
        }
        EXPECT_EQ(round.Result(), kOldFile);
        EXPECT_FALSE(round.TemporaryLeft());

        std::filesystem::remove(round.folder / ".full-disk");
        round.Retry();
        if (round.settings) {
            const auto done = round.settings->WaitForMessageBox();
            EXPECT_TRUE(done && done->iconStyle == 64) << "no success message with room again";
            if (done) DismissMessageBox(*done);
            if (op.button == kCmdCreateCodelistText) {
                EXPECT_TRUE(CloseViewerOf(round.settings->Process().ProcessId(), 10s)) << "no text viewer";
            }
        }
        EXPECT_EQ(round.Result(), kNewFile);
    }
}
