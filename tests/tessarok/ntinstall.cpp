#include "ntinstall.h"

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

void PutNtInstallation()
{
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Lumivane", "C:\\Tamrix\\Pupex.exe C:\\Tamrix");
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Tamrix", "C:\\Tamrix\\brindlex.exe C:\\Tamrix");
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Lumivane Helper", "C:\\Other\\helper.exe");

    std::string const uninstall = std::string(UninstallKey) + "\\Lumivane";
    SetString(HKEY_LOCAL_MACHINE, uninstall, "DisplayName", "Lumivane");
    SetString(HKEY_LOCAL_MACHINE, uninstall, "UninstallString", "C:\\Tamrix\\Glovreth.exe");
    SetString(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\Other Program", "DisplayName", "Other Program");

    SetString(HKEY_CLASSES_ROOT, HandlerClassKey, nullptr, "Tamrix Mouse Property Sheet");
    SetString(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\InProcServer32", nullptr,
              "C:\\Tamrix\\Morvane.dll");
    SetString(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\InProcServer32", "ThreadingModel",
              "Apartment");
    SetString(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Tamrix CPL", nullptr,
              "{4753B0A0-79BB-101B-AE4B-00AA00373B20}");
    SetString(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Other CPL", nullptr,
              "{00000000-0000-0000-0000-000000000001}");

    for (PortEntries const* port : {&SerialPort, &Ps2Port}) {
        PutDriverService(port->driverService, {"Enum", "Parameters", "Security", "Description"});
        PutSystemService(port->systemService);
    }

    CreateDirectoryA("c:\\Tamrix", nullptr);
    for (char const* file : InstalledFiles)
        WriteFileBytes(file, std::string("installed ") + file);
    // A 32-bit program's system folder under WoW64 has no Drivers folder of its own yet.
    std::string const drivers = SystemFolder() + "\\Drivers\\";
    CreateDirectoryA(drivers.c_str(), nullptr);
    WriteFileBytes(drivers + "brellsio.sys", "serial mouse driver");
    WriteFileBytes(drivers + "tovrexa.sys", "PS/2 mouse driver");

    std::string const programs = DefaultCommonPrograms();
    SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", programs);
    CreateDirectoryA((programs + "\\Tamrix").c_str(), nullptr);
    WriteFileBytes(programs + "\\Tamrix\\Lumivane.Lnk", "shortcut to Pupex.exe");
    WriteFileBytes(programs + "\\Tamrix\\Uninstall.Lnk", "shortcut to Glovreth.exe");
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
