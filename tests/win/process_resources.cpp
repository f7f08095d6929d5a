#include "process_resources.h"

#include <psapi.h>

#include <vector>

namespace codeeingabe::test {
namespace {

// SystemExtendedHandleInformation: every handle of every process, with its owner's id.
constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);

struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};

unsigned long HandlesInSystemTable(DWORD processId) {
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<ULONG_PTR> buffer(1 << 13);  // the count, a reserved word, then the entries
    LONG status = kInfoLengthMismatch;
    while (query != nullptr &&
           (status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)),
                           nullptr)) == kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + 2);
    unsigned long count = 0;
    for (ULONG_PTR i = 0; i < buffer[0]; ++i) count += entries[i].processId == processId;
    return count;
}

struct WindowCount {
    DWORD processId;
    unsigned long count;
};

// Called for every window below the desktop: the top-level ones and their children.
BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
    auto* windows = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    windows->count += owner == windows->processId;
    return TRUE;
}

}  // namespace

ProcessResources MeasureProcess(HANDLE process) {
    ProcessResources resources;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        resources.workingSetBytes = memory.WorkingSetSize;
        resources.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    }
    const DWORD processId = GetProcessId(process);
    DWORD handles = 0;
    resources.handles = GetProcessHandleCount(process, &handles) && handles != 0 ? handles : HandlesInSystemTable(processId);
    resources.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    resources.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    WindowCount windows{processId, 0};
    EnumChildWindows(GetDesktopWindow(), &CountWindow, reinterpret_cast<LPARAM>(&windows));
    resources.windows = windows.count;
    return resources;
}

}  // namespace codeeingabe::test
