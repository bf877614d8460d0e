#include "registration.h"

#include <windows.h>

#include "paths.h"
#include "registry.h"

char MouseClassInstance[20];

namespace {

char const ClassKey[] = "SYSTEM\\CurrentControlSet\\Services\\Class\\";
char const BiosMouseKey[] = "Enum\\BIOS\\*PNP0F13";

// The data lengths of "Driver": the system's loader reads the value at the length it wrote.
DWORD const RootDriverLength = 20;
DWORD const BiosDriverLength = MAX_PATH;

struct PortRegistration {
    char const* description;
    char const* hardwareId;
    char const* section;   // "InfSection" and "MouseType"
    bool switchType;
};

PortRegistration const Serial = {"Tamrix on Serial Port", "*PNP0F0C", "Serial", true};
PortRegistration const Ps2 = {"Tamrix on PS/2 Port", "BIOS\\*PNP0F13,*PNP0F13", "PS2", false};

HKEY OpenKey(char const* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool KeyExists(char const* path)
{
    HKEY key = OpenKey(path);
    if (!key)
        return false;
    RegCloseKey(key);
    return true;
}

// The name of the subkey at this index, in a buffer of MAX_PATH.
bool SubkeyAt(HKEY key, DWORD index, char* name)
{
    DWORD length = MAX_PATH;
    return RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The text, its terminator, then zero bytes up to the length.
void SetPaddedString(HKEY key, char const* name, char const* text, DWORD length)
{
    char data[MAX_PATH] = {};
    // lstrcpynA counts the terminator in its size.
    lstrcpynA(data, text, length);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<BYTE const*>(data), length);
}

// Deletes a key with everything below it. Windows 95's RegDeleteKeyA would take the subtree
// in one call, but NT's refuses a key with subkeys and Wine's Windows 95 emulation stops
// after the first of several: going down the tree works the same everywhere. A subkey that
// stays (one that cannot be opened or deleted) is passed over, so that the rest still goes
// and the walk always ends; the listing tells, since it names the subkey still at its place.
void DeleteKeyTree(HKEY parent, char const* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char subkey[MAX_PATH];
        char next[MAX_PATH];
        for (DWORD index = 0; SubkeyAt(key, index, subkey);) {
            DeleteKeyTree(key, subkey);
            if (SubkeyAt(key, index, next) && lstrcmpiA(next, subkey) == 0)
                ++index;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(parent, name);
}

// Deletes a key below "Enum\Root" with all its instances.
void DeleteRootKey(char const* name)
{
    HKEY root = OpenKey("Enum\\Root");
    if (!root)
        return;
    DeleteKeyTree(root, name);
    RegCloseKey(root);
}

void WriteDeviceKey(HKEY key, PortRegistration const& port, char const* driver, DWORD driverLength)
{
    BYTE const configFlags[4] = {};
    SetString(key, "Class", "Mouse");
    RegSetValueExA(key, "ConfigFlags", 0, REG_BINARY, configFlags, sizeof configFlags);
    SetString(key, "DeviceDesc", port.description);
    SetPaddedString(key, "Driver", driver, driverLength);
    SetString(key, "HardwareID", port.hardwareId);
    SetString(key, "Mfg", "Norvel");
    RegCloseKey(key);
}

void WriteDriverInstanceKey(char const* instance, PortRegistration const& port)
{
    PathBuffer path;
    if (!JoinPath(path, ClassKey, instance))
        return;
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, path);
    if (!key)
        return;
    SetString(key, "DevLoader", "*vmouse");
    SetString(key, "DriverDesc", port.description);
    SetString(key, "InfPath", "quellbox.inf");
    SetString(key, "InfSection", port.section);
    SetString(key, "MouseDriver", "tamrix.vxd");
    SetString(key, "MouseType", port.section);
    SetString(key, "NoSetupUI", "1");
    if (port.switchType)
        SetString(key, "SwitchType", "1");
    RegCloseKey(key);
}

// The first instance of the BIOS mouse, when the system found one.
bool FindBiosMouse(char (&instance)[20])
{
    HKEY key = OpenKey(BiosMouseKey);
    if (!key)
        return false;
    DWORD length = sizeof instance;
    bool const found = RegEnumKeyExA(key, 0, instance, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

// The driver instance the system gave the BIOS mouse: a terminated text that names a key
// below the class key, or nothing.
bool ReadBiosDriver(HKEY device, PathBuffer& driver)
{
    DWORD size = sizeof driver;
    if (RegQueryValueExA(device, "Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(driver), &size) != ERROR_SUCCESS)
        return false;
    if (size == 0 || !EndsWithin(driver, size))
        return false;
    int const length = lstrlenA(driver);
    return length > 0 && length + lstrlenA(ClassKey) < MAX_PATH;
}

void RegisterBiosPs2Mouse(char const* instance)
{
    PathBuffer devicePath;
    if (!JoinPath(devicePath, BiosMouseKey, "\\") || !JoinPath(devicePath, devicePath, instance))
        return;
    HKEY device = OpenKey(devicePath);
    // Without its device key the mouse has no driver instance to name.
    if (!device)
        return;
    PathBuffer driver;
    if (!ReadBiosDriver(device, driver)) {
        ChooseMouseClassInstance();
        lstrcpyA(driver, MouseClassInstance);
    }
    WriteDeviceKey(device, Ps2, driver, BiosDriverLength);
    WriteDriverInstanceKey(driver, Ps2);
}

void RegisterRootPs2Mouse()
{
    if (KeyExists("Enum\\Root\\Mouse"))
        DeleteRootKey("Mouse");
    ChooseMouseClassInstance();
    HKEY device = CreateKey(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000");
    if (!device)
        return;
    WriteDeviceKey(device, Ps2, MouseClassInstance, RootDriverLength);
    WriteDriverInstanceKey(MouseClassInstance, Ps2);
}

} // namespace

void ChooseMouseClassInstance()
{
    // 21 candidates, 0 to 0x14; when all exist, the last one is taken over.
    char suffix[4] = {};
    for (int index = 0; index <= 0x14; ++index) {
        wsprintfA(suffix, "%x", index);
        PathBuffer candidate;
        JoinPath(candidate, ClassKey, "Mouse\\000");
        JoinPath(candidate, candidate, suffix);
        if (!KeyExists(candidate))
            break;
    }
    wsprintfA(MouseClassInstance, "Mouse\\000%s", suffix);
}

void RemoveRootMouseIds()
{
    static char const* const Ids[] = {"*PNP0F0C", "*PNP0F01", "*PNP0F08", "*PNP0F09",
                                      "*PNP0F0F", "*PNP0F17", "*PNP0F1D"};
    for (char const* id : Ids) {
        PathBuffer path;
        JoinPath(path, "Enum\\Root\\", id);
        if (KeyExists(path))
            DeleteRootKey(id);
    }
}

void RegisterSerialMouse()
{
    RemoveRootMouseIds();
    ChooseMouseClassInstance();
    if (HKEY device = CreateKey(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000"))
        WriteDeviceKey(device, Serial, MouseClassInstance, RootDriverLength);
    WriteDriverInstanceKey(MouseClassInstance, Serial);
}

void RegisterPs2Mouse()
{
    char instance[20];
    if (FindBiosMouse(instance))
        RegisterBiosPs2Mouse(instance);
    else
        RegisterRootPs2Mouse();
}
