#include "wine_test_support.h"

#include <shlobj.h>

#include <thread>

#include "platform/special_folder.h"

namespace codeeingabe::test {

std::filesystem::path FreshModuleFolder() {
    const std::filesystem::path folder = std::filesystem::path(GetSpecialFolder(CSIDL_APPDATA)) / L"Tremolan 6" / L"Module";
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(entry.path(), ignored);
    }
    std::filesystem::create_directories(folder);
    return folder;
}

std::filesystem::path ProgramPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / L"Codelist.exe";
}

ProgramProcess::ProgramProcess(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ProgramPath().wstring() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        processId_ = info.dwProcessId;
        WaitForInputIdle(info.hProcess, 5000);
    }
}

ProgramProcess::~ProgramProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ProgramProcess::WaitForExit(std::chrono::milliseconds timeout) {
    return process_ && WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void ProgramProcess::Kill() {
    if (!process_) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
}

DWORD ProgramProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->text != nullptr) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (*search->text != text) return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

HWND ProgramProcess::WaitForWindow(const std::wstring& text, std::chrono::milliseconds timeout) const {
    WindowSearch search{processId_, &text, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

HWND ProgramProcess::AnyVisibleWindow() const {
    WindowSearch search{processId_, nullptr, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace codeeingabe::test
