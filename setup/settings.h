// The settings that finish an installation: the control-panel extension, the log-on entries,
// "system.ini" and the uninstall entry.
#pragma once

void RegisterControlPanelAndRun();
void WriteSystemIni();
void RegisterLumivaneRun();
void WriteUninstallEntry();
