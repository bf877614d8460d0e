#include "registry.h"

HKEY CreateKey(HKEY root, char const* path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SetString(HKEY key, char const* name, char const* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<BYTE const*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
}
