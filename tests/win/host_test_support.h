#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "host_inbox.h"
#include "platform/file_store.h"
#include "settings_driver.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;

// Generous: a Wine process that starts a program file for the first time may take seconds.
inline constexpr auto kTimeout = std::chrono::milliseconds(15000);

inline HWND Child(HWND in, const wchar_t* kind, const wchar_t* text) { return FindWindowExW(in, nullptr, kind, text); }
// Clicks a button of another process as a program would (BM_CLICK), handling messages meanwhile.
inline void Click(HWND button) { SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kAnswerMs, nullptr); }

// One jukebox session: a fresh module folder, the demo host's inbox as the test host, and its handle
// in Module.ini.
class HostSession {
public:
    HostSession() { host::WriteModuleIni(folder_, host_->Inbox()); }
    const std::filesystem::path& Folder() const { return folder_; }
    // nullptr once the host has ended: its inbox window is destroyed then.
    host::HostInbox* Host() { return host_.get(); }
    void CloseHost() { host_.reset(); }

    // Starts Codelist.exe /Mod; with registered, waits until both registration messages have arrived.
    ModuleProcess& StartModule(bool registered = true) {
        module_ = std::make_unique<ModuleProcess>(L"/Mod");
        EXPECT_TRUE(!registered || WaitUntil([&] { return CommandCount("SetCreditSys|Enabled"); }, kTimeout));
        return *module_;
    }
    ModuleProcess& Module() { return *module_; }
    std::size_t CommandCount(const std::string& c) const { return host_ ? std::ranges::count(host_->Commands(), c) : 0; }

    // The hidden code entry window (found also while hidden).
    HWND Keypad() const { return module_->Window(L"Creditsystem"); }
    bool KeypadVisible() const { return IsWindowVisible(Keypad()) != FALSE; }
    // "CreditClick" from the host; true once the keypad shows.
    bool OpenKeypad() {
        return Send("CreditClick"), WaitUntil([this] { return KeypadVisible(); }, kTimeout);
    }
    // Sends a command and waits until the module has taken it (the host's send is synchronous).
    void Send(const std::string& command) { EXPECT_TRUE(host_->SendToModule(command)) << command; }

private:
    std::filesystem::path folder_ = FreshModuleFolder();
    std::unique_ptr<host::HostInbox> host_ = std::make_unique<host::HostInbox>();
    std::unique_ptr<ModuleProcess> module_ = std::make_unique<ModuleProcess>();
};

// "CreditClick" until the keypad shows: while locked, the lock notice shows instead.
inline bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within) {
    return WaitUntil(
        [&] {
            session.Send("CreditClick");
            return WaitUntil([&] { return session.KeypadVisible(); }, 200ms);
        },
        within);
}

// The keypad's digit keys, looked up once: a search among the module's windows costs more than a whole entry.
struct DigitKeys {
    explicit DigitKeys(HWND keypad) {
        for (int digit = 0; digit < 10; ++digit) key[digit] = Child(keypad, L"Button", std::to_wstring(digit).c_str());
    }
    void Type(const std::string& digits) const {
        for (char digit : digits) Click(key[digit - '0']);
    }
    HWND key[10] = {};
};

// A figure of a long run, for the log and the README.
inline void PrintFigure(const std::string& line) { std::cout << "[ FIGURES  ] " << line << std::endl; }

// Fixed, so that a failing round can be repeated, unless CODEEINGABE_SEED says otherwise.
inline unsigned RunSeed() {
    const char* text = std::getenv("CODEEINGABE_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20261207u;
}

}  // namespace codeeingabe::test
