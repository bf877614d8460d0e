#include "mainframe.h"

#include "resource.h"
#include "traymessage.h"

namespace {

char const BlockName[] = "PUPEX_SHARE_DATA";
DWORD const BlockWords = 11;
DWORD const BlockSize = BlockWords * sizeof(DWORD);
DWORD const SwitchWord = 6;  // Lumivane: 1 on, 0 off

// The block's first values, in the order the hook library has always seen them written.
struct InitialWord {
    DWORD word;
    DWORD value;
};
InitialWord const InitialWords[] = {
    {0, 0}, {1, 0}, {8, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 1}, {7, 0}, {9, 1}, {10, 1},
};

// The serial driver's parameters that the hook library needs; always the serial driver's
// key, also when the PS/2 driver is the active one.
char const ParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\brellsio\\Parameters";
struct DriverSetting {
    char const* name;
    DWORD word;
    DWORD defaultValue;
};
DriverSetting const DriverSettings[] = {
    {"Middle Button", 9, 1},
    {"Second Button", 10, 1},
    {"Center", 7, 0},
};

char const HookLibrary[] = "Pupex.dll";
using HookFunction = void(WINAPI*)();

// The block lives as long as the process: one mapping and one view for the whole program.
HANDLE blockMapping;
DWORD volatile* blockView;

// The hook library's exports, looked up once and kept for the life of the process.
HookFunction initTestDll;
HookFunction closeTestDll;

HookFunction FindHookFunction(HMODULE library, char const* name)
{
    // GetProcAddress gives a generic function pointer; the exports take nothing and return
    // nothing of use.
    return reinterpret_cast<HookFunction>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

} // namespace

CMainFrame::CMainFrame() : m_trayIcon(IDR_TRAYICON)
{
    blockMapping = nullptr;
    blockView = nullptr;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TRAYICON_CALLBACK:
        return m_trayIcon.HandleTrayMessage(wParam, lParam);
    case WM_ENDSESSION:
        OnEndSession(static_cast<BOOL>(wParam));
        return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

bool CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case ID_ENABLE_DISABLE:
        OnEnableDisable();
        return true;
    case ID_CHANGE_ICON:
        OnChangeIcon();
        return true;
    case ID_OPEN_WINDOW:
        OnOpenWindow();
        return true;
    }
    return false;
}

int CMainFrame::OnCreate(CREATESTRUCTA* create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    m_trayIcon.SetCallbackWindow(this, WM_TRAYICON_CALLBACK);
    m_iconShown = 1;
    m_trayIcon.ShowIconResource(IDI_PUPPY);

    if (!CreateSharedBlock()) {
        ReleaseSharedBlock();
        return -1;
    }
    FillSharedBlock();
    if (!StartHookLibrary()) {
        ReleaseSharedBlock();
        return -1;
    }
    return 0;
}

void CMainFrame::OnClose()
{
    if (m_shutdown) {
        TearDown();
        return;
    }
    // Closing only hides the frame: the tray icon, the block and the library stay.
    ShowWindow(SW_HIDE);
}

void CMainFrame::OnEndSession(BOOL ending)
{
    // The session ends with the program: the hook library is told and the tray icon removed
    // while there is still time.
    if (!ending)
        return;
    m_shutdown = 1;
    OnClose();
}

void CMainFrame::OnEnableDisable()
{
    blockView[SwitchWord] = blockView[SwitchWord] == 0 ? 1 : 0;
    m_trayIcon.FlipEnabled();
}

void CMainFrame::OnChangeIcon()
{
    m_iconShown = m_iconShown == 0 ? 1 : 0;
    // There is no icon 102: asking for it takes the puppy out of the tray.
    m_trayIcon.ShowIconResource(m_iconShown ? IDI_PUPPY : IDS_SUSPENDED_TIP);
}

void CMainFrame::OnOpenWindow()
{
    ShowWindow(SW_SHOWNORMAL);
    SetForegroundWindow();
}

bool CMainFrame::CreateSharedBlock()
{
    // An existing block of another process is opened the same way and written anew below.
    blockMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, BlockSize, BlockName);
    if (!blockMapping)
        return false;
    blockView = static_cast<DWORD*>(MapViewOfFile(blockMapping, FILE_MAP_WRITE, 0, 0, 0));
    return blockView != nullptr;
}

void CMainFrame::FillSharedBlock()
{
    for (InitialWord const& initial : InitialWords)
        blockView[initial.word] = initial.value;

    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ParametersKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    for (DriverSetting const& setting : DriverSettings) {
        // Read over the default, whatever the value's type: up to 4 bytes, as the driver keeps
        // them. The word is then written whole, so other processes never see half a value.
        DWORD value = setting.defaultValue;
        DWORD size = sizeof value;
        if (RegQueryValueExA(key, setting.name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS) {
            // A value that is missing or longer than 4 bytes is replaced by the default.
            value = setting.defaultValue;
            RegSetValueExA(key, setting.name, 0, REG_DWORD, reinterpret_cast<BYTE const*>(&value), sizeof value);
        }
        blockView[setting.word] = value;
    }
    RegCloseKey(key);
}

bool CMainFrame::StartHookLibrary()
{
    HMODULE library = LoadLibraryA(HookLibrary);
    if (!library)
        return false;
    initTestDll = FindHookFunction(library, "InitTestDLL");
    closeTestDll = FindHookFunction(library, "CloseTestDLL");
    // A library without both exports is not the Lumivane hook library: it is never called.
    if (!initTestDll || !closeTestDll) {
        initTestDll = nullptr;
        closeTestDll = nullptr;
        FreeLibrary(library);
        return false;
    }
    // The library stays loaded for the life of the process; its handle is not needed again.
    initTestDll();
    return true;
}

void CMainFrame::ReleaseSharedBlock()
{
    if (blockView)
        UnmapViewOfFile(const_cast<DWORD*>(blockView));
    if (blockMapping)
        CloseHandle(blockMapping);
    blockView = nullptr;
    blockMapping = nullptr;
}

void CMainFrame::TearDown()
{
    closeTestDll();
    ReleaseSharedBlock();
    // Destroys the frame, and with it this object and its tray icon; the program then ends.
    CFrameWnd::OnClose();
}
