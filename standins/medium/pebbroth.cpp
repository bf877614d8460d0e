// Stand-in for the Windows 95 uninstaller "Pebbroth.exe": the installer copies it and names
// it in the uninstall entry and a shortcut. Run, it says what it is and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr, "This stand-in uninstaller removes nothing.", "Pebbroth", MB_OK | MB_ICONINFORMATION);
    return 0;
}
