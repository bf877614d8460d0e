#include "file_steps.h"

#include <windows.h>

#include "framework.h"
#include "joinpath.h"

namespace {

char const InstallFolder[] = "c:\\Tamrix";

char const* const InstalledFiles[] = {
    "c:\\Tamrix\\Morvane.dll",   "c:\\Tamrix\\Glovreth.exe", "c:\\Tamrix\\Pupex.exe",
    "c:\\Tamrix\\Pupex.dll",     "c:\\Tamrix\\Brellsio.sys", "c:\\Tamrix\\Tovrexa.sys",
    "c:\\Tamrix\\Tamrix.hlp",    "c:\\Tamrix\\Quellbox.inf",
};

char const* const DriverFiles[] = {"\\Drivers\\brellsio.sys", "\\Drivers\\tovrexa.sys"};

char const ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
char const* const Shortcuts[] = {"\\Lumivane.Lnk", "\\Uninstall.Lnk"};

void DeleteJoined(char const* folder, char const* name)
{
    PathBuffer path;
    if (JoinPath(path, folder, name))
        DeleteFileA(path);
}

// The value's type is not examined, and it need not bring its terminating zero: a shorter
// value is ended here, while one that fills the whole buffer without a zero, like an empty
// one, names no folder that could be used.
bool ReadCommonPrograms(HKEY shellFolders, PathBuffer& folder)
{
    DWORD size = MAX_PATH;
    if (RegQueryValueExA(shellFolders, "Common Programs", nullptr, nullptr, reinterpret_cast<BYTE*>(folder),
                         &size) != ERROR_SUCCESS)
        return false;
    if (size < MAX_PATH)
        folder[size] = '\0';
    else if (!EndsWithin(folder, MAX_PATH))
        return false;
    return folder[0] != '\0';
}

void ShowProgramsPathMissing()
{
    CWinApp const* app = AfxGetApp();
    MessageBoxA(nullptr, "Can't find <Programs> path in registry database!", app ? app->m_pszAppName : nullptr,
                MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void DeleteInstalledFiles()
{
    for (char const* file : InstalledFiles)
        DeleteFileA(file);
    RemoveDirectoryA(InstallFolder);
}

void DeleteDriverFiles()
{
    for (char const* driver : DriverFiles) {
        PathBuffer system;
        UINT const length = GetSystemDirectoryA(system, MAX_PATH);
        // A result of MAX_PATH or more is the size the folder would have needed.
        if (length > 0 && length < MAX_PATH)
            DeleteJoined(system, driver);
    }
}

void DeleteStartMenuShortcuts()
{
    HKEY shellFolders = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ShellFoldersKey, 0, KEY_ALL_ACCESS, &shellFolders) != ERROR_SUCCESS)
        return;
    PathBuffer programs;
    bool const found = ReadCommonPrograms(shellFolders, programs);
    RegCloseKey(shellFolders);
    if (!found) {
        ShowProgramsPathMissing();
        return;
    }

    PathBuffer folder;
    if (!JoinPath(folder, programs, "\\Tamrix"))
        return;
    for (char const* shortcut : Shortcuts)
        DeleteJoined(folder, shortcut);
    RemoveDirectoryA(folder);
}
