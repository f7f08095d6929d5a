#include "wine_test_support.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <thread>
#include <tuple>

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

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) TranslateMessage(&message), DispatchMessageW(&message);
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
    std::wstring commandLine = L"\"" + ProgramPath().wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = errors.get();
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,err+seh");  // read by Wine as the process starts
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
    if (Running()) TerminateProcess(process_.get(), 1), WaitForSingleObject(process_.get(), 10000);
}

std::string ModuleProcess::ExceptionReports() const {
    std::string reports;
    std::ifstream file(errorFile_, std::ios::binary);
    for (std::string line; std::getline(file, line);)
        if (line.find("err:seh") != std::string::npos) reports += line + "\n";
    return reports;
}

std::vector<HWND> ModuleProcess::Windows(const wchar_t* text, bool visibleOnly) const {
    std::tuple<const ModuleProcess*, const wchar_t*, bool, std::vector<HWND>> search{this, text, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) {
            auto& [self, wanted, visible, found] = *reinterpret_cast<decltype(search)*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            // A top-level window's text comes from the server: no message to a process that may be busy.
            wchar_t shown[256] = {};
            if (wanted != nullptr) GetWindowTextW(window, shown, 256);
            if (owner == self->processId_ && (!visible || IsWindowVisible(window)) &&
                (!wanted || std::wstring_view(shown) == wanted))
                found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return std::get<3>(search);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length)) return {};
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kAnswerMs,
                        &copied);
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

}  // namespace codeeingabe::test
