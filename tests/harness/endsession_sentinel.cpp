// endsession_sentinel.exe LOGFILE
// Owns a hidden top-level window, so that a restart or log-off request (ExitWindowsEx)
// reaches it, and appends one line to LOGFILE for each WM_QUERYENDSESSION and WM_ENDSESSION.
// Wine ends the process soon after WM_ENDSESSION: every line is on disk before the
// handler returns.
#include "winauto.h"

#include <cstdio>
#include <string>

namespace {

std::string g_logPath;

void AppendLine(const std::string& line)
{
    HANDLE file = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string record = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
}

std::string Describe(const char* name, WPARAM wParam, LPARAM lParam)
{
    char line[128];
    std::snprintf(line, sizeof line, "%s wParam=%llu lParam=0x%08llX", name,
                  static_cast<unsigned long long>(wParam),
                  static_cast<unsigned long long>(static_cast<ULONG_PTR>(lParam)));
    return line;
}

LRESULT CALLBACK SentinelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        AppendLine(Describe("WM_QUERYENDSESSION", wParam, lParam));
        return TRUE;   // never the one to veto a restart
    case WM_ENDSESSION:
        AppendLine(Describe("WM_ENDSESSION", wParam, lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

std::string Unquoted(std::string text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_logPath = Unquoted(commandLine);
    if (g_logPath.empty())
        return 2;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SentinelProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = winauto::kSentinelWindowClass;
    if (!RegisterClassA(&windowClass))
        return 3;
    // Never shown: only top-level windows are asked, visible or not.
    if (!CreateWindowExA(0, winauto::kSentinelWindowClass, "End session sentinel",
                         WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 4;
    AppendLine("started");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
