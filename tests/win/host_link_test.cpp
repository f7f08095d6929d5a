// The host link end to end: Codelist.exe /Mod as its own process, the demo host's inbox as the
// jukebox in this process.
#include <gtest/gtest.h>

#include <fstream>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

std::int32_t HandleNumber(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)); }

TEST(HostLink, RegistersWithTheTwoMessagesInOrderAndStaysHidden) {
    HostSession session;
    ModuleProcess& module = session.StartModule();
    EXPECT_EQ(session.Host().Commands(), (std::vector<std::string>{"Register", "SetCreditSys|Enabled"}));

    // The return address is the module's invisible text box on its hidden code entry window.
    HWND appComm = session.Host().ModuleInbox();
    ASSERT_TRUE(IsWindow(appComm));
    wchar_t className[32] = {};
    GetClassNameW(appComm, className, 32);
    EXPECT_STREQ(className, L"Edit");
    EXPECT_EQ(GetParent(appComm), session.Keypad());
    EXPECT_FALSE(IsWindowVisible(appComm));
    const std::string address = std::to_string(HandleNumber(appComm));
    EXPECT_EQ(session.Host().Received()[0].text, address + "|Register");
    EXPECT_EQ(session.Host().Received()[1].text, address + "|SetCreditSys|Enabled");

    EXPECT_TRUE(module.VisibleWindows().empty()) << "no window shows before the host asks";
    session.CloseModule();
}

TEST(HostLink, WithoutAHostWindowTheModuleEndsSilently) {
    HWND closed = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const std::string closedHandle = std::to_string(HandleNumber(closed));
    DestroyWindow(closed);
    const std::string moduleIniCases[] = {
        "",  // no Module.ini at all
        "[Einstellungen]\r\nAnderes=1\r\n",
        "[Einstellungen]\r\nAppCommPort=\r\n",
        "[Einstellungen]\r\nAppCommPort=" + closedHandle + "\r\n",
        "[Einstellungen]\r\nAppCommPort=Jukebox\r\n",
        "[Einstellungen]\r\nAppCommPort=99999999999\r\n",
    };
    for (const std::string& moduleIni : moduleIniCases) {
        SCOPED_TRACE("Module.ini: " + moduleIni);
        HostSession session;
        std::filesystem::remove(session.Folder() / "Module.ini");
        if (!moduleIni.empty()) std::ofstream(session.Folder() / "Module.ini", std::ios::binary) << moduleIni;
        ModuleProcess module(L"/Mod");
        ASSERT_TRUE(module.Started());
        ASSERT_TRUE(module.WaitForExit(kTimeout));
        EXPECT_EQ(module.ExitCode(), 0u);
        EXPECT_TRUE(session.Host().Received().empty());
        EXPECT_EQ(module.ExceptionReports(), "");
    }
}

TEST(HostLink, OnlyTheExactCommandsActAndTheInboxIsEmptiedEveryTime) {
    HostSession session;
    ModuleProcess& module = session.StartModule();
    HWND appComm = session.Host().ModuleInbox();
    for (const char* text : {"creditclick", "CreditClick ", "APPCLOSE", "AppClose ", "Hallo", "1|CreditClick"}) {
        SCOPED_TRACE(text);
        session.Send(text);
        EXPECT_EQ(TextOf(appComm), L"");
        EXPECT_FALSE(session.KeypadVisible());
        EXPECT_TRUE(module.Running());
    }
    ASSERT_TRUE(session.OpenKeypad());
    EXPECT_EQ(TextOf(appComm), L"");
    EXPECT_EQ(session.Host().Commands().size(), 2u) << "the module answers no host message";
    session.CloseModule();
}

TEST(HostLink, AppCloseClosesEveryWindowIncludingTheMasterWindow) {
    HostSession session;
    session.WriteCodeList("2", "99999", {{"12345", "UNUSED"}});
    ModuleProcess& module = session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("99999");
    ASSERT_NE(module.WaitForVisibleWindow(L"Form1"), nullptr);
    session.CloseModule();
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 0u);
}

TEST(HostLink, TheModuleEndsWithinAboutFiveSecondsOfTheHostWindow) {
    HostSession session;
    ModuleProcess& module = session.StartModule();
    session.CloseHost();
    // The watch looks every 5 seconds.
    EXPECT_TRUE(module.WaitForExit(std::chrono::seconds(12)));
    EXPECT_EQ(module.ExitCode(), 0u);
    EXPECT_EQ(module.ExceptionReports(), "");
}

TEST(HostLink, TheLockNoticeOutlivesTheHostUntilItIsClosed) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    ModuleProcess& module = session.StartModule();
    for (const char* wrong : {"11111", "22222"}) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(wrong);
    }
    HWND info = module.WaitForVisibleWindow(L"Info");
    ASSERT_NE(info, nullptr);
    session.CloseHost();
    // The watch unloads only the code entry window; the notice stays until its lock ends.
    ASSERT_TRUE(WaitUntil([&] { return session.Keypad() == nullptr || !IsWindow(session.Keypad()); }, std::chrono::seconds(12)));
    EXPECT_TRUE(module.Running());
    EXPECT_TRUE(IsWindowVisible(info));
    PostMessageW(info, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(info, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExitCode(), 0u);
}

TEST(SingleInstance, ASecondHostModeProcessEndsAtOnceWithoutRegistering) {
    HostSession session;
    ModuleProcess& first = session.StartModule();
    ModuleProcess second(L"/Mod");
    ASSERT_TRUE(second.WaitForExit(kTimeout));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(session.CommandCount("Register"), 1u);
    EXPECT_TRUE(first.Running());
    session.CloseModule();
}

TEST(SingleInstance, AHostModeProcessBesideTheSettingsWindowEndsWithoutRegistering) {
    HostSession session;
    ModuleProcess settings(L"");
    HWND settingsWindow = settings.WaitForVisibleWindow(L"Einstellungen - Codelist");
    ASSERT_NE(settingsWindow, nullptr);
    ModuleProcess hostMode(L"/Mod");
    ASSERT_TRUE(hostMode.WaitForExit(kTimeout));
    EXPECT_TRUE(session.Host().Received().empty());
    PostMessageW(settingsWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(settings.WaitForExit(kTimeout));
}

}  // namespace
