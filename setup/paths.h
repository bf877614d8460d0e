// The installer's paths below the system's folders: a path that would not fit is refused
// whole, never cut short.
#pragma once

#include "joinpath.h"

// path := the folder followed by name ("\\name.ext"); false when the folder cannot be read or
// the whole would not fit.
bool CurrentDirectoryPath(PathBuffer& path, char const* name);
bool SystemFolderPath(PathBuffer& path, char const* name);
bool WindowsFolderPath(PathBuffer& path, char const* name);
