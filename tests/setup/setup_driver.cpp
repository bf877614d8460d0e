#include "setup_driver.h"

#include "resource.h"

#include <objidl.h>
#include <shlobj.h>

#include <algorithm>

namespace setuptest {

std::string MediumFolder()
{
    return WindowsPath(SETUP_MEDIUM);
}

std::string SourcePath(std::string const& relative)
{
    return WindowsPath(std::string(TAMRIX_SOURCE_DIR) + "/" + relative);
}

std::string UnreadableMediumFolder()
{
    return WindowsPath(UNREADABLE_MEDIUM);
}

std::string MediumCopyWithout(std::vector<std::string> const& missing)
{
    std::string const copy = TempPath("medium-" + std::to_string(GetTickCount()));
    CreateDirectoryA(copy.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((MediumFolder() + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return copy;
    do {
        std::string const name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (std::find(missing.begin(), missing.end(), name) != missing.end())
            continue;
        CopyFileA((MediumFolder() + "\\" + name).c_str(), (copy + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copy;
}

std::string ProgramsFolder()
{
    Value const value =
        ReadValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs");
    return value ? value.Text() : WindowsFolder() + "\\Start Menu\\Programs";
}

std::optional<Link> ReadLink(std::string const& path)
{
    if (!FileExists(path))
        return std::nullopt;
    std::optional<Link> result;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            WCHAR widePath[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
            if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
                char target[MAX_PATH] = {};
                char description[MAX_PATH] = {};
                link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
                link->GetDescription(description, MAX_PATH);
                result = Link{target, description};
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return result;
}

SetupRun::SetupRun(std::string const& medium)
    : SetupRun(medium, medium)
{
}

SetupRun::SetupRun(std::string const& medium, std::string const& currentDirectory, std::string const& program)
    : ProgramRun(winauto::CommandLine(medium + "\\" + program), currentDirectory)
{
}

HWND SetupRun::WaitForDialog(char const* title, char const* shotName) const
{
    HWND dialog = ProgramRun::WaitForDialog(title);
    if (dialog && shotName)
        winauto::Screenshot(dialog, shotName);
    return dialog;
}

bool SetupRun::Answer(char const* title, int button) const
{
    HWND dialog = WaitForDialog(title);
    return dialog && winauto::ClickControl(dialog, button) && winauto::WaitForWindowGone(dialog, Timeout);
}

bool SetupRun::ChooseInstallation(bool serial, bool lumivane) const
{
    if (!Answer("Welcome", IDOK))
        return false;
    HWND type = WaitForDialog("Select Installation Type");
    if (!type)
        return false;
    if (!serial && !winauto::ClickControl(type, IDC_PS2_PORT))
        return false;
    if (!lumivane && !winauto::ClickControl(type, IDC_LUMIVANE))
        return false;
    // The clicks are posted: they are handled before the Next that follows them.
    return winauto::ClickControl(type, IDOK) && winauto::WaitForWindowGone(type, Timeout);
}

bool SetupRun::FinishWithoutReboot() const
{
    return Answer("Install Finished", IDCANCEL) && WaitForExit().has_value();
}

std::optional<FailedCopy> SetupRun::ExitAfterFailedCopy() const
{
    auto box = WaitForMessageBox("Setup Error");
    HWND copy = winauto::FindTopWindow("#32770", "Copy files", Id());
    if (!box || !copy)
        return std::nullopt;
    FailedCopy const failed{box->text, winauto::ControlText(copy, IDC_COPY_FROM),
                            winauto::ControlText(copy, IDC_COPY_TO)};
    if (!winauto::ClickControl(box->hwnd, IDOK) || !WaitForDialog("Exit Setup") ||
        winauto::FindTopWindow("#32770", "Setup Error", Id()))
        return std::nullopt;
    if (!Answer("Exit Setup", IDCANCEL) || !WaitForExit())
        return std::nullopt;
    return failed;
}

}  // namespace setuptest
