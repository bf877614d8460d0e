// winauto_testee.exe MODE: the stand-in program that winauto's self-test drives.
//   dialog   a modal wizard-like dialog; exits with the id that ended it
//   msgbox   a plain MB_OK message box; exits with its result
//   tray     a tray icon with a popup menu; each action shows in the icon's tip
//   version  exits with GetVersion()
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "winauto_testee.h"

namespace {

// ---- dialog ----

void OnInitDialog(HWND dialog)
{
    CheckRadioButton(dialog, IDC_SLOW, IDC_FAST, IDC_MEDIUM);
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 200));
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, 50, 0);
    SetDlgItemTextA(dialog, IDC_NAME, "Ada");
}

void AskQuestion(HWND dialog)
{
    const int answer = MessageBoxA(dialog, "Do you want to continue?", "Testee question",
                                   MB_YESNO | MB_ICONQUESTION);
    char text[32];
    wsprintfA(text, "Answer %d", answer);
    SetDlgItemTextA(dialog, IDC_ANSWER, text);
}

INT_PTR CALLBACK TesteeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ASK:
            AskQuestion(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL:
        case IDC_FINISH:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

int RunDialog(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TESTEE), nullptr, TesteeDialogProc, 0));
}

// ---- tray ----

UINT const WM_TRAYNOTIFY = WM_APP + 1;
UINT const kIconId = 1;

NOTIFYICONDATAA TrayRecord(HWND window)
{
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uID = kIconId;
    return record;
}

void SetTip(HWND window, const char* tip)
{
    NOTIFYICONDATAA record = TrayRecord(window);
    record.uFlags = NIF_TIP;
    lstrcpynA(record.szTip, tip, 64);
    Shell_NotifyIconA(NIM_MODIFY, &record);
}

bool AddTrayIcon(HWND window)
{
    NOTIFYICONDATAA record = TrayRecord(window);
    record.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));   // IDI_APPLICATION
    // The process id tells apart the icons of tests that run side by side.
    wsprintfA(record.szTip, "Testee tray tip %lu", GetCurrentProcessId());
    return Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
}

void RemoveTrayIcon(HWND window)
{
    NOTIFYICONDATAA record = TrayRecord(window);
    Shell_NotifyIconA(NIM_DELETE, &record);
}

void ShowTrayMenu(HWND window)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, IDM_OPEN, "&Open");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_PROPERTIES, "&Properties");
    AppendMenuA(menu, MF_STRING, IDM_EXIT, "E&xit");
    POINT at{};
    GetCursorPos(&at);
    // Or the menu will not disappear when the user clicks away.
    SetForegroundWindow(window);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                      window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);

    if (chosen == IDM_EXIT) {
        DestroyWindow(window);
        return;
    }
    char tip[64] = "Menu dismissed";
    if (chosen)
        wsprintfA(tip, "Chose %d", chosen);
    SetTip(window, tip);
}

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return AddTrayIcon(window) ? 0 : -1;
    case WM_TRAYNOTIFY:
        if (lParam == WM_RBUTTONUP)
            ShowTrayMenu(window);
        else if (lParam == WM_LBUTTONDBLCLK)
            SetTip(window, "Double-clicked");
        return 0;
    case WM_DESTROY:
        RemoveTrayIcon(window);
        PostQuitMessage(IDM_EXIT);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunTray(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TrayWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "WinautoTesteeTray";
    RegisterClassA(&windowClass);
    if (!CreateWindowExA(0, windowClass.lpszClassName, "Testee tray", WS_OVERLAPPED, 0, 0, 0,
                         0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const std::string mode = commandLine;
    if (mode == "dialog")
        return RunDialog(instance);
    if (mode == "msgbox")
        return MessageBoxA(nullptr, "Plain text", "Testee box", MB_OK);
    if (mode == "tray")
        return RunTray(instance);
    if (mode == "version")
        return static_cast<int>(GetVersion());
    return -1;
}
