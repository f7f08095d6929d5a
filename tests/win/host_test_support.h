#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "host_inbox.h"
#include "settings_driver.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;

// Generous: a Wine process that starts a program file for the first time may take seconds.
inline constexpr auto kTimeout = std::chrono::milliseconds(15000);

inline HWND Child(HWND in, const wchar_t* kind, const wchar_t* text) { return FindWindowExW(in, nullptr, kind, text); }
// Clicks a button of another process as a program would (BM_CLICK), handling messages meanwhile.
inline void Click(HWND button) { SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kAnswerMs, nullptr); }

// One jukebox session: a fresh module folder, the demo host's inbox as the test host, its handle
// in Module.ini, and the code list the test writes.
class HostSession {
public:
    HostSession() { host::WriteModuleIni(folder_, host_->Inbox()); }
    const std::filesystem::path& Folder() const { return folder_; }
    // nullptr once the host has ended: its inbox window is destroyed then.
    host::HostInbox* Host() { return host_.get(); }
    void CloseHost() { host_.reset(); }

    void WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                       const std::vector<std::pair<std::string, std::string>>& codes) const {
        WriteBytes(folder_ / "Codelist.ini", CodeListBytes(creditsPerCode, masterCode, codes));
    }
    std::string CodeState(const std::string& code) const {
        const std::string bytes = Bytes(folder_ / "Codelist.ini"), key = "\n" + code + "=";
        const std::size_t at = bytes.find(key);
        return at == std::string::npos ? "(missing)" : bytes.substr(at + key.size(), bytes.find('\r', at) - at - key.size());
    }

    // Starts Codelist.exe /Mod; with registered, waits until both registration messages have arrived.
    ModuleProcess& StartModule(bool registered = true) {
        module_ = std::make_unique<ModuleProcess>(L"/Mod");
        EXPECT_TRUE(!registered || WaitUntil([&] { return CommandCount("SetCreditSys|Enabled"); }, kTimeout));
        return *module_;
    }
    ModuleProcess& Module() { return *module_; }
    // "AppClose" from the host: the module must end cleanly, without an exception report.
    void CloseModule() {
        Send("AppClose");
        EXPECT_EQ(module_->Ended(kTimeout), "");
    }
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
    std::unique_ptr<ModuleProcess> module_;
};

}  // namespace codeeingabe::test
