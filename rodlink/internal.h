// What the library's parts share within one process: each process that loads the library has
// its own copy, set when it is loaded.
#pragma once

#define RODLINK_BUILD
#include "rodlink.h"

namespace rodlink {

extern HINSTANCE module;         // this library, which holds the hook procedure
extern HANDLE mapping;           // the block "ZOVUZEDU_SHARE_DATA"
extern MouseShareData* shared;   // the block's view, read and written in place
extern HANDLE device;            // "\\.\TAMRIX", open until the process ends

// The device control codes: plain numbers, which the driver expects as they stand.
enum ControlCode : DWORD {
    SendKeyTable = 1,
    SendSettings = 2,
    ReadMouseInfo = 3,
    RemoveRegistry = 4,
};

// One device-control request; true when the driver answered with success.
bool Control(ControlCode code, void const* input, DWORD inputSize, void* output, DWORD outputSize);

// Code 2 with the settings as they stand in the block, without a copy.
bool SendDriverSettings();

} // namespace rodlink
