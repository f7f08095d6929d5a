#include "host_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>


namespace codeeingabe::test {
namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* text;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->text != nullptr && TextOf(window) != search->text) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

ModuleProcess::ModuleProcess(const std::wstring& arguments) {
    static int counter = 0;
    errorFile_ = std::filesystem::temp_directory_path() /
                 (L"codelist-stderr-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".txt");
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
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    std::error_code ignored;
    std::filesystem::remove(errorFile_, ignored);
}

bool ModuleProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return WaitUntil([this] { return !Running(); }, timeout);
}

bool ModuleProcess::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

void ModuleProcess::Kill() const {
    if (!process_) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
}

DWORD ModuleProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string ModuleProcess::ExceptionReports() const {
    std::istringstream lines(FileText(errorFile_));
    std::string reports;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("err:seh") != std::string::npos) reports += line + "\n";
    }
    return reports;
}

HWND ModuleProcess::Window(const wchar_t* text, bool visibleOnly) const {
    WindowSearch search{processId_, text, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

HWND ModuleProcess::WaitForVisibleWindow(const wchar_t* text, std::chrono::milliseconds timeout) const {
    HWND window = nullptr;
    WaitUntil([&] { return (window = Window(text, true)) != nullptr; }, timeout);
    return window;
}

std::vector<HWND> ModuleProcess::VisibleWindows() const {
    WindowSearch search{processId_, nullptr, true, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &ignored);
    return text;
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text) {
    return FindWindowExW(parent, nullptr, className, text);
}

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Click(HWND button) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

COLORREF ScreenPixel(int x, int y) {
    ScreenDc screen;
    return GetPixel(screen.get(), x, y);
}

void Xdotool(const std::string& arguments) {
    std::string commandLine = "/usr/bin/xdotool " + arguments;
    // Standard handles of its own: a Unix program started with this process's handles leaves
    // this process's standard output unusable under Wine.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        if (info.hThread != nullptr) CloseHandle(info.hThread);
        if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    }
}

HostSession::HostSession() : folder_(FreshModuleFolder()), host_(std::make_unique<host::HostInbox>()) {
    host::WriteModuleIni(folder_, host_->Inbox());
}

void HostSession::WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                                const std::vector<std::pair<std::string, std::string>>& codes) const {
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=" + creditsPerCode + "\r\nMasterCode=" + masterCode + "\r\n\r\n[Codes]\r\n";
    for (const auto& [code, state] : codes) bytes += code + "=" + state + "\r\n";
    WriteCodeListBytes(bytes);
}

void HostSession::WriteCodeListBytes(const std::string& bytes) const {
    std::ofstream(folder_ / "Codelist.ini", std::ios::binary) << bytes;
}

std::string HostSession::CodeListBytes() const { return FileText(folder_ / "Codelist.ini"); }

std::string HostSession::CodeState(const std::string& code) const {
    std::istringstream lines(CodeListBytes());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(code + "=", 0) == 0) return line.substr(code.size() + 1);
    }
    return "(missing)";
}

ModuleProcess& HostSession::LaunchModule() {
    module_ = std::make_unique<ModuleProcess>(L"/Mod");
    EXPECT_TRUE(module_->Started());
    return *module_;
}

ModuleProcess& HostSession::StartModule() {
    LaunchModule();
    EXPECT_TRUE(WaitForCommand("SetCreditSys|Enabled")) << "the module did not register";
    return *module_;
}

void HostSession::CloseModule() {
    Send("AppClose");
    ASSERT_TRUE(Module().WaitForExit(kTimeout));
    EXPECT_EQ(Module().ExitCode(), 0u);
    EXPECT_EQ(Module().ExceptionReports(), "");
}

bool HostSession::WaitForCommand(const std::string& command, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return CommandCount(command) > 0; }, timeout);
}

std::size_t HostSession::CommandCount(const std::string& command) const {
    if (!host_) return 0;
    const auto commands = host_->Commands();
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
}

bool HostSession::KeypadVisible() const {
    HWND keypad = Keypad();
    return keypad != nullptr && IsWindowVisible(keypad);
}

bool HostSession::KeypadHides() {
    return WaitUntil([this] { return !KeypadVisible(); }, kTimeout);
}

bool HostSession::OpenKeypad() {
    Send("CreditClick");
    return WaitUntil([this] { return KeypadVisible(); }, kTimeout);
}

void HostSession::TypeDigits(const std::string& digits) {
    for (char digit : digits) {
        const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
        Click(Child(Keypad(), L"Button", caption));
    }
}

std::wstring HostSession::CodeShown() const { return TextOf(Child(Keypad(), L"Static", nullptr)); }

void HostSession::Send(const std::string& command) { EXPECT_TRUE(host_->SendToModule(command)) << command; }

}  // namespace codeeingabe::test
