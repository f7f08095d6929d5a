#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
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

// Codelist.exe as its own process, ended on destruction if it still runs. Its standard error goes
// to a file, with Wine's reports of exceptions switched on, so that a crash that Wine swallows
// inside a window procedure is seen.
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
    bool WaitForExit(std::chrono::milliseconds timeout) const {
        return WaitUntil([this] { return !Running(); }, timeout);
    }
    bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    // Ends the process at once, as a crash or a power cut would, and waits until it has gone.
    void Kill() const;
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        return process_ && GetExitCodeProcess(process_.get(), &code) ? code : STILL_ACTIVE;
    }
    // Exceptions that Wine reported for the process ("err:seh" lines), empty when there were none.
    std::string ExceptionReports() const;

    // A top-level window of the process by its text (nullptr: any); visibleOnly leaves out hidden ones.
    HWND Window(const wchar_t* text, bool visibleOnly = false) const {
        const auto found = Windows(text, visibleOnly);
        return found.empty() ? nullptr : found.front();
    }
    HWND WaitForVisibleWindow(const wchar_t* text, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const {
        HWND window = nullptr;
        WaitUntil([&] { return (window = Window(text, true)) != nullptr; }, timeout);
        return window;
    }
    std::vector<HWND> VisibleWindows() const { return Windows(nullptr, true); }

private:
    std::vector<HWND> Windows(const wchar_t* text, bool visibleOnly) const;

    UniqueHandle process_;
    DWORD processId_ = 0;
    std::filesystem::path errorFile_;
};

// Another program's hold on a file while this lives: "write" (it may still be read), "exclusive", or
// "readonly" (Wine runs as root and writes such files all the same; the attribute stops only the
// program's own writes). Any other kind holds nothing.
class FileHold {
public:
    FileHold(const std::filesystem::path& file, std::string_view kind)
        : file_(file),
          handle_(kind == "write" || kind == "exclusive"
                      ? CreateFileW(file.c_str(), GENERIC_READ, kind == "write" ? FILE_SHARE_READ : 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr)
                      : nullptr) {
        if (kind == "readonly") SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~FileHold() { SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

private:
    std::filesystem::path file_;
    UniqueHandle handle_;
};

}  // namespace codeeingabe::test
