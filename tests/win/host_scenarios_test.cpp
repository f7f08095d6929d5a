// Host mode end to end: Codelist.exe /Mod beside the test host in this process. Each row gives the
// code list and a script of what guests, the host and other programs do, step by step.
#include <array>
#include <random>
#include <regex>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kRegistered = ",Register,SetCreditSys|Enabled";

std::string List(const std::string& credits, std::string codes) { return CodeListBytes(credits, "99999", {}) + codes; }
std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

class Scenario {
public:
    // A row: its name, the list file (empty: none) and the script.
    explicit Scenario(const std::array<std::string, 3>& row) {
        SCOPED_TRACE(row[0]);
        if (!row[1].empty()) WriteBytes(file_, *(expected_ = row[1]));
        std::istringstream steps(row[2]);
        for (std::string step; std::getline(steps, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            const std::size_t space = step.find(' ');
            if (Step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1))) continue;
            ADD_FAILURE() << "step \"" << step << "\" failed" << note_ << "; the host got " << Commands()
                          << "; the inbox holds " << Narrow(TextOf(appComm_)).substr(0, 40) << "; shown: " << Shown()
                          << "; the list: " << OnDisk().value_or("(none)") << "; expected: " << expected_.value_or("(none)");
            break;
        }
        if (module().Running() && session_.Host()) Send("AppClose");
        EXPECT_EQ(module().Ended(kTimeout), "");
    }

private:
    ModuleProcess& module() { return session_.Module(); }
    HWND Keypad() { return session_.Keypad(); }
    std::string Commands() {
        std::string all;
        for (const std::string& c : session_.Host() ? session_.Host()->Commands() : std::vector<std::string>())
            all += "," + c;
        return all;
    }
    // The module's windows that show, by their titles, the master window with its count of free codes; or "ended".
    std::string Shown() {
        std::string shown = module().Running() ? "" : " ended";
        for (const wchar_t* title : {L"Creditsystem", L"Info", L"Form1"})
            if (const HWND window = module().Window(title, true))
                shown += Narrow(L" " + (title[0] == L'F' ? L"Form1 " + TextOf(Child(window, L"Static", nullptr)) : title));
        return shown.erase(0, 1);
    }
    bool Send(const std::string& text) { return session_.Host()->SendToModule(text); }
    // The journal's events so far, each with its code: "Hostmodus gestartet,Code gebucht 12345".
    std::string Journal() {
        std::string events;
        for (const std::string& line : JournalLines(session_.Folder()))
            events.append(events.empty() ? "" : ",").append(std::regex_replace(line, std::regex(";(\\d*);.*"), " $1"));
        return std::regex_replace(events, std::regex(" (,|$)"), "$1");
    }

    // Whether all went as the step expects; what the failure message cannot see it notes.
    bool Step(const std::string& verb, const std::string& arg) {
        // clang-format off
        if (verb == "start") return Step("launch", "") && Registered();
        if (verb == "launch") return session_.StartModule(false), WaitUntil([&] { return module().Window(nullptr); }, kTimeout);
        if (verb == "registered") return Registered();
        if (verb == "pause") return !WaitUntil([] { return false; }, std::chrono::milliseconds(std::stoi(arg)));
        if (verb == "keep") return session_.Host()->SetKeepsMessages(true), true;
        if (verb == "open") return session_.OpenKeypad() && (GetWindowLongW(Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        if (verb == "type") return DigitKeys(Keypad()).Type(arg), typed_ = Clock::now(), true;
        if (verb == "post") return PostMessageW(DigitKeys(Keypad()).key[arg[0] - '0'], BM_CLICK, 0, 0);
        if (verb == "cancel") return Click(Child(Keypad(), L"Button", L"Abbruch")), true;
        if (verb == "free") return Click(Child(module().Window(L"Form1", true), L"Button", L"Alle Codes freigeben")), true;
        if (verb == "shows") return WaitUntil([&] { return Shown() == arg; }, kTimeout);
        if (verb == "send") return Send(arg) && TextOf(appComm_).empty();
        if (verb == "host") return WaitUntil([&] { return Commands() == kRegistered + arg; }, kTimeout);
        if (verb == "file") return File(arg);
        if (verb == "disk") return SetState(arg), WriteBytes(file_, *expected_), true;
        if (verb == "delete") return expected_.reset(), std::filesystem::remove(file_);
        if (verb == "folder") return std::filesystem::create_directories(file_ / "Unterordner");
        if (verb == "hold") return hold_.emplace(file_, arg), true;
        if (verb == "hold-journal") return journalHold_.emplace(JournalPath(session_.Folder()), arg), true;
        if (verb == "journal") return WaitUntil([&] { return Journal() == arg; }, kTimeout);
        // The disk fills up at the list's size: its bookings still fit, the journal's lines do not.
        if (verb == "full") return WriteBytes(session_.Folder() / ".full-disk", std::to_string(expected_->size())), true;
        if (verb == "press") return PostMessageW(module().Window(L"Info", true), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240)) &&
                                    PostMessageW(module().Window(L"Info", true), WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
        if (verb == "unlock") return Step("shows", arg) && Clock::now() - typed_ >= 9500ms;
        // Wine passes a text of a million characters to another process, not one of 1,048,576: that one is lost on the way.
        if (verb == "huge") {
            const std::string text = std::string("CreditClick").append(std::stoul(arg) - 11, ' ');
            return (SendMessageTimeoutA(appComm_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 1000,
                                        nullptr) || text.size() > 1'000'000) && TextOf(appComm_).empty();
        }
        // The host takes no message while the last digit is checked: the check still ends within the sends' bounds, the
        // module answers all the while (SMTO_BLOCK: this thread takes none of its messages), and a credit that timed out
        // is not sent again.
        if (verb == "hang") {
            for (const auto start = Clock::now(); session_.KeypadVisible() && Clock::now() - start < 10s;)
                if (!SendMessageTimeoutW(Keypad(), WM_NULL, 0, 0, SMTO_BLOCK, 1000, nullptr)) note_ = " (the module froze)";
            return Step("pause", "500") && note_.empty() && !session_.KeypadVisible() && session_.CommandCount("AddCredit| 2") <= 1;
        }
        // A host that keeps its inbox full: the module waits out its poll of 2.5 s before the next message.
        if (verb == "gap") return session_.Host()->Received()[1].arrival - session_.Host()->Received()[0].arrival >= 2550ms;
        if (verb == "second") return ModuleProcess(L"/Mod").WaitForExit(kTimeout) && Commands() == kRegistered;
        if (verb == "host-gone") return session_.CloseHost(), true;
        // The keypad goes about 5 s after the host, the notice stays until it is clicked.
        if (verb == "given-back") return WaitUntil([&] { return Journal().starts_with("Hostmodus gestartet,Code gebucht 12345,"
                                                   "Code zurückgegeben 12345") || Journal() == "Hostmodus gestartet,Hostmodus beendet"; }, kTimeout);
        if (verb == "watch") return WaitUntil([&] { return !Keypad() && Shown() == "Info"; }, 12s);
        if (verb == "closed-ini") return host::WriteModuleIni(session_.Folder(), UniqueWindow(CreateWindowExW(
                                         0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0)).get());
        if (verb == "ends") return session_.StartModule(false).WaitForExit(kTimeout) && session_.Host()->Received().empty();
        if (verb == "guess") return Guess(std::stoi(arg));
        // clang-format on
        return note_ = " (no such step)", false;
    }

    // An automated guest typing random codes as fast as the keypad opens, until the lock has come back the given number
    // of times: only free codes give credit, two wrong ones in a row always lock. The rate is taken over whole cycles.
    bool Guess(int lockCycles) {
        std::mt19937 random(RunSeed());
        int guesses = 0, found = 0, locks = 0, wrongInARow = 0, guessesAtFirstLock = 0;
        Clock::time_point firstLock;
        while (locks <= lockCycles) {
            if (wrongInARow == 2) {
                if (!Step("send", "CreditClick") || !Step("shows", "Info"))
                    return note_ = " (no lock after two wrong)", false;
                wrongInARow = 0;
                if (++locks == 1) guessesAtFirstLock = guesses, firstLock = Clock::now();
                continue;
            }
            if (!OpenKeypadWhenFree(session_, 15s)) return note_ = " (the keypad stayed locked)", false;
            const std::string guess = std::to_string(std::uniform_int_distribution(100000, 199999)(random)).substr(1);
            const std::size_t credits = session_.CommandCount("AddCredit| 2");
            const bool free = expected_->find("\n" + guess + "=UNUSED\r") != std::string::npos;
            Step("type", guess), ++guesses;
            if (session_.CommandCount("AddCredit| 2") - credits != (free ? 1u : 0u))
                return note_ = " (" + guess + ")", false;
            if (free) SetState(guess + "=USED"), ++found;
            wrongInARow = free ? 0 : wrongInARow + 1;
        }
        const double hours = std::chrono::duration<double>(Clock::now() - firstLock).count() / 3600;
        if (lockCycles > 0)
            PrintFigure("guessing: " + std::to_string(guesses) + " guesses, " + std::to_string(locks) + " locks, " +
                        std::to_string(found) + " valid codes found; " +
                        std::to_string(std::lround((guesses - guessesAtFirstLock) / hours)) +
                        " guesses per hour over whole lock cycles");
        return true;
    }

    // The return address is the hidden inbox and no window shows.
    bool Registered() {
        if (!WaitUntil([&] { return (appComm_ = Child(Keypad(), L"Edit", nullptr)) != nullptr; }, kTimeout)) return false;
        return WaitUntil([&] { return Commands() == kRegistered; }, kTimeout) &&
               session_.Host()->Received()[0].text == std::to_string(reinterpret_cast<INT_PTR>(appComm_)) + "|Register" &&
               !IsWindowVisible(appComm_) && module().VisibleWindows().empty();
    }

    // Sets a code's state in the expected bytes, the rest of its line and of the file as they were.
    void SetState(const std::string& codeAndState) {
        const std::size_t at = expected_->find(std::string(1, '\n').append(codeAndState, 0, codeAndState.find('=') + 1)) + 1;
        expected_->replace(at, expected_->find('\r', at) - at, codeAndState);
    }

    std::optional<std::string> OnDisk() { return is_regular_file(file_) ? std::optional(Bytes(file_)) : std::nullopt; }
    // The file must come to hold exactly the expected bytes with these "code=STATE" edits, and no temporary file beside.
    bool File(const std::string& edits) {
        std::istringstream items(edits);
        for (std::string item; items >> item;) SetState(item);
        return WaitUntil([&] { return OnDisk() == expected_ && !std::filesystem::exists(file_.string() + ".tmp"); },
                         kTimeout);
    }

    HostSession session_;
    std::filesystem::path file_ = session_.Folder() / "Codelist.ini";
    std::optional<std::string> expected_;
    std::optional<FileHold> hold_, journalHold_;
    HWND appComm_ = nullptr;
    Clock::time_point typed_{};
    std::string note_;
};

void RunRows(const std::vector<std::array<std::string, 3>>& rows) {
    for (const auto& row : rows) Scenario{row};
}

// 1000 free codes and no master code: every guess is a code.
std::string ThousandFreeCodes() {
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000)) codes.emplace_back(code, "UNUSED");
    return CodeListBytes("2", "", codes);
}

// An entry the list cannot take is no wrong entry: the next one does not lock.
const std::string kOne = "12345=UNUSED\r\n", kThree = "12345=UNUSED\r\n23456=UNUSED\r\n34567=UNUSED\r\n",
                  kNotBooked = "open; type 12345; shows; open; type 12345; open; host; hold none;",
                  kTwoFailed =
                      "Code gebucht 12345,Buchung fehlgeschlagen 12345,Code gebucht 12345,Buchung fehlgeschlagen 12345,";

// Rows: name, Codelist.ini (empty: none), script. "host" lists the commands after the registration; "open" after a
// wrong entry shows that it did not lock.
// clang-format off
TEST(HostMode, GuestsAndTheHost) {
    RunRows({
        {"CodeEntryMasterAndLock", List("2", "12345=UNUSED\r\n00042=UNUSED\r\n99999=UNUSED\r\n77777=USED\r\n"),
         "start; send; send creditclick; send CreditClick ; send  CreditClick; send APPCLOSE; send 1|CreditClick; send \xC4ppClose;"
         "send CreditClickCreditClick; send CreditClick \xFC\x80; send AppClose\x01; send AppClose\r\n; huge 1000000; huge 1048576; shows;"
         "open; type 12345; host ,AddCredit| 2; file 12345=USED; shows; open; type 12345; shows; host ,AddCredit| 2;"
         "file; open; type 00042; file 00042=USED; open; type 77777; open; type 1; cancel; shows; open; type 99999; shows Form1 1;"
         "file; open; type 11111; free; shows Form1 4; file 12345=UNUSED 00042=UNUSED 77777=UNUSED; open; type 12345; open;"
         "type 11111; open; type 22222; shows Info Form1 4; send CreditClick; shows Info Form1 4; press; shows Form1 4; send CreditClick;"
         "shows Info Form1 4; unlock Form1 4;"
         "open; type 11111; open; type 00042; host ,AddCredit| 2,AddCredit| 2,AddCredit| 2,AddCredit| 2;"
         "journal Hostmodus gestartet,Code gebucht 12345,Credits gesendet 12345,Falscheingabe,Code gebucht 00042,Credits gesendet 00042,"
         "Falscheingabe,Mastermenü geöffnet,Falscheingabe,Alle Codes freigegeben,Code gebucht 12345,Credits gesendet 12345,"
         "Falscheingabe,Falscheingabe,Sperre gestartet,Falscheingabe,Code gebucht 00042,Credits gesendet 00042"},
        {"BookedBeforeTheCreditAndAppCloseDuringIt", List("2", kOne),
         "keep; start; gap; open; type 1234; post 5; file 12345=USED; host; send AppClose; host ,AddCredit| 2; shows ended"},
        {"AHungHostIsBoundedAndOneCopyOnly", List("2", kOne), "start; second; open; type 1234; post 5; hang; file 12345=USED; open; type 12345; open"},
        // The host goes just before the check (the 5 s watch rarely ends the keypad first; then the row shows nothing).
        {"AHostGoneAtTheSendGetsTheCodeBack", List("2", kOne), "start; open; type 1234; host-gone; post 5; shows; file; given-back"},
        {"TheLockNoticeOutlivesTheHost", List("2", kOne),
         "start; open; type 11111; open; type 22222; shows Info; host-gone; watch; press; shows ended;"
         "journal Hostmodus gestartet,Falscheingabe,Falscheingabe,Sperre gestartet,Hostmodus beendet"},
        // A spreadsheet holds the journal: the lines wait and follow, in order, once it lets go.
        {"JournalHeldDuringThreeRedemptions", List("2", kThree), "start; journal Hostmodus gestartet; hold-journal write;"
         "open; type 12345; open; type 23456; open; type 34567; host ,AddCredit| 2,AddCredit| 2,AddCredit| 2;"
         "file 12345=USED 23456=USED 34567=USED; journal Hostmodus gestartet; hold-journal none; journal Hostmodus gestartet,"
         "Code gebucht 12345,Credits gesendet 12345,Code gebucht 23456,Credits gesendet 23456,Code gebucht 34567,Credits gesendet 34567"},
        // The journal's second line does not fit: it is taken back whole, and the bookings go on as before.
        {"FullDiskForTheJournal", List("2", kThree), "full; start; open; type 12345; host ,AddCredit| 2; file 12345=USED;"
         "open; type 23456; host ,AddCredit| 2,AddCredit| 2; file 23456=USED; journal Hostmodus gestartet"},
        {"ClosedHostWindow", List("2", kOne), "closed-ini; ends"},
        {"RandomGuessesUntilTheLock", ThousandFreeCodes(), "start; guess 0; file"},
    });
}

TEST(HostMode, BadFiles) {
    RunRows({
        {"Utf16List", Utf16(List("3", kOne)), "start; open; type 12345; shows; open; type 12345; open; host; file"},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + List("-3", kOne + "54321=UNUSED\r\n"), "start; open; type 12345; host ,AddCredit|-3;"
         "file 12345=USED; disk 54321=USED; open; type 54321; open; host ,AddCredit|-3; delete; type 99999; shows Form1 0; free;"
         "shows Form1 0; file"},
        {"MissingList", "", "start; open; type 12345; open; type 54321; shows Info; file"},
        {"FolderInPlaceOfTheList", "", "folder; start; open; type 12345; open; type 54321; shows Info; file"},
        {"UnwritableList", List("2", kOne), "hold readonly; start;" + kNotBooked + "hold write;" + kNotBooked + "hold exclusive;" +
         kNotBooked + "file; open; type 12345; host ,AddCredit| 2; file 12345=USED; journal Hostmodus gestartet," + kTwoFailed +
         kTwoFailed + "Code gebucht 12345,Credits gesendet 12345"},
        {"ListHeldDuringStartUp", List("3.5", kOne), "hold exclusive; launch; pause 500; hold none; registered; open; type 12345; host ,AddCredit| 4"},
        // Quotes as installers and editors write them; a comment line is no code.
        {"HandEditedQuotesAndAComment", "[Einstellungen]\r\nCreditsPerCode=\"3\"\r\nMasterCode='99999'\r\n\r\n[Codes]\r\n;54321=UNUSED\r\n"
         "12345=\"UNUSED\"\r\n00042= 'UNUSED' \r\n", "start; open; type 12345; host ,AddCredit| 3; file 12345=USED; open; type 99999;"
         "shows Form1 1; open; type 54321; free; shows Form1 2; file 12345=UNUSED 00042=UNUSED; host ,AddCredit| 3"},
    });
}
// clang-format on

TEST(GuessingLongRun, RandomGuessesForFourMinutes) { RunRows({{"Guessing", ThousandFreeCodes(), "start; guess 24; file"}}); }

}  // namespace
