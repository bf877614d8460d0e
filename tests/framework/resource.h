#pragma once

#define IDR_FRAME      2     // the frame's title string, menu and icon
#define IDD_MODAL      100
#define IDD_MODELESS   101
#define IDD_MISSING    999   // no such template
#define IDC_PROGRESS   1006
#define ID_FRAME_OWN   32800 // a command the frame handles
#define ID_APP_OWN     32801 // a command only the application object handles
