#include "framework.h"

#include <commctrl.h>

namespace {

CWinApp* theApp;

std::string LoadResourceString(UINT id)
{
    char text[256];
    int length = LoadStringA(AfxGetInstanceHandle(), id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

std::string ModuleBaseName()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name.erase(0, name.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
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
        m_appName = appName;
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
    if (m_appName.empty())
        m_appName = LoadResourceString(AFX_IDS_APP_TITLE);
    if (m_appName.empty())
        m_appName = ModuleBaseName();
    m_pszAppName = m_appName.c_str();

    if (!InitInstance())
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
