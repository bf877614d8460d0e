// Numbers the framework gives meaning to; read by the programs' code and by their .rc files.
#pragma once

#define AFX_IDS_APP_TITLE 57344  // the application name, when the program has this string
#define ID_APP_ABOUT      57664  // the About command: the application object's to handle
#define ID_APP_EXIT       57665  // the Exit command: closes the main window

#define FWS_ADDTOTITLE    0x8000L  // LoadFrame style flag: take the title from the resources
