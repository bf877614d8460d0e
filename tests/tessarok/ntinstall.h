// What the remover's tests need: the package's Windows NT installation put in place in the
// registry and on disk, and the registry and disk read back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "machine.h"

namespace ntinstall {

// The registry, files and paths of the machine, through which the installation is put and read.
using namespace machine;

// ---- Registry (HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE) ----

extern char const RunKey[];
extern char const UninstallKey[];
extern char const HandlerClassKey[];  // under HKEY_CLASSES_ROOT
extern char const HandlersKey[];
extern char const ServicesKey[];
extern char const ShellFoldersKey[];

// ---- Disk ----

// Wine's own value of "Common Programs".
std::string DefaultCommonPrograms();

// ---- The package's NT installation ----

// The eight installed files, in the order the remover deletes them.
extern char const* const InstalledFiles[8];

// The service entries of one port as the package's installer leaves them: the driver
// service with these of its four subkeys (and one more, when extraSubkey is given), and the
// system's own service set not to start with the system.
struct PortEntries {
    char const* driverService;  // "brellsio" or "tovrexa"
    char const* systemService;  // "Sermouse" or "i8042prt"
};
extern PortEntries const SerialPort;
extern PortEntries const Ps2Port;

void PutDriverService(char const* driverService, std::vector<char const*> const& subkeys,
                      char const* extraSubkey = nullptr);
void PutSystemService(char const* systemService);

// The package's NT installation: which ports' drivers it set up (each starting with the
// system in place of the system's own driver for that port), and where the common Start menu
// shortcuts come from: copies of those in this folder, or stand-ins when it is empty.
struct NtInstallation {
    std::vector<PortEntries const*> ports = {&SerialPort, &Ps2Port};
    std::string shortcutsFrom;
};

// The package's NT installation alone: the log-on and uninstall entries, the property-sheet
// handler, the ports' services, the installed files (a stand-in for each that is missing),
// the ports' driver files and the shortcuts under "Common Programs", which must be set.
// Put again after a removal, it brings every entry back. False when a part could not be put.
bool PutPackageInstallation(NtInstallation const& installation);

// Entries of other programs beside the package's, which the remover must leave alone.
void PutNeighbours();

// The tests' machine: "Common Programs" restored to Wine's own folder, the package's NT
// installation for both ports, and the neighbours.
void PutNtInstallation();

// What the remover may touch, as text: compares equal when nothing changed.
std::string Snapshot();
// One port's services as text.
std::string PortSnapshot(PortEntries const& port);

} // namespace ntinstall
