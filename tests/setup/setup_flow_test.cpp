// The installer's dialog sequence, driven on the real setup.exe from the real medium.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "setup_driver.h"

using namespace setuptest;

namespace {

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
char const UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumivane";

int CheckOf(HWND dialog, int id)
{
    auto control = winauto::FindControl(dialog, id);
    return control ? control->check : -2;
}

// What an installation leaves that a cancelled one must not.
struct Footprint {
    bool installFolder;
    bool driverInSystem;
    bool runKeyTamrix;
    bool uninstallKey;
    bool serialDevice;
    std::string systemIni;
};

Footprint TakeFootprint()
{
    return {FolderExists("C:\\Tamrix"),
            FileExists(SystemFolder() + "\\tamrix.vxd"),
            ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Tamrix").present,
            KeyExists(HKEY_LOCAL_MACHINE, UninstallKey),
            KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C"),
            ReadFileBytes(WindowsFolder() + "\\system.ini").value_or("")};
}

}  // namespace

TEST(SetupFlow, DefaultChoicesInstallSerialWithLumivane)
{
    SetupRun setup;
    HWND welcome = setup.WaitForDialog("Welcome", "setup-welcome.png");
    ASSERT_TRUE(welcome);
    ASSERT_TRUE(winauto::ClickControl(welcome, IDOK));

    HWND type = setup.WaitForDialog("Select Installation Type", "setup-install-type.png");
    ASSERT_TRUE(type);
    EXPECT_EQ(BST_CHECKED, CheckOf(type, IDC_SERIAL_PORT));
    EXPECT_EQ(BST_UNCHECKED, CheckOf(type, IDC_PS2_PORT));
    EXPECT_EQ(BST_CHECKED, CheckOf(type, IDC_LUMIVANE));
    ASSERT_TRUE(winauto::ClickControl(type, IDOK));

    HWND finished = setup.WaitForDialog("Install Finished", "setup-install-finished.png");
    ASSERT_TRUE(finished);
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Copy files", setup.Id())) << "the copy dialog is gone by now";
    ASSERT_TRUE(setup.FinishWithoutReboot());
    EXPECT_EQ(0u, setup.WaitForExit().value_or(0xDEAD));

    for (char const* file : {"tamrix.vxd", "brindlex.exe", "rodlink.dll", "quorrane.dll", "tamrix.hlp", "tamrix.cnt",
                             "QUELLBOX.INF", "Pebbroth.exe", "Pupex.exe", "Pupex.dll"})
        EXPECT_TRUE(FileExists(std::string("C:\\Tamrix\\") + file)) << file;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000"));
    auto lumivane = ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Lumivane");
    ASSERT_TRUE(lumivane);
    EXPECT_EQ(Value::Sz("C:\\Tamrix\\Pupex.exe C:\\Tamrix").data, lumivane.data);
    std::string const folder = ProgramsFolder() + "\\Tamrix";
    EXPECT_TRUE(FileExists(folder + "\\Lumivane.Lnk")) << folder;
    EXPECT_TRUE(FileExists(folder + "\\Uninstall.Lnk")) << folder;
}

TEST(SetupFlow, Ps2WithoutLumivaneRegistersPs2AndLeavesLumivaneOut)
{
    SetupRun setup;
    ASSERT_TRUE(setup.Answer("Welcome", IDOK));
    HWND type = setup.WaitForDialog("Select Installation Type");
    ASSERT_TRUE(type);
    ASSERT_TRUE(winauto::ClickControl(type, IDC_PS2_PORT));
    ASSERT_TRUE(winauto::ClickControl(type, IDC_LUMIVANE));
    ASSERT_TRUE(winauto::WaitUntil(Timeout, [&] { return CheckOf(type, IDC_LUMIVANE) == BST_UNCHECKED; }));
    EXPECT_EQ(BST_CHECKED, CheckOf(type, IDC_PS2_PORT));
    EXPECT_EQ(BST_UNCHECKED, CheckOf(type, IDC_SERIAL_PORT));
    winauto::Screenshot(type, "setup-install-type-ps2.png");
    ASSERT_TRUE(winauto::ClickControl(type, IDOK));
    ASSERT_TRUE(setup.FinishWithoutReboot());

    std::vector<std::string> copied = {SystemFolder() + "\\tamrix.vxd", WindowsFolder() + "\\Inf\\Other\\quellbox.inf"};
    for (char const* file : {"tamrix.vxd", "brindlex.exe", "rodlink.dll", "quorrane.dll", "tamrix.hlp", "tamrix.cnt",
                             "QUELLBOX.INF", "Pebbroth.exe"})
        copied.push_back(std::string("C:\\Tamrix\\") + file);
    for (std::string const& file : copied)
        EXPECT_TRUE(FileExists(file)) << file;
    EXPECT_FALSE(FileExists("C:\\Tamrix\\Pupex.exe"));
    EXPECT_FALSE(FileExists("C:\\Tamrix\\Pupex.dll"));

    auto driver = ReadValue(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000", "DeviceDesc");
    ASSERT_TRUE(driver);
    EXPECT_EQ(Value::Sz("Tamrix on PS/2 Port").data, driver.data);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C"));
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Lumivane"));
    EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Tamrix"));
    auto name = ReadValue(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName");
    ASSERT_TRUE(name);
    EXPECT_EQ(Value::Sz("Tamrix Lumivane").data, name.data);
    std::string const folder = ProgramsFolder() + "\\Tamrix";
    EXPECT_FALSE(FileExists(folder + "\\Lumivane.Lnk"));
    EXPECT_TRUE(FileExists(folder + "\\Uninstall.Lnk"));
}

TEST(SetupFlow, CancelOnEachDialogResumesAtWelcomeWithTypeDefaults)
{
    Footprint const before = TakeFootprint();
    SetupRun setup;

    // Cancel on the Welcome dialog, then Resume.
    ASSERT_TRUE(setup.Answer("Welcome", IDCANCEL));
    HWND exitSetup = setup.WaitForDialog("Exit Setup", "setup-exit-setup.png");
    ASSERT_TRUE(exitSetup);
    ASSERT_TRUE(winauto::ClickControl(exitSetup, IDOK));

    // Cancel on the type dialog after other choices, then Resume: Welcome again, and the
    // type dialog back at its defaults.
    ASSERT_TRUE(setup.Answer("Welcome", IDOK));
    HWND type = setup.WaitForDialog("Select Installation Type");
    ASSERT_TRUE(type);
    ASSERT_TRUE(winauto::ClickControl(type, IDC_PS2_PORT));
    ASSERT_TRUE(winauto::ClickControl(type, IDC_LUMIVANE));
    ASSERT_TRUE(winauto::WaitUntil(Timeout, [&] { return CheckOf(type, IDC_LUMIVANE) == BST_UNCHECKED; }));
    ASSERT_TRUE(winauto::ClickControl(type, IDCANCEL));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDOK));
    ASSERT_TRUE(setup.Answer("Welcome", IDOK));
    type = setup.WaitForDialog("Select Installation Type");
    ASSERT_TRUE(type);
    EXPECT_EQ(BST_CHECKED, CheckOf(type, IDC_SERIAL_PORT));
    EXPECT_EQ(BST_UNCHECKED, CheckOf(type, IDC_PS2_PORT));
    EXPECT_EQ(BST_CHECKED, CheckOf(type, IDC_LUMIVANE));

    // Esc on the type dialog, then Exit Setup: the program ends having changed nothing.
    ASSERT_TRUE(winauto::PressEscape(type));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_EQ(0u, setup.WaitForExit().value_or(0xDEAD));

    Footprint const after = TakeFootprint();
    EXPECT_EQ(before.installFolder, after.installFolder);
    EXPECT_FALSE(after.installFolder);
    EXPECT_EQ(before.driverInSystem, after.driverInSystem);
    EXPECT_EQ(before.runKeyTamrix, after.runKeyTamrix);
    EXPECT_EQ(before.uninstallKey, after.uninstallKey);
    EXPECT_EQ(before.serialDevice, after.serialDevice);
    EXPECT_EQ(before.systemIni, after.systemIni);
}

TEST(SetupFlow, CloseBoxOfWelcomeAsksToExit)
{
    SetupRun setup;
    HWND welcome = setup.WaitForDialog("Welcome");
    ASSERT_TRUE(welcome);
    ASSERT_TRUE(winauto::PressCloseBox(welcome));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_EQ(0u, setup.WaitForExit().value_or(0xDEAD));
    EXPECT_FALSE(FolderExists("C:\\Tamrix"));
}

TEST(SetupFlow, AboutItemShowsAboutBoxAndReturnsToWelcome)
{
    SetupRun setup;
    HWND welcome = setup.WaitForDialog("Welcome");
    ASSERT_TRUE(welcome);
    // As a user would in the active window: Alt+Space opens the system menu, Up goes round to
    // its last item, the one the dialog appended, and Enter chooses it. (Its mnemonic would
    // not do: Wine's system menu has an "&About Wine" item of its own.)
    SetForegroundWindow(welcome);
    ASSERT_TRUE(winauto::WaitUntil(Timeout, [&] { return GetForegroundWindow() == welcome; }))
        << GetForegroundWindow();
    ASSERT_TRUE(PostMessageA(welcome, WM_SYSCOMMAND, SC_KEYMENU, ' '));
    HWND menu = winauto::WaitForPopupMenu(Timeout, setup.Id());
    ASSERT_TRUE(menu) << "no system menu";
    ASSERT_TRUE(winauto::PostKey(menu, VK_UP));
    ASSERT_TRUE(winauto::PostKey(menu, VK_RETURN));
    HWND about = setup.WaitForDialog("About Setup", "setup-about.png");
    ASSERT_TRUE(about);
    bool versionShown = false;
    for (auto const& control : winauto::ReadControls(about))
        versionShown = versionShown || control.text == "Setup Version 1.0";
    EXPECT_TRUE(versionShown);
    ASSERT_TRUE(winauto::ClickControl(about, IDOK));
    ASSERT_TRUE(winauto::WaitForWindowGone(about, Timeout));

    // The same showing of Welcome goes on; the low four bits of a system command, which the
    // system keeps for itself, do not hide the item's command.
    EXPECT_TRUE(IsWindow(welcome));
    ASSERT_TRUE(PostMessageA(welcome, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x0003, 0));
    about = setup.WaitForDialog("About Setup");
    ASSERT_TRUE(about);
    ASSERT_TRUE(winauto::PressCloseBox(about));
    ASSERT_TRUE(winauto::WaitForWindowGone(about, Timeout));

    // Its Next still leads on.
    EXPECT_TRUE(IsWindow(welcome));
    ASSERT_TRUE(winauto::ClickControl(welcome, IDOK));
    ASSERT_TRUE(setup.Answer("Select Installation Type", IDCANCEL));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());
}

TEST(SetupFlow, InstallFinishedYesRequestsRestart)
{
    winauto::EndSessionSentinel sentinel;
    ASSERT_TRUE(sentinel.Start(TempPath("setup-restart.log")));

    SetupRun setup;
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    ASSERT_TRUE(setup.Answer("Install Finished", IDOK));
    EXPECT_TRUE(sentinel.WaitForEndSessionRequest(Timeout)) << sentinel.Log();
    EXPECT_TRUE(setup.WaitForExit());
}

TEST(SetupFlow, InstallFinishedNoEndsWithoutRestart)
{
    winauto::EndSessionSentinel sentinel;
    ASSERT_TRUE(sentinel.Start(TempPath("setup-norestart.log")));

    SetupRun setup;
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    ASSERT_TRUE(setup.FinishWithoutReboot());
    Sleep(500);
    EXPECT_FALSE(sentinel.EndSessionRequested()) << sentinel.Log();
    EXPECT_TRUE(FileExists("C:\\Tamrix\\rodlink.dll"));
}
