// Resource numbers of the remover; read by its code and by tessarok.rc.
#pragma once

#define IDR_MAINFRAME     128   // the program icon
#define IDD_MOUSE_TYPE    131   // "Uninstallation Mouse Driver..."

#define IDC_PS2_PORT      1000
#define IDC_SERIAL_PORT   1001
