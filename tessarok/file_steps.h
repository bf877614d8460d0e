// The remover's file steps: the installed files and their folder, the NT driver files of
// both ports, and the Start menu shortcuts with their folder. Whatever is in use or protected
// is deleted when the system restarts, the folders after their files; only the named files
// and folders are ever deleted, now or then.
#pragma once

void DeleteInstalledFiles();
void DeleteDriverFiles();
// Without a usable "Common Programs" folder in the registry the user is told so, once.
void DeleteStartMenuShortcuts();
