#include "paths.h"

namespace {

// The folder reads report a text that did not fit by returning the size they would need.
bool FolderFits(UINT length)
{
    return length > 0 && length < MAX_PATH;
}

} // namespace

bool CurrentDirectoryPath(PathBuffer& path, char const* name)
{
    PathBuffer folder;
    return FolderFits(GetCurrentDirectoryA(MAX_PATH, folder)) && JoinPath(path, folder, name);
}

bool SystemFolderPath(PathBuffer& path, char const* name)
{
    PathBuffer folder;
    return FolderFits(GetSystemDirectoryA(folder, MAX_PATH)) && JoinPath(path, folder, name);
}

bool WindowsFolderPath(PathBuffer& path, char const* name)
{
    PathBuffer folder;
    return FolderFits(GetWindowsDirectoryA(folder, MAX_PATH)) && JoinPath(path, folder, name);
}
