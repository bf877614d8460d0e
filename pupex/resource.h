// Resource numbers of the tray utility; read by the program and by pupex.rc.
#pragma once

#define IDR_MAINFRAME       2      // the frame: title string, menu bar and window icon
#define IDR_TRAYICON        3      // the tray icon's number, and its menu
#define IDD_ABOUTBOX        100
#define IDI_PUPPY           101    // the tray icon; string 101 is its tip
#define IDS_SUSPENDED_TIP   102    // a tip without an icon of its number: asking for it removes the icon

#define ID_CHANGE_ICON      32771  // sent by other programs: remove the tray icon or bring it back
#define ID_OPEN_WINDOW      32775  // sent by other programs: show the frame
#define ID_ENABLE_DISABLE   32776  // the tray menu's second item: the Lumivane switch
