#include "remover.h"

#include <windows.h>

#include "file_steps.h"
#include "mousetypedlg.h"
#include "registry_steps.h"

namespace {

CRemoverApp theApp;

char const RestartQuestion[] = "You must reboot the computer to enable new settings!\r\n\r\nReboot now?";
char const RestartCaption[] = "Uninstall Successfully...";
char const NotCompleteMessage[] =
    "Uninstallation is not complete. If you quit the Uninstall program now,\nthe program will not be removed."
    "\n\n\nYou may run the Uninstall program at a later time to complete\nthe Uninstallation.";
char const NotCompleteCaption[] = "Exit Uninstall...";

// PROCESS_ALL_ACCESS as Windows NT 4.0 defines it. The headers widen the mask to 0xFFFF
// specific rights when _WIN32_WINNT asks for Windows Vista or later, and every Windows before
// Vista refuses the wider mask with ERROR_ACCESS_DENIED.
DWORD const ProcessAllAccess = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0x0FFF;
static_assert(ProcessAllAccess == 0x001F0FFF, "the mask of Windows NT 4.0");

} // namespace

BOOL CRemoverApp::InitInstance()
{
    CMouseTypeDlg dialog;
    switch (dialog.DoModal()) {
    case IDOK:
        RunRemoval();
        OfferRestart();
        break;
    case IDCANCEL:
        ShowRemovalNotComplete();
        break;
    default:
        // The dialog could not be shown: nothing was asked, so nothing is done.
        break;
    }
    return FALSE;
}

// No step can stop the removal: each leaves alone what it cannot remove.
void CRemoverApp::RunRemoval()
{
    RemoveRunEntry();
    RemoveUninstallEntry();
    RemovePropertySheetHandler();
    if (RemovalPortChoice == 0)
        RemovePs2Service();
    if (RemovalPortChoice == 1)
        RemoveSerialService();
    DeleteInstalledFiles();
    DeleteDriverFiles();
    DeleteStartMenuShortcuts();
}

void CRemoverApp::OfferRestart()
{
    if (MessageBoxA(nullptr, RestartQuestion, RestartCaption, MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        RebootSystem();
}

void CRemoverApp::ShowRemovalNotComplete()
{
    MessageBoxA(nullptr, NotCompleteMessage, NotCompleteCaption, MB_OK | MB_ICONEXCLAMATION);
}

void RebootSystem()
{
    // Windows NT restarts only for a process that holds the shutdown privilege enabled.
    TOKEN_PRIVILEGES shutdown{};
    shutdown.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown.Privileges[0].Luid);
    shutdown.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    HANDLE process = OpenProcess(ProcessAllAccess, TRUE, GetCurrentProcessId());
    HANDLE token = nullptr;
    if (process)
        OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES, &token);
    if (token)
        AdjustTokenPrivileges(token, FALSE, &shutdown, 0, nullptr, nullptr);

    ExitWindowsEx(EWX_REBOOT, 0);

    if (token)
        CloseHandle(token);
    if (process)
        CloseHandle(process);
}
