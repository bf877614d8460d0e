// Stand-in for the Windows 95 mouse control-panel extension "quorrane.dll": the installer
// only copies it and registers it by file name, so it needs to be no more than a library.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
