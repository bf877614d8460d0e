#include "paths.h"

#include <cstring>

namespace {

// The folder reads report a text that did not fit by returning the size they would need.
bool FolderFits(UINT length)
{
    return length > 0 && length < MAX_PATH;
}

} // namespace

bool JoinPath(PathBuffer& path, char const* first, char const* second)
{
    std::size_t const firstLength = std::strlen(first);
    std::size_t const secondLength = std::strlen(second);
    if (firstLength + secondLength >= MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    // The two may overlap when a caller extends a path in place.
    std::memmove(path, first, firstLength);
    std::memcpy(path + firstLength, second, secondLength + 1);
    return true;
}

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
