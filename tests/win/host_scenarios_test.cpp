// Host mode end to end: Codelist.exe /Mod beside the test host in this process. Each row gives the
// code list and a script of what guests, the host and other programs do, step by step.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <sstream>

#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kRegistered = "Register,SetCreditSys|Enabled";

std::string List(const std::string& credits, const std::string& codes) {
    return CodeListBytes(credits, "99999", {}) + codes;
}
std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }
std::string Unless(bool held, const std::string& seen) { return held ? "" : seen; }

// SMTO_BLOCK: this thread, the host, takes none of the module's messages meanwhile.
bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &ignored) != 0;
}

class Scenario {
public:
    Scenario(const std::string& list, const std::string& script) : file_(session_.Folder() / "Codelist.ini") {
        if (!list.empty()) session_.WriteCodeListBytes(*(expected_ = list));
        std::istringstream steps(script);
        for (std::string step; std::getline(steps, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            SCOPED_TRACE("step " + std::to_string(++steps_) + ": " + step);
            const std::size_t space = step.find(' ');
            const std::string seen = Step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1));
            EXPECT_EQ(seen, "");
            if (!seen.empty()) break;
        }
        if (module().Running()) Send("AppClose");
        EXPECT_TRUE(module().WaitForExit(kTimeout)) << "the module did not end";
        EXPECT_EQ(module().ExitCode(), 0u);
        EXPECT_EQ(module().ExceptionReports(), "");
    }

private:
    ModuleProcess& module() { return session_.Module(); }
    HWND Keypad() { return session_.Keypad(); }
    bool Shows() { return IsWindowVisible(Keypad()) != FALSE; }
    HWND Info() { return module().Window(L"Info", true); }
    HWND Master() { return module().Window(L"Form1", true); }
    std::string CodesLeft() { return Narrow(TextOf(Child(Master(), L"Static", nullptr))); }
    std::string Commands() {
        std::string all;
        for (const std::string& command : session_.Host().Commands()) all += (all.empty() ? "" : ",") + command;
        return all;
    }
    bool Send(const std::string& text, UINT timeoutMs = 20000) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(appComm_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, timeoutMs,
                                   &ignored) != 0;
    }
    // Seen: what to report, or a function that tells it once the time is up.
    template <typename Seen>
    std::string Until(const std::function<bool()>& held, const Seen& seen, std::chrono::milliseconds within = kTimeout) {
        if (WaitUntil(held, within)) return "";
        if constexpr (std::is_invocable_v<Seen>)
            return seen();
        else
            return seen;
    }

    // What the step saw that it should not have; empty when all was as expected.
    std::string Step(const std::string& verb, const std::string& arg) {
        const auto hidden = [&] { return !Shows(); };
        const LPARAM middle = MAKELPARAM(320, 240);
        // clang-format off
        if (verb == "start") return Step("launch", "").append(Registered());
        if (verb == "launch") return session_.StartModule(false), Until([&] { return module().Window(nullptr); }, "no window");
        if (verb == "registered") return Registered();
        if (verb == "pause") return WaitUntil([] { return false; }, std::chrono::milliseconds(std::stoi(arg))), "";
        if (verb == "keep") return session_.Host().SetKeepsMessages(true), "";
        if (verb == "open") return Unless(Send("CreditClick") && WaitUntil([&] { return Shows(); }, kTimeout) &&
                                          (GetWindowLongW(Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST), "no topmost keypad");
        if (verb == "type") return DigitKeys(Keypad()).Type(arg), "";
        if (verb == "post") return PostMessageW(DigitKeys(Keypad()).key[arg[0] - '0'], BM_CLICK, 0, 0), "";
        if (verb == "cancel") return Click(Child(Keypad(), L"Button", L"Abbruch")), Unless(hidden(), "the keypad stays");
        if (verb == "hidden") return Until(hidden, "the keypad stays");
        if (verb == "send") return Unless(Send(arg), "the module did not take it");
        if (verb == "host") return Until([&] { return Commands() == kRegistered + arg; }, [&] { return "the host got " + Commands(); });
        if (verb == "file") return File(arg);
        if (verb == "disk") return SetState(arg), session_.WriteCodeListBytes(*expected_), "";
        if (verb == "delete") return std::filesystem::remove(file_), expected_.reset(), "";
        if (verb == "folder") return std::filesystem::create_directories(file_ / "Unterordner"), "";
        if (verb == "hold") return hold_.emplace(file_, arg), "";
        if (verb == "release") return hold_.reset(), "";
        if (verb == "lock") return Until([&] { return Info() != nullptr && hidden(); }, "no notice, or the keypad over it");
        if (verb == "nolock") return Unless(Info() == nullptr, "a lock notice");
        if (verb == "click-info") return PostMessageW(Info(), WM_LBUTTONDOWN, MK_LBUTTON, middle),
                                         PostMessageW(Info(), WM_LBUTTONUP, 0, middle), Until([&] { return !Info(); }, "it stays");
        if (verb == "master") return Until([&] { return Master() && hidden() && CodesLeft() == arg; }, [&] { return "free: " + CodesLeft(); });
        if (verb == "free") return Click(Child(Master(), L"Button", L"Alle Codes freigeben")), Step("master", arg);
        if (verb == "odd") return OddTexts();
        if (verb == "hang") return Hang();
        if (verb == "gap") return Unless(session_.Host().Received()[1].arrival - session_.Host().Received()[0].arrival >= 2550ms,
                                         "the full inbox was not polled");
        if (verb == "second") return Unless(ModuleProcess(L"/Mod").WaitForExit(kTimeout) && Commands() == kRegistered,
                                            "a second copy ran on or registered");
        if (verb == "host-gone") return session_.CloseHost(), "";
        if (verb == "watch") return Until([&] { return !Keypad() && module().Running() && Info(); }, "the keypad stays", 12s);
        if (verb == "exit") return Until([&] { return !module().Running(); }, "the module runs on", 12s);
        if (verb == "closed-ini") return host::WriteModuleIni(session_.Folder(), UniqueWindow(CreateWindowExW(
                                         0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0)).get()), "";
        if (verb == "ends") return Unless(session_.StartModule(false).WaitForExit(kTimeout) &&
                                          session_.Host().Received().empty(), "the module ran on or wrote to the host");
        // clang-format on
        if (verb == "lock-start") return lockStart_ = Clock::now(), "";
        if (verb == "unlock") {
            return Until([&] { return !Info(); }, "the notice stays", 15s)
                .append(Unless(Clock::now() - lockStart_ >= 9500ms, "early"));
        }
        return "no such step";
    }

    // The return address is the hidden inbox, no window shows, and the module answers meanwhile.
    std::string Registered() {
        if (!WaitUntil([&] { return (appComm_ = Child(Keypad(), L"Edit", nullptr)) != nullptr; }, kTimeout))
            return "no inbox";
        WaitUntil([&] { return !Commands().empty(); }, kTimeout);
        const bool answered = Answers(Keypad());
        WaitUntil([&] { return Commands() == kRegistered; }, kTimeout);
        const std::string address = std::to_string(reinterpret_cast<INT_PTR>(appComm_));
        return Unless(answered && Commands() == kRegistered && session_.Host().Received()[0].text == address + "|Register" &&
                          !IsWindowVisible(appComm_) && module().VisibleWindows().empty(),
                      "registration " + Commands() + (answered ? "" : ", frozen"));
    }

    // Sets a code's state in the expected bytes, the rest of its line and of the file as they were.
    void SetState(const std::string& codeAndState) {
        const std::size_t at = expected_->find(std::string(1, '\n').append(codeAndState, 0, codeAndState.find('=') + 1)) + 1;
        expected_->replace(at, expected_->find('\r', at) - at, codeAndState);
    }

    // The file must come to hold exactly the expected bytes with these "code=STATE" edits.
    std::string File(const std::string& edits) {
        std::istringstream items(edits);
        for (std::string item; items >> item;) SetState(item);
        const auto bytes = [&] { return is_regular_file(file_) ? std::optional(Bytes(file_)) : std::nullopt; };
        return Until([&] { return bytes() == expected_ && !std::filesystem::exists(file_.string() + ".tmp"); },
                     [&] { return "the list holds:\n" + bytes().value_or("(no file)"); });
    }

    std::string OddTexts() {
        // Wine passes a text of a million characters to another process, not one of 1,040,000.
        // clang-format off
        const std::string texts[] = {"", "creditclick", "CreditClick ", " CreditClick", "APPCLOSE", "1|CreditClick", "\xC4ppClose",
                                     "CreditClickCreditClick", "CreditClick \xFC\x80", "AppClose\x01", "AppClose\r\n",
                                     "CreditClick" + std::string(999'989, ' '), std::string(1 << 20, 'A')};
        // clang-format on
        for (const std::string& text : texts) {
            const bool taken = Send(text, 1000) || text.size() > 1'000'000;
            if (!taken || !TextOf(appComm_).empty() || Shows() || !module().Running()) return "after " + text.substr(0, 20);
        }
        return "";
    }

    // The host takes no message while the last digit is checked: the check still ends within the
    // sends' bounds, the module answers all the while, and a credit that timed out is not sent again.
    std::string Hang() {
        Step("post", "5");
        const auto start = Clock::now();
        bool answered = true;
        while (Shows() && Clock::now() - start < 10s) answered = Answers(Keypad()) && answered;
        WaitUntil([] { return false; }, 500ms);
        return Unless(answered && !Shows() && session_.CommandCount("AddCredit| 2") <= 1, "froze, or sent the credit twice");
    }

    HostSession session_;
    std::filesystem::path file_;
    std::optional<std::string> expected_;
    std::optional<FileHold> hold_;
    HWND appComm_ = nullptr;
    int steps_ = 0;
    Clock::time_point lockStart_{};
};

void RunRows(const std::vector<std::array<std::string, 3>>& rows) {
    for (const auto& [name, list, script] : rows) {
        SCOPED_TRACE(name);
        Scenario scenario(list, script);
    }
}

const std::string kOne = "12345=UNUSED\r\n",
                  kNotBooked = "open; type 12345; hidden; open; type 12345; nolock; host; release;";

// Rows: name, Codelist.ini (empty: none), script. "host" lists the commands after the registration.
// clang-format off
TEST(HostMode, GuestsAndTheHost) {
    RunRows({
        {"CodeEntryMasterAndLock", List("2", "12345=UNUSED\r\n00042=UNUSED\r\n99999=UNUSED\r\n77777=USED\r\n"),
         "start; odd; open; type 12345; host ,AddCredit| 2; file 12345=USED; hidden; open; type 12345; hidden; host ,AddCredit| 2;"
         "file; open; type 00042; file 00042=USED; open; type 77777; nolock; open; type 1; cancel; open; type 99999; master 1;"
         "file; open; type 11111; nolock; free 4; file 12345=UNUSED 00042=UNUSED 77777=UNUSED; open; type 12345; open; type 11111;"
         "open; type 22222; lock-start; lock; send CreditClick; lock; click-info; send CreditClick; lock; unlock; open; type 11111;"
         "nolock; open; type 00042; host ,AddCredit| 2,AddCredit| 2,AddCredit| 2,AddCredit| 2"},
        {"BookedBeforeTheCreditAndAppCloseDuringIt", List("2", kOne),
         "keep; start; gap; open; type 1234; post 5; file 12345=USED; host; send AppClose; host ,AddCredit| 2; exit"},
        {"AHungHostIsBoundedAndOneCopyOnly", List("2", kOne), "start; second; open; type 1234; hang; file 12345=USED; open; type 12345; nolock"},
        // The host goes just before the check (the 5 s watch rarely ends the keypad first; then the row shows nothing).
        {"AHostGoneAtTheSendGetsTheCodeBack", List("2", kOne), "start; open; type 1234; host-gone; post 5; hidden; file"},
        {"TheLockNoticeOutlivesTheHost", List("2", kOne), "start; open; type 11111; open; type 22222; lock; host-gone; watch; click-info; exit"},
        {"ClosedHostWindow", List("2", kOne), "closed-ini; ends"},
    });
}

TEST(HostMode, BadFiles) {
    RunRows({
        {"Utf16List", Utf16(List("3", kOne)),
         "start; open; type 12345; hidden; open; type 12345; nolock; host; file"},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + List("-3", kOne + "54321=UNUSED\r\n"), "start; open; type 12345; host ,AddCredit|-3;"
         "file 12345=USED; disk 54321=USED; open; type 54321; nolock; host ,AddCredit|-3; delete; open; type 99999; master 0; free 0; file"},
        {"MissingList", "", "start; open; type 12345; nolock; open; type 54321; lock; file"},
        {"FolderInPlaceOfTheList", "", "folder; start; open; type 12345; nolock; open; type 54321; lock; file"},
        {"UnwritableList", List("2", kOne), "hold readonly; start;" + kNotBooked + "hold write;" + kNotBooked + "hold exclusive;" +
         kNotBooked + "file; open; type 12345; host ,AddCredit| 2; file 12345=USED"},
        {"ListHeldDuringStartUp", List("3.5", kOne), "hold exclusive; launch; pause 500; release; registered; open; type 12345; host ,AddCredit| 4"},
        // Quotes as installers and editors write them; a comment line is no code.
        {"HandEditedQuotesAndAComment", "[Einstellungen]\r\nCreditsPerCode=\"3\"\r\nMasterCode='99999'\r\n\r\n[Codes]\r\n;54321=UNUSED\r\n"
         "12345=\"UNUSED\"\r\n00042= 'UNUSED' \r\n", "start; open; type 12345; host ,AddCredit| 3; file 12345=USED; open; type 99999;"
         "master 1; open; type 54321; nolock; free 2; file 12345=UNUSED 00042=UNUSED"},
    });
}
// clang-format on

}  // namespace
