// A window that takes the keyboard focus and logs every key it receives, for the tests of
// the cursor-centre hook: the hook runs in this process, and the key must still arrive.
//   keytarget.exe LOG
// Each line: "down"/"up", the virtual-key code in hex, and "repeat" when the previous-state
// bit is set.
#include <windows.h>

#include <cstdio>

namespace {

char const* logPath;

void LogKey(char const* what, WPARAM key, LPARAM flags)
{
    if (FILE* log = std::fopen(logPath, "a")) {
        std::fprintf(log, "%s %02x%s\n", what, static_cast<unsigned>(key), (flags & (1 << 30)) ? " repeat" : "");
        std::fclose(log);
    }
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // F10 is a system key; taking it here keeps the window out of menu mode.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        LogKey("down", wParam, lParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        LogKey("up", wParam, lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    logPath = commandLine;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KeyTarget";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("KeyTarget", "Key Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
