// What the host and the command line may hand the module, end to end: Codelist.exe beside the
// test host. The module acts on nothing but the exact commands, keeps answering, and ends cleanly.
#include <gtest/gtest.h>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

// The longest text that Wine passes to another process's window here (a million characters pass,
// 1,040,000 do not); a longer one fails in the receiver's GetMessage.
constexpr std::size_t kWineMessageLimit = 1'000'000;

std::string Windows1252(const std::wstring& text) {
    std::string bytes(text.size() * 4 + 1, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(1252, 0, text.c_str(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

TEST(BadHostMessages, TextsThatAreNoExactCommandAreDroppedAndTheInboxEmptied) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    ModuleProcess& module = session.StartModule();
    HWND appComm = session.Host().ModuleInbox();
    const std::string texts[] = {
        "",
        " CreditClick",
        "\tAppClose",
        "CreditClick\r\n",
        "Credit Click",
        "CreditClickCreditClick",
        Windows1252(L"CreditClick \u00fc\u20ac"),
        Windows1252(L"\u00c4ppClose"),
        std::string("AppClose\x01", 9),
        std::string(kWineMessageLimit, 'A'),
        "CreditClick" + std::string(kWineMessageLimit - 11, ' '),
        std::string(1 << 20, 'A'),  // more than Wine passes between processes: lost on the way
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE("text of " + std::to_string(text.size()) + " bytes: " + text.substr(0, 20));
        const bool taken = session.Host().SendToModule(text);
        if (text.size() <= kWineMessageLimit) {
            EXPECT_TRUE(taken);
        }
        EXPECT_EQ(TextOf(appComm), L"");
        EXPECT_FALSE(session.KeypadVisible());
        ASSERT_TRUE(module.Running()) << "exit code " << module.ExitCode() << "\n" << module.ExceptionReports();
    }
    EXPECT_EQ(session.Host().Commands().size(), 2u);
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    session.CloseModule();
}

// Clicks of the host in a burst while a guest has typed two digits: the keypad shows once, keeps the
// digits, and the code still works.
void CreditClickBurst(int clicks) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    ModuleProcess& module = session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12");
    const auto start = std::chrono::steady_clock::now();
    int taken = 0;
    for (int i = 0; i < clicks; ++i) taken += session.Host().SendToModule("CreditClick") ? 1 : 0;
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("%d CreditClick in a burst: %lld ms\n", clicks, static_cast<long long>(took.count()));
    EXPECT_EQ(taken, clicks) << "each one was taken";
    EXPECT_TRUE(session.KeypadVisible());
    EXPECT_EQ(session.CodeShown(), L"12");
    EXPECT_EQ(module.VisibleWindows().size(), 1u);
    session.TypeDigits("345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.Host().Commands().size(), 3u);
    session.CloseModule();
}

TEST(BadHostMessages, ABurstOfAThousandCreditClicksShowsTheKeypadOnceAndKeepsTheEntry) { CreditClickBurst(1'000); }

// About 4 ms a click under Wine: 10,000 take some 45 seconds.
TEST(BadHostMessagesLongRun, ABurstOfTenThousandCreditClicksShowsTheKeypadOnceAndKeepsTheEntry) { CreditClickBurst(10'000); }

// The guest walks away from a half-typed code and the jukebox ends: the watch closes the keypad,
// and the module ends without booking or sending anything.
TEST(BadHostMessages, TheHostGoingAwayInTheMiddleOfAnEntryLeavesTheListAsItWas) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    const std::string before = session.CodeListBytes();
    ModuleProcess& module = session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("123");
    session.CloseHost();
    ASSERT_TRUE(module.WaitForExit(std::chrono::seconds(12)));  // the watch looks every 5 seconds
    EXPECT_EQ(module.ExitCode(), 0u);
    EXPECT_EQ(module.ExceptionReports(), "");
    EXPECT_EQ(session.CodeListBytes(), before);
}

// A window of this process that is not a host's inbox: it never empties its text.
TEST(BadModuleIni, AHandleOfAForeignWindowGetsTheRegistrationAndTheModuleStaysUntilItGoes) {
    HostSession session;
    session.CloseHost();
    HWND foreign = CreateWindowExW(0, L"STATIC", L"Fremdes Fenster", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    ASSERT_TRUE(codeeingabe::host::WriteModuleIni(session.Folder(), foreign));
    ModuleProcess module(L"/Mod");
    char text[64] = {};
    // Each send waits out the full poll at a window that keeps its text, then goes ahead.
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowTextA(foreign, text, sizeof text);
        return std::string_view(text).ends_with("|SetCreditSys|Enabled");
    }, kTimeout));
    EXPECT_TRUE(module.Running());
    EXPECT_TRUE(module.VisibleWindows().empty());
    DestroyWindow(foreign);  // the watch sees it gone
    ASSERT_TRUE(module.WaitForExit(std::chrono::seconds(12)));
    EXPECT_EQ(module.ExitCode(), 0u);
    EXPECT_EQ(module.ExceptionReports(), "");
}

TEST(BadModuleIni, TheDesktopsHandleKeepsTheModuleIdleUntilAppClose) {
    HostSession session;
    session.CloseHost();
    ASSERT_TRUE(codeeingabe::host::WriteModuleIni(session.Folder(), GetDesktopWindow()));
    ModuleProcess module(L"/Mod");
    HWND keypad = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (keypad = module.Window(L"Creditsystem")) != nullptr; }, kTimeout));
    HWND appComm = FindWindowExW(keypad, nullptr, L"Edit", nullptr);
    ASSERT_NE(appComm, nullptr);
    EXPECT_TRUE(module.Running());
    EXPECT_TRUE(module.VisibleWindows().empty());
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(appComm, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("AppClose"), SMTO_NORMAL, 10000, &ignored);
    ASSERT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExitCode(), 0u);
    EXPECT_EQ(module.ExceptionReports(), "");
}

TEST(BadCommandLines, VeryLongAndNonAsciiCommandLinesStartTheSettingsWindow) {
    const std::wstring commandLines[] = {
        L"/Mod" + std::wstring(30'000, L'x'),
        std::wstring(32'000 - ProgramPath().wstring().size(), L'/'),
        L"/M\u00f6d",
        L"/Mod\u00a0",
        L"/\uff2d\uff4f\uff44",
        L"\u65e5\u672c\u8a9e \u00c4\u00d6\u00dc \U0001F3B5",
    };
    FreshModuleFolder();
    for (const std::wstring& arguments : commandLines) {
        SCOPED_TRACE("command line of " + std::to_string(arguments.size()) + " characters");
        ModuleProcess program(arguments);
        ASSERT_TRUE(program.Started());
        HWND settings = program.WaitForVisibleWindow(L"Einstellungen - Codelist");
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(program.VisibleWindows().size(), 1u);
        PostMessageW(settings, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(kTimeout));
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_EQ(program.ExceptionReports(), "");
    }
}

}  // namespace
