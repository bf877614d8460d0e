#include "standins.h"

namespace standins {

namespace {

char const HookRecordKey[] = "Software\\Tamrix Stand-ins\\Pupex.dll";

DWORD ReadDword(HKEY key, char const* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size))
        return 0;
    return value;
}

std::vector<unsigned char> ReadBytes(HKEY key, char const* name)
{
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size))
        return {};
    std::vector<unsigned char> data(size);
    if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size))
        return {};
    data.resize(size);
    return data;
}

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
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, HookRecordKey, 0, KEY_READ, &key))
        return record;
    record.initCalls = ReadDword(key, "InitCalls");
    record.closeCalls = ReadDword(key, "CloseCalls");
    record.blockOpened = ReadDword(key, "BlockOpened");
    record.blockAtInit = ReadBytes(key, "BlockAtInit");
    std::vector<unsigned char> process = ReadBytes(key, "InitProcess");
    record.initProcess = std::string(process.begin(), process.end()).c_str();  // up to the terminator
    RegCloseKey(key);
    return record;
}

void ClearHookRecord()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, HookRecordKey);
}

} // namespace standins
