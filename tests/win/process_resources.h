#pragma once

#include <windows.h>

#include <cstddef>

namespace codeeingabe::test {

// What a process holds. Wine implements neither GetGuiResources nor GetProcessHandleCount (both
// give 0) nor PrivateUsage: the handles then come from the system's handle table, the private
// bytes from the commit charge, and the GDI and USER object counts stay 0, so the windows of the
// process are counted as well.
struct ProcessResources {
    std::size_t workingSetBytes = 0;
    std::size_t privateBytes = 0;
    unsigned long handles = 0;
    unsigned long gdiObjects = 0;
    unsigned long userObjects = 0;
    unsigned long windows = 0;  // top-level windows and their children
};

ProcessResources MeasureProcess(HANDLE process);

// Whether the system counts GDI and USER objects at all (not under Wine).
inline bool GuiObjectsCounted(const ProcessResources& resources) {
    return resources.gdiObjects != 0 || resources.userObjects != 0;
}

}  // namespace codeeingabe::test
