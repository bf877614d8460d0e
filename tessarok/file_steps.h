// The remover's file steps: the installed files and their folder, the NT driver files of
// both ports, and the Start menu shortcuts with their folder. Whatever is missing, in use or
// protected stays; only the named files and folders are ever deleted.
#pragma once

void DeleteInstalledFiles();
void DeleteDriverFiles();
// Without a usable "Common Programs" folder in the registry the user is told so, once.
void DeleteStartMenuShortcuts();
