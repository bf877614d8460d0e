// The settings steps in-process against the real registry, "system.ini" and shell links,
// and the Start menu folder through the real setup.exe.
#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "paths.h"
#include "settings.h"
#include "shortcuts.h"
#include "setup_driver.h"

using namespace setuptest;

namespace {

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
char const ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string IniValue(char const* section, char const* key, std::string const& file)
{
    char value[256];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, file.c_str());
    return value;
}

}  // namespace

TEST(SetupSettings, EveryRegistryValueIsWrittenAndOldCommandLinesReplaced)
{
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Tamrix", "C:\\Old\\brindlex.exe");
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Lumivane", "C:\\Old\\Pupex.exe");
    SetString(HKEY_LOCAL_MACHINE, RunKey, "Another", "other.exe");

    RegisterControlPanelAndRun();
    RegisterLumivaneRun();
    WriteUninstallEntry();

    struct {
        HKEY root;
        char const* key;
        char const* name;
        char const* data;
    } const table[] = {
        // root, key, value name, the REG_SZ it holds
        {HKEY_CLASSES_ROOT, "CLSID\\{D4BCF700-791D-11CF-99F9-444553540000}\\InProcServer32", "",
         "C:\\Tamrix\\quorrane.dll"},
        {HKEY_CLASSES_ROOT, "CLSID\\{D4BCF700-791D-11CF-99F9-444553540000}\\InProcServer32", "ThreadingModel",
         "Apartment"},
        {HKEY_LOCAL_MACHINE,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\Tamrix "
         "CPL",
         "", "{D4BCF700-791D-11CF-99F9-444553540000}"},
        {HKEY_LOCAL_MACHINE, RunKey, "Tamrix", "C:\\Tamrix\\brindlex.exe C:\\Tamrix"},
        {HKEY_LOCAL_MACHINE, RunKey, "Lumivane", "C:\\Tamrix\\Pupex.exe C:\\Tamrix"},
        {HKEY_LOCAL_MACHINE, RunKey, "Another", "other.exe"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumivane", "DisplayName",
         "Tamrix Lumivane"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumivane", "UninstallString",
         "C:\\Tamrix\\Pebbroth.exe"},
    };
    for (auto const& row : table) {
        SCOPED_TRACE(std::string(row.key) + " : " + row.name);
        auto value = ReadValue(row.root, row.key, row.name);
        ASSERT_TRUE(value);
        EXPECT_EQ(DWORD(REG_SZ), value.type);
        EXPECT_EQ(Value::Sz(row.data).data, value.data);
    }
    EXPECT_FALSE(ReadValue(HKEY_CLASSES_ROOT, "CLSID\\{D4BCF700-791D-11CF-99F9-444553540000}", ""))
        << "the class key itself gets no value";
}

TEST(SetupSettings, SystemIniGetsItsThreeEntriesAndKeepsEverythingElse)
{
    struct {
        char const* name;
        char const* before;
    } const cases[] = {
        {"with the sections",
         "; kept comment\r\n[boot]\r\nshell=Explorer.exe\r\nmouse.drv=oldmouse.drv\r\n[boot.description]\r\n"
         "mouse.drv=Old Mouse\r\nkeyboard.typ=Standard\r\n[386Enh]\r\nmouse=*oldmouse\r\nkeyboard=*vkd\r\n"},
        {"without the sections", "; kept comment\r\n[drivers]\r\nwave=mmdrv.dll\r\n"},
    };
    std::string const file = WindowsFolder() + "\\system.ini";
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(file, c.before));
        WriteSystemIni();
        EXPECT_EQ("mouse.drv", IniValue("boot", "mouse.drv", file));
        EXPECT_EQ("Tamrix Driver", IniValue("boot.description", "mouse.drv", file));
        EXPECT_EQ("*vmouse", IniValue("386Enh", "mouse", file));
        std::string const after = ReadFileBytes(file).value_or("");
        EXPECT_NE(std::string::npos, after.find("; kept comment")) << after;
        std::string const before = c.before;
        for (char const* kept : {"shell=Explorer.exe", "keyboard.typ=Standard", "keyboard=*vkd", "wave=mmdrv.dll"}) {
            if (before.find(kept) != std::string::npos) {
                EXPECT_NE(std::string::npos, after.find(kept)) << kept << " in\n" << after;
            }
        }
        EXPECT_EQ(std::string::npos, after.find("oldmouse")) << after;
    }
}

TEST(SetupSettings, CreateShortCutWritesTargetAndDescriptionOverAnOldFile)
{
    std::string const link = TempPath("Uninstall.Lnk");
    ASSERT_TRUE(WriteFileBytes(link, "not a link at all"));
    CoInitialize(nullptr);
    HRESULT const result = CreateShortCut("c:\\Tamrix\\Pebbroth.exe", link.c_str(), "C:\\Menu\\Tamrix\\Uninstall");
    CoUninitialize();
    EXPECT_EQ(S_OK, result);
    auto read = ReadLink(link);
    ASSERT_TRUE(read);
    EXPECT_EQ("c:\\Tamrix\\Pebbroth.exe", read->target);
    EXPECT_EQ("C:\\Menu\\Tamrix\\Uninstall", read->description);
}

TEST(SetupSettings, StartMenuFolderFollowsShellFoldersAndFallsBackToTheWindowsFolder)
{
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, ShellFolders, "Programs", "C:\\Some Menu\\Programs"));
    char folder[MAX_PATH];
    ASSERT_TRUE(FindStartMenuFolder(folder));
    EXPECT_STREQ("C:\\Some Menu\\Programs\\Tamrix", folder);

    ASSERT_TRUE(DeleteValue(HKEY_CURRENT_USER, ShellFolders, "Programs"));
    ASSERT_TRUE(FindStartMenuFolder(folder));
    EXPECT_EQ(WindowsFolder() + "\\Start Menu\\Programs\\Tamrix", std::string(folder));

    // A folder whose shortcuts could not be named in a path is refused, not cut short.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, ShellFolders, "Programs", "C:\\" + std::string(MAX_PATH - 8, 'p')));
    EXPECT_FALSE(FindStartMenuFolder(folder));
}

TEST(SetupSettings, ShortcutsOfARealInstallationReplaceOldOnes)
{
    struct {
        char const* name;
        bool programsValue;
    } const cases[] = {{"Programs of Shell Folders", true}, {"Windows folder fallback", false}};
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        std::string programs = WindowsFolder() + "\\Start Menu\\Programs";
        if (c.programsValue) {
            programs = "C:\\Menus\\Programs";
            CreateDirectoryA("C:\\Menus", nullptr);
            CreateDirectoryA(programs.c_str(), nullptr);
            ASSERT_TRUE(SetString(HKEY_CURRENT_USER, ShellFolders, "Programs", programs));
        } else {
            DeleteValue(HKEY_CURRENT_USER, ShellFolders, "Programs");
            CreateDirectoryA((WindowsFolder() + "\\Start Menu").c_str(), nullptr);
            CreateDirectoryA(programs.c_str(), nullptr);
        }
        std::string const folder = programs + "\\Tamrix";
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(folder + "\\Uninstall.Lnk", "an old shortcut"));

        SetupRun setup;
        ASSERT_TRUE(setup.ChooseInstallation(true, true));
        ASSERT_TRUE(setup.FinishWithoutReboot());

        struct {
            char const* name;
            char const* target;
        } const links[] = {{"Lumivane", "c:\\Tamrix\\Pupex.exe"}, {"Uninstall", "c:\\Tamrix\\Pebbroth.exe"}};
        for (auto const& l : links) {
            SCOPED_TRACE(l.name);
            auto link = ReadLink(folder + "\\" + l.name + ".Lnk");
            ASSERT_TRUE(link);
            EXPECT_EQ(l.target, link->target);
            EXPECT_EQ(folder + "\\" + l.name, link->description);
        }
    }
}

TEST(SetupSettings, JoinedPathsThatDoNotFitAreRefusedWhole)
{
    struct {
        std::size_t firstLength;
        std::size_t secondLength;
        bool fits;
    } const cases[] = {{250, 9, true}, {250, 10, false}, {259, 0, true}, {0, 259, true}, {300, 1, false}};
    for (auto const& c : cases) {
        SCOPED_TRACE(std::to_string(c.firstLength) + " + " + std::to_string(c.secondLength));
        std::string const first(c.firstLength, 'a');
        std::string const second(c.secondLength, 'b');
        // One byte past the buffer shows an overrun.
        struct {
            PathBuffer path;
            char guard;
        } buffer;
        std::memset(&buffer, 'G', sizeof buffer);
        EXPECT_EQ(c.fits, JoinPath(buffer.path, first.c_str(), second.c_str()));
        EXPECT_EQ('G', buffer.guard);
        EXPECT_EQ(c.fits ? first + second : std::string(), std::string(buffer.path));
    }
}
