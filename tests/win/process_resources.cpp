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

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

unsigned long HandlesInSystemTable(DWORD processId) {
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    unsigned long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        if (table->entries[i].processId == processId) ++count;
    }
    return count;
}

struct WindowCount {
    DWORD processId;
    unsigned long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM parameter) {
    ++reinterpret_cast<WindowCount*>(parameter)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
    auto* windows = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) {
        ++windows->count;
        EnumChildWindows(window, &CountChild, parameter);
    }
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
    EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    resources.windows = windows.count;
    return resources;
}

bool GuiObjectsCounted(const ProcessResources& resources) { return resources.gdiObjects != 0 || resources.userObjects != 0; }

}  // namespace codeeingabe::test
