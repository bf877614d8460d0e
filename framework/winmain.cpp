// The entry point of every program built on the framework: its one application object runs.
#include "framework.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    return app ? app->Run() : 1;
}
