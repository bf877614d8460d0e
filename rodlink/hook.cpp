// The system-wide keyboard hook with which F10 centres the pointer. The hook's handle lives
// in the block, so that every process the hook brings the library into finds it, and any
// process can remove what another installed.
#include "internal.h"

#include "hook.h"

// The call that passes the key on. The hook benchmark builds this file with a counting stub of
// its own in its place, to measure the procedure's own work without the system's; the library
// always passes the key to the system.
#ifdef RODLINK_PASS_ON
LRESULT WINAPI RODLINK_PASS_ON(HHOOK hook, int code, WPARAM virtualKey, LPARAM flags);
#else
#define RODLINK_PASS_ON CallNextHookEx
#endif

namespace rodlink {

namespace {

// The block's field is 32 bits wide on every build. Hook handles are window-manager handles,
// whose upper 32 bits on 64-bit Windows are the sign extension of the lower ones, so
// truncating and sign-extending again gives back the same handle in every process.
DWORD StoreHook(HHOOK hook)
{
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hook));
}

HHOOK LoadHook(DWORD stored)
{
    return reinterpret_cast<HHOOK>(static_cast<LONG_PTR>(static_cast<LONG>(stored)));
}

bool IsFirstPressOfF10(int code, WPARAM virtualKey, LPARAM flags)
{
    LPARAM const previousKeyState = 1 << 30;  // set for auto-repeats and for the release
    return code >= 0 && virtualKey == VK_F10 && !(flags & previousKeyState);
}

} // namespace

LRESULT CALLBACK KeyboardProc(int code, WPARAM virtualKey, LPARAM flags)
{
    if (shared->CursorCenter == 1 && IsFirstPressOfF10(code, virtualKey, flags))
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    // The key always goes on: the window with the focus still gets F10.
    return RODLINK_PASS_ON(LoadHook(shared->KeyboardHook), code, virtualKey, flags);
}

} // namespace rodlink

using namespace rodlink;

BOOL WINAPI InstallHooks()
{
    if (shared->KeyboardHook)
        return 1;  // installed already, by this process or another
    if (!module)
        return 0;
    shared->KeyboardHook = StoreHook(SetWindowsHookExA(WH_KEYBOARD, KeyboardProc, module, 0));
    return shared->KeyboardHook != 0;
}

BOOL WINAPI RemoveHooks()
{
    if (!shared->KeyboardHook)
        return 1;
    if (!UnhookWindowsHookEx(LoadHook(shared->KeyboardHook)))
        return 0;  // kept, so a later call tries again
    shared->KeyboardHook = 0;
    return 1;
}
