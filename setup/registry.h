// The installer's registry writes, alike for the device registration and the settings: a key
// is created or opened with full access and no class, a string stored with its terminator.
#pragma once

#include <windows.h>

// The key, created when missing; nullptr when it can be neither created nor opened.
HKEY CreateKey(HKEY root, char const* path);
// A REG_SZ value of the text and its terminating zero; the result is not looked at.
void SetString(HKEY key, char const* name, char const* text);
