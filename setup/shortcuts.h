// The Start menu folder "Tamrix" and its shell links.
#pragma once

#include <windows.h>

#include "joinpath.h"

// Writes a shell link to target with this description into linkFile; the COM result of
// the last step reached. COM must be initialised on the thread.
HRESULT CreateShortCut(char const* target, char const* linkFile, char const* description);

// folder := the Start menu's programs folder for the current user, followed by "\Tamrix";
// false when that would not fit in a path.
bool FindStartMenuFolder(PathBuffer& folder);
