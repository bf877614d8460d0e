// What the installer's tests share: the installation medium, the real setup.exe run from it
// and driven through its dialogs, and read-backs of what it left on disk and in the registry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "machine.h"
#include "winauto.h"

namespace setuptest {

using namespace machine;

DWORD const Timeout = winauto::kProgramTimeoutMs;

// The two messages a failed copy ends in.
inline char const UnreadableSource[] =
    "Can't read source file to continue copying!\n\nYou must check your path of source file!";
inline char const UnwritableDestination[] =
    "Can't write destination file to continue copying!\n\nYou must check your path of destination file!";

// The medium the build assembled, as a Windows path.
std::string MediumFolder();
// A path of the source tree, as a Windows path ("standins/medium/tamrix.vxd").
std::string SourcePath(std::string const& relative);
// A copy of the medium in the temporary folder, without the named files.
std::string MediumCopyWithout(std::vector<std::string> const& missing);
// The medium as the build also assembled it with a device information file ("quellbox.inf",
// found as "QUELLBOX.INF" too) that opens but cannot be read: the build links that name to
// Linux's /proc/self/mem, whose first page no read can reach.
std::string UnreadableMediumFolder();

// "Programs" of the per-user "Shell Folders", or the Windows folder's "Start Menu\Programs".
std::string ProgramsFolder();

// The target and description of a shell link, read back through IShellLinkA.
struct Link {
    std::string target;
    std::string description;
};
std::optional<Link> ReadLink(std::string const& path);

// What the Copy files dialog showed with a "Setup Error" message.
struct FailedCopy {
    std::string message;
    std::string from;
    std::string to;
};

// setup.exe started from a medium folder (by default also its current directory), with the
// installer's own steps.
class SetupRun : public winauto::ProgramRun {
public:
    explicit SetupRun(std::string const& medium = MediumFolder());
    // setup.exe of one medium started with another folder as its current directory; or the
    // installer under another file name there, which gives it a Windows version of its own.
    SetupRun(std::string const& medium, std::string const& currentDirectory,
             std::string const& program = "setup.exe");

    // The dialog with this title, once shown; a screenshot of it when shotName is given.
    HWND WaitForDialog(char const* title, char const* shotName = nullptr) const;
    // Waits for the dialog, clicks the button and waits for the dialog to go.
    bool Answer(char const* title, int button) const;
    // Welcome: Next; type dialog: the choices, then Next.
    bool ChooseInstallation(bool serial, bool lumivane) const;
    // From Install Finished: No, then the program's end.
    bool FinishWithoutReboot() const;
    // A pass that stops at one "Setup Error" message: what it showed; then OK, Exit Setup and
    // the program's end. nullopt when the run goes another way, a second message included.
    std::optional<FailedCopy> ExitAfterFailedCopy() const;
};

}  // namespace setuptest
