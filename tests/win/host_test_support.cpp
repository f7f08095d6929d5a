#include "host_test_support.h"

#include <algorithm>

#include "settings_driver.h"

namespace codeeingabe::test {

void Click(HWND button) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored);
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
    CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    const UniqueHandle thread(info.hThread), process(info.hProcess);
}

HostSession::HostSession() : folder_(FreshModuleFolder()), host_(std::make_unique<host::HostInbox>()) {
    host::WriteModuleIni(folder_, host_->Inbox());
}

void HostSession::WriteCodeList(const std::string& creditsPerCode, const std::string& masterCode,
                                const std::vector<std::pair<std::string, std::string>>& codes) const {
    WriteCodeListBytes(CodeListBytes(creditsPerCode, masterCode, codes));
}

void HostSession::WriteCodeListBytes(const std::string& bytes) const { WriteBytes(folder_ / "Codelist.ini", bytes); }

std::string HostSession::CodeState(const std::string& code) const {
    const std::string bytes = Bytes(folder_ / "Codelist.ini"), key = "\n" + code + "=";
    const std::size_t at = bytes.find(key);
    return at == std::string::npos ? "(missing)" : bytes.substr(at + key.size(), bytes.find('\r', at) - at - key.size());
}

ModuleProcess& HostSession::StartModule(bool registered) {
    module_ = std::make_unique<ModuleProcess>(L"/Mod");
    EXPECT_TRUE(module_->Started());
    if (registered) {
        EXPECT_TRUE(WaitUntil([&] { return CommandCount("SetCreditSys|Enabled") > 0; }, kTimeout)) << "no registration";
    }
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

}  // namespace codeeingabe::test
