#include "child_process.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    // Without a path, the program is looked for first in the test executable's own folder.
    std::wstring line = std::filesystem::path(program + ".exe").wstring();
    for (const std::string& argument : arguments) line += L" \"" + std::filesystem::path(argument).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
    CloseHandle(info.hThread);
    native_ = reinterpret_cast<long long>(info.hProcess);
}

ChildProcess::~ChildProcess() {
    if (native_ == -1) return;
    WaitForSingleObject(reinterpret_cast<HANDLE>(native_), 60000);
    CloseHandle(reinterpret_cast<HANDLE>(native_));
}

void ChildProcess::Kill() {
    if (native_ != -1) TerminateProcess(reinterpret_cast<HANDLE>(native_), 9);
}

#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    std::string path = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / program).string();
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv{path.data()};
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    native_ = fork();
    if (native_ != 0) return;
    execv(path.c_str(), argv.data());
    _exit(127);
}

ChildProcess::~ChildProcess() {
    if (native_ > 0) waitpid(static_cast<pid_t>(native_), nullptr, 0);
}

void ChildProcess::Kill() {
    if (native_ > 0) kill(static_cast<pid_t>(native_), SIGKILL);
}

#endif
