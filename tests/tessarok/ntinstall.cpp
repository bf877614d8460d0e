#include "ntinstall.h"

#include <algorithm>
#include <cstdio>

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

namespace {

class Key {
public:
    Key(HKEY root, std::string const& path, bool create = false)
    {
        LONG status = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                                               nullptr)
                             : RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
        if (status != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    Key(Key const&) = delete;
    Key& operator=(Key const&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string Hex(std::string const& bytes)
{
    std::string text;
    char pair[4];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

void DumpInto(HKEY root, std::string const& path, std::string const& label, std::string& out)
{
    if (!KeyExists(root, path))
        return;
    out += "[" + label + "]\n";
    for (std::string const& name : ValueNames(root, path)) {
        auto value = ReadValue(root, path, name.c_str());
        out += "  \"" + name + "\" type " + std::to_string(value ? value->type : 0) + " " +
               (value ? Hex(value->data) : "?") + "\n";
    }
    for (std::string const& subkey : SubkeyNames(root, path))
        DumpInto(root, path + "\\" + subkey, label + "\\" + subkey, out);
}

std::string Dword(DWORD number)
{
    return std::string(reinterpret_cast<char const*>(&number), sizeof number);
}

} // namespace

bool CreateKey(HKEY root, std::string const& path)
{
    return static_cast<bool>(Key(root, path, true));
}

bool SetValue(HKEY root, std::string const& path, char const* name, DWORD type, std::string const& data)
{
    Key key(root, path, true);
    return key && RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<BYTE const*>(data.data()),
                                 static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool SetString(HKEY root, std::string const& path, char const* name, std::string const& text)
{
    return SetValue(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool SetDword(HKEY root, std::string const& path, char const* name, DWORD number)
{
    return SetValue(root, path, name, REG_DWORD, Dword(number));
}

bool DeleteValue(HKEY root, std::string const& path, char const* name)
{
    Key key(root, path);
    return key && RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, std::string const& path)
{
    for (std::string const& subkey : SubkeyNames(root, path))
        DeleteTree(root, path + "\\" + subkey);
    RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

bool KeyExists(HKEY root, std::string const& path)
{
    return static_cast<bool>(Key(root, path));
}

std::optional<Value> ReadValue(HKEY root, std::string const& path, char const* name)
{
    Key key(root, path);
    if (!key)
        return std::nullopt;
    Value value;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    if (RegQueryValueExA(key.get(), name, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.data[0]), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

std::vector<std::string> SubkeyNames(HKEY root, std::string const& path)
{
    std::vector<std::string> names;
    Key key(root, path);
    char name[256];
    for (DWORD index = 0; key; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ValueNames(HKEY root, std::string const& path)
{
    std::vector<std::string> names;
    Key key(root, path);
    char name[16384];
    for (DWORD index = 0; key; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string DumpKey(HKEY root, std::string const& path)
{
    std::string out;
    DumpInto(root, path, path, out);
    return out;
}

bool WriteTextFile(std::string const& path, std::string const& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

bool FileExists(std::string const& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::string const& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FolderTree(std::string const& folder)
{
    std::vector<std::string> entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        std::string const name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries.push_back(name + "\\");
            for (std::string const& inner : FolderTree(folder + "\\" + name))
                entries.push_back(name + "\\" + inner);
        } else {
            entries.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string SystemFolder()
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

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
    return FileExists(path) || WriteTextFile(path, text);
}

std::string CommonPrograms()
{
    auto value = ReadValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs");
    return value ? std::string(value->data.c_str()) : std::string();
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
        ok &= from.empty() ? WriteTextFile(target, shortcut.standIn)
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
        ok &= WriteTextFile(drivers + port->driverService + ".sys",
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
