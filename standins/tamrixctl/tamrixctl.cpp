// Console companion of the stand-in driver, for the demo and for a person at the prompt:
//   tamrixctl record            print what the driver received since the last clear
//   tamrixctl clear             forget it
//   tamrixctl fail MASK         bit n fails code n; bit 0 refuses the package's opens
//   tamrixctl send CODE [HEX..] send a plain code with these input bytes ("out N": an output
//                               buffer of N bytes instead), print the result
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tamrix/tamrix_control.h"

namespace {

char const* CodeName(unsigned code)
{
    switch (code) {
    case TAMRIX_CODE_KEY_TABLE: return "key table";
    case TAMRIX_CODE_SETTINGS: return "settings";
    case TAMRIX_CODE_MOUSE_INFO: return "mouse information";
    case TAMRIX_CODE_REMOVE_REGISTRY: return "remove registry entries";
    default: return "unknown";
    }
}

// Bytes in rows of 22, one key-table half a row.
void PrintBytes(unsigned char const* bytes, unsigned count)
{
    for (unsigned i = 0; i < count; ++i)
        std::printf("%s %02x", i % 22 == 0 ? "\n     " : "", bytes[i]);
    std::printf("\n");
}

bool Control(HANDLE device, DWORD code, void const* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned)
{
    return DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, returned, nullptr) != FALSE;
}

int PrintRecord(HANDLE device)
{
    TamrixRecord record = {};
    DWORD returned = 0;
    if (!Control(device, TAMRIX_CTL_READ_RECORD, nullptr, 0, &record, sizeof record, &returned))
        return 1;
    std::printf("opens %u (the package's way: %u), requests %u, failure mask 0x%x\n", record.opens,
                record.package_opens, record.count, record.failures);
    unsigned kept = record.count < TAMRIX_MAX_ENTRIES ? record.count : TAMRIX_MAX_ENTRIES;
    for (unsigned i = 0; i < kept; ++i) {
        TamrixRequest const& r = record.entries[i];
        std::printf("  code %u (%s): %s, output buffer %u bytes, input %u bytes", r.code, CodeName(r.code),
                    r.status ? "failed" : "ok", r.output_size, r.input_size);
        unsigned shown = r.input_size < TAMRIX_MAX_RECORDED_INPUT ? r.input_size : TAMRIX_MAX_RECORDED_INPUT;
        if (shown)
            std::printf(":");
        PrintBytes(r.input, shown);
    }
    return 0;
}

int Send(HANDLE device, int argc, char** argv)
{
    DWORD code = std::strtoul(argv[2], nullptr, 0);
    std::vector<unsigned char> input;
    std::vector<unsigned char> output;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "out") == 0 && i + 1 < argc)
            output.resize(std::strtoul(argv[++i], nullptr, 0));
        else
            input.push_back(static_cast<unsigned char>(std::strtoul(argv[i], nullptr, 16)));
    }
    DWORD returned = 0;
    bool ok = Control(device, code, input.empty() ? nullptr : input.data(), static_cast<DWORD>(input.size()),
                      output.empty() ? nullptr : output.data(), static_cast<DWORD>(output.size()), &returned);
    std::printf("code %lu: %s, %lu bytes back", code, ok ? "ok" : "failed", returned);
    if (returned)
        std::printf(":");
    PrintBytes(output.data(), returned);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    HANDLE device = CreateFileA(TAMRIX_TEST_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "tamrixctl: the stand-in driver is not running (error %lu)\n", GetLastError());
        return 2;
    }
    char const* verb = argc > 1 ? argv[1] : "record";
    DWORD returned = 0;
    if (std::strcmp(verb, "record") == 0)
        return PrintRecord(device);
    if (std::strcmp(verb, "clear") == 0)
        return Control(device, TAMRIX_CTL_CLEAR_RECORD, nullptr, 0, nullptr, 0, &returned) ? 0 : 1;
    if (std::strcmp(verb, "fail") == 0 && argc > 2) {
        unsigned mask = std::strtoul(argv[2], nullptr, 0);
        return Control(device, TAMRIX_CTL_SET_FAILURES, &mask, sizeof mask, nullptr, 0, &returned) ? 0 : 1;
    }
    if (std::strcmp(verb, "send") == 0 && argc > 2)
        return Send(device, argc, argv);
    std::fprintf(stderr, "usage: tamrixctl record | clear | fail MASK | send CODE [HEX...] [out N]\n");
    return 2;
}
