// The package's Windows NT installation, put in place from the command line with the code the
// remover's tests put it with, for the demo:
//   ntinstall [--port serial|ps2]... [--user-shortcuts]
// --port: the port whose driver is installed and starts with the system (both without one);
// --user-shortcuts: the common shortcuts are copies of those setup made in the user's Start
// menu, in place of stand-ins. Exit code 1 when a part could not be put.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ntinstall.h"

namespace {

int Usage()
{
    std::fputs("usage: ntinstall [--port serial|ps2]... [--user-shortcuts]\n", stderr);
    return 2;
}

// The folder setup makes its shortcuts in: "Tamrix" in the user's Start menu programs.
std::string UserShortcuts()
{
    machine::Value const programs = machine::ReadValue(HKEY_CURRENT_USER, ntinstall::ShellFoldersKey, "Programs");
    return programs ? programs.Text() + "\\Tamrix" : std::string();
}

} // namespace

int main(int argc, char** argv)
{
    ntinstall::NtInstallation installation;
    installation.ports.clear();
    bool userShortcuts = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            ++i;
            if (std::strcmp(argv[i], "serial") == 0)
                installation.ports.push_back(&ntinstall::SerialPort);
            else if (std::strcmp(argv[i], "ps2") == 0)
                installation.ports.push_back(&ntinstall::Ps2Port);
            else
                return Usage();
        } else if (std::strcmp(argv[i], "--user-shortcuts") == 0) {
            userShortcuts = true;
        } else {
            return Usage();
        }
    }
    if (installation.ports.empty())
        installation.ports = {&ntinstall::SerialPort, &ntinstall::Ps2Port};
    if (userShortcuts) {
        installation.shortcutsFrom = UserShortcuts();
        if (installation.shortcutsFrom.empty()) {
            std::fputs("ntinstall: the user's Start menu programs folder is not in the registry\n", stderr);
            return 1;
        }
    }
    if (!ntinstall::PutPackageInstallation(installation)) {
        std::fputs("ntinstall: a part of the installation could not be put\n", stderr);
        return 1;
    }
    return 0;
}
