// The package's NT installation as the demo's ntinstall.exe puts it: one port's driver alone,
// the common shortcuts copied from setup's, and the Windows 95 installation's files kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ntinstall.h"

using namespace ntinstall;

namespace {

std::string ServiceKey(char const* service)
{
    return std::string(ServicesKey) + "\\" + service;
}

std::string DriverFile(char const* driverService)
{
    return SystemFolder() + "\\Drivers\\" + driverService + ".sys";
}

std::string StartValue(char const* service)
{
    Value const value = ReadValue(HKEY_LOCAL_MACHINE, ServiceKey(service), "Start");
    if (!value || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return "missing or not a REG_DWORD";
    return std::to_string(value.Number());
}

void RemovePorts()
{
    for (PortEntries const* port : {&SerialPort, &Ps2Port}) {
        DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(port->driverService));
        DeleteTree(HKEY_LOCAL_MACHINE, ServiceKey(port->systemService));
        DeleteFileA(DriverFile(port->driverService).c_str());
    }
}

} // namespace

TEST(NtInstallation, OnePortsDriverAloneStartsWithTheSystem)
{
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", DefaultCommonPrograms()));
    for (PortEntries const* port : {&SerialPort, &Ps2Port}) {
        PortEntries const& other = port == &SerialPort ? Ps2Port : SerialPort;
        SCOPED_TRACE(port->driverService);
        RemovePorts();

        NtInstallation installation;
        installation.ports = {port};
        EXPECT_TRUE(PutPackageInstallation(installation));

        EXPECT_EQ("1", StartValue(port->driverService));
        EXPECT_EQ("3", StartValue(port->systemService)) << "the system's own driver no longer starts";
        EXPECT_TRUE(FileExists(DriverFile(port->driverService))) << DriverFile(port->driverService);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ServiceKey(other.driverService))) << other.driverService;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ServiceKey(other.systemService))) << other.systemService;
        EXPECT_FALSE(FileExists(DriverFile(other.driverService))) << DriverFile(other.driverService);
    }
}

TEST(NtInstallation, ShortcutsAreCopiesOfTheGivenOnesAndFilesInPlaceStay)
{
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", DefaultCommonPrograms()));
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    std::string const from = std::string(temp) + "user shortcuts";
    CreateDirectoryA(from.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(from + "\\Lumivane.Lnk", "the user's Lumivane link"));
    ASSERT_TRUE(WriteFileBytes(from + "\\Uninstall.Lnk", "the user's Uninstall link"));
    CreateDirectoryA("c:\\Tamrix", nullptr);
    ASSERT_TRUE(WriteFileBytes("c:\\Tamrix\\Pupex.exe", "the program setup installed"));

    NtInstallation installation;
    installation.shortcutsFrom = from;
    EXPECT_TRUE(PutPackageInstallation(installation));

    std::string const common = DefaultCommonPrograms() + "\\Tamrix\\";
    EXPECT_EQ("the user's Lumivane link", ReadFileBytes(common + "Lumivane.Lnk").value_or(""));
    EXPECT_EQ("the user's Uninstall link", ReadFileBytes(common + "Uninstall.Lnk").value_or(""));
    EXPECT_EQ("the program setup installed", ReadFileBytes("c:\\Tamrix\\Pupex.exe").value_or(""));
    for (char const* file : InstalledFiles)
        EXPECT_TRUE(FileExists(file)) << file;
}

TEST(NtInstallation, FailsWhenTheShortcutsCannotBePut)
{
    struct Case {
        char const* name;
        bool commonPrograms;
        char const* from;
    } const cases[] = {
        {"no \"Common Programs\"", false, ""},
        {"no shortcuts to copy", true, "c:\\no such folder"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.commonPrograms)
            ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", DefaultCommonPrograms()));
        else
            ASSERT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs"));
        NtInstallation installation;
        installation.shortcutsFrom = c.from;
        EXPECT_FALSE(PutPackageInstallation(installation));
    }
}
