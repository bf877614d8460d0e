// The mouse as a Windows 95 device: its device key under "Enum" and its driver instance
// under "SYSTEM\CurrentControlSet\Services\Class", for the serial or the PS/2 port.
#pragma once

// The chosen driver instance, relative to the class key: "Mouse\0000" to "Mouse\00014".
extern char MouseClassInstance[20];

void ChooseMouseClassInstance();
void RemoveRootMouseIds();
void RegisterSerialMouse();
void RegisterPs2Mouse();
