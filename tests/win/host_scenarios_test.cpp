// Host mode end to end: Codelist.exe /Mod beside the test host in this process. Each row gives the
// code list and a script of what guests, the host and other programs do, step by step.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

namespace {

struct Row {
    const char* name;
    std::string list;  // the bytes of Codelist.ini; empty: no such file
    std::string script;
};

std::string List(const std::string& credits, const std::string& codes) {
    return CodeListBytes(credits, "99999", {}) + codes;
}

std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += {c, '\0'};
    return bytes;
}

std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }
std::string Unless(bool held, const std::string& seen) { return held ? "" : seen; }

// Sets a code's state in the list's bytes, the rest of its line and of the file as they were.
void SetState(std::string& bytes, const std::string& codeAndState) {
    const std::size_t at = bytes.find(std::string(1, '\n').append(codeAndState, 0, codeAndState.find('=') + 1)) + 1;
    bytes.replace(at, bytes.find('\r', at) - at, codeAndState);
}

// SMTO_BLOCK: this thread, the host, takes none of the module's messages meanwhile.
bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &ignored) != 0;
}

// Another program's hold on the list. Wine runs as root and writes read-only files all the same;
// the attribute stops only the replacement of the file.
struct FileHold {
    FileHold(const std::filesystem::path& list, const std::string& kind)
        : file(list),
          handle(kind == "readonly" ? nullptr
                                    : CreateFileW(list.c_str(), GENERIC_READ, kind == "write" ? FILE_SHARE_READ : 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr)) {
        if (kind == "readonly") SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~FileHold() { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); }
    std::filesystem::path file;
    UniqueHandle handle;
};

class Scenario {
public:
    explicit Scenario(const Row& row) : file_(session_.Folder() / "Codelist.ini") {
        if (!row.list.empty()) session_.WriteCodeListBytes(*(expected_ = row.list));
        std::istringstream steps(row.script);
        bool held = true;
        for (std::string step; held && std::getline(steps, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            SCOPED_TRACE("step " + std::to_string(++steps_) + ": " + step);
            const std::size_t space = step.find(' ');
            const std::string seen = Step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1));
            EXPECT_EQ(seen, "");
            held = seen.empty();
        }
        if (module().Running()) Send("AppClose");
        EXPECT_TRUE(module().WaitForExit(kTimeout)) << "the module did not end";
        EXPECT_EQ(module().ExitCode(), 0u);
        EXPECT_EQ(module().ExceptionReports(), "");
    }

private:
    ModuleProcess& module() { return session_.Module(); }
    HWND Keypad() { return session_.Keypad(); }
    bool KeypadShows() { return IsWindowVisible(Keypad()) != FALSE; }
    HWND Info() { return module().Window(L"Info", true); }
    std::wstring CodesLeft() { return TextOf(Child(module().Window(L"Form1", true), L"Static", nullptr)); }
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

    // What the step saw that it should not have; empty when all was as expected.
    std::string Step(const std::string& verb, const std::string& arg) {
        if (verb == "start") return Launch().append(Registered());
        if (verb == "launch") return Launch();
        if (verb == "registered") return Registered();
        if (verb == "pause") return WaitUntil([] { return false; }, std::chrono::milliseconds(std::stoi(arg))), "";
        if (verb == "ends") {
            return Unless(session_.StartModule(false).WaitForExit(kTimeout) && session_.Host().Received().empty(),
                          "the module ran on or wrote to the host");
        }
        if (verb == "closed-ini") {
            const HWND closed = UniqueWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0)).get();
            return Unless(host::WriteModuleIni(session_.Folder(), closed), "no Module.ini");
        }
        if (verb == "keep") return session_.Host().SetKeepsMessages(true), "";
        if (verb == "open") {
            return Unless(Send("CreditClick") && WaitUntil([&] { return KeypadShows(); }, kTimeout) &&
                              (GetWindowLongW(Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                          "no topmost keypad");
        }
        if (verb == "type") return DigitKeys(Keypad()).Type(arg), "";
        if (verb == "post") {
            const DigitKeys keys(Keypad());
            for (char digit : arg) PostMessageW(keys.key[digit - '0'], BM_CLICK, 0, 0);
            return "";
        }
        if (verb == "cancel")
            return Click(Child(Keypad(), L"Button", L"Abbruch")), Unless(!KeypadShows(), "the keypad stays");
        if (verb == "shown") {
            const std::string shown = Narrow(TextOf(Child(Keypad(), L"Static", nullptr)));
            return Unless(shown == arg, "the keypad shows " + shown);
        }
        if (verb == "hidden") return Unless(WaitUntil([&] { return !KeypadShows(); }, kTimeout), "the keypad stays");
        if (verb == "send") return Unless(Send(arg), "the module did not take it");
        if (verb == "host") {
            const std::string want = "Register,SetCreditSys|Enabled" + (arg.empty() ? "" : "," + arg);
            WaitUntil([&] { return Commands().size() >= want.size(); }, kTimeout);
            return Unless(Commands() == want, "the host got " + Commands());
        }
        if (verb == "file") return File(arg);
        if (verb == "disk") return SetState(*expected_, arg), session_.WriteCodeListBytes(*expected_), "";
        if (verb == "delete") return std::filesystem::remove(file_), expected_.reset(), "";
        if (verb == "folder") return std::filesystem::create_directories(file_ / "Unterordner"), "";
        if (verb == "hold") return hold_.emplace(file_, arg), "";
        if (verb == "release") return hold_.reset(), "";
        if (verb == "lock") {
            if (lockStart_ == Clock::time_point{}) lockStart_ = Clock::now();
            return Unless(WaitUntil([&] { return Info() != nullptr && !KeypadShows(); }, kTimeout),
                          "no notice, or the keypad");
        }
        if (verb == "nolock") return Unless(Info() == nullptr, "a lock notice");
        if (verb == "click-info") {
            PostMessageW(Info(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
            PostMessageW(Info(), WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
            return Unless(WaitUntil([&] { return Info() == nullptr; }, kTimeout), "a click leaves the notice");
        }
        if (verb == "unlock") {
            const bool ended = WaitUntil([&] { return Info() == nullptr; }, 15s);
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lockStart_).count();
            return Unless(ended && ms >= 9500, "the lock ended after " + std::to_string(ms) + " ms, or not at all");
        }
        if (verb == "master") {
            return Unless(module().WaitForVisibleWindow(L"Form1") && WaitUntil([&] { return !KeypadShows(); }, kTimeout) &&
                              Narrow(CodesLeft()) == arg,
                          "no master window alone, or it counts " + Narrow(CodesLeft()));
        }
        if (verb == "free") {
            Click(Child(module().Window(L"Form1", true), L"Button", L"Alle Codes freigeben"));
            return Unless(Narrow(CodesLeft()) == arg, "it counts " + Narrow(CodesLeft()));
        }
        if (verb == "odd") return OddTexts();
        if (verb == "burst") {
            for (int i = 0; i < std::stoi(arg); ++i) Send("CreditClick");
            return Unless(module().VisibleWindows() == std::vector<HWND>{Keypad()}, "other windows than the keypad");
        }
        if (verb == "hang") return Hang(arg);
        if (verb == "gap") {
            const auto& received = session_.Host().Received();
            return Unless(received[1].arrival - received[0].arrival >= 2550ms, "the full inbox was not polled");
        }
        if (verb == "second") {
            return Unless(ModuleProcess(L"/Mod").WaitForExit(kTimeout) && Commands() == "Register,SetCreditSys|Enabled",
                          "a second copy ran on or registered");
        }
        if (verb == "host-gone") return session_.CloseHost(), "";
        if (verb == "watch") {
            return Unless(WaitUntil([&] { return Keypad() == nullptr; }, 12s) && module().Running() && Info() != nullptr,
                          "the keypad stayed, or the notice went before its lock");
        }
        if (verb == "exit") return Unless(module().WaitForExit(12s), "the module runs on");
        return "no such step";
    }

    std::string Launch() {
        session_.StartModule(false);
        return Unless(WaitUntil([&] { return module().Window(nullptr) != nullptr; }, kTimeout), "no window");
    }

    // The return address is the hidden inbox, no window shows, and the module answers meanwhile.
    std::string Registered() {
        if (!WaitUntil([&] { return (appComm_ = Child(Keypad(), L"Edit", nullptr)) != nullptr; }, kTimeout))
            return "no inbox";
        WaitUntil([&] { return !Commands().empty(); }, kTimeout);
        const bool answered = Answers(Keypad());
        WaitUntil([&] { return session_.Host().Commands().size() >= 2; }, kTimeout);
        const std::string address = std::to_string(reinterpret_cast<INT_PTR>(appComm_));
        return Unless(answered && Commands() == "Register,SetCreditSys|Enabled" &&
                          session_.Host().Received()[0].text == address + "|Register" && !IsWindowVisible(appComm_) &&
                          module().VisibleWindows().empty(),
                      "registration " + Commands() + (answered ? "" : ", frozen"));
    }

    // Applies "code=STATE" edits to the expected bytes; the file must come to hold exactly them.
    std::string File(const std::string& edits) {
        std::istringstream items(edits);
        for (std::string item; items >> item;) SetState(*expected_, item);
        const auto bytes = [&] {
            return std::filesystem::is_regular_file(file_) ? std::optional(ReadBytes(file_)) : std::nullopt;
        };
        WaitUntil([&] { return bytes() == expected_; }, kTimeout);
        return Unless(bytes() == expected_ && !std::filesystem::exists(file_.string() + ".tmp"),
                      "the list holds:\n" + bytes().value_or("(no file)"));
    }

    std::string OddTexts() {
        // Wine passes a text of a million characters to another process, not one of 1,040,000.
        const std::vector<std::string> texts{"",
                                             "creditclick",
                                             "CreditClick ",
                                             " CreditClick",
                                             "APPCLOSE",
                                             "1|CreditClick",
                                             "CreditClickCreditClick",
                                             "\xC4ppClose",
                                             "CreditClick \xFC\x80",
                                             "AppClose\x01",
                                             "AppClose\r\n",
                                             "CreditClick" + std::string(999'989, ' '),
                                             std::string(1 << 20, 'A')};
        for (const std::string& text : texts) {
            if ((!Send(text, 1000) && text.size() <= 1'000'000) || !TextOf(appComm_).empty() || KeypadShows() ||
                !module().Running()) {
                return "after a text of " + std::to_string(text.size()) + " bytes: " + text.substr(0, 20);
            }
        }
        return "";
    }

    // The host takes no message for a while: the check still ends within the sends' bounds, the
    // keypad hides and the module answers all the while; a credit that timed out is not sent again.
    std::string Hang(const std::string& digits) {
        Step("post", digits);
        const auto start = Clock::now();
        bool answered = true;
        while (KeypadShows() && Clock::now() - start < 10s) answered = Answers(Keypad()) && answered;
        WaitUntil([] { return false; }, 500ms);
        return Unless(answered && !KeypadShows() && session_.CommandCount("AddCredit| 2") <= 1,
                      "froze, kept the keypad or sent the credit twice");
    }

    HostSession session_;
    std::filesystem::path file_;
    std::optional<std::string> expected_;
    std::optional<FileHold> hold_;
    HWND appComm_ = nullptr;
    int steps_ = 0;
    Clock::time_point lockStart_{};
};

void RunRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scenario scenario(row);
    }
}

const std::string kCodes = "12345=UNUSED\r\n00042=UNUSED\r\n99999=UNUSED\r\n77777=USED\r\n42000=UNUSED\r\n";
const std::string kOne = "12345=UNUSED\r\n";

TEST(HostMode, GuestsAndTheHost) {
    RunRows({
        {"CodeEntryMasterAndLock", List("2", kCodes),
         "start; odd; open; type 12; burst 200; shown 12; type 345; host AddCredit| 2; file 12345=USED; hidden; shown ;"
         "open; shown ; type 12345; hidden; host AddCredit| 2; file; open; type 00042; host AddCredit| 2,AddCredit| 2;"
         "file 00042=USED; open; type 77777; nolock; open; type 1; cancel; open; shown ; type 99999; master 2; file;"
         "open; type 11111; nolock; free 5; file 12345=UNUSED 00042=UNUSED 77777=UNUSED; open; type 12345;"
         "open; type 11111; open; type 22222; lock; send CreditClick; lock; click-info; send CreditClick; lock; unlock;"
         "open; type 11111; nolock; open; type 00042; host AddCredit| 2,AddCredit| 2,AddCredit| 2,AddCredit| 2"},
        {"BookedBeforeTheCreditAndAppCloseDuringIt", List("2", kOne),
         "keep; start; gap; open; type 1234; post 5; file 12345=USED; host ; send AppClose; host AddCredit| 2; exit"},
        {"AHungHostIsBoundedAndOneCopyOnly", List("2", kOne),
         "start; second; open; type 1234; hang 5; file 12345=USED; open; type 12345; nolock"},
        // The host goes just before the check (the 5 s watch rarely ends the keypad first; then the row shows nothing).
        {"AHostGoneAtTheSendGetsTheCodeBack", List("2", kOne), "start; open; type 1234; host-gone; post 5; hidden; file"},
        {"TheLockNoticeOutlivesTheHost", List("2", kOne),
         "start; open; type 11111; open; type 22222; lock; host-gone; watch; click-info; exit"},
        {"ClosedHostWindow", List("2", kOne), "closed-ini; ends"},
    });
}

TEST(HostMode, BadFiles) {
    const std::string unwritable =
        "start; open; type 12345; hidden; open; type 12345; nolock; host ; release; file;"
        "open; type 12345; host AddCredit| 2; file 12345=USED";
    RunRows({
        {"Utf16List", Utf16(List("3", kOne)), "start; open; type 12345; hidden; open; type 12345; nolock; host ; file"},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + List("-3", kOne + "54321=UNUSED\r\n"),
         "start; open; type 12345; host AddCredit|-3; file 12345=USED; disk 54321=USED; open; type 54321; nolock;"
         "host AddCredit|-3"},
        {"MissingList", "", "start; open; type 12345; nolock; open; type 54321; lock; file"},
        {"FolderInPlaceOfTheList", "", "folder; start; open; type 12345; nolock; open; type 54321; lock; file"},
        {"ReadOnlyList", List("2", kOne), "hold readonly;" + unwritable},
        {"ListLockedForWriting", List("2", kOne), "hold write;" + unwritable},
        {"ListLockedExclusively", List("2", kOne), "hold exclusive;" + unwritable},
        {"ListHeldDuringStartUp", List("3.5", kOne),
         "hold exclusive; launch; pause 500; release; registered; open; type 12345; host AddCredit| 4; delete; open; type 99999; master 0; free 0; file"},
        // Quotes as installers and editors write them; a comment line is no code.
        {"HandEditedQuotesAndAComment",
         "[Einstellungen]\r\nCreditsPerCode=\"3\"\r\nMasterCode='99999'\r\n\r\n[Codes]\r\n;54321=UNUSED\r\n"
         "12345=\"UNUSED\"\r\n00042= 'UNUSED' \r\n",
         "start; open; type 12345; host AddCredit| 3; file 12345=USED; open; type 99999; master 1; open; type 54321; nolock;"
         "free 2; file 12345=UNUSED 00042=UNUSED"},
    });
}

}  // namespace
