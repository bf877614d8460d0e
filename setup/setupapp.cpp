// The installer: a fixed series of dialogs around the copy, registration and settings steps,
// all run from the application's start-up routine.
#include "setupapp.h"

#include "dialogs.h"
#include "registration.h"
#include "settings.h"
#include "state.h"

#include <initializer_list>

namespace {

// The dialogs of one run, made once before the first one appears and reused on every pass.
struct SetupDialogs {
    CWelcomeDlg welcome;
    CExitSetupDlg exitSetup;
    CCopyFilesDlg copyFiles;
    CInstallTypeDlg installType;
    CInstallFinishedDlg installFinished;
};

enum class PassEnd { Finished, Cancelled, Ended };

// The copy chain; false when a file could not be copied.
bool CopyFiles(CCopyFilesDlg& copyFiles)
{
    copyFiles.Create();
    copyFiles.UpdateWindow();
    using Step = void (CCopyFilesDlg::*)();
    for (Step step : {&CCopyFilesDlg::CopyDriverToSystem, &CCopyFilesDlg::CopyProgramFiles,
                      &CCopyFilesDlg::CopyInfToWindows, &CCopyFilesDlg::CopyUninstallerAndLumivane}) {
        (copyFiles.*step)();
        if (CopyErrorFlag == 1)
            return false;
    }
    copyFiles.CreateStartMenuShortcuts();
    return true;
}

// Nothing these steps report stops the installation.
void RegisterAndSetUp()
{
    if (PortChoice == 0)
        RegisterPs2Mouse();
    else if (PortChoice == 1)
        RegisterSerialMouse();
    RegisterControlPanelAndRun();
    WriteSystemIni();
    if (LumivaneChoice == 1)
        RegisterLumivaneRun();
    WriteUninstallEntry();
}

void AskToReboot(CInstallFinishedDlg& installFinished)
{
    if (installFinished.DoModal() == IDOK)
        ExitWindowsEx(EWX_REBOOT, 0);
}

// One pass through the wizard, from the Welcome dialog on.
PassEnd RunPass(SetupDialogs& dialogs)
{
    CopyErrorFlag = 0;
    INT_PTR result = dialogs.welcome.DoModal();
    if (result == IDOK)
        result = dialogs.installType.DoModal();
    if (result == IDCANCEL)
        return PassEnd::Cancelled;
    if (result != IDOK)
        return PassEnd::Ended;
    if (!CopyFiles(dialogs.copyFiles))
        return PassEnd::Cancelled;
    RegisterAndSetUp();
    dialogs.copyFiles.DestroyWindow();
    AskToReboot(dialogs.installFinished);
    return PassEnd::Finished;
}

} // namespace

namespace {

CSetupApp theApp;

} // namespace

BOOL CSetupApp::InitInstance()
{
    Enable3dControls();
    SetupDialogs dialogs;
    // A cancelled pass asks whether to quit; Resume starts a new pass at the Welcome dialog.
    while (RunPass(dialogs) == PassEnd::Cancelled) {
        dialogs.copyFiles.DestroyWindow();
        if (dialogs.exitSetup.DoModal() != IDOK)
            break;
    }
    return FALSE;
}
