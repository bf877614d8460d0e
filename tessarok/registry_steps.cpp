#include "registry_steps.h"

#include <windows.h>

namespace {

REGSAM const StepAccess = KEY_READ | KEY_WRITE;

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
char const UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
char const PropertySheetHandlersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers";
// Literals, so that the keys below them are joined when compiling.
#define SERVICES_KEY "SYSTEM\\CurrentControlSet\\Services"
#define HANDLER_CLASS "{4753B0A0-79BB-101B-AE4B-00AA00373B20}"

// Every subkey the package's NT installation gives a driver service. NT deletes only a key
// without subkeys, so these go before the service key itself; anything else keeps it.
char const* const DriverServiceSubkeys[] = {"Enum", "Parameters", "Security", "Description"};

DWORD const SystemStart = 1;  // SERVICE_SYSTEM_START

// An existing key, or nullptr: the remover never creates one.
HKEY OpenKey(HKEY root, char const* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, StepAccess, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void DeleteSubkey(HKEY root, char const* parent, char const* name)
{
    if (HKEY key = OpenKey(root, parent)) {
        RegDeleteKeyA(key, name);
        RegCloseKey(key);
    }
}

void DeleteValue(HKEY root, char const* parent, char const* name)
{
    if (HKEY key = OpenKey(root, parent)) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

void DeleteDriverServiceSubkeys(char const* serviceKey)
{
    if (HKEY key = OpenKey(HKEY_LOCAL_MACHINE, serviceKey)) {
        for (char const* subkey : DriverServiceSubkeys)
            RegDeleteKeyA(key, subkey);
        RegCloseKey(key);
    }
}

// Only "Start" changes: the rest of the system service's entry is the system's own.
void SetSystemStart(char const* serviceKey)
{
    if (HKEY key = OpenKey(HKEY_LOCAL_MACHINE, serviceKey)) {
        RegSetValueExA(key, "Start", 0, REG_DWORD, reinterpret_cast<BYTE const*>(&SystemStart),
                       sizeof SystemStart);
        RegCloseKey(key);
    }
}

// The system's own driver starts with the system again whether or not the package's driver
// was there to remove: the mouse must work after the restart.
void RemoveDriverService(char const* driverService, char const* driverServiceKey, char const* systemServiceKey)
{
    DeleteDriverServiceSubkeys(driverServiceKey);
    DeleteSubkey(HKEY_LOCAL_MACHINE, SERVICES_KEY, driverService);
    SetSystemStart(systemServiceKey);
}

} // namespace

void RemoveRunEntry()
{
    DeleteValue(HKEY_LOCAL_MACHINE, RunKey, "Lumivane");
}

void RemoveUninstallEntry()
{
    DeleteSubkey(HKEY_LOCAL_MACHINE, UninstallKey, "Lumivane");
}

void RemovePropertySheetHandler()
{
    DeleteSubkey(HKEY_CLASSES_ROOT, "CLSID\\" HANDLER_CLASS, "InProcServer32");
    DeleteSubkey(HKEY_CLASSES_ROOT, "CLSID", HANDLER_CLASS);
    DeleteSubkey(HKEY_LOCAL_MACHINE, PropertySheetHandlersKey, "Tamrix CPL");
}

void RemoveSerialService()
{
    RemoveDriverService("brellsio", SERVICES_KEY "\\brellsio", SERVICES_KEY "\\Sermouse");
}

void RemovePs2Service()
{
    RemoveDriverService("tovrexa", SERVICES_KEY "\\tovrexa", SERVICES_KEY "\\i8042prt");
}
