#pragma once

#include <windows.h>

#include <cstddef>

namespace codeeingabe::test {

// What a process holds. Wine implements neither GetGuiResources nor GetProcessHandleCount (both give
// 0) nor PrivateUsage: the handles come from the system's handle table, the private bytes are the
// commit charge, and instead of GDI and USER objects, which cannot be counted there, the process's
// windows are counted.
struct ProcessResources {
    std::size_t workingSetBytes = 0, privateBytes = 0;
    unsigned long handles = 0, windows = 0;
};

ProcessResources MeasureProcess(HANDLE process);

}  // namespace codeeingabe::test
