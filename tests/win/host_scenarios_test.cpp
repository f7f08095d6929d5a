// Host mode end to end: Codelist.exe /Mod beside the test host in this process. Each row gives the
// code list, Module.ini and a script of what guests, the host and other programs do, step by step.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
using Clock = std::chrono::steady_clock;

namespace {

enum class Ini { host, keepsMessages, none, closedHandle, desktop };

struct Row {
    const char* name;
    std::string list;  // the bytes of Codelist.ini, or kNoList / kFolder
    Ini ini;
    bool heldAtStart;  // another program holds the list for a moment while the module starts
    std::string script;
};

const std::string kNoList = "(none)";
const std::string kFolder = "(folder)";

std::string List(const std::string& credits, const std::string& codes) {
    return "[Einstellungen]\r\nCreditsPerCode=" + credits + "\r\nMasterCode=99999\r\n\r\n[Codes]\r\n" + codes;
}

std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

// Another program's hold on the list. Wine runs as root and writes read-only files all the same;
// the attribute stops only the replacement of the file.
class FileHold {
public:
    FileHold(std::filesystem::path file, const std::string& kind) : file_(std::move(file)) {
        if (kind == "readonly") SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_READONLY);
        if (kind == "readonly") return;
        const DWORD share = kind == "exclusive" ? 0 : FILE_SHARE_READ;
        handle_.reset(CreateFileW(file_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_NE(handle_.get(), INVALID_HANDLE_VALUE) << "cannot hold the list";
    }
    ~FileHold() { SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL); }

private:
    std::filesystem::path file_;
    UniqueHandle handle_;
};

// Sets a code's state in the list's bytes, the rest of its line and of the file as they were.
void SetState(std::string& bytes, const std::string& codeAndState) {
    std::string key = codeAndState.substr(0, codeAndState.find('=') + 1);
    key.insert(key.begin(), '\n');
    const std::size_t at = bytes.find(key) + 1;
    bytes.replace(at, bytes.find_first_of("\r\n", at) - at, codeAndState);
}

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    // SMTO_BLOCK: this thread, the host, takes none of the module's messages meanwhile.
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &ignored) != 0;
}

class Scenario {
public:
    explicit Scenario(const Row& row) : row_(row), file_(session_.Folder() / "Codelist.ini") {
        if (row.list == kFolder) std::filesystem::create_directories(file_ / "Unterordner");
        if (row.list != kNoList && row.list != kFolder) {
            session_.WriteCodeListBytes(row.list);
            expected_ = row.list;
        }
        WriteIni();
        Start();
        std::istringstream steps(row.script);
        for (std::string step; std::getline(steps, step, ';') && !testing::Test::HasFatalFailure();) {
            step.erase(0, step.find_first_not_of(' '));
            const std::size_t space = step.find(' ');
            SCOPED_TRACE("step " + step);
            Step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1));
        }
        if (module().Running()) Send("AppClose");
        EXPECT_TRUE(module().WaitForExit(kTimeout)) << "the module did not end";
        EXPECT_EQ(module().ExitCode(), 0u);
        EXPECT_EQ(module().ExceptionReports(), "");
    }

private:
    ModuleProcess& module() { return session_.Module(); }
    HWND Keypad() { return session_.Keypad(); }
    HWND Info() { return module().Window(L"Info", true); }
    std::vector<std::string> Commands() { return session_.Host().Commands(); }

    void WriteIni() {
        const std::filesystem::path ini = session_.Folder() / "Module.ini";
        HWND closed = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(closed);
        if (row_.ini == Ini::none) std::filesystem::remove(ini);
        if (row_.ini == Ini::closedHandle) host::WriteModuleIni(session_.Folder(), closed);
        if (row_.ini == Ini::desktop) host::WriteModuleIni(session_.Folder(), GetDesktopWindow());
        if (row_.ini == Ini::keepsMessages) session_.Host().SetKeepsMessages(true);
    }

    void Start() {
        std::optional<FileHold> hold;
        if (row_.heldAtStart) hold.emplace(file_, "exclusive");
        session_.LaunchModule();
        if (row_.heldAtStart) {
            ASSERT_TRUE(WaitUntil([&] { return module().Window(nullptr) != nullptr; }, kTimeout));
            Sleep(500);
            hold.reset();
        }
        if (row_.ini == Ini::none || row_.ini == Ini::closedHandle) {
            EXPECT_TRUE(module().WaitForExit(kTimeout)) << "without a host window the module must end";
            EXPECT_TRUE(session_.Host().Received().empty());
            return;
        }
        ASSERT_TRUE(WaitUntil([&] { return (appComm_ = Child(Keypad(), L"Edit", nullptr)) != nullptr; }, kTimeout))
            << "no keypad window with its inbox";
        if (row_.ini == Ini::desktop) return;
        ASSERT_TRUE(WaitUntil([&] { return !Commands().empty(); }, kTimeout)) << "no registration";
        EXPECT_TRUE(Answers(Keypad())) << "the module froze while registering";
        ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 2; }, kTimeout)) << "registration stopped";
        EXPECT_EQ(Commands(), (std::vector<std::string>{"Register", "SetCreditSys|Enabled"}));
        const std::string address = std::to_string(reinterpret_cast<INT_PTR>(appComm_));
        EXPECT_EQ(session_.Host().Received()[0].text, address + "|Register") << "the return address is AppComm";
        EXPECT_FALSE(IsWindowVisible(appComm_));
        EXPECT_TRUE(module().VisibleWindows().empty()) << "no window shows before the host asks";
    }

    bool Send(const std::string& text, UINT timeoutMs = 20000) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(appComm_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, timeoutMs,
                                   &ignored) != 0;
    }

    void Post(const std::string& digits) {
        for (char digit : digits) {
            const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
            PostMessageW(Child(Keypad(), L"Button", caption), BM_CLICK, 0, 0);
        }
    }

    // The host's commands after registration, once as many have arrived.
    void ExpectHost(const std::string& list) {
        std::vector<std::string> expected{"Register", "SetCreditSys|Enabled"};
        std::istringstream items(list);
        for (std::string item; std::getline(items, item, ',');) expected.push_back(item);
        WaitUntil([&] { return Commands().size() >= expected.size(); }, kTimeout);
        EXPECT_EQ(Commands(), expected);
    }

    // Applies "code=STATE" edits to the expected bytes; the file must come to hold exactly them.
    void ExpectFile(const std::string& edits) {
        std::istringstream items(edits);
        for (std::string item; items >> item;) SetState(*expected_, item);
        const auto bytes = [&] {
            return std::filesystem::is_regular_file(file_) ? std::optional(session_.CodeListBytes()) : std::nullopt;
        };
        EXPECT_TRUE(WaitUntil([&] { return bytes() == expected_; }, kTimeout)) << "the list holds:\n"
                                                                               << bytes().value_or("(no file)");
        EXPECT_FALSE(std::filesystem::exists(file_.string() + ".tmp"));
    }

    void OddTexts() {
        // Wine passes a text of a million characters to another process, not one of 1,040,000.
        std::vector<std::string> texts{"",
                                       "creditclick",
                                       "CreditClick ",
                                       " CreditClick",
                                       "APPCLOSE",
                                       "1|CreditClick",
                                       "CreditClickCreditClick",
                                       "\xC4ppClose",
                                       "CreditClick \xFC\x80",
                                       "AppClose\x01",
                                       "AppClose\r\n"};
        texts.push_back("CreditClick" + std::string(999'989, ' '));
        texts.push_back(std::string(1 << 20, 'A'));
        for (const std::string& text : texts) {
            SCOPED_TRACE("text of " + std::to_string(text.size()) + " bytes: " + text.substr(0, 20));
            EXPECT_TRUE(Send(text, 1000) || text.size() > 1'000'000);
            EXPECT_EQ(TextOf(appComm_), L"") << "the inbox must be emptied";
            EXPECT_FALSE(KeypadShows());
            ASSERT_TRUE(module().Running());
        }
    }

    // The host takes no message for a while: the check still ends within the sends' bounds, the
    // keypad hides and the module answers all the while.
    void Hang(const std::string& digits) {
        Post(digits);
        const auto start = Clock::now();
        while (KeypadShows() && Clock::now() - start < 10s) EXPECT_TRUE(Answers(Keypad()));
        EXPECT_FALSE(KeypadShows()) << "the keypad still shows 10 s into the host's hang";
        WaitUntil([] { return false; }, 500ms);
        EXPECT_LE(session_.CommandCount("AddCredit| 2"), 1u) << "a credit that timed out was sent again";
    }

    std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
    std::wstring CodesLeft() { return TextOf(Child(module().Window(L"Form1", true), L"Static", nullptr)); }
    bool KeypadShows() { return IsWindowVisible(Keypad()) != FALSE; }

    void Step(const std::string& verb, const std::string& arg) {
        if (verb == "open") {
            ASSERT_TRUE(Send("CreditClick") && WaitUntil([&] { return KeypadShows(); }, kTimeout)) << "no keypad";
            EXPECT_NE(GetWindowLongW(Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
        } else if (verb == "type") {
            session_.TypeDigits(arg);
        } else if (verb == "post") {
            Post(arg);
        } else if (verb == "cancel") {
            Click(Child(Keypad(), L"Button", L"Abbruch"));
            EXPECT_FALSE(KeypadShows());
        } else if (verb == "shown") {
            EXPECT_EQ(session_.CodeShown(), Wide(arg));
        } else if (verb == "hidden") {
            EXPECT_TRUE(WaitUntil([&] { return !KeypadShows(); }, kTimeout)) << "the keypad stays";
        } else if (verb == "send") {
            EXPECT_TRUE(Send(arg));
        } else if (verb == "host") {
            ExpectHost(arg);
        } else if (verb == "file") {
            ExpectFile(arg);
        } else if (verb == "disk") {  // another program books the code meanwhile
            SetState(*expected_, arg);
            session_.WriteCodeListBytes(*expected_);
        } else if (verb == "delete") {
            std::filesystem::remove(file_);
            expected_.reset();
        } else if (verb == "hold") {
            hold_.emplace(file_, arg);
        } else if (verb == "release") {
            hold_.reset();
        } else if (verb == "lock") {
            ASSERT_TRUE(WaitUntil([&] { return Info() != nullptr; }, kTimeout)) << "no lock notice";
            EXPECT_TRUE(WaitUntil([&] { return !KeypadShows(); }, kTimeout)) << "the keypad shows in the lock";
            if (lockStart_ == Clock::time_point{}) lockStart_ = Clock::now();
        } else if (verb == "nolock") {
            EXPECT_EQ(Info(), nullptr);
        } else if (verb == "click-info") {
            PostMessageW(Info(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
            PostMessageW(Info(), WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
            EXPECT_TRUE(WaitUntil([&] { return Info() == nullptr; }, kTimeout)) << "a click leaves the notice";
        } else if (verb == "unlock") {
            EXPECT_TRUE(WaitUntil([&] { return Info() == nullptr; }, 15s)) << "the lock does not end";
            EXPECT_GE(Clock::now() - lockStart_, 9500ms);
        } else if (verb == "master") {
            ASSERT_NE(module().WaitForVisibleWindow(L"Form1"), nullptr) << "no master window";
            EXPECT_TRUE(WaitUntil([&] { return !KeypadShows(); }, kTimeout));
            EXPECT_EQ(CodesLeft(), Wide(arg));
        } else if (verb == "free") {
            Click(Child(module().Window(L"Form1", true), L"Button", L"Alle Codes freigeben"));
            EXPECT_EQ(CodesLeft(), Wide(arg));
        } else if (verb == "odd") {
            OddTexts();
        } else if (verb == "burst") {
            for (int i = 0; i < std::stoi(arg); ++i) ASSERT_TRUE(Send("CreditClick"));
            EXPECT_EQ(module().VisibleWindows(), std::vector<HWND>{Keypad()});
        } else if (verb == "hang") {
            Hang(arg);
        } else if (verb == "gap") {
            const auto& received = session_.Host().Received();
            EXPECT_GE(received[1].arrival - received[0].arrival, 2550ms) << "the full inbox was not polled";
        } else if (verb == "host-gone") {
            session_.CloseHost();
        } else if (verb == "watch") {
            EXPECT_TRUE(WaitUntil([&] { return Keypad() == nullptr; }, 12s)) << "the watch kept the keypad";
            EXPECT_TRUE(module().Running());
            EXPECT_NE(Info(), nullptr) << "the notice stays until its lock ends";
        } else if (verb == "exit") {
            EXPECT_TRUE(module().WaitForExit(12s)) << "the module runs on";
        } else {
            FAIL() << "no such step";
        }
    }

    const Row& row_;
    HostSession session_;
    std::filesystem::path file_;
    std::optional<std::string> expected_;
    std::optional<FileHold> hold_;
    HWND appComm_ = nullptr;
    Clock::time_point lockStart_{};
};

void RunRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scenario scenario(row);
    }
}

const std::string kCodes = "12345=UNUSED\r\n00042=UNUSED\r\n42000=UNUSED\r\n99999=UNUSED\r\n77777=USED\r\n";
const std::string kOne = "12345=UNUSED\r\n";

TEST(HostMode, GuestsAndTheHost) {
    RunRows({
        {"CodeEntryMasterAndLock", List("2", kCodes), Ini::host, false,
         "odd; open; type 12; burst 200; shown 12; type 345; host AddCredit| 2; file 12345=USED; hidden; shown ;"
         "open; shown ; type 12345; hidden; host AddCredit| 2; file;"
         "open; type 00042; host AddCredit| 2,AddCredit| 2; file 00042=USED;"
         "open; type 77777; nolock;"
         "open; type 1; cancel; open; shown ; type 99999; master 2; file; open; type 11111; nolock;"
         "open; type 42000; file 42000=USED; open; type 99999; master 2;"
         "free 5; file 12345=UNUSED 00042=UNUSED 42000=UNUSED 77777=UNUSED;"
         "open; type 11111; open; type 22222; lock; send CreditClick; lock; click-info; send CreditClick; lock; unlock;"
         "open; type 11111; nolock; open; type 12345; host AddCredit| 2,AddCredit| 2,AddCredit| 2,AddCredit| 2"},
        {"BookedBeforeTheCreditAndAppCloseDuringIt", List("2", kOne), Ini::keepsMessages, false,
         "gap; open; type 1234; post 5; file 12345=USED; host ; send AppClose; host AddCredit| 2; exit"},
        {"AHungHostIsBounded", List("2", kOne), Ini::host, false,
         "open; type 1234; hang 5; file 12345=USED; open; type 12345; nolock"},
        {"AHostGoneAtTheSendGetsTheCodeBack", List("2", kOne), Ini::host, false,
         "open; type 1234; host-gone; post 5; exit; file"},
        {"TheLockNoticeOutlivesTheHost", List("2", kOne), Ini::host, false,
         "open; type 11111; open; type 22222; lock; host-gone; watch; click-info; exit"},
    });
}

TEST(HostMode, BadFilesAndHandles) {
    const std::string unwritable =
        "open; type 12345; hidden; open; type 12345; nolock; host ; release; file;"
        "open; type 12345; host AddCredit| 2; file 12345=USED";
    RunRows({
        {"Utf16List", Utf16(List("3", kOne)), Ini::host, false,
         "open; type 12345; hidden; open; type 12345; nolock; host ; file"},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + List("-3", kOne + "54321=UNUSED\r\n"), Ini::host, false,
         "open; type 12345; host AddCredit|-3; file 12345=USED; disk 54321=USED; open; type 54321; nolock; host AddCredit|-3"},
        {"MissingList", kNoList, Ini::host, false, "open; type 12345; nolock; open; type 54321; lock; file"},
        {"FolderInPlaceOfTheList", kFolder, Ini::host, false, "open; type 12345; nolock; open; type 54321; lock; file"},
        {"ReadOnlyList", List("2", kOne), Ini::host, false, "hold readonly;" + unwritable},
        {"ListLockedForWriting", List("2", kOne), Ini::host, false, "hold write;" + unwritable},
        {"ListLockedExclusively", List("2", kOne), Ini::host, false, "hold exclusive;" + unwritable},
        {"ListHeldDuringStartUp", List("3.5", kOne), Ini::host, true,
         "open; type 12345; host AddCredit| 4; delete; open; type 99999; master 0; free 0; file"},
        // Quotes as installers and editors write them; a comment line is no code.
        {"HandEditedQuotesAndAComment",
         "[Einstellungen]\r\nCreditsPerCode=\"3\"\r\nMasterCode='99999'\r\n\r\n[Codes]\r\n;54321=UNUSED\r\n"
         "12345=\"UNUSED\"\r\n00042= 'UNUSED' \r\n",
         Ini::host, false,
         "open; type 12345; host AddCredit| 3; file 12345=USED; open; type 99999; master 1; open; type 54321; nolock;"
         "free 2; file 12345=UNUSED 00042=UNUSED"},
        {"NoModuleIni", List("2", kOne), Ini::none, false, ""},
        {"ClosedHostWindow", List("2", kOne), Ini::closedHandle, false, ""},
        {"TheDesktopAsHost", List("2", kOne), Ini::desktop, false, ""},
    });
}

TEST(HostMode, AnythingButSlashModStartsTheSettingsWindowAndHostModeBesideItEndsAtOnce) {
    HostSession session;
    ModuleProcess settings(L"/mod");
    HWND window = settings.WaitForVisibleWindow(L"Einstellungen - Codelist");
    ASSERT_NE(window, nullptr);
    ModuleProcess hostMode(L"/Mod");
    EXPECT_TRUE(hostMode.WaitForExit(kTimeout));
    EXPECT_TRUE(session.Host().Received().empty());
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(settings.WaitForExit(kTimeout));
}

}  // namespace
