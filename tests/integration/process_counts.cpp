#include "tests/integration/process_counts.h"
#include <psapi.h>
#include <winternl.h>
#include "owners/gdi.h"

namespace {

// How many consecutive free slots end a probe of a handle space: both Wine and
// Windows hand out the lowest free slot, so the used ones lie close together.
const int kProbeGap = 4096;

// An entry of the GDI handle table the PEB points to (64-bit layout).
struct GdiTableEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};
static_assert(sizeof(GdiTableEntry) == 24, "GDI table entry");
const size_t kGdiPebOffset = 0xF8;  // PEB.GdiSharedHandleTable on x64
const int kGdiTableEntries = 0x10000;

bool IsWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

const BYTE* ProcessPeb()
{
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return nullptr;
    return reinterpret_cast<const BYTE*>(info.PebBaseAddress);
}

// Wine's table is the process's own; an entry in use has a type.
long GdiFromTable()
{
    const BYTE* peb = ProcessPeb();
    if (!peb) return -1;
    auto* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + kGdiPebOffset);
    if (!table) return -1;
    long n = 0;
    for (int i = 0; i < kGdiTableEntries; ++i)
        if (table[i].type) ++n;
    return n;
}

long HandlesByProbe()
{
    long n = 0;
    int gap = 0;
    for (ULONG_PTR value = 4; gap < kProbeGap; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++n;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return n;
}

// USER handles are 0x20 + 2 * index; a zero upper word matches any generation.
// Windows of other processes share the space and are skipped.
long UserByProbe()
{
    const DWORD self = GetCurrentProcessId();
    long n = 0;
    int gap = 0;
    for (ULONG_PTR index = 0; gap < kProbeGap; ++index) {
        const ULONG_PTR value = 0x20 + 2 * index;
        bool used = false;
        if (IsWindow(reinterpret_cast<HWND>(value))) {
            used = true;
            DWORD pid = 0;
            GetWindowThreadProcessId(reinterpret_cast<HWND>(value), &pid);
            if (pid == self) ++n;
        } else if (IsMenu(reinterpret_cast<HMENU>(value))) {
            used = true;
            ++n;
        } else {
            ICONINFO info;
            if (GetIconInfo(reinterpret_cast<HICON>(value), &info)) {
                used = true;
                ++n;
                const CScopedBitmap mask(info.hbmMask), color(info.hbmColor);  // copies made for us
            }
        }
        gap = used ? 0 : gap + 1;
    }
    return n;
}

long long PrivateByWalk()
{
    long long total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    const BYTE* p = nullptr;
    while (VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += static_cast<long long>(mbi.RegionSize);
        const BYTE* next = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p) break;
        p = next;
    }
    return total;
}

}  // namespace

ProcessCounts TakeProcessCounts()
{
    ProcessCounts counts;
    HANDLE process = GetCurrentProcess();
    counts.gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    counts.user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles)) counts.handles = static_cast<long>(handles);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        counts.privateBytes = static_cast<long long>(memory.PrivateUsage);

    const bool wine = IsWine();
    if (counts.gdi == 0 && wine) {
        counts.gdi = GdiFromTable();
        counts.how += "GDI from the GDI handle table; ";
    } else {
        counts.how += "GDI from GetGuiResources; ";
    }
    if (counts.user == 0) {
        counts.user = UserByProbe();
        counts.how += "USER by probing windows, menus, icons and cursors; ";
    } else {
        counts.how += "USER from GetGuiResources; ";
    }
    if (counts.handles == 0) {
        counts.handles = HandlesByProbe();
        counts.how += "handles by probing GetHandleInformation; ";
    } else {
        counts.how += "handles from GetProcessHandleCount; ";
    }
    if (counts.privateBytes == 0) {
        counts.privateBytes = PrivateByWalk();
        counts.how += "private bytes by summing committed private regions";
    } else {
        counts.how += "private bytes from GetProcessMemoryInfo";
    }
    return counts;
}
