#pragma once

#include <string>
#include <vector>

// A program built beside the test executable, run as a second writer or as a writer to kill. The
// destructor waits for it to end.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    void Kill();

private:
    long long native_ = -1;
};
