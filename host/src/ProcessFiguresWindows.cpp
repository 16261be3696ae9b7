#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <vector>

#include "insigno/host/ProcessFigures.h"

namespace insigno::host {
namespace {

// Wine answers GetProcessHandleCount with 0 and PrivateUsage with the swapped bytes: a process
// always holds handles and private memory, so a zero means "ask another way".

// The process's entries in the system's handle table (NtQuerySystemInformation, class 16).
std::int64_t HandlesInSystemTable() {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt, buffer.resize(buffer.size() * 2)) {
        ULONG needed = 0;
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<LONG>(0xC0000004)) continue;  // STATUS_INFO_LENGTH_MISMATCH
        if (status != 0) return -1;
        const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
        const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
        const DWORD self = GetCurrentProcessId();
        std::int64_t own = 0;
        for (ULONG i = 0; i < count; ++i) own += entries[i].ownerPid == self;
        return own;
    }
    return -1;
}

// Committed private memory, region by region.
std::int64_t CommittedPrivateBytes() {
    std::int64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += static_cast<std::int64_t>(region.RegionSize);
        }
    }
    return total;
}

}  // namespace

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles)) figures.handles = handles;
    if (figures.handles <= 0) figures.handles = HandlesInSystemTable();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (K32GetProcessMemoryInfo(GetCurrentProcess(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                sizeof memory)) {
        figures.privateBytes = static_cast<std::int64_t>(memory.PrivateUsage);
    }
    if (figures.privateBytes <= 0) figures.privateBytes = CommittedPrivateBytes();
    return figures;
}

}  // namespace insigno::host
