// Stand-in for the Lumivane hook library "Pupex.dll". The tray utility loads it by name and
// calls InitTestDLL once the block "PUPEX_SHARE_DATA" is filled; like the real library it is
// given nothing, opens the block by its name and holds it until CloseTestDLL, so that after
// that only the tray utility itself holds it. It records what it saw under
// HKEY_CURRENT_USER "Software\Tamrix Stand-ins\Pupex.dll", where tests read it:
//   "InitCalls", "CloseCalls"   how often each export was called (REG_DWORD)
//   "BlockOpened"               1 when InitTestDLL found the block (REG_DWORD)
//   "BlockAtInit"               the block's 44 bytes as InitTestDLL found them (REG_BINARY)
//   "InitProcess"               the module path of the calling process (REG_SZ)
#include <windows.h>

namespace {

char const RecordKey[] = "Software\\Tamrix Stand-ins\\Pupex.dll";
char const BlockName[] = "PUPEX_SHARE_DATA";
DWORD const BlockSize = 44;

HANDLE blockMapping;
void* blockView;

void WriteRecord(char const* name, DWORD type, void const* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return;
    RegSetValueExA(key, name, 0, type, static_cast<BYTE const*>(data), size);
    RegCloseKey(key);
}

void CountCall(char const* name)
{
    DWORD calls = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof calls;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size))
            calls = 0;
        RegCloseKey(key);
    }
    ++calls;
    WriteRecord(name, REG_DWORD, &calls, sizeof calls);
}

} // namespace

extern "C" void WINAPI InitTestDLL()
{
    CountCall("InitCalls");
    char process[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, process, MAX_PATH);
    WriteRecord("InitProcess", REG_SZ, process, lstrlenA(process) + 1);

    // The block stays open until the library is closed, as the real library keeps watching it.
    blockMapping = OpenFileMappingA(FILE_MAP_READ, FALSE, BlockName);
    blockView = blockMapping ? MapViewOfFile(blockMapping, FILE_MAP_READ, 0, 0, BlockSize) : nullptr;
    DWORD opened = blockView != nullptr;
    WriteRecord("BlockOpened", REG_DWORD, &opened, sizeof opened);
    if (blockView)
        WriteRecord("BlockAtInit", REG_BINARY, blockView, BlockSize);
}

extern "C" void WINAPI CloseTestDLL()
{
    CountCall("CloseCalls");
    if (blockView)
        UnmapViewOfFile(blockView);
    if (blockMapping)
        CloseHandle(blockMapping);
    blockView = nullptr;
    blockMapping = nullptr;
}
