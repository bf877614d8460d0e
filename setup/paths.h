// Paths in fixed buffers of MAX_PATH characters, as the system's own calls hand them out:
// a path that would not fit is refused whole, never cut short.
#pragma once

#include <windows.h>

using PathBuffer = char[MAX_PATH];

// path := first followed by second; false, with path emptied, when that would not fit.
bool JoinPath(PathBuffer& path, char const* first, char const* second);

// path := the folder followed by name ("\\name.ext"); false when the folder cannot be read or
// the whole would not fit.
bool CurrentDirectoryPath(PathBuffer& path, char const* name);
bool SystemFolderPath(PathBuffer& path, char const* name);
bool WindowsFolderPath(PathBuffer& path, char const* name);
