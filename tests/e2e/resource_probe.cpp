// resource_probe - how many GDI objects the running zorvane.scr holds, read
// from outside it:
//
//   resource_probe      prints "gdi=N", or "gdi=unknown" where this system
//                       offers no way to count them
//
// GetGuiResources first; where it is a stub (Wine), the in-use entries of
// the process's GDI handle table, which Wine, like older Windows, maps into
// the process and names in its PEB (GdiSharedHandleTable). A probe reads a
// process of its own bitness only.
#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#pragma pack(push, 1)
struct GdiHandleEntry {  // one entry of the table, as Wine lays it out
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;  // 0: free
    uint8_t flags;
    uint64_t user;
};
#pragma pack(pop)

static const size_t kGdiHandles = 0x10000;
static const size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;  // PEB.GdiSharedHandleTable

static DWORD FindSaver()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    DWORD found = 0;
    for (BOOL more = Process32First(snap, &e); more && !found; more = Process32Next(snap, &e))
        if (lstrcmpiA(e.szExeFile, "zorvane.scr") == 0)
            found = e.th32ProcessID;
    CloseHandle(snap);
    return found;
}

static long CountTableEntries(HANDLE process)
{
    PROCESS_BASIC_INFORMATION info = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, &length) != 0)
        return -1;
    void* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(info.PebBaseAddress)) + kPebGdiTable, &table,
                           sizeof table, &got) ||
        !table)
        return -1;
    std::vector<GdiHandleEntry> entries(kGdiHandles);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof entries[0], &got))
        return -1;
    long used = 0;
    for (const GdiHandleEntry& e : entries)
        used += e.type != 0;
    return used;
}

int main()
{
    const DWORD pid = FindSaver();
    HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
    if (!process) {
        std::printf("gdi=unknown\n");
        return 1;
    }
    long count = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    if (count == 0)
        count = CountTableEntries(process);
    CloseHandle(process);
    if (count > 0)
        std::printf("gdi=%ld\n", count);
    else
        std::printf("gdi=unknown\n");
    return 0;
}
