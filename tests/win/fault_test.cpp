// Faults during the operations that write a file: Codelist.exe killed at random moments while it
// books a code, generates, resets or saves, and a full disk (tests/win/full_disk_shim.c, preloaded
// by CTest). The file is always the old one byte for byte or the operation's whole result, and no
// credit goes out for a code left free; "USED" without its credit is the one window the booking
// order accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "platform/file_store.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// Handles this thread's messages (the module's sends to the test host) until the time is up; the
// last millisecond is spun, so that short delays are kept.
void PumpFor(Micros duration) {
    for (const auto end = Clock::now() + duration; Clock::now() < end;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

// 1000 codes, every seventh used unless reset, and the booked one used.
std::string List(const std::string& credits, const std::string& master, bool reset = false, const std::string& booked = "") {
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000)) {
        codes.emplace_back(code, (!reset && codes.size() % 7 == 0) || code == booked ? "USED" : "UNUSED");
    }
    return CodeListBytes(credits, master, codes);
}

const std::string kOld = List("2", "99999");
const std::string kOldExport = "the old export\r\n";
const std::string kCode = SampleCodes(1000)[1];  // free in the old list

struct Operation {
    const char* name;
    int button;                // 0: the fifth digit of a booking
    const char* file;          // the file it writes
    const wchar_t* stopTitle;  // of its message when the disk is full
    double spread;             // kills fall within this many times its median duration; 0: none
    std::string result;        // the whole file it leaves; empty: a fresh list, or any export
};

// clang-format off
const Operation kOperations[] = {
    {"booking", 0, "Codelist.ini", nullptr, 2.0, List("2", "99999", false, kCode)},
    {"generation", kCmdCreateCodelist, "Codelist.ini", L"Codeliste nicht erstellt", 1.5, ""},
    {"reset", kCmdResetCodelist, "Codelist.ini", L"Codes nicht freigegeben", 1.5, List("2", "99999", true)},
    {"save", kCmdSave, "Codelist.ini", L"Einstellungen nicht gesichert", 1.5, List("5", "54321")},
    {"export", kCmdCreateCodelistText, "Codelist.txt", L"Textdatei nicht geschrieben", 0, ""},
};
// clang-format on

enum Outcome { kOldFile, kNewFile, kUsedWithoutCredit, kBroken };

// Codelist.exe on the old files, the operation one message away: in host mode four digits typed,
// in the settings window every box filled.
class Round {
public:
    explicit Round(const Operation& operation)
        : operation_(operation), old_(operation.button == kCmdCreateCodelistText ? kOldExport : kOld) {
        if (operation.button == 0) {
            host_.emplace();
            host_->WriteCodeListBytes(kOld);
            host_->StartModule();
            EXPECT_TRUE(host_->OpenKeypad());
            keys_.emplace(host_->Keypad());
            keys_->Type(kCode.substr(0, 4));
        } else {
            WriteBytes(folder_ / "Codelist.ini", kOld);
            WriteBytes(folder_ / "Codelist.txt", kOldExport);
            settings_.emplace();
            settings_->SetText(kTxtNrOfCodes, L"1000");
            settings_->SetText(kTxtCreditsPerCode, L"5");
            settings_->SetText(kTxtMasterCode, L"54321");
        }
    }
    void Start() {
        if (host_)
            PostMessageW(keys_->key[kCode[4] - '0'], BM_CLICK, 0, 0);
        else
            settings_->Click(operation_.button);
    }
    // The whole operation again, as the guest or the operator would try it.
    void Retry() {
        if (host_) {
            ASSERT_TRUE(host_->KeypadHides() && host_->OpenKeypad());
            keys_->Type(kCode);
        } else {
            ASSERT_TRUE(WaitUntil([&] { return settings_->AllControlsEnabled(true); }, std::chrono::seconds(5)));
            settings_->Click(operation_.button);
        }
    }
    std::optional<MessageBoxView> Message() { return settings_->WaitForMessageBox(); }
    bool Credited() const { return host_ && host_->CommandCount("AddCredit| 2") > 0; }
    bool Done() const { return host_ ? Credited() : ReadFileBytes(File()).bytes != old_; }
    void Kill() {
        host_ ? host_->Module().Kill() : settings_->Process().Kill();
        PumpFor(std::chrono::milliseconds(50));  // a credit already on its way still arrives
    }
    std::filesystem::path File() const { return folder_ / operation_.file; }
    bool TemporaryLeft() const { return std::filesystem::exists(File().wstring() + L".tmp"); }
    Outcome Result() const {
        const std::string bytes = ReadBytes(File());
        if (bytes == old_) return Credited() ? kBroken : kOldFile;
        const auto fresh = WholeCodeList(bytes);
        const bool whole = !operation_.result.empty() ? bytes == operation_.result
                           : operation_.button == kCmdCreateCodelistText
                               ? true  // its lines are checked natively
                               : fresh && fresh->size() == 1000 && bytes.find("=USED") == std::string::npos &&
                                     bytes.rfind(CodeListBytes("2", "99999", {}), 0) == 0;
        return !whole ? kBroken : host_ && !Credited() ? kUsedWithoutCredit : kNewFile;
    }
    bool Locked() { return host_->Module().Window(L"Info", true) != nullptr; }
    void CloseViewer() { CloseViewerOf(settings_->Process().ProcessId(), std::chrono::seconds(10)); }

private:
    const Operation& operation_;
    const std::string& old_;
    std::filesystem::path folder_ = FreshModuleFolder();
    std::optional<HostSession> host_;
    std::optional<DigitKeys> keys_;
    std::optional<SettingsWindow> settings_;
};

// The first rounds run to the operation's end, which bounds the delays of the kills after them.
int KillRounds(const Operation& operation, int rounds) {
    std::vector<Micros> times;
    std::mt19937 random(RunSeed() + static_cast<unsigned>(operation.button));
    int outcomes[4] = {}, inside = 0;
    for (int kill = -5; kill < rounds; ++kill) {
        SCOPED_TRACE(std::string(operation.name) + " round " + std::to_string(kill));
        Round round(operation);
        const auto start = Clock::now();
        round.Start();
        if (kill < 0) {
            while (!round.Done() && Clock::now() - start < kTimeout) PumpFor(Micros(200));
            EXPECT_TRUE(round.Done()) << "not finished";
            times.push_back(std::chrono::duration_cast<Micros>(Clock::now() - start));
            std::sort(times.begin(), times.end());
        } else {
            PumpFor(Micros(std::uniform_int_distribution<long long>(
                0, static_cast<long long>(times[2].count() * operation.spread))(random)));
        }
        round.Kill();
        inside += round.TemporaryLeft();
        const Outcome outcome = round.Result();
        EXPECT_NE(outcome, kBroken) << "neither the old file nor the whole new one, or a credit for a code left free";
        ++outcomes[outcome];
    }
    PrintFigure(std::string(operation.name) + " (" + std::to_string(times[2].count()) +
                " us to its end): " + std::to_string(rounds + 5) + " kills; old file " + std::to_string(outcomes[kOldFile]) +
                ", new " + std::to_string(outcomes[kNewFile]) + ", \"USED\" without credit " +
                std::to_string(outcomes[kUsedWithoutCredit]) + ", broken or credit lost " +
                std::to_string(outcomes[kBroken]) + ", killed inside a write " + std::to_string(inside));
    return rounds + 5;
}

void KillDuringEverything(int bookingRounds, int settingsRounds) {
    int kills = 0;
    for (const Operation& operation : kOperations) {
        if (operation.spread > 0) kills += KillRounds(operation, operation.button == 0 ? bookingRounds : settingsRounds);
    }
    PrintFigure("faults injected (kills): " + std::to_string(kills));
}

}  // namespace

TEST(FaultInjection, KillsLeaveTheOldOrTheWholeNewFileAndNoUnbookedCredit) { KillDuringEverything(30, 20); }

TEST(FaultLongRun, KillsDuringBookingGenerationResetAndSave) { KillDuringEverything(500, 300); }

// The shim lets no file of a folder holding ".full-disk" grow past the size it names: 4 KB is far
// less than a list of 1000 codes (14 KB) or its export, so the disk fills in mid-write.
TEST(FullDisk, EveryWriteFailsWholeAndTheSameActionWorksOnceThereIsRoom) {
    for (const Operation& operation : kOperations) {
        SCOPED_TRACE(operation.name);
        Round round(operation);
        const auto marker = round.File().parent_path() / ".full-disk";
        WriteBytes(marker, "4096");
        round.Start();
        if (operation.button == 0) {
            round.Retry();  // a second wrong entry would lock
            EXPECT_FALSE(round.Locked()) << "a valid code counted as a wrong entry";
        } else {
            const auto box = round.Message();
            ASSERT_TRUE(box.has_value()) << "no message";
            EXPECT_EQ(box->title, operation.stopTitle);
            EXPECT_EQ(box->iconStyle, 16);
            EXPECT_NE(box->text.find(round.File().wstring()), std::wstring::npos) << "the message does not name the file";
            DismissMessageBox(*box);
        }
        EXPECT_EQ(round.Result(), kOldFile);
        EXPECT_FALSE(round.TemporaryLeft());

        std::filesystem::remove(marker);
        round.Retry();
        if (operation.button != 0) {
            const auto done = round.Message();
            EXPECT_TRUE(done && done->iconStyle == 64) << "no success message with room again";
            if (done) DismissMessageBox(*done);
            if (operation.button == kCmdCreateCodelistText) round.CloseViewer();
        }
        EXPECT_EQ(round.Result(), kNewFile);
    }
}
