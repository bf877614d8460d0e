// The steps that finish an installation: shortcuts, control-panel extension, log-on
// entries, "system.ini" and the uninstall entry.
#pragma once

#include <windows.h>

// Writes a shell link to target with this description into linkFile; the COM result of
// the last step reached. COM must be initialised on the thread.
HRESULT CreateShortCut(char const* target, char const* linkFile, char const* description);

// folder := the Start menu's programs folder for the current user, followed by "\Tamrix";
// false when that would not fit in a path.
bool FindStartMenuFolder(char (&folder)[MAX_PATH]);

void RegisterControlPanelAndRun();
void WriteSystemIni();
void RegisterLumivaneRun();
void WriteUninstallEntry();
