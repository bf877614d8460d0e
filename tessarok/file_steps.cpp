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

bool Exists(char const* path, bool folder)
{
    DWORD const attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

// A file that exists but cannot be deleted now (a running program, a loaded library, a
// protected file) goes when the system restarts, before anything can hold it again. True when
// it was left for the restart; a missing file is simply gone.
bool DeleteNowOrAtRestart(char const* file)
{
    if (DeleteFileA(file) || !Exists(file, false))
        return false;
    return MoveFileExA(file, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

// An empty folder goes now. One that stays goes at the restart when what keeps it goes then
// too: files of its own left for the restart, or the folder itself being in use. A folder kept
// only by files the remover does not delete (the user's own) is left alone; were it left for
// the restart with the others, the system would find it not empty and keep it all the same.
void RemoveFolderNowOrAtRestart(char const* folder, bool filesLeftForRestart)
{
    if (RemoveDirectoryA(folder))
        return;
    bool const keptByFiles = GetLastError() == ERROR_DIR_NOT_EMPTY;
    if (!Exists(folder, true) || (keptByFiles && !filesLeftForRestart))
        return;
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool DeleteJoined(char const* folder, char const* name)
{
    PathBuffer path;
    return JoinPath(path, folder, name) && DeleteNowOrAtRestart(path);
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
    bool leftForRestart = false;
    for (char const* file : InstalledFiles)
        leftForRestart |= DeleteNowOrAtRestart(file);
    RemoveFolderNowOrAtRestart(InstallFolder, leftForRestart);
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
    bool leftForRestart = false;
    for (char const* shortcut : Shortcuts)
        leftForRestart |= DeleteJoined(folder, shortcut);
    RemoveFolderNowOrAtRestart(folder, leftForRestart);
}
