// Resource numbers of the installer; read by its code and by setup.rc.
#pragma once

#define IDD_ABOUTBOX          100
#define IDS_ABOUTBOX          101   // the About item of the Welcome dialog's system menu
#define IDD_WELCOME           102
#define IDR_MAINFRAME         128   // the application icon
#define IDD_EXIT_SETUP        130
#define IDD_INSTALL_TYPE      131
#define IDD_COPY_FILES        132
#define IDD_INSTALL_FINISHED  136
#define IDI_MOUSE_TYPE        137   // the figure of the installation type dialog

#define IDM_ABOUTBOX          0x0010  // system-menu command of the About item

#define IDC_EXIT_TEXT         130
#define IDC_PS2_PORT          1001
#define IDC_SERIAL_PORT       1002
#define IDC_COPY_FROM         1004
#define IDC_COPY_TO           1005
#define IDC_COPY_PROGRESS     1006
#define IDC_COPY_PERCENT      1009
#define IDC_LUMIVANE          1014
