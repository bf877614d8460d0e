// The Start menu folder "Tamrix" and its shortcuts.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "shortcuts.h"

#include "dialogs.h"
#include "paths.h"
#include "state.h"

namespace {

// A registry text of at most MAX_PATH bytes that really ends within the data read.
bool ReadPathValue(HKEY key, char const* name, PathBuffer& path)
{
    DWORD size = sizeof path;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS)
        return false;
    return size > 0 && EndsWithin(path, size);
}

bool ReadProgramsFolder(PathBuffer& programs)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    bool const read = ReadPathValue(key, "Programs", programs);
    RegCloseKey(key);
    return read;
}

// One shortcut in the folder, with COM alive just for it.
void CreateShortCutIn(char const* folder, char const* target, char const* name)
{
    PathBuffer description;
    PathBuffer linkFile;
    if (!JoinPath(description, folder, name) || !JoinPath(linkFile, description, ".Lnk"))
        return;
    CoInitialize(nullptr);
    CreateShortCut(target, linkFile, description);
    CoUninitialize();
}

} // namespace

HRESULT CreateShortCut(char const* target, char const* linkFile, char const* description)
{
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result))
        return result;
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(result)) {
        link->Release();
        return result;
    }
    link->SetPath(target);
    link->SetDescription(description);
    WCHAR widePath[MAX_PATH];
    result = E_INVALIDARG;
    if (MultiByteToWideChar(CP_ACP, 0, linkFile, -1, widePath, MAX_PATH) > 0) {
        result = file->Save(widePath, TRUE);
        if (FAILED(result))
            MessageBoxA(nullptr, "Save Failed!", "CreateShortCut", MB_OK);
    }
    file->Release();
    link->Release();
    return result;
}

bool FindStartMenuFolder(PathBuffer& folder)
{
    PathBuffer programs;
    if (ReadProgramsFolder(programs))
        return JoinPath(folder, programs, "\\Tamrix");
    return WindowsFolderPath(folder, "\\Start Menu\\Programs\\Tamrix");
}

void CCopyFilesDlg::CreateStartMenuShortcuts()
{
    PathBuffer folder;
    if (FindStartMenuFolder(folder)) {
        CreateDirectoryA(folder, nullptr);
        if (LumivaneChoice == 1)
            CreateShortCutIn(folder, "c:\\Tamrix\\Pupex.exe", "\\Lumivane");
        CreateShortCutIn(folder, "c:\\Tamrix\\Pebbroth.exe", "\\Uninstall");
    }
    ShowProgress(100);
}
