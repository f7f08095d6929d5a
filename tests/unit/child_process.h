#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A child process for the tests that need a second writer or a writer killed mid-write.
class ChildProcess {
public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const;
    void Kill();
    // The exit code, or -1 when the process could not be waited for.
    int Wait();

private:
    long long native_ = -1;
};

// A program built beside the running test executable.
std::filesystem::path SiblingProgram(const std::string& name);
