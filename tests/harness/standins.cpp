#include "standins.h"

#include "machine.h"

namespace standins {

namespace {

char const HookRecordKey[] = "Software\\Tamrix Stand-ins\\Pupex.dll";

} // namespace

Driver::Driver()
    : handle_(CreateFileA(TAMRIX_TEST_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

Driver::~Driver()
{
    if (IsOpen())
        CloseHandle(handle_);
}

bool Driver::Send(DWORD code, void const* input, DWORD inputSize, void* output, DWORD outputSize,
                  DWORD* returned) const
{
    DWORD count = 0;
    BOOL ok = DeviceIoControl(handle_, code, const_cast<void*>(input), inputSize, output, outputSize, &count,
                              nullptr);
    if (returned)
        *returned = count;
    return ok != FALSE;
}

TamrixRecord Driver::Record() const
{
    TamrixRecord record = {};
    Send(TAMRIX_CTL_READ_RECORD, nullptr, 0, &record, sizeof record);
    return record;
}

std::vector<TamrixRequest> Driver::Requests() const
{
    TamrixRecord record = Record();
    unsigned kept = record.count < TAMRIX_MAX_ENTRIES ? record.count : TAMRIX_MAX_ENTRIES;
    return std::vector<TamrixRequest>(record.entries, record.entries + kept);
}

bool Driver::Clear() const
{
    return Send(TAMRIX_CTL_CLEAR_RECORD, nullptr, 0, nullptr, 0);
}

bool Driver::SetFailures(unsigned mask) const
{
    return Send(TAMRIX_CTL_SET_FAILURES, &mask, sizeof mask, nullptr, 0);
}

HANDLE OpenDeviceAsPackage()
{
    return CreateFileA(TAMRIX_PACKAGE_PATH, 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

HookRecord ReadHookRecord()
{
    HookRecord record;
    if (!machine::KeyExists(HKEY_CURRENT_USER, HookRecordKey))
        return record;
    auto read = [](char const* name) { return machine::ReadValue(HKEY_CURRENT_USER, HookRecordKey, name); };
    record.initCalls = read("InitCalls").Number();
    record.closeCalls = read("CloseCalls").Number();
    record.blockOpened = read("BlockOpened").Number();
    std::string const block = read("BlockAtInit").data;
    record.blockAtInit.assign(block.begin(), block.end());
    record.initProcess = read("InitProcess").Text();
    return record;
}

void ClearHookRecord()
{
    machine::DeleteTree(HKEY_CURRENT_USER, HookRecordKey);
}

} // namespace standins
