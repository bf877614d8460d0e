// The per-user settings in the registry and the system's mouse settings, as the library's
// tests read and restore them.
#pragma once

#include <windows.h>

#include <string>

#include "machine.h"

char const SettingsKey[] = "Control Panel\\Tamrix\\Mouse";

inline void DeleteSettingsKey()
{
    machine::DeleteTree(HKEY_CURRENT_USER, SettingsKey);
}

inline void SetSetting(char const* name, std::string const& data, DWORD type = REG_SZ)
{
    machine::SetValue(HKEY_CURRENT_USER, SettingsKey, name, machine::Value(type, data));
}

inline machine::Value Setting(char const* name)
{
    return machine::ReadValue(HKEY_CURRENT_USER, SettingsKey, name);
}

// The number of settings; -1 when the key is missing.
inline long SettingsValueCount()
{
    return machine::ValueCount(HKEY_CURRENT_USER, SettingsKey);
}

// The button swap and double-click time are the system's: each test leaves them as found.
class SystemMouseSettings {
public:
    SystemMouseSettings()
        : swapped_(GetSystemMetrics(SM_SWAPBUTTON) != 0)
        , doubleClickTime_(GetDoubleClickTime())
    {
    }
    ~SystemMouseSettings()
    {
        SwapMouseButton(swapped_);
        SetDoubleClickTime(doubleClickTime_);
    }

private:
    bool swapped_;
    UINT doubleClickTime_;
};

