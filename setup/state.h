// The installer's state: three values every step of one run can read.
#pragma once

// 1 = serial mouse port, 0 = PS/2 mouse port.
extern int PortChoice;
// 1 = install the Lumivane function, 0 = do not.
extern int LumivaneChoice;
// 1 = a file of the current pass could not be copied.
extern int CopyErrorFlag;
