// Built twice, as startup_probe.exe on the framework's start-up without the C runtime and as
// startup_probe_crt.exe on the C runtime's own: each logs what its start-up did, in order,
// for startup_test.cpp to compare. The log is "<program file name>.log" in the temporary
// folder; the exit code is 42.
//
// Written for both builds alike: only KERNEL32 and USER32, and the memory functions called
// for real (the file is compiled with -fno-builtin), so the two builds' copies are compared.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

char logPath[MAX_PATH];

void Log(char const* line)
{
    if (!logPath[0]) {
        char module[MAX_PATH];
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        char const* name = module;
        for (char const* c = module; *c; ++c)
            if (*c == '\\')
                name = c + 1;
        GetTempPathA(MAX_PATH, logPath);
        lstrcatA(logPath, name);
        lstrcatA(logPath, ".log");
    }
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, lstrlenA(line), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

// Two static objects: their constructors run in the order of definition, their destructors
// in reverse.
struct Logged {
    explicit Logged(char const* name) : m_name(name)
    {
        char line[64];
        wsprintfA(line, "construct %s", m_name);
        Log(line);
    }
    ~Logged()
    {
        char line[64];
        wsprintfA(line, "destroy %s", m_name);
        Log(line);
    }
    char const* m_name;
};

Logged first("first");
Logged second("second");

__attribute__((constructor)) void ConstructorFunction()
{
    Log("constructor function");
}

__attribute__((destructor)) void DestructorFunction()
{
    Log("destructor function");
}

void AtExitFunction()
{
    Log("atexit function");
}

// What the memory functions left in a buffer, as text.
void LogBuffer(char const* what, char const* buffer)
{
    char line[64];
    wsprintfA(line, "%s %s", what, buffer);
    Log(line);
}

// The sizes come through a volatile so that no call is worked out while compiling.
void ProbeMemoryFunctions()
{
    std::size_t volatile three = 3;
    std::size_t volatile six = 6;
    char up[] = "abcdefgh";
    std::memmove(up + 2, up, six);  // the destination above the source, overlapping
    LogBuffer("memmove up", up);
    char down[] = "abcdefgh";
    std::memmove(down, down + 2, six);
    LogBuffer("memmove down", down);
    char copy[] = "--------";
    std::memcpy(copy + 1, "xyz", three);
    LogBuffer("memcpy", copy);
    char fill[] = "abcdefgh";
    std::memset(fill + 2, 0x17A, three);  // only the low byte counts: 'z'
    LogBuffer("memset", fill);
    char line[64];
    wsprintfA(line, "memcmp %d %d %d", std::memcmp("abc", "abd", three) < 0, std::memcmp("abc", "abc", three),
              std::memcmp("ab\xF0", "ab\x10", three) > 0);
    Log(line);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    char line[600];
    wsprintfA(line, "WinMain module %d previous %d", instance == GetModuleHandleA(nullptr), previous == nullptr);
    Log(line);
    wsprintfA(line, "command line [%s]", commandLine);
    Log(line);
    wsprintfA(line, "show %d", show);
    Log(line);
    ProbeMemoryFunctions();
    atexit(AtExitFunction);
    return 42;
}
