#include "trayapp.h"

#include <windows.h>

#include <new>

#include "mainframe.h"
#include "resource.h"

namespace {

// This program's own frame, and the main window of another program of ours that must not
// run beside it.
char const OwnTitle[] = "Lumivane Application";
char const RivalTitle[] = "Dartvane Application";

// The package's NT mouse driver services: serial, then PS/2.
char const* const DriverServiceKeys[] = {
    "SYSTEM\\CurrentControlSet\\Services\\Brellsio",
    "SYSTEM\\CurrentControlSet\\Services\\Tovrexa",
};
DWORD const SystemStart = 1;

struct HandlerKey {
    HKEY root;
    char const* parent;
    char const* subkey;
};
// In this order: the class key can go only once its one subkey is gone.
HandlerKey const HandlerKeys[] = {
    {HKEY_CLASSES_ROOT, "CLSID\\{4753B0A0-79BB-101B-AE4B-00AA00373B20}", "InProcServer32"},
    {HKEY_CLASSES_ROOT, "CLSID", "{4753B0A0-79BB-101B-AE4B-00AA00373B20}"},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers",
     "Quellbox CPL"},
};

CTrayApp theApp;

bool IsAlreadyRunning()
{
    return FindWindowA(nullptr, OwnTitle) || FindWindowA(nullptr, RivalTitle);
}

// Whether the service starts with the system; a key or value that cannot be read says no.
bool StartsWithSystem(char const* serviceKey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, serviceKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    DWORD start = 0;
    DWORD size = sizeof start;
    bool const read =
        RegQueryValueExA(key, "Start", nullptr, nullptr, reinterpret_cast<BYTE*>(&start), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && start == SystemStart;
}

bool IsDriverServiceActive()
{
    for (char const* serviceKey : DriverServiceKeys)
        if (StartsWithSystem(serviceKey))
            return true;
    return false;
}

} // namespace

void RemoveHandlerRegistration()
{
    for (HandlerKey const& handler : HandlerKeys) {
        HKEY parent;
        if (RegOpenKeyExA(handler.root, handler.parent, 0, KEY_READ | KEY_WRITE, &parent) != ERROR_SUCCESS)
            continue;
        RegDeleteKeyA(parent, handler.subkey);
        RegCloseKey(parent);
    }
}

BOOL CTrayApp::InitInstance()
{
    // The command line, the install folder from the start-up entry, is of no use here.
    if (IsAlreadyRunning())
        return FALSE;
    if (!IsDriverServiceActive()) {
        RemoveHandlerRegistration();
        return FALSE;
    }

    auto* frame = new (std::nothrow) CMainFrame;
    if (!frame)
        return FALSE;
    // A frame that fails to load has already deleted itself, tray icon and all.
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE;
    frame->ShowWindow(SW_HIDE);
    frame->UpdateWindow();
    m_pMainWnd = frame;
    return TRUE;
}

bool CTrayApp::OnCommand(UINT id)
{
    if (id == ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    return CWinApp::OnCommand(id);
}

void CTrayApp::OnAppAbout()
{
    CDialog about(IDD_ABOUTBOX);
    about.DoModal();
}
