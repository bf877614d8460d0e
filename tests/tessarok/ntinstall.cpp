#include "ntinstall.h"

#include <algorithm>

namespace ntinstall {

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
char const UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
char const HandlerClassKey[] = "CLSID\\{4753B0A0-79BB-101B-AE4B-00AA00373B20}";
char const HandlersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers";
char const ServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
char const ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

char const* const InstalledFiles[8] = {
    "c:\\Tamrix\\Morvane.dll", "c:\\Tamrix\\Glovreth.exe", "c:\\Tamrix\\Pupex.exe",  "c:\\Tamrix\\Pupex.dll",
    "c:\\Tamrix\\Brellsio.sys", "c:\\Tamrix\\Tovrexa.sys", "c:\\Tamrix\\Tamrix.hlp", "c:\\Tamrix\\Quellbox.inf",
};

PortEntries const SerialPort = {"brellsio", "Sermouse"};
PortEntries const Ps2Port = {"tovrexa", "i8042prt"};

std::string DefaultCommonPrograms()
{
    return "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
}

void PutDriverService(char const* driverService, std::vector<char const*> const& subkeys, char const* extraSubkey)
{
    std::string const key = std::string(ServicesKey) + "\\" + driverService;
    SetDword(HKEY_LOCAL_MACHINE, key, "Type", 1);
    SetDword(HKEY_LOCAL_MACHINE, key, "Start", 1);
    SetDword(HKEY_LOCAL_MACHINE, key, "ErrorControl", 1);
    SetString(HKEY_LOCAL_MACHINE, key, "Group", "Pointer Port");
    SetString(HKEY_LOCAL_MACHINE, key, "ImagePath", std::string("System32\\Drivers\\") + driverService + ".sys");
    for (char const* subkey : subkeys) {
        std::string const path = key + "\\" + subkey;
        CreateKey(HKEY_LOCAL_MACHINE, path);
        SetString(HKEY_LOCAL_MACHINE, path, "Note", std::string(driverService) + " " + subkey);
    }
    if (extraSubkey)
        SetDword(HKEY_LOCAL_MACHINE, key + "\\" + extraSubkey, "Kept", 1);
}

void PutSystemService(char const* systemService)
{
    std::string const key = std::string(ServicesKey) + "\\" + systemService;
    SetDword(HKEY_LOCAL_MACHINE, key, "Type", 1);
    SetDword(HKEY_LOCAL_MACHINE, key, "Start", 3);
    SetDword(HKEY_LOCAL_MACHINE, key, "ErrorControl", 0);
    SetString(HKEY_LOCAL_MACHINE, key, "Group", "Pointer Port");
    SetDword(HKEY_LOCAL_MACHINE, key + "\\Parameters", "SampleRate", 60);
}

namespace {

// A stand-in for one of the installation's files; a copy already in place (the Windows 95
// installation's own Pupex.exe, say) is kept, so a real program stays runnable.
bool PutFile(std::string const& path, std::string const& text)
{
    return FileExists(path) || WriteFileBytes(path, text);
}

std::string CommonPrograms()
{
    return ReadValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs").Text();
}

bool PutShortcuts(std::string const& from)
{
    std::string const programs = CommonPrograms();
    if (programs.empty())
        return false;
    std::string const folder = programs + "\\Tamrix\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Shortcut {
        char const* name;
        char const* standIn;
    } const shortcuts[] = {{"Lumivane.Lnk", "shortcut to Pupex.exe"}, {"Uninstall.Lnk", "shortcut to Glovreth.exe"}};
    bool ok = true;
    for (Shortcut const& shortcut : shortcuts) {
        std::string const target = folder + shortcut.name;
        ok &= from.empty() ? WriteFileBytes(target, shortcut.standIn)
                           : CopyFileA((from + "\\" + shortcut.name).c_str(), target.c_str(), FALSE) != FALSE;
    }
    return ok;
}

} // namespace

bool PutPackageInstallation(NtInstallation const& installation)
{
    bool ok = true;
    ok &= SetString(HKEY_LOCAL_MACHINE, RunKey, "Lumivane", "C:\\Tamrix\\Pupex.exe C:\\Tamrix");
    ok &= SetString(HKEY_LOCAL_MACHINE, RunKey, "Tamrix", "C:\\Tamrix\\brindlex.exe C:\\Tamrix");

    std::string const uninstall = std::string(UninstallKey) + "\\Lumivane";
    ok &= SetString(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Tamrix Lumivane");
    ok &= SetString(HKEY_LOCAL_MACHINE, uninstall, "UninstallString", "C:\\Tamrix\\Glovreth.exe");

    ok &= SetString(HKEY_CLASSES_ROOT, HandlerClassKey, nullptr, "Tamrix Mouse Property Sheet");
    ok &= SetString(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\InProcServer32", nullptr,
                    "C:\\Tamrix\\Morvane.dll");
    ok &= SetString(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\InProcServer32", "ThreadingModel",
                    "Apartment");
    ok &= SetString(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Tamrix CPL", nullptr,
                    "{4753B0A0-79BB-101B-AE4B-00AA00373B20}");

    CreateDirectoryA("c:\\Tamrix", nullptr);
    for (char const* file : InstalledFiles)
        ok &= PutFile(file, std::string("installed ") + file);
    // A 32-bit program's system folder under WoW64 has no Drivers folder of its own yet.
    std::string const drivers = SystemFolder() + "\\Drivers\\";
    CreateDirectoryA(drivers.c_str(), nullptr);
    for (PortEntries const* port : installation.ports) {
        PutDriverService(port->driverService, {"Enum", "Parameters", "Security", "Description"});
        PutSystemService(port->systemService);
        ok &= KeyExists(HKEY_LOCAL_MACHINE, std::string(ServicesKey) + "\\" + port->driverService);
        ok &= WriteFileBytes(drivers + port->driverService + ".sys",
                            port == &SerialPort ? "serial mouse driver" : "PS/2 mouse driver");
    }
    // One setting of the serial driver's own, which the tray utility copies into its block.
    if (std::find(installation.ports.begin(), installation.ports.end(), &SerialPort) != installation.ports.end())
        ok &= SetDword(HKEY_LOCAL_MACHINE, std::string(ServicesKey) + "\\brellsio\\Parameters", "Middle Button",
                       3);

    ok &= PutShortcuts(installation.shortcutsFrom);
    return ok;
}

void PutNeighbours()
{
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Lumivane Helper", "C:\\Other\\helper.exe");
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\Other Program", "DisplayName", "Other Program");
    SetString(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Other CPL", nullptr,
              "{00000000-0000-0000-0000-000000000001}");
}

void PutNtInstallation()
{
    SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", DefaultCommonPrograms());
    PutPackageInstallation(NtInstallation{});
    PutNeighbours();
}

std::string PortSnapshot(PortEntries const& port)
{
    return DumpKey(HKEY_LOCAL_MACHINE, std::string(ServicesKey) + "\\" + port.driverService) +
           DumpKey(HKEY_LOCAL_MACHINE, std::string(ServicesKey) + "\\" + port.systemService);
}

std::string Snapshot()
{
    std::string out = DumpKey(HKEY_LOCAL_MACHINE, RunKey) + DumpKey(HKEY_LOCAL_MACHINE, UninstallKey) +
                      DumpKey(HKEY_CLASSES_ROOT, HandlerClassKey) + DumpKey(HKEY_LOCAL_MACHINE, HandlersKey) +
                      PortSnapshot(SerialPort) + PortSnapshot(Ps2Port) +
                      DumpKey(HKEY_LOCAL_MACHINE, ShellFoldersKey);
    for (std::string const& folder :
         {std::string("c:\\Tamrix"), SystemFolder() + "\\Drivers", DefaultCommonPrograms()}) {
        out += folder + ":\n";
        for (std::string const& entry : FolderTree(folder))
            out += "  " + entry + "\n";
    }
    return out;
}

} // namespace ntinstall
