#pragma once

#include <windows.h>

#include <cstddef>

namespace codeeingabe::test {

// What a process holds. Wine implements neither GetGuiResources nor GetProcessHandleCount (both give
// 0) nor PrivateUsage: the handles come from the system's handle table, the private bytes are the
// commit charge, and as the GDI and USER object counts stay 0 there, the process's windows are counted.
struct ProcessResources {
    std::size_t workingSetBytes = 0, privateBytes = 0;
    unsigned long handles = 0, gdiObjects = 0, userObjects = 0, windows = 0;
};

ProcessResources MeasureProcess(HANDLE process);

// Whether the system counts GDI and USER objects at all (not under Wine).
inline bool GuiObjectsCounted(const ProcessResources& r) { return r.gdiObjects != 0 || r.userObjects != 0; }

}  // namespace codeeingabe::test
