// Stand-in for the system's "control.exe". It opens no control panel; it records under
// HKEY_CURRENT_USER "Software\Tamrix Stand-ins\control.exe", where tests read it:
//   "Starts"        how often it was started (REG_DWORD)
//   "CommandLine"   its whole command line as it received it (REG_SZ)
//   "ShowWindow"    the show command it was given, or 0xFFFFFFFF without one (REG_DWORD)
#include <windows.h>

namespace {

char const RecordKey[] = "Software\\Tamrix Stand-ins\\control.exe";

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return 1;
    DWORD starts = 0;
    DWORD size = sizeof starts;
    if (RegQueryValueExA(key, "Starts", nullptr, nullptr, reinterpret_cast<BYTE*>(&starts), &size))
        starts = 0;
    ++starts;
    RegSetValueExA(key, "Starts", 0, REG_DWORD, reinterpret_cast<BYTE const*>(&starts), sizeof starts);

    char const* commandLine = GetCommandLineA();
    RegSetValueExA(key, "CommandLine", 0, REG_SZ, reinterpret_cast<BYTE const*>(commandLine),
                   lstrlenA(commandLine) + 1);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    DWORD show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : 0xFFFFFFFF;
    RegSetValueExA(key, "ShowWindow", 0, REG_DWORD, reinterpret_cast<BYTE const*>(&show), sizeof show);
    RegCloseKey(key);
    return 0;
}
