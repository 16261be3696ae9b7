#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
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

// Every heap of the process, walked block by block: the busy blocks' bytes, and the committed
// bytes of its regions (blocks too large for a region are committed on their own and count in
// use only).
void WalkHeaps(ProcessFigures& figures) {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    if (count == 0) return;
    std::int64_t inUse = 0, committed = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_REGION) {
                committed += static_cast<std::int64_t>(entry.Region.dwCommittedSize);
            } else if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                inUse += static_cast<std::int64_t>(entry.cbData);
            }
        }
        HeapUnlock(heaps[i]);
    }
    figures.heapInUse = inUse;
    figures.heapCommitted = committed;
}

// Committed private bytes per allocation base.
std::map<const void*, std::int64_t> PrivateAllocations() {
    std::map<const void*, std::int64_t> allocations;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            allocations[region.AllocationBase] += static_cast<std::int64_t>(region.RegionSize);
        }
    }
    return allocations;
}

}  // namespace

// The heaps' busy blocks new since the last call, by size, with the first bytes of one of each:
// what is left behind tells who left it. The lists are kept in two buffers taken once, so that
// the walk leaves no blocks of its own among the ones it reports.
void NewBlocks(std::ostringstream& text) {
    using Block = std::pair<const void*, std::size_t>;
    static std::vector<Block> before, now;
    if (now.capacity() == 0) {
        before.reserve(1 << 20);
        now.reserve(1 << 20);
    }
    now.clear();
    std::vector<HANDLE> heaps(64);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry) && now.size() < now.capacity()) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                now.emplace_back(entry.lpData, entry.cbData);
        }
        HeapUnlock(heaps[i]);
    }
    std::sort(now.begin(), now.end());
    if (!before.empty()) {
        std::map<std::size_t, std::pair<int, const void*>> bySize;
        for (const Block& block : now) {
            if (std::binary_search(before.begin(), before.end(), block)) continue;
            auto& group = bySize[block.second];
            ++group.first;
            group.second = block.first;
        }
        for (const auto& [size, group] : bySize) {
            text << "  " << group.first << " new blocks of " << size << " bytes, one:";
            const auto* bytes = static_cast<const unsigned char*>(group.second);
            for (std::size_t i = 0; i < std::min<std::size_t>(size, 48); ++i) {
                const unsigned char c = bytes[i];
                text << (c >= 32 && c < 127 ? static_cast<char>(c) : '.');
            }
            text << "\n";
        }
    }
    std::swap(before, now);
}

std::string RegionChanges() {
    static std::map<const void*, std::int64_t> before;
    const auto now = PrivateAllocations();
    std::vector<HANDLE> heaps(64);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    heaps.resize(std::min<std::size_t>(count, heaps.size()));
    std::ostringstream text;
    auto line = [&](const void* base, std::int64_t was, std::int64_t is) {
        const bool heap = std::find(heaps.begin(), heaps.end(), base) != heaps.end();
        text << "  region " << base << ": " << was / 1024 << " -> " << is / 1024 << " KiB"
             << (heap ? " (a heap)" : "") << "\n";
    };
    for (const auto& [base, bytes] : now) {
        const auto it = before.find(base);
        const std::int64_t was = it == before.end() ? 0 : it->second;
        if (was != bytes) line(base, was, bytes);
    }
    for (const auto& [base, bytes] : before) {
        if (!now.count(base)) line(base, bytes, 0);
    }
    before = now;
    if (std::getenv("INSIGNO_SOAK_BLOCKS")) NewBlocks(text);
    return text.str();
}

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
    WalkHeaps(figures);
    return figures;
}

namespace {

// Wine maps the Linux root to drive Z:, so its server's CPU time is readable from /proc: fields
// 14 and 15 of its stat line, in clock ticks of 1/100 s. 0 where there is no such server.
double WineServerCpuSeconds() {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    double seconds = 0;
    do {
        if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9') continue;
        const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        std::ifstream comm(dir + "\\comm");
        std::string name;
        if (!std::getline(comm, name) || name != "wineserver") continue;
        std::ifstream stat(dir + "\\stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        long long ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i >= 14) ticks += std::stoll(field);
        seconds += ticks / 100.0;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return seconds;
}

double Seconds(const FILETIME& time) {
    return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
           1e7;
}

}  // namespace

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    double seconds = 0;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        seconds = Seconds(kernel) + Seconds(user);
    return seconds + WineServerCpuSeconds();
}

}  // namespace insigno::host
