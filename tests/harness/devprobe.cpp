// Tells a test how Wine presents itself to a program of a given file name, whose Windows
// version the test has set under Wine's per-program settings:
//   devprobe open      exit code 0 when the package's open of the device succeeds, else the error
//   devprobe platform  exit code = the platform id (1 Windows 95, 2 Windows NT)
#include <windows.h>

#include <cstring>

#include "standins.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "open") == 0) {
        HANDLE device = standins::OpenDeviceAsPackage();
        if (device == INVALID_HANDLE_VALUE)
            return static_cast<int>(GetLastError());
        CloseHandle(device);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "platform") == 0) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        GetVersionExA(&info);
        return static_cast<int>(info.dwPlatformId);
    }
    return -1;
}
