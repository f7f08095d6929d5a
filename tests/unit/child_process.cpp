#include "child_process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    for (const std::string& argument : arguments) commandLine += L" \"" + std::filesystem::path(argument).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        native_ = reinterpret_cast<long long>(info.hProcess);
    }
}

ChildProcess::~ChildProcess() {
    if (native_ == -1) return;
    Kill();
    Wait();
    CloseHandle(reinterpret_cast<HANDLE>(native_));
}

bool ChildProcess::Started() const { return native_ != -1; }

void ChildProcess::Kill() {
    if (native_ != -1) TerminateProcess(reinterpret_cast<HANDLE>(native_), 9);
}

int ChildProcess::Wait() {
    if (native_ == -1) return -1;
    HANDLE process = reinterpret_cast<HANDLE>(native_);
    DWORD code = 0;
    if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) return -1;
    return static_cast<int>(code);
}

std::filesystem::path SiblingProgram(const std::string& name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / (name + ".exe");
}

#else

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        std::string programText = program.string();
        argv.push_back(programText.data());
        std::vector<std::string> copies(arguments);
        for (std::string& argument : copies) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(programText.c_str(), argv.data());
        _exit(127);
    }
    if (pid > 0) native_ = pid;
}

ChildProcess::~ChildProcess() {
    if (native_ == -1) return;
    Kill();
    Wait();
}

bool ChildProcess::Started() const { return native_ != -1; }

void ChildProcess::Kill() {
    if (native_ != -1) kill(static_cast<pid_t>(native_), SIGKILL);
}

int ChildProcess::Wait() {
    if (native_ == -1) return -1;
    int status = 0;
    const pid_t pid = static_cast<pid_t>(native_);
    if (waitpid(pid, &status, 0) != pid) return -1;
    native_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path SiblingProgram(const std::string& name) {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

#endif
