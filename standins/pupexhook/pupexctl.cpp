// A console look at the tray utility from outside, for the demo:
//   pupexctl block        prints the eleven 32-bit words of "PUPEX_SHARE_DATA", one a line,
//                         as the hook library sees them (exit code 1 when no process holds it)
//   pupexctl endsession   tells the tray utility's frame that the session ends, as Windows
//                         does at log-off, and waits until the program is gone
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int PrintBlock()
{
    DWORD const words = 11;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "PUPEX_SHARE_DATA");
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, words * sizeof(DWORD)) : nullptr;
    if (!view) {
        std::printf("pupexctl: no block \"PUPEX_SHARE_DATA\" (error %lu)\n", GetLastError());
        if (mapping)
            CloseHandle(mapping);
        return 1;
    }
    DWORD const* block = static_cast<DWORD const*>(view);
    for (DWORD i = 0; i < words; ++i)
        std::printf("  word %2lu = %lu\n", i, block[i]);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return 0;
}

int EndSession()
{
    HWND frame = FindWindowA(nullptr, "Lumivane Application");
    if (!frame) {
        std::printf("pupexctl: the tray utility does not run\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(frame, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &result);
    bool const ended = process && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    if (process)
        CloseHandle(process);
    std::printf("pupexctl: the tray utility %s\n", ended ? "ended" : "still runs");
    return ended ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "block") == 0)
        return PrintBlock();
    if (argc == 2 && std::strcmp(argv[1], "endsession") == 0)
        return EndSession();
    std::fprintf(stderr, "usage: pupexctl block | endsession\n");
    return 2;
}
