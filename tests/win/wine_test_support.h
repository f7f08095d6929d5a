#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/win_handles.h"

namespace codeeingabe::test {

// The module folder of the test prefix, created empty for each test that asks for it.
std::filesystem::path FreshModuleFolder();

// Codelist.exe, built beside the tests.
std::filesystem::path ProgramPath();

// Runs the program as its own process; ends it on destruction if it still runs.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::wstring& arguments);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    // True when the process ended within the time.
    bool WaitForExit(std::chrono::milliseconds timeout);
    // Ends the process at once, as a crash or a power cut would, and waits until it has gone.
    void Kill();
    DWORD ExitCode() const;
    // A visible top-level window of this process with the given text, or nullptr after the timeout.
    HWND WaitForWindow(const std::wstring& text, std::chrono::milliseconds timeout) const;
    // Any visible top-level window of this process.
    HWND AnyVisibleWindow() const;

private:
    UniqueHandle process_;
    DWORD processId_ = 0;
};

// Polls the condition, pumping this thread's messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace codeeingabe::test
