// A process's handle count, GDI object count and committed private memory, taken the ways that
// Wine answers honestly, for the soak checks of the driver and the Windows tests. Wine answers
// GetProcessHandleCount and GetGuiResources with 0 and leaves PrivateUsage at 0, so: handles
// from the system handle list, GDI objects from the GDI handle table the process keeps in its
// own memory (read across processes), private memory from the commit charge (PagefileUsage,
// the same figure on Windows). Header-only: the driver and the tests build it into themselves.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <vector>

namespace processcounts {

struct Counts {
    long long Handles = -1;       // -1 = unknown
    long long GdiObjects = -1;
    long long PrivateBytes = -1;
};

namespace detail {

using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

struct ExtendedHandleEntry {
    PVOID Object;
    ULONG_PTR UniqueProcessId;
    ULONG_PTR HandleValue;
    ULONG GrantedAccess;
    USHORT CreatorBackTraceIndex;
    USHORT ObjectTypeIndex;
    ULONG HandleAttributes;
    ULONG Reserved;
};

struct ExtendedHandleList {
    ULONG_PTR Count;
    ULONG_PTR Reserved;
    ExtendedHandleEntry Entries[1];
};

template <class F>
inline F NtdllFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

inline long long CountHandles(DWORD processId) {
    const auto query = NtdllFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return -1;
    const auto* list = reinterpret_cast<const ExtendedHandleList*>(buffer.data());
    const std::size_t capacity = (buffer.size() - offsetof(ExtendedHandleList, Entries)) / sizeof(ExtendedHandleEntry);
    long long count = 0;
    for (ULONG_PTR i = 0; i < list->Count && i < capacity; ++i)
        if (list->Entries[i].UniqueProcessId == processId) ++count;
    return count;
}

// One slot of the GDI handle table (the same 24-byte layout on 64-bit Windows and in Wine); a
// slot in use has a non-zero type byte.
struct GdiTableEntry {
    UINT64 Object;
    ULONG Owner;
    USHORT Unique;
    UCHAR Type;
    UCHAR Flags;
    UINT64 UserPointer;
};
static_assert(sizeof(GdiTableEntry) == 24, "GDI table entry layout");
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr std::size_t kPebGdiTableOffset64 = 0xF8;

inline long long CountGdiObjects(HANDLE process) {
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    if (reported != 0) return reported;
    if (sizeof(void*) != 8) return -1;   // where the table is noted is known for 64-bit processes only
    const auto query = NtdllFunction<QueryInformationProcess>("NtQueryInformationProcess");
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 || !basic.PebBaseAddress)
        return -1;
    UINT64 table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset64, &table,
                           sizeof table, &read) ||
        read != sizeof table || table == 0)
        return -1;
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<ULONG_PTR>(table)), entries.data(),
                           entries.size() * sizeof(GdiTableEntry), &read) ||
        read != entries.size() * sizeof(GdiTableEntry))
        return -1;
    long long count = 0;
    for (const GdiTableEntry& entry : entries)
        if (entry.Type != 0) ++count;
    return count;
}

inline long long CountPrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) return -1;
    const SIZE_T bytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    return bytes != 0 ? static_cast<long long>(bytes) : -1;
}

}  // namespace detail

// The process handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
inline Counts Count(HANDLE process, DWORD processId) {
    Counts counts;
    counts.Handles = detail::CountHandles(processId);
    counts.GdiObjects = detail::CountGdiObjects(process);
    counts.PrivateBytes = detail::CountPrivateBytes(process);
    return counts;
}

}  // namespace processcounts
