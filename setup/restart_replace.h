// Replacing a file that is in use: the new file waits beside the old one under a temporary
// name, and the system puts it in place at the next restart, before any program can hold the
// old one again.
#pragma once

#include "joinpath.h"

// Whether a destination that did not open for writing is an existing file held by a running
// program (a loaded driver, program or library), as the platform reports it.
bool DestinationInUse(char const* destination, UINT openError);

// temporary := the name of a new empty file in the destination's folder; false when none
// could be made there (a full disk, a read-only medium).
bool CreateTemporaryBeside(char const* destination, PathBuffer& temporary);

// Has the system replace the destination with the temporary file at the next restart:
// Windows 95 through the "[rename]" section of WININIT.INI, Windows NT through MoveFileEx.
bool ReplaceAtRestart(char const* destination, char const* temporary);
