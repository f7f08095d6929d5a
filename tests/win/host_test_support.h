#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host_inbox.h"
#include "platform/win_handles.h"
#include "wine_test_support.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;

// Generous: a Wine process that starts a program file for the first time may take seconds.
inline constexpr auto kTimeout = std::chrono::milliseconds(15000);

// Codelist.exe as its own process. Its standard error goes to a file, with Wine's reports of
// exceptions switched on, so that a crash that Wine swallows inside a window procedure is seen.
class ModuleProcess {
public:
    explicit ModuleProcess(const std::wstring& arguments);
    ~ModuleProcess();
    ModuleProcess(const ModuleProcess&) = delete;
    ModuleProcess& operator=(const ModuleProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    HANDLE Handle() const { return process_.get(); }
    // Pumps this thread's messages while waiting: the module may be sending to a host here.
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    bool Running() const;
    // Ends the process at once, as a crash or a power cut would, and waits until it has gone.
    void Kill() const;
    DWORD ExitCode() const;
    // Exceptions that Wine reported for the process ("err:seh" lines), empty when there were none.
    std::string ExceptionReports() const;

    // A top-level window of the process by its text; visibleOnly leaves out hidden ones.
    HWND Window(const wchar_t* text, bool visibleOnly = false) const;
    HWND WaitForVisibleWindow(const wchar_t* text, std::chrono::milliseconds timeout = kTimeout) const;
    std::vector<HWND> VisibleWindows() const;

private:
    UniqueHandle process_;
    DWORD processId_ = 0;
    std::filesystem::path errorFile_;
};

// The text of a window of another process (WM_GETTEXT, as GetWindowText gives nothing there).
std::wstring TextOf(HWND window);
// A child window by class and text.
HWND Child(HWND parent, const wchar_t* className, const wchar_t* text);
// A child rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
// Clicks a button of another process as a program would (BM_CLICK), handling messages meanwhile.
void Click(HWND button);
// The colour of a screen pixel, as the display shows it.
COLORREF ScreenPixel(int x, int y);
// Runs xdotool on the test display with the given arguments; Wine gives no handle to wait on, so
// callers poll for the effect.
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

    // Writes Codelist.ini as generation does: the settings, then the codes with their states.
    void WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                       const std::vector<std::pair<std::string, std::string>>& codes) const;
    void WriteCodeListBytes(const std::string& bytes) const;
    std::string CodeListBytes() const;
    std::string CodeState(const std::string& code) const;

    // Starts Codelist.exe /Mod.
    ModuleProcess& LaunchModule();
    // Starts Codelist.exe /Mod and waits until both registration messages have arrived.
    ModuleProcess& StartModule();
    ModuleProcess& Module() { return *module_; }

    // "AppClose" from the host: the module must end cleanly, without an exception report.
    void CloseModule();

    bool WaitForCommand(const std::string& command, std::chrono::milliseconds timeout = kTimeout);
    std::size_t CommandCount(const std::string& command) const;

    // The hidden code entry window (found also while hidden).
    HWND Keypad() const { return module_->Window(L"Creditsystem"); }
    bool KeypadVisible() const;
    // After a complete code the keypad hides once the check is done.
    bool KeypadHides();
    // "CreditClick" from the host; true once the keypad shows.
    bool OpenKeypad();
    // Clicks the digit keys of the text with BM_CLICK.
    void TypeDigits(const std::string& digits);
    std::wstring CodeShown() const;  // the text of lblCode
    // Sends a command and waits until the module has taken it (the host's send is synchronous).
    void Send(const std::string& command);

private:
    std::filesystem::path folder_;
    std::unique_ptr<host::HostInbox> host_;
    std::unique_ptr<ModuleProcess> module_;
};

}  // namespace codeeingabe::test
