// The button functions, the key table the driver receives for them, and the settings saved
// per user in the registry.
#include "internal.h"

#include "settings.h"

namespace rodlink {

char const* const ButtonFunctionNames[ButtonFunctionCount] = {
    "(Unassigned)", "Double-Click", "Start", "Next Task", "F1(Help)", "Escape", "Delete", "Backspace", "Return",
    "Close Windows", "Lumivane", "Undo", "Cut to Clipboard", "Copy to Clipboard", "Page Up", "Page Down",
};

namespace {

char const SettingsKey[] = "Control Panel\\Tamrix\\Mouse";
DWORD const ValueSize = 20;  // every value is stored as exactly 20 bytes

// The keystrokes of button functions 2 to 12: a single key, or a modifier and a key.
BYTE const FirstKeys[KeyTableEntries] = {
    VK_CONTROL, VK_MENU, VK_F1, VK_ESCAPE, VK_DELETE, VK_BACK, VK_RETURN, VK_MENU, 0, 0, 0,
};
BYTE const SecondKeys[KeyTableEntries] = {
    VK_ESCAPE, VK_ESCAPE, 0, 0, 0, 0, 0, VK_F4, 0, 0, 0,
};

// A text of at most 20 characters read from the registry, terminated even when the stored
// bytes are not.
struct ValueText {
    char text[ValueSize + 1];
};

// Reads a value into a cleared buffer, so a failed read leaves an empty text behind rather
// than whatever an earlier read put there.
bool ReadValue(HKEY key, char const* name, ValueText& value)
{
    ZeroMemory(&value, sizeof value);
    DWORD size = ValueSize;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.text), &size) == ERROR_SUCCESS)
        return true;
    ZeroMemory(&value, sizeof value);  // a value too long for the buffer may have left part of itself
    return false;
}

void WriteValue(HKEY key, char const* name, char const* text)
{
    char data[ValueSize] = {};
    lstrcpynA(data, text, ValueSize);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<BYTE const*>(data), ValueSize);
}

void WriteNumber(HKEY key, char const* name, unsigned number)
{
    char text[ValueSize];
    wsprintfA(text, "%u", number);
    WriteValue(key, name, text);
}

void ReadButton(HKEY key, char const* name, BYTE& field)
{
    ValueText value;
    ReadValue(key, name, value);
    field = static_cast<BYTE>(NameToIndex(value.text));
}

void ReadNumber(HKEY key, char const* name, BYTE& field)
{
    ValueText value;
    if (ReadValue(key, name, value))
        field = static_cast<BYTE>(TextToNumber(value.text));
}

void ReadSettings(HKEY key)
{
    ReadButton(key, "Middle Button", shared->MiddleButton);
    ReadButton(key, "Second Button", shared->SecondButton);
    ReadNumber(key, "Sensivity", shared->Sensitivity);
    ReadNumber(key, "Acceleration", shared->Acceleration);
    ReadNumber(key, "Three Key", shared->ThreeKey);
    ReadNumber(key, "Cursor Center", shared->CursorCenter);
    ValueText swap;
    if (ReadValue(key, "SwapMouseButtons", swap))
        shared->SwapButtons = swap.text[0] == '1' ? 1 : 0;
}

} // namespace

void BuildKeyTable(BYTE (&table)[KeyTableSize])
{
    ZeroMemory(table, KeyTableSize);
    for (int entry = 0; entry < KeyTableEntries; ++entry) {
        table[2 * entry] = FirstKeys[entry];
        table[KeyTableSize / 2 + 2 * entry] = SecondKeys[entry];
    }
}

void FillScanCodes(BYTE (&table)[KeyTableSize])
{
    for (int slot = 0; slot < KeyTableSize; slot += 2)
        table[slot + 1] = static_cast<BYTE>(MapVirtualKeyA(table[slot], 0));
}

DWORD TextToNumber(char const* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '+' || *text == '-')
        ++text;
    DWORD number = 0;  // unsigned, so it wraps modulo 2^32
    for (; *text >= '0' && *text <= '9'; ++text)
        number = number * 10 + static_cast<DWORD>(*text - '0');
    return negative ? 0u - number : number;
}

int NameToIndex(char const* text)
{
    for (int index = 0; index < RecognisedNames; ++index)
        if (lstrcmpiA(text, ButtonFunctionNames[index]) == 0)
            return index;
    return 0;
}

char const* IndexToName(BYTE index)
{
    // Any process may write the block: an index without a name is saved as unassigned
    // instead of reading past the table.
    return index < ButtonFunctionCount ? ButtonFunctionNames[index] : ButtonFunctionNames[0];
}

} // namespace rodlink

using namespace rodlink;

BOOL WINAPI InitButton()
{
    BYTE keyTable[KeyTableSize];
    BuildKeyTable(keyTable);
    shared->Acceleration = 1;
    shared->Sensitivity = 60;
    FillScanCodes(keyTable);
    Control(SendKeyTable, keyTable, KeyTableSize, nullptr, 0);

    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) == ERROR_SUCCESS) {
        // A key made just now is left empty: nothing to read, nothing written.
        if (disposition == REG_OPENED_EXISTING_KEY)
            ReadSettings(key);
        RegCloseKey(key);
    }

    SwapMouseButton(shared->SwapButtons != 0);
    shared->DoubleClickTime = GetDoubleClickTime();
    return SendDriverSettings();
}

LONG WINAPI UpdateButtonStatus()
{
    SendDriverSettings();

    HKEY key;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_ALL_ACCESS, &key);
    if (opened != ERROR_SUCCESS)
        return opened;

    WriteValue(key, "Middle Button", IndexToName(shared->MiddleButton));
    WriteValue(key, "Second Button", IndexToName(shared->SecondButton));
    bool swapped = shared->SwapButtons != 0;
    SwapMouseButton(swapped);
    WriteValue(key, "SwapMouseButtons", swapped ? "1" : "0");
    DWORD doubleClickTime = shared->DoubleClickTime;
    SetDoubleClickTime(doubleClickTime);
    char text[ValueSize];
    wsprintfA(text, "%d", static_cast<int>(doubleClickTime));  // the time is saved as a signed number
    WriteValue(key, "DoubleClickSpeed", text);
    WriteNumber(key, "Sensivity", shared->Sensitivity);
    WriteNumber(key, "Acceleration", shared->Acceleration);
    WriteNumber(key, "Three Key", shared->ThreeKey);
    WriteNumber(key, "Cursor Center", shared->CursorCenter);
    return RegCloseKey(key);
}
