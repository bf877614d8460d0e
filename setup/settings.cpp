#include "settings.h"

#include "paths.h"
#include "registry.h"

namespace {

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Creates or opens the key, writes one or two values and closes it; a key that cannot be
// created only loses its own values.
void WriteStrings(HKEY root, char const* path, char const* name, char const* text, char const* secondName = nullptr,
                  char const* secondText = nullptr)
{
    HKEY key = CreateKey(root, path);
    if (!key)
        return;
    SetString(key, name, text);
    if (secondName)
        SetString(key, secondName, secondText);
    RegCloseKey(key);
}

} // namespace

void RegisterControlPanelAndRun()
{
    WriteStrings(HKEY_CLASSES_ROOT, "CLSID\\{D4BCF700-791D-11CF-99F9-444553540000}\\InProcServer32", "",
                 "C:\\Tamrix\\quorrane.dll", "ThreadingModel", "Apartment");
    WriteStrings(HKEY_LOCAL_MACHINE,
                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
                 "Tamrix CPL",
                 "", "{D4BCF700-791D-11CF-99F9-444553540000}");
    WriteStrings(HKEY_LOCAL_MACHINE, RunKey, "Tamrix", "C:\\Tamrix\\brindlex.exe C:\\Tamrix");
}

void WriteSystemIni()
{
    PathBuffer file;
    if (!WindowsFolderPath(file, "\\system.ini"))
        return;
    WritePrivateProfileStringA("boot", "mouse.drv", "mouse.drv", file);
    WritePrivateProfileStringA("boot.description", "mouse.drv", "Tamrix Driver", file);
    WritePrivateProfileStringA("386Enh", "mouse", "*vmouse", file);
}

void RegisterLumivaneRun()
{
    WriteStrings(HKEY_LOCAL_MACHINE, RunKey, "Lumivane", "C:\\Tamrix\\Pupex.exe C:\\Tamrix");
}

void WriteUninstallEntry()
{
    WriteStrings(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumivane", "DisplayName",
                 "Tamrix Lumivane", "UninstallString", "C:\\Tamrix\\Pebbroth.exe");
}
