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
    ULONG_PTR processId, handle;
    ULONG access;
    USHORT creatorBackTrace, type;
    ULONG attributes, reserved;
};

unsigned long HandlesInSystemTable(DWORD processId) {
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<ULONG_PTR> buffer(1 << 13);  // the count, a reserved word, then the entries
    LONG status = kInfoLengthMismatch;
    while (query && (status = query(kExtendedHandleInformation, buffer.data(),
                                    static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + 2);
    unsigned long count = 0;
    for (ULONG_PTR i = 0; status == 0 && i < buffer[0]; ++i) count += entries[i].processId == processId;
    return count;
}

}  // namespace

ProcessResources MeasureProcess(HANDLE process) {
    ProcessResources r;
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    r.workingSetBytes = memory.WorkingSetSize;
    r.privateBytes = memory.PagefileUsage;  // the commit charge: the private bytes, as PrivateUsage gives 0 under Wine
    std::pair<DWORD, unsigned long> windows{GetProcessId(process), 0};
    r.handles = HandlesInSystemTable(windows.first);  // GetProcessHandleCount gives 0 under Wine
    // Every window below the desktop: the top-level ones and their children.
    EnumChildWindows(
        GetDesktopWindow(),
        [](HWND window, LPARAM parameter) {
            auto& [processId, count] = *reinterpret_cast<std::pair<DWORD, unsigned long>*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            count += owner == processId;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    r.windows = windows.second;
    return r;
}

}  // namespace codeeingabe::test
