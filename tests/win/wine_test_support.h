#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/win_handles.h"

namespace codeeingabe::test {

// The module folder of the test prefix, created empty for each test that asks for it.
std::filesystem::path FreshModuleFolder();

// Codelist.exe, built beside the tests.
std::filesystem::path ProgramPath();

// Polls the condition, pumping this thread's messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// How long a window of another process may take to answer one message before a test says so.
inline constexpr UINT kAnswerMs = 10000;

// The text of a window of another process (WM_GETTEXT, as GetWindowText gives nothing there), of
// any length; empty when the window does not answer in time.
std::wstring TextOf(HWND window);

// Starts a command line with all its standard streams on the file ("NUL": none), so that it inherits no pipe of the
// test's (a Unix program given this process's own streams leaves its standard output unusable under Wine).
UniqueHandle StartProcess(std::wstring commandLine, const std::filesystem::path& streams);

// Codelist.exe as its own process, ended on destruction if it still runs. Its standard error goes
// to a file, with Wine's reports of exceptions switched on, so that a crash that Wine swallows
// inside a window procedure is seen.
class ModuleProcess {
public:
    explicit ModuleProcess(const std::wstring& arguments);
    ModuleProcess() = default;  // none started yet
    ~ModuleProcess();

    DWORD ProcessId() const { return GetProcessId(process_.get()); }
    HANDLE Handle() const { return process_.get(); }
    bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // Pumps this thread's messages while waiting: the module may be sending to a host here.
    bool WaitForExit(std::chrono::milliseconds timeout) const {
        return WaitUntil([this] { return !Running(); }, timeout);
    }
    // Ends the process at once, as a crash or a power cut would, and waits until it has gone.
    void Kill() const {
        if (Running()) TerminateProcess(process_.get(), 1), WaitForSingleObject(process_.get(), 10000);
    }
    // Empty when the process ends within the time with code 0 and no exception that Wine reported
    // ("err:seh"); otherwise what was seen.
    std::string Ended(std::chrono::milliseconds within) const;

    // The top-level windows of the process with this text (nullptr: any); visibleOnly leaves out hidden ones.
    std::vector<HWND> Windows(const wchar_t* text, bool visibleOnly) const;
    HWND Window(const wchar_t* text, bool visibleOnly = false) const {
        const auto found = Windows(text, visibleOnly);
        return found.empty() ? nullptr : found.front();
    }
    HWND WaitForVisibleWindow(const wchar_t* text, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const {
        HWND window = nullptr;
        return WaitUntil([&] { return (window = Window(text, true)) != nullptr; }, timeout), window;
    }
    std::vector<HWND> VisibleWindows() const { return Windows(nullptr, true); }

private:
    std::filesystem::path errorFile_;
    UniqueHandle process_;
};

// Another program's hold on a file while this lives: "write" (it may still be read), "exclusive", or
// "readonly" (Wine runs as root and writes such files all the same; the attribute stops only the
// program's own writes). Any other kind holds nothing.
class FileHold {
public:
    FileHold(const std::filesystem::path& file, std::string_view kind) : file_(file) {
        if (kind == "readonly") SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        if (kind == "write" || kind == "exclusive")
            handle_.reset(
                CreateFileW(file.c_str(), GENERIC_READ, kind == "write" ? FILE_SHARE_READ : 0u, 0, OPEN_EXISTING, 0, 0));
    }
    ~FileHold() { SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL); }

private:
    std::filesystem::path file_;
    UniqueHandle handle_;
};

}  // namespace codeeingabe::test
