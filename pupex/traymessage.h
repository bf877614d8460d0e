// The message the puppy's tray icon sends the frame, which hands it on to the tray object:
// one number for the program, for other programs that send it, and for its tests.
#pragma once

#include <windows.h>

UINT const WM_TRAYICON_CALLBACK = WM_USER;
