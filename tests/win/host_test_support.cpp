#include "host_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace codeeingabe::test {

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text) {
    return FindWindowExW(parent, nullptr, className, text);
}

void Click(HWND button) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
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
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

HostSession::HostSession() : folder_(FreshModuleFolder()), host_(std::make_unique<host::HostInbox>()) {
    host::WriteModuleIni(folder_, host_->Inbox());
}

void HostSession::WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                                const std::vector<std::pair<std::string, std::string>>& codes) const {
    std::string bytes =
        "[Einstellungen]\r\nCreditsPerCode=" + creditsPerCode + "\r\nMasterCode=" + masterCode + "\r\n\r\n[Codes]\r\n";
    for (const auto& [code, state] : codes) bytes += code + "=" + state + "\r\n";
    WriteCodeListBytes(bytes);
}

void HostSession::WriteCodeListBytes(const std::string& bytes) const {
    std::ofstream(folder_ / "Codelist.ini", std::ios::binary) << bytes;
}

std::string HostSession::CodeListBytes() const {
    std::ifstream in(folder_ / "Codelist.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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

std::size_t HostSession::CommandCount(const std::string& command) const {
    return host_ ? static_cast<std::size_t>(std::ranges::count(host_->Commands(), command)) : 0;
}

void HostSession::TypeDigits(const std::string& digits) {
    for (char digit : digits) {
        const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
        Click(Child(Keypad(), L"Button", caption));
    }
}


}  // namespace codeeingabe::test
