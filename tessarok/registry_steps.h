// The remover's registry steps: the Lumivane start-up and uninstall entries, the mouse
// property-sheet handler, and the driver service of one port, whose place the system's own
// driver for that port takes again. Each step tries every action and reports nothing.
#pragma once

void RemoveRunEntry();
void RemoveUninstallEntry();
void RemovePropertySheetHandler();
// The serial driver "brellsio" goes and "Sermouse" starts with the system again.
void RemoveSerialService();
// The PS/2 driver "tovrexa" goes and "i8042prt" starts with the system again.
void RemovePs2Service();
