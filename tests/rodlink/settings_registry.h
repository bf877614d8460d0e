// The per-user settings in the registry and the system's mouse settings, as the library's
// tests read and restore them.
#pragma once

#include <windows.h>

#include <string>

char const SettingsKey[] = "Control Panel\\Tamrix\\Mouse";

inline void DeleteSettingsKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
}

inline void SetSetting(char const* name, std::string const& data, DWORD type = REG_SZ)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, name, type, data.data(), static_cast<DWORD>(data.size()));
}

// A value's type and raw bytes; type 0 when it is missing.
struct RawValue {
    DWORD type = 0;
    std::string data;
};

inline RawValue Setting(char const* name)
{
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    char data[64];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
        value.data.assign(data, size);
    RegCloseKey(key);
    return value;
}

inline DWORD SettingsValueCount()
{
    HKEY key;
    DWORD count = 0xFFFFFFFF;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
    }
    return count;
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

