#include "wine_test_support.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "platform/special_folder.h"

namespace codeeingabe::test {
namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* text;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // A top-level window's text comes from the server: no message to a process that may be busy.
    wchar_t text[256] = {};
    if (search.text != nullptr) GetWindowTextW(window, text, 256);
    if (owner == search.processId && (!search.visibleOnly || IsWindowVisible(window)) &&
        (search.text == nullptr || std::wstring_view(text) == search.text)) {
        search.found.push_back(window);
    }
    return TRUE;
}

}  // namespace

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

ModuleProcess::ModuleProcess(const std::wstring& arguments) {
    static int counter = 0;
    errorFile_ = std::filesystem::temp_directory_path() / (L"codelist-stderr-" + std::to_wstring(GetCurrentProcessId()) +
                                                           L"-" + std::to_wstring(++counter) + L".txt");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle errors(CreateFileW(errorFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring commandLine = L"\"" + ProgramPath().wstring() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = errors.get();
    startup.hStdError = errors.get();
    // Wine reads this when the process starts: report exceptions, nothing else.
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,err+seh");
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        processId_ = info.dwProcessId;
    }
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
}

ModuleProcess::~ModuleProcess() {
    Kill();
    std::error_code ignored;
    std::filesystem::remove(errorFile_, ignored);
}

void ModuleProcess::Kill() const {
    if (!Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
}

DWORD ModuleProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string ModuleProcess::ExceptionReports() const {
    std::ifstream file(errorFile_, std::ios::binary);
    std::string reports;
    for (std::string line; std::getline(file, line);) {
        if (line.find("err:seh") != std::string::npos) reports += line + "\n";
    }
    return reports;
}

std::vector<HWND> ModuleProcess::Windows(const wchar_t* text, bool visibleOnly) const {
    WindowSearch search{processId_, text, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kAnswerMs,
                        &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

}  // namespace codeeingabe::test
