// What tests need of the stand-ins for the components outside the system: the stand-in
// driver's record and failure switches, and the registry record of the stand-in hook library.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../../standins/tamrix/tamrix_control.h"

namespace standins {

// The stand-in driver under its tests' own name, which no failure mask takes away.
class Driver {
public:
    Driver();
    ~Driver();
    Driver(Driver const&) = delete;
    Driver& operator=(Driver const&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    TamrixRecord Record() const;
    std::vector<TamrixRequest> Requests() const;  // the entries kept, oldest first
    bool Clear() const;
    bool SetFailures(unsigned mask) const;         // bit n fails code n; bit 0 hides the package's name

    // Sends a request as the package does: a plain code, the buffers as given.
    bool Send(DWORD code, void const* input, DWORD inputSize, void* output, DWORD outputSize,
              DWORD* returned = nullptr) const;

private:
    HANDLE handle_;
};

// The package's own way of opening the device: only programs running as Windows 95 get it.
HANDLE OpenDeviceAsPackage();

// The record that the stand-in hook library "Pupex.dll" keeps under HKEY_CURRENT_USER.
struct HookRecord {
    DWORD initCalls = 0;
    DWORD closeCalls = 0;
    DWORD blockOpened = 0;
    std::vector<unsigned char> blockAtInit;
    std::string initProcess;
};
HookRecord ReadHookRecord();
void ClearHookRecord();

} // namespace standins
