// Attaching to the settings block and the driver, and the small exports that only talk to
// the driver.
#include "internal.h"

namespace rodlink {

HINSTANCE module;
HANDLE mapping;
MouseShareData* shared;
HANDLE device;

bool Control(ControlCode code, void const* input, DWORD inputSize, void* output, DWORD outputSize)
{
    DWORD returned;  // the driver's count is of no use to any caller
    return DeviceIoControl(device, code, const_cast<void*>(input), inputSize, output, outputSize, &returned,
                           nullptr) != FALSE;
}

bool SendDriverSettings()
{
    return Control(SendSettings, shared, DRIVER_SETTINGS_SIZE, nullptr, 0);
}

namespace {

void Release()
{
    if (shared)
        UnmapViewOfFile(shared);
    if (mapping)
        CloseHandle(mapping);
    shared = nullptr;
    mapping = nullptr;
}

// The library never makes a block of its own: one that this call has just created, which
// nobody else holds, counts as missing and goes again when its only handle is closed.
bool AttachToBlock()
{
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, MOUSE_SHARE_DATA_SIZE,
                                 MOUSE_SHARE_DATA_NAME);
    if (!mapping || GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    shared = static_cast<MouseShareData*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    return shared != nullptr;
}

bool OpenDevice()
{
    // Creation disposition 0 and delete-on-close are how the driver is opened on Windows 95.
    device = CreateFileA("\\\\.\\TAMRIX", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return device != INVALID_HANDLE_VALUE;
}

} // namespace

} // namespace rodlink

using namespace rodlink;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        module = instance;
        if (AttachToBlock() && OpenDevice())
            return TRUE;
        Release();
        return FALSE;
    case DLL_PROCESS_DETACH:
        // The device stays open until the process ends, and a hook stays installed: only
        // RemoveHooks removes it, from whichever process.
        Release();
        return TRUE;
    default:
        return TRUE;
    }
}

BOOL WINAPI EnableDisableStatus(int status)
{
    shared->EnableStatus = static_cast<BYTE>(status);
    return SendDriverSettings();
}

BOOL WINAPI GetMouseInfo(void* buffer, DWORD size)
{
    return Control(ReadMouseInfo, nullptr, 0, buffer, size);
}

BOOL WINAPI RemoveDrvRegistry()
{
    return Control(RemoveRegistry, nullptr, 0, nullptr, 0);
}
