// Hosts that misbehave and files that cannot be written: the module delays, never freezes, never
// pays a code twice and never crashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

// True when the window's thread answers a message within the time.
bool Answers(HWND window, UINT timeoutMs = 1000) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

TEST(Robustness, ACodeListThatCannotBeWrittenGivesNoCreditAndCountsNoWrongEntry) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    const std::string before = session.CodeListBytes();
    session.StartModule();
    const std::filesystem::path list = session.Folder() / "Codelist.ini";
    // Wine runs as root and writes read-only files all the same; a handle that shares only
    // reading makes it refuse.
    SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_READONLY);
    UniqueHandle hold(CreateFileW(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);

    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits("12345");
        EXPECT_TRUE(session.KeypadHides());
    }
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 0u);
    EXPECT_EQ(session.CodeListBytes(), before);
    EXPECT_EQ(session.Module().Window(L"Info", true), nullptr) << "a valid code is no wrong entry";

    hold.reset();
    SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.CodeState("12345"), "USED");
    session.CloseModule();
}

TEST(Robustness, AHostInboxThatIsNeverEmptiedDelaysEachSendButNeverFreezes) {
    HostSession session;
    session.Host().SetKeepsMessages(true);
    ModuleProcess& module = session.LaunchModule();
    ASSERT_TRUE(session.WaitForCommand("Register"));
    // The module now polls the full 255 times before it sends again, and answers meanwhile.
    ASSERT_NE(session.Keypad(), nullptr);
    EXPECT_TRUE(Answers(session.Keypad()));
    ASSERT_TRUE(session.WaitForCommand("SetCreditSys|Enabled"));
    const auto& received = session.Host().Received();
    EXPECT_GE(received[1].arrival - received[0].arrival, std::chrono::milliseconds(2550));
    session.Send("AppClose");
    EXPECT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExceptionReports(), "");
}

// A jukebox whose window thread stops taking messages until it is released.
class HungHost {
public:
    HungHost() : thread_([this] { Run(); }) {
        WaitForSingleObject(ready_.get(), INFINITE);
    }
    ~HungHost() {
        Release();
        stop_ = true;
        thread_.join();
    }
    void Release() { SetEvent(release_.get()); }
    // What the host has taken so far; the inbox itself belongs to the host's thread.
    std::vector<std::string> Commands() {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_;
    }
    HWND Inbox() const { return inbox_; }

private:
    void Run() {
        host::HostInbox inbox;
        inbox_ = inbox.Inbox();
        inbox.onMessage = [&](const host::ReceivedMessage&) {
            std::lock_guard<std::mutex> lock(mutex_);
            commands_ = inbox.Commands();
        };
        host::WriteModuleIni(FreshModuleFolder(), inbox_);
        SetEvent(ready_.get());
        WaitForSingleObject(release_.get(), INFINITE);  // hung: no message is taken
        while (!stop_) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    UniqueHandle ready_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> commands_;
    HWND inbox_ = nullptr;
    std::thread thread_;
};

TEST(Robustness, AHungHostDelaysTheModuleButNeverFreezesIt) {
    HungHost host;
    std::ofstream(host::ModuleFolderPath() / "Codelist.ini", std::ios::binary)
        << "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n12345=UNUSED\r\n";
    ModuleProcess module(L"/Mod");
    HWND keypad = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (keypad = module.Window(L"Creditsystem")) != nullptr; }, kTimeout));
    HWND appComm = FindWindowExW(keypad, nullptr, L"Edit", nullptr);
    // Registering against the hung host takes seconds; the module answers all the while.
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Answers(keypad)) << i;

    // The host learns the module's inbox only from messages it may never take; this test speaks
    // to the inbox directly.
    const auto sendToModule = [&](const char* command) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(appComm, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command), SMTO_NORMAL, 20000, &ignored);
    };

    // A guest redeems a code while the host hangs: the booking stands and the module answers
    // while it waits for the host.
    sendToModule("CreditClick");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(keypad) != FALSE; }, kTimeout));
    for (char digit : std::string("12345")) {
        const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
        PostMessageW(FindWindowExW(keypad, nullptr, L"Button", caption), BM_CLICK, 0, 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(keypad); }, kTimeout));
    ASSERT_TRUE(WaitUntil([&] {
        std::ifstream list(host::ModuleFolderPath() / "Codelist.ini", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
        return text.find("12345=USED") != std::string::npos;
    }, kTimeout));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Answers(keypad, 3000)) << i;

    // The host comes back. A message it did not take in time may be lost (Wine withdraws it),
    // but none arrives twice, and the module still ends cleanly on request.
    host.Release();
    sendToModule("AppClose");
    EXPECT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExitCode(), 0u);
    const auto commands = host.Commands();
    for (const char* command : {"Register", "SetCreditSys|Enabled", "AddCredit| 2"}) {
        EXPECT_LE(std::count(commands.begin(), commands.end(), command), 1) << command;
    }
    EXPECT_EQ(module.ExceptionReports(), "");
}

TEST(Robustness, AppCloseWhileACreditIsOnItsWayDeliversTheCreditFirst) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("1234");
    // A busy host: its inbox keeps a message, so the credit waits in the module's poll.
    session.Host().SetKeepsMessages(true);
    SetWindowTextA(session.Host().Inbox(), "belegt");
    PostMessageW(Child(session.Keypad(), L"Button", L"5"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return session.CodeState("12345") == "USED"; }, kTimeout));
    session.Send("AppClose");  // handled inside the poll: the window must outlive its handler
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    ASSERT_TRUE(session.Module().WaitForExit(kTimeout));
    EXPECT_EQ(session.Module().ExitCode(), 0u);
    EXPECT_EQ(session.Module().ExceptionReports(), "");
}

TEST(Robustness, ACreditThatFindsTheHostGoneGivesTheCodeBack) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("1234");
    HWND five = Child(session.Keypad(), L"Button", L"5");
    session.CloseHost();  // before the watch notices, the guest finishes the code
    PostMessageW(five, BM_CLICK, 0, 0);
    ASSERT_TRUE(session.Module().WaitForExit(std::chrono::seconds(12)));
    EXPECT_EQ(session.CodeState("12345"), "UNUSED");
    EXPECT_EQ(session.Module().ExceptionReports(), "");
}

}  // namespace
