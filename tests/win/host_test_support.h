#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "host_inbox.h"
#include "wine_test_support.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;

// Generous: a Wine process that starts a program file for the first time may take seconds.
inline constexpr auto kTimeout = std::chrono::milliseconds(15000);

inline HWND Child(HWND parent, const wchar_t* className, const wchar_t* text) {
    return FindWindowExW(parent, nullptr, className, text);
}
// Clicks a button of another process as a program would (BM_CLICK), handling messages meanwhile.
void Click(HWND button);
// Runs xdotool on the test display; Wine gives no handle to wait on, so callers poll for the effect.
void Xdotool(const std::string& arguments);

// One jukebox session: a fresh module folder, the demo host's inbox as the test host, its handle
// in Module.ini, and the code list the test writes.
class HostSession {
public:
    HostSession();
    const std::filesystem::path& Folder() const { return folder_; }
    host::HostInbox& Host() { return *host_; }
    // Ends the host: its inbox window is destroyed.
    void CloseHost() { host_.reset(); }

    void WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                       const std::vector<std::pair<std::string, std::string>>& codes) const;
    void WriteCodeListBytes(const std::string& bytes) const;
    std::string CodeState(const std::string& code) const;

    // Starts Codelist.exe /Mod; with registered, waits until both registration messages have arrived.
    ModuleProcess& StartModule(bool registered = true);
    ModuleProcess& Module() { return *module_; }
    // "AppClose" from the host: the module must end cleanly, without an exception report.
    void CloseModule();
    std::size_t CommandCount(const std::string& command) const;

    // The hidden code entry window (found also while hidden).
    HWND Keypad() const { return module_->Window(L"Creditsystem"); }
    bool KeypadVisible() const { return IsWindowVisible(Keypad()) != FALSE; }
    bool KeypadHides() {
        return WaitUntil([this] { return !KeypadVisible(); }, kTimeout);
    }
    // "CreditClick" from the host; true once the keypad shows.
    bool OpenKeypad() {
        Send("CreditClick");
        return WaitUntil([this] { return KeypadVisible(); }, kTimeout);
    }
    // Sends a command and waits until the module has taken it (the host's send is synchronous).
    void Send(const std::string& command) { EXPECT_TRUE(host_->SendToModule(command)) << command; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<host::HostInbox> host_;
    std::unique_ptr<ModuleProcess> module_;
};

}  // namespace codeeingabe::test
