// The remover's registry and file steps, run in this process against the registry and disk
// of a fresh prefix, as on Windows NT 4.0.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "file_steps.h"
#include "ntinstall.h"
#include "registry_steps.h"
#include "winauto.h"

using namespace ntinstall;

namespace {

using Names = std::vector<std::string>;

std::string ServiceKey(char const* service)
{
    return std::string(ServicesKey) + "\\" + service;
}

std::string StartValue(char const* systemService)
{
    Value const value = ReadValue(HKEY_LOCAL_MACHINE, ServiceKey(systemService), "Start");
    if (!value)
        return "missing";
    return "type " + std::to_string(value.type) + " size " + std::to_string(value.data.size()) + " value " +
           std::to_string(value.Number());
}

std::string const SystemStartAsDword = "type 4 size 4 value 1";

// Long folders are made with the wide calls, which take paths beyond MAX_PATH.
bool CreateFolderW(std::string const& path)
{
    std::wstring wide = L"\\\\?\\";
    for (char c : path)
        wide += static_cast<wchar_t>(c);
    return CreateDirectoryW(wide.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool ExistsW(std::string const& path)
{
    std::wstring wide = L"\\\\?\\";
    for (char c : path)
        wide += static_cast<wchar_t>(c);
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteFileW(std::string const& path)
{
    std::wstring wide = L"\\\\?\\";
    for (char c : path)
        wide += static_cast<wchar_t>(c);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// A folder under C:\ whose path has exactly this many characters, made level by level.
std::string LongFolder(size_t length)
{
    std::string path = "C:\\Long";
    CreateFolderW(path);
    while (path.size() < length) {
        size_t const room = length - path.size() - 1;  // the backslash
        size_t const level = room > 100 ? 100 : room;
        // A level of one character would follow one of 100: split so none is empty.
        size_t const take = (room > 100 && room - 100 < 2) ? 50 : level;
        path += "\\" + std::string(take, static_cast<char>('a' + path.size() % 26));
        if (!CreateFolderW(path))
            return {};
    }
    return path;
}

// What the restart will delete, as the record lists it.
std::string LeftForRestart()
{
    return winauto::Describe(winauto::PendingFileOperations());
}

std::string Deletions(Names const& paths)
{
    std::string text;
    for (std::string const& path : paths)
        text += "delete " + path + "\n";
    return text;
}

} // namespace

// ---- Registry steps ----

TEST(RemoveRunEntry, OnlyLumivaneGoes)
{
    PutNtInstallation();
    Names expected = ValueNames(HKEY_LOCAL_MACHINE, RunKey);
    expected.erase(std::find(expected.begin(), expected.end(), "Lumivane"));
    ASSERT_EQ((Names{"Lumivane Helper", "Tamrix"}), expected);

    RemoveRunEntry();
    EXPECT_EQ(expected, ValueNames(HKEY_LOCAL_MACHINE, RunKey));
    RemoveRunEntry();
    EXPECT_EQ(expected, ValueNames(HKEY_LOCAL_MACHINE, RunKey)) << "a second run finds nothing to do";
}

TEST(RemoveUninstallEntry, OnlyTheLumivaneKeyGoes)
{
    PutNtInstallation();
    Names expected = SubkeyNames(HKEY_LOCAL_MACHINE, UninstallKey);
    expected.erase(std::find(expected.begin(), expected.end(), "Lumivane"));
    std::string const other = std::string(UninstallKey) + "\\Other Program";
    std::string const otherBefore = DumpKey(HKEY_LOCAL_MACHINE, other);

    RemoveUninstallEntry();

    EXPECT_EQ(expected, SubkeyNames(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_EQ(otherBefore, DumpKey(HKEY_LOCAL_MACHINE, other));
}

TEST(RemovePropertySheetHandler, ClassAndHandlerKeysGoWhateverBecameOfTheOther)
{
    struct Case {
        char const* name;
        bool classKey;
        char const* extraSubkey;
        bool classKeySurvives;
    } const cases[] = {
        {"as installed", true, nullptr, false},
        {"class key with a further subkey", true, "ProgID", true},
        {"class key missing", false, nullptr, false},
    };
    std::string const handler = std::string(HandlersKey) + "\\Tamrix CPL";
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        PutNtInstallation();
        if (!c.classKey) {
            ASSERT_TRUE(DeleteTree(HKEY_CLASSES_ROOT, HandlerClassKey));
        }
        if (c.extraSubkey) {
            ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\" + c.extraSubkey, nullptr,
                                  "Tamrix.MouseSheet"));
        }

        RemovePropertySheetHandler();

        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(HandlerClassKey) + "\\InProcServer32"));
        EXPECT_EQ(c.classKeySurvives, KeyExists(HKEY_CLASSES_ROOT, HandlerClassKey))
            << DumpKey(HKEY_CLASSES_ROOT, HandlerClassKey);
        if (c.classKeySurvives) {
            EXPECT_EQ((Names{c.extraSubkey}), SubkeyNames(HKEY_CLASSES_ROOT, HandlerClassKey));
        }
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, handler)) << "the handler key goes all the same";
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Other CPL"));
        DeleteTree(HKEY_CLASSES_ROOT, HandlerClassKey);
    }
}

TEST(RemoveDriverService, ServiceKeyGoesAndTheSystemDriverStartsWithTheSystem)
{
    using Subkeys = std::vector<char const*>;
    Subkeys const all = {"Enum", "Parameters", "Security", "Description"};
    struct Case {
        char const* name;
        void (*step)();
        PortEntries const* port;
        bool driverInstalled;
        Subkeys subkeys;
        char const* extraSubkey;
        bool systemServicePresent;
    } const cases[] = {
        {"serial, as installed", RemoveSerialService, &SerialPort, true, all, nullptr, true},
        {"PS/2, as installed", RemovePs2Service, &Ps2Port, true, all, nullptr, true},
        {"serial, only Enum and Security", RemoveSerialService, &SerialPort, true, {"Enum", "Security"}, nullptr,
         true},
        {"PS/2, no subkeys", RemovePs2Service, &Ps2Port, true, {}, nullptr, true},
        {"serial, a further subkey", RemoveSerialService, &SerialPort, true, all, "Linkage", true},
        {"PS/2 driver never installed", RemovePs2Service, &Ps2Port, false, {}, nullptr, true},
        {"serial, no system service", RemoveSerialService, &SerialPort, true, all, nullptr, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        PortEntries const& other = c.port == &SerialPort ? Ps2Port : SerialPort;
        for (PortEntries const* port : {&SerialPort, &Ps2Port}) {
            ASSERT_TRUE(DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(port->driverService)));
            ASSERT_TRUE(DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(port->systemService)));
            PutDriverService(port->driverService, all);
            PutSystemService(port->systemService);
        }
        ASSERT_TRUE(DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(c.port->driverService)));
        if (c.driverInstalled)
            PutDriverService(c.port->driverService, c.subkeys, c.extraSubkey);
        if (!c.systemServicePresent) {
            ASSERT_TRUE(DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(c.port->systemService)));
        }
        std::string const systemBefore = DumpKey(HKEY_LOCAL_MACHINE, ServiceKey(c.port->systemService));
        std::string const otherBefore = PortSnapshot(other);

        c.step();

        std::string const driverKey = ServiceKey(c.port->driverService);
        if (c.extraSubkey) {
            EXPECT_EQ((Names{c.extraSubkey}), SubkeyNames(HKEY_LOCAL_MACHINE, driverKey))
                << "the four known subkeys go, the service key with the further one stays";
            EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, driverKey, "ImagePath").present);
        } else {
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, driverKey)) << DumpKey(HKEY_LOCAL_MACHINE, driverKey);
        }

        std::string const systemKey = ServiceKey(c.port->systemService);
        if (c.systemServicePresent) {
            EXPECT_EQ(SystemStartAsDword, StartValue(c.port->systemService));
            std::string expected = systemBefore;
            std::string const oldStart = "\"Start\" type 4 03000000";
            expected.replace(expected.find(oldStart), oldStart.size(), "\"Start\" type 4 01000000");
            EXPECT_EQ(expected, DumpKey(HKEY_LOCAL_MACHINE, systemKey)) << "only \"Start\" changes";
        } else {
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, systemKey)) << "a missing system service is not created";
        }
        EXPECT_EQ(otherBefore, PortSnapshot(other)) << "the other port is left alone";
    }
}

// ---- Keys that open only for reading ----

namespace {

// Something a step removes or changes, by name, and whether it is there as installed.
struct Entry {
    std::string name;
    std::function<bool()> present;
};

Entry KeyEntry(HKEY root, std::string const& path)
{
    return {path, [=] { return KeyExists(root, path); }};
}

Entry ValueEntry(HKEY root, std::string const& path, char const* name)
{
    return {path + " \"" + name + "\"", [=] { return ReadValue(root, path, name).present; }};
}

// The system's own service as the installation leaves it: not started with the system.
Entry InstalledStart(char const* systemService)
{
    return {std::string(systemService) + " \"Start\" 3",
            [=] { return StartValue(systemService) == "type 4 size 4 value 3"; }};
}

Entry FileEntry(std::string const& path)
{
    return {path, [=] { return FileExists(path) || FolderExists(path); }};
}

// Runs a step on a thread of its own and answers every message box it shows; what the boxes
// said.
std::vector<std::string> MessagesShownBy(void (*step)())
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        step();
        done = true;
    });
    std::vector<std::string> shown;
    while (!done) {
        if (auto box = winauto::WaitForMessageBox(nullptr, 50, GetCurrentProcessId())) {
            shown.push_back(box->caption + ": " + box->text);
            winauto::ClickControl(box->hwnd, IDOK);
            winauto::WaitForWindowGone(box->hwnd, 5000);
        }
    }
    worker.join();
    return shown;
}

} // namespace

// Each step opens its keys for reading and writing (the shortcuts' step its folder key for
// full access): a key whose access list lets it be read and not changed ends that sub-step
// without a word, and the other sub-steps go on.
TEST(RemovalSteps, AKeyThatOpensOnlyForReadingEndsItsSubStepSilently)
{
    std::string const serial = ServiceKey("brellsio");
    std::string const ps2 = ServiceKey("tovrexa");
    std::string const handlerServer = std::string(HandlerClassKey) + "\\InProcServer32";
    std::string const handler = std::string(HandlersKey) + "\\Tamrix CPL";
    std::string const shortcuts = DefaultCommonPrograms() + "\\Tamrix";
    auto driverServiceKeys = [](std::string const& key) {
        return std::vector<Entry>{KeyEntry(HKEY_LOCAL_MACHINE, key + "\\Enum"),
                                  KeyEntry(HKEY_LOCAL_MACHINE, key + "\\Parameters"),
                                  KeyEntry(HKEY_LOCAL_MACHINE, key + "\\Security"),
                                  KeyEntry(HKEY_LOCAL_MACHINE, key + "\\Description"),
                                  KeyEntry(HKEY_LOCAL_MACHINE, key)};
    };
    auto driverServiceSubkeys = [&](std::string const& key) {
        std::vector<Entry> subkeys = driverServiceKeys(key);
        subkeys.pop_back();
        return subkeys;
    };
    auto join = [](std::vector<Entry> entries, Entry const& more) {
        entries.push_back(more);
        return entries;
    };
    REGSAM const stepAccess = KEY_READ | KEY_WRITE;

    struct Case {
        char const* name;
        HKEY root;
        std::string readOnly;      // the key that opens only for reading
        REGSAM access;             // what the step asks of it
        void (*step)();
        std::vector<Entry> stays;  // what the refused sub-step would have removed or changed
        std::vector<Entry> goes;   // what the step's other sub-steps remove or change all the same
    } const cases[] = {
        // name, root, read-only key, access, step, stays, goes
        {"Run", HKEY_LOCAL_MACHINE, RunKey, stepAccess, RemoveRunEntry,
         {ValueEntry(HKEY_LOCAL_MACHINE, RunKey, "Lumivane")}, {}},
        {"Uninstall", HKEY_LOCAL_MACHINE, UninstallKey, stepAccess, RemoveUninstallEntry,
         {KeyEntry(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\Lumivane")}, {}},
        {"the handler's class", HKEY_CLASSES_ROOT, HandlerClassKey, stepAccess, RemovePropertySheetHandler,
         {KeyEntry(HKEY_CLASSES_ROOT, handlerServer), KeyEntry(HKEY_CLASSES_ROOT, HandlerClassKey)},
         {KeyEntry(HKEY_LOCAL_MACHINE, handler)}},
        {"CLSID", HKEY_CLASSES_ROOT, "CLSID", stepAccess, RemovePropertySheetHandler,
         {KeyEntry(HKEY_CLASSES_ROOT, HandlerClassKey)},
         {KeyEntry(HKEY_CLASSES_ROOT, handlerServer), KeyEntry(HKEY_LOCAL_MACHINE, handler)}},
        {"the property-sheet handlers", HKEY_LOCAL_MACHINE, HandlersKey, stepAccess, RemovePropertySheetHandler,
         {KeyEntry(HKEY_LOCAL_MACHINE, handler)}, {KeyEntry(HKEY_CLASSES_ROOT, HandlerClassKey)}},
        {"brellsio", HKEY_LOCAL_MACHINE, serial, stepAccess, RemoveSerialService, driverServiceKeys(serial),
         {InstalledStart("Sermouse")}},
        {"Services, for the serial port", HKEY_LOCAL_MACHINE, ServicesKey, stepAccess, RemoveSerialService,
         {KeyEntry(HKEY_LOCAL_MACHINE, serial)}, join(driverServiceSubkeys(serial), InstalledStart("Sermouse"))},
        {"Sermouse", HKEY_LOCAL_MACHINE, ServiceKey("Sermouse"), stepAccess, RemoveSerialService,
         {InstalledStart("Sermouse")}, driverServiceKeys(serial)},
        {"tovrexa", HKEY_LOCAL_MACHINE, ps2, stepAccess, RemovePs2Service, driverServiceKeys(ps2),
         {InstalledStart("i8042prt")}},
        {"i8042prt", HKEY_LOCAL_MACHINE, ServiceKey("i8042prt"), stepAccess, RemovePs2Service,
         {InstalledStart("i8042prt")}, driverServiceKeys(ps2)},
        {"Shell Folders", HKEY_LOCAL_MACHINE, ShellFoldersKey, KEY_ALL_ACCESS, DeleteStartMenuShortcuts,
         {FileEntry(shortcuts + "\\Lumivane.Lnk"), FileEntry(shortcuts + "\\Uninstall.Lnk"), FileEntry(shortcuts)},
         {}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        PutNtInstallation();
        for (std::vector<Entry> const* entries : {&c.stays, &c.goes})
            for (Entry const& entry : *entries)
                ASSERT_TRUE(entry.present()) << "installed: " << entry.name;
        {
            ProtectedKey readOnly(c.root, c.readOnly, KEY_READ);
            ASSERT_EQ(ERROR_SUCCESS, readOnly.OpenWith(KEY_READ)) << c.readOnly;
            ASSERT_EQ(ERROR_ACCESS_DENIED, readOnly.OpenWith(c.access)) << c.readOnly;
            EXPECT_EQ(std::vector<std::string>{}, MessagesShownBy(c.step));
        }
        // Read back with the key's own access list, as the installation wrote it.
        for (Entry const& entry : c.stays)
            EXPECT_TRUE(entry.present()) << "stays: " << entry.name;
        for (Entry const& entry : c.goes)
            EXPECT_FALSE(entry.present()) << "goes: " << entry.name;
    }
}

// ---- File steps ----

TEST(DeleteInstalledFiles, TheEightFilesThenTheFolder)
{
    PutNtInstallation();
    CreateDirectoryA("c:\\Tamrix Old", nullptr);
    ASSERT_TRUE(WriteFileBytes("c:\\Tamrix Old\\Pupex.exe", "an older copy"));
    ASSERT_TRUE(WriteFileBytes("c:\\Tamrix.txt", "a neighbour"));

    DeleteInstalledFiles();

    for (char const* file : InstalledFiles)
        EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_FALSE(FolderExists("c:\\Tamrix"));
    EXPECT_TRUE(FileExists("c:\\Tamrix Old\\Pupex.exe"));
    EXPECT_TRUE(FileExists("c:\\Tamrix.txt"));
    EXPECT_EQ("", LeftForRestart());

    // Nothing is there any more: nothing is left for the restart either.
    DeleteInstalledFiles();
    EXPECT_EQ("", LeftForRestart());
}

TEST(DeleteInstalledFiles, AUsersFileKeepsTheFolderAndStays)
{
    PutNtInstallation();
    ASSERT_TRUE(WriteFileBytes("c:\\Tamrix\\my settings.txt", "the user's own"));

    DeleteInstalledFiles();

    for (char const* file : InstalledFiles)
        EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_EQ((Names{"my settings.txt"}), FolderTree("c:\\Tamrix"));
    EXPECT_EQ("", LeftForRestart()) << "only the user's file keeps the folder, and it stays at the restart too";
}

// The running tray utility holds its program and its hook library: they go at the restart,
// the folder after them; a file the user added keeps the folder then.
TEST(DeleteInstalledFiles, FilesInUseGoAtTheRestartAndTheirFolderAfterThem)
{
    for (bool const usersFile : {false, true}) {
        SCOPED_TRACE(usersFile ? "with a file the user added" : "with the package's files only");
        PutNtInstallation();
        if (usersFile) {
            ASSERT_TRUE(WriteFileBytes("c:\\Tamrix\\my settings.txt", "the user's own"));
        }
        winauto::HeldFile program("c:\\Tamrix\\Pupex.exe");
        winauto::HeldFile library("c:\\Tamrix\\Pupex.dll");
        ASSERT_TRUE(program.IsHeld() && library.IsHeld());

        DeleteInstalledFiles();

        EXPECT_EQ(Deletions({"c:\\Tamrix\\Pupex.exe", "c:\\Tamrix\\Pupex.dll", "c:\\Tamrix"}), LeftForRestart());
        Names held = {"Pupex.dll", "Pupex.exe"};
        if (usersFile)
            held.push_back("my settings.txt");
        EXPECT_EQ(held, FolderTree("c:\\Tamrix"));

        program.Release();
        library.Release();
        ASSERT_TRUE(winauto::RunRestartFileOperations());
        if (usersFile) {
            EXPECT_EQ((Names{"my settings.txt"}), FolderTree("c:\\Tamrix"));
        } else {
            EXPECT_FALSE(FolderExists("c:\\Tamrix"));
        }
        EXPECT_EQ("", LeftForRestart());
        DeleteFileA("c:\\Tamrix\\my settings.txt");
    }
}

// The folder itself is in use (a program has it open): it goes at the restart.
TEST(DeleteInstalledFiles, AFolderInUseGoesAtTheRestart)
{
    PutNtInstallation();
    winauto::HeldFile folder("c:\\Tamrix");
    ASSERT_TRUE(folder.IsHeld());

    DeleteInstalledFiles();

    for (char const* file : InstalledFiles)
        EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_EQ(Deletions({"c:\\Tamrix"}), LeftForRestart());
    folder.Release();
    ASSERT_TRUE(winauto::RunRestartFileOperations());
    EXPECT_FALSE(FolderExists("c:\\Tamrix"));
}

TEST(DeleteDriverFiles, BothPortsDriversGoAndNothingElse)
{
    PutNtInstallation();
    std::string const drivers = SystemFolder() + "\\Drivers";
    ASSERT_TRUE(WriteFileBytes(drivers + "\\brellsio.bak", "a backup the user keeps"));
    Names expected = FolderTree(drivers);
    for (char const* name : {"brellsio.sys", "tovrexa.sys"}) {
        auto found = std::find(expected.begin(), expected.end(), name);
        ASSERT_NE(expected.end(), found) << name;
        expected.erase(found);
    }

    DeleteDriverFiles();

    EXPECT_EQ(expected, FolderTree(drivers));
    EXPECT_EQ("", LeftForRestart());
}

TEST(DeleteDriverFiles, ADriverInUseGoesAtTheRestart)
{
    PutNtInstallation();
    std::string const serial = SystemFolder() + "\\Drivers\\brellsio.sys";
    winauto::HeldFile loaded(serial);
    ASSERT_TRUE(loaded.IsHeld());

    DeleteDriverFiles();

    EXPECT_EQ(Deletions({serial}), LeftForRestart());
    EXPECT_FALSE(FileExists(SystemFolder() + "\\Drivers\\tovrexa.sys"));
    loaded.Release();
    ASSERT_TRUE(winauto::RunRestartFileOperations());
    if (winauto::SystemFolderIsRedirected())
        std::printf("under WoW64 the restart deletes the system's own system32 file, not the one seen here\n");
    else
        EXPECT_FALSE(FileExists(serial));
}

TEST(DeleteStartMenuShortcuts, TheShortcutsThenTheirFolder)
{
    PutNtInstallation();
    std::string const programs = DefaultCommonPrograms();
    CreateDirectoryA((programs + "\\Other").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(programs + "\\Other\\Lumivane.Lnk", "not the package's"));
    ASSERT_TRUE(WriteFileBytes(programs + "\\Uninstall.Lnk", "not the package's"));
    Names expected = FolderTree(programs);
    for (char const* entry : {"Tamrix\\", "Tamrix\\Lumivane.Lnk", "Tamrix\\Uninstall.Lnk"})
        expected.erase(std::find(expected.begin(), expected.end(), entry));

    DeleteStartMenuShortcuts();

    EXPECT_EQ(expected, FolderTree(programs));
}

TEST(DeleteStartMenuShortcuts, AUsersShortcutKeepsTheFolder)
{
    PutNtInstallation();
    std::string const folder = DefaultCommonPrograms() + "\\Tamrix";
    ASSERT_TRUE(WriteFileBytes(folder + "\\Control Centre.lnk", "the user's own"));

    DeleteStartMenuShortcuts();

    EXPECT_EQ((Names{"Control Centre.lnk"}), FolderTree(folder));
    EXPECT_EQ("", LeftForRestart());
}

TEST(DeleteStartMenuShortcuts, AShortcutInUseGoesAtTheRestartWithItsFolder)
{
    PutNtInstallation();
    std::string const folder = DefaultCommonPrograms() + "\\Tamrix";
    winauto::HeldFile open(folder + "\\Uninstall.Lnk");
    ASSERT_TRUE(open.IsHeld());

    DeleteStartMenuShortcuts();

    EXPECT_EQ(Deletions({folder + "\\Uninstall.Lnk", folder}), LeftForRestart());
    EXPECT_EQ((Names{"Uninstall.Lnk"}), FolderTree(folder));
    open.Release();
    ASSERT_TRUE(winauto::RunRestartFileOperations());
    EXPECT_FALSE(FolderExists(folder));
}

TEST(DeleteStartMenuShortcuts, FollowsCommonProgramsWhateverItsTypeAndTerminator)
{
    std::string const folder = "C:\\Menus\\Programs";
    struct Case {
        char const* name;
        DWORD type;
        std::string data;
    } const cases[] = {
        {"REG_SZ", REG_SZ, folder + '\0'},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, folder + '\0'},
        {"REG_SZ without its terminating zero", REG_SZ, folder},
        {"REG_BINARY without a terminating zero", REG_BINARY, folder},
        {"zero before the end", REG_BINARY, folder + '\0' + "\\Elsewhere"},
    };
    CreateDirectoryA("C:\\Menus", nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        PutNtInstallation();
        CreateDirectoryA((folder + "\\Tamrix").c_str(), nullptr);
        CreateDirectoryA((folder + "\\Tamrix\\Elsewhere").c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(folder + "\\Tamrix\\Lumivane.Lnk", "shortcut"));
        ASSERT_TRUE(WriteFileBytes(folder + "\\Tamrix\\Uninstall.Lnk", "shortcut"));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", Value(c.type, c.data)));
        Names const defaultMenu = FolderTree(DefaultCommonPrograms());

        DeleteStartMenuShortcuts();

        EXPECT_EQ((Names{"Elsewhere\\"}), FolderTree(folder + "\\Tamrix"));
        EXPECT_EQ(defaultMenu, FolderTree(DefaultCommonPrograms())) << "Wine's own folder is not the value";
        RemoveDirectoryA((folder + "\\Tamrix\\Elsewhere").c_str());
    }
}

// Paths are built in MAX_PATH characters. One that would not fit is skipped whole: cut short
// it would name another file or folder, here a decoy with exactly that name.
TEST(DeleteStartMenuShortcuts, APathThatWouldNotFitIsSkippedAndNothingElseGoes)
{
    struct Case {
        char const* name;
        size_t folderLength;  // of "Common Programs" followed by "\Tamrix"
        bool lumivaneGoes;
        bool uninstallGoes;
        bool folderGoes;
    } const cases[] = {
        {"both shortcuts fit", 245, true, true, true},
        {"only Lumivane.Lnk fits", 246, true, false, false},
        {"neither shortcut fits", 250, false, false, false},
        {"the folder itself would not fit", 261, false, false, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        std::string const programs = LongFolder(c.folderLength - 7);
        ASSERT_EQ(c.folderLength - 7, programs.size());
        std::string const folder = programs + "\\Tamrix";
        ASSERT_TRUE(CreateFolderW(folder));
        ASSERT_TRUE(WriteFileW(folder + "\\Lumivane.Lnk"));
        ASSERT_TRUE(WriteFileW(folder + "\\Uninstall.Lnk"));
        // What a path would be, cut to MAX_PATH - 1 characters: a folder beside the package's
        // when the folder itself is too long, else a file beside each shortcut that is.
        std::vector<std::string> decoys;
        if (folder.size() >= MAX_PATH) {
            decoys.push_back(folder.substr(0, MAX_PATH - 1));
            ASSERT_TRUE(CreateFolderW(decoys.back())) << decoys.back();
        } else {
            for (std::string const& shortcut : {folder + "\\Lumivane.Lnk", folder + "\\Uninstall.Lnk"}) {
                if (shortcut.size() < MAX_PATH)
                    continue;
                decoys.push_back(shortcut.substr(0, MAX_PATH - 1));
                ASSERT_TRUE(WriteFileW(decoys.back())) << decoys.back();
            }
        }
        ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", programs));

        DeleteStartMenuShortcuts();

        EXPECT_EQ(!c.lumivaneGoes, ExistsW(folder + "\\Lumivane.Lnk"));
        EXPECT_EQ(!c.uninstallGoes, ExistsW(folder + "\\Uninstall.Lnk"));
        EXPECT_EQ(!c.folderGoes, ExistsW(folder));
        for (std::string const& decoy : decoys)
            EXPECT_TRUE(ExistsW(decoy)) << decoy.size() << " characters: " << decoy;
        EXPECT_EQ("", LeftForRestart()) << "nothing else goes at the restart either";
    }
}
