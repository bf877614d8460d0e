#include "framework.h"

#include <commctrl.h>

namespace {

CWinApp* theApp;

// The program file's name without its folder and extension, cut to fit the buffer.
void ModuleBaseName(char* name, int size)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    char const* start = path;
    char const* dot = nullptr;
    for (char const* c = path; *c; ++c) {
        if (*c == '\\' || *c == '/') {
            start = c + 1;
            dot = nullptr;
        } else if (*c == '.') {
            dot = c;
        }
    }
    int count = dot ? static_cast<int>(dot - start) : lstrlenA(start);
    // lstrcpynA counts the terminator in its size.
    lstrcpynA(name, start, count + 1 < size ? count + 1 : size);
}

} // namespace

bool CCmdTarget::OnCommand(UINT)
{
    return false;
}

CWinApp::CWinApp(char const* appName)
{
    theApp = this;
    if (appName)
        lstrcpynA(m_appName, appName, sizeof m_appName);
}

CWinApp::~CWinApp()
{
    theApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return theApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return GetModuleHandleA(nullptr);
}

bool CWinApp::OnCommand(UINT id)
{
    if (id == ID_APP_EXIT && m_pMainWnd) {
        m_pMainWnd->SendMessage(WM_CLOSE);
        return true;
    }
    return false;
}

BOOL CWinApp::Enable3dControls()
{
    // Windows 95 and NT 4.0 draw dialogs in three dimensions themselves; what the programs
    // need is the common controls' window classes, the progress bar among them.
    InitCommonControls();
    return TRUE;
}

int CWinApp::Run()
{
    // Resources cannot be read before the program runs, so the name is settled here.
    if (!m_appName[0])
        LoadStringA(AfxGetInstanceHandle(), AFX_IDS_APP_TITLE, m_appName, sizeof m_appName);
    if (!m_appName[0])
        ModuleBaseName(m_appName, sizeof m_appName);
    m_pszAppName = m_appName;

    if (!InitInstance())
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
