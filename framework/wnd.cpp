#include "framework.h"

namespace {

// The object behind each window of the program lives in a window property, so that frames
// and dialogs find it alike.
char const ObjectProperty[] = "FrameworkObject";

// The frame's title: its string up to the first "\n".
void FrameTitle(UINT resourceId, char* title, int size)
{
    title[0] = '\0';
    LoadStringA(AfxGetInstanceHandle(), resourceId, title, size);
    char* end = title;
    while (*end && *end != '\n')
        ++end;
    *end = '\0';
}

// One window class per frame resource, carrying that resource's icon.
bool RegisterFrameClass(char const* name, UINT resourceId, WNDPROC procedure)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(AfxGetInstanceHandle(), name, &wc))
        return true;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(resourceId));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

// The creation parameter of a frame's window: the frame, and whether its procedure took the
// window over. The system sends WM_NCCREATE only once the window holds its menu; from then on
// a refused creation destroys the window, and with it the menu and the frame.
struct FrameCreation {
    CFrameWnd* frame;
    bool attached;
};

} // namespace

CWnd* CWnd::FromHandle(HWND window)
{
    return static_cast<CWnd*>(GetPropA(window, ObjectProperty));
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropA(window, ObjectProperty, this);
}

void CWnd::Detach()
{
    if (m_hWnd)
        RemovePropA(m_hWnd, ObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style)
{
    char windowClass[32];
    wsprintfA(windowClass, "FrameWnd:%u", resourceId);
    if (!RegisterFrameClass(windowClass, resourceId, FrameProc)) {
        delete this;
        return FALSE;
    }
    char title[256] = "";
    if (style & FWS_ADDTOTITLE)
        FrameTitle(resourceId, title, sizeof title);
    HINSTANCE instance = AfxGetInstanceHandle();
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));

    // The frame's own procedure takes over from WM_NCCREATE on; a creation refused after that
    // destroys the window, its menu and this object before CreateWindowEx returns.
    FrameCreation creation = {this, false};
    HWND window = CreateWindowExA(0, windowClass, title, style & ~FWS_ADDTOTITLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, &creation);
    if (window)
        return TRUE;
    // Refused before the window existed: nothing took the menu or this object over.
    if (!creation.attached) {
        if (menu)
            DestroyMenu(menu);
        delete this;
    }
    return FALSE;
}

LRESULT CALLBACK CFrameWnd::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* frame = static_cast<CFrameWnd*>(FromHandle(window));
    if (!frame && message == WM_NCCREATE) {
        auto* creation = static_cast<FrameCreation*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        creation->attached = true;
        frame = creation->frame;
        frame->Attach(window);
    }
    if (!frame)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = frame->Default(message, wParam, lParam);
        frame->Detach();
        frame->PostNcDestroy();
        return result;
    }
    return frame->WindowProc(message, wParam, lParam);
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        if (OnCommand(id))
            return 0;
        CWinApp* app = AfxGetApp();
        if (app && app->OnCommand(id))
            return 0;
        break;
    }
    case WM_DESTROY:
        if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this) {
            AfxGetApp()->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        break;
    }
    return Default(message, wParam, lParam);
}

LRESULT CFrameWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

int CFrameWnd::OnCreate(CREATESTRUCTA*)
{
    return 0;
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}
