#include "wine_test_support.h"

#include <algorithm>
#include <fstream>
#include <iostream>

#include "host_inbox.h"

namespace codeeingabe::test {

std::filesystem::path FreshModuleFolder() {
    const std::filesystem::path folder = host::ModuleFolderPath();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL), std::filesystem::remove_all(entry.path(), ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

std::filesystem::path ProgramPath() {
    wchar_t self[MAX_PATH];
    return std::filesystem::path(self, self + GetModuleFileNameW(nullptr, self, MAX_PATH)).parent_path() / L"Codelist.exe";
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout;; Sleep(5)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&message), DispatchMessageW(&message);
        if (const bool held = condition(); held || std::chrono::steady_clock::now() >= deadline) return held;
    }
}

UniqueHandle StartProcess(std::wstring commandLine, const std::filesystem::path& streams) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle file(CreateFileW(streams.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inheritable, streams == L"NUL" ? OPEN_EXISTING : CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup, startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = file.get();
    PROCESS_INFORMATION info{};
    // Wine once failed a start among hundreds, before the program ran at all: no fault of the program, so try again.
    for (int attempt = 1;
         !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
         ++attempt, Sleep(1000)) {
        std::cerr << "CreateProcess failed with error " << GetLastError() << " (attempt " << attempt << ")\n";
        if (attempt == 3) return UniqueHandle();
    }
    const UniqueHandle thread(info.hThread);
    return UniqueHandle(info.hProcess);
}

// The error file is named by this object's address: two living processes never share one.
ModuleProcess::ModuleProcess(const std::wstring& arguments)
    : errorFile_(std::filesystem::temp_directory_path() / (L"codelist-stderr-" + std::to_wstring(GetCurrentProcessId()) +
                                                           L"-" + std::to_wstring(reinterpret_cast<UINT_PTR>(this)))) {
    // Read by Wine as a process starts; the module's own children have it from the module anyway.
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,err+seh");
    process_ = StartProcess(L"\"" + ProgramPath().wstring() + L"\" " + arguments, errorFile_);
}

ModuleProcess::~ModuleProcess() { Kill(), DeleteFileW(errorFile_.c_str()); }

std::string ModuleProcess::Ended(std::chrono::milliseconds within) const {
    DWORD code = STILL_ACTIVE;
    if (!WaitForExit(within) || !GetExitCodeProcess(process_.get(), &code)) return process_ ? "still running" : "unstarted";
    std::string seen = code == 0 ? "" : "exit code " + std::to_string(code) + "\n";
    std::string line;
    for (std::ifstream file(errorFile_); std::getline(file, line);)
        seen += line.find("err:seh") != std::string::npos ? line + "\n" : "";
    return seen;
}

std::vector<HWND> ModuleProcess::Windows(const wchar_t* text, bool visibleOnly) const {
    std::vector<HWND> all;
    EnumWindows([](HWND window, LPARAM to) { return reinterpret_cast<std::vector<HWND>*>(to)->push_back(window), TRUE; },
                reinterpret_cast<LPARAM>(&all));
    std::erase_if(all, [&](HWND window) {
        DWORD owner = 0;
        wchar_t shown[256] = {};  // a top-level window's text comes from the server: no message to a busy process
        GetWindowThreadProcessId(window, &owner), GetWindowTextW(window, shown, 256);
        return owner != ProcessId() || (visibleOnly && !IsWindowVisible(window)) ||
               (text && std::wstring_view(shown) != text);
    });
    return all;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kAnswerMs,
                        &copied);
    return text.substr(0, std::min<std::size_t>(copied, length));
}

}  // namespace codeeingabe::test
