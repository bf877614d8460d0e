// The entry point of the package's programs, in place of the C runtime's start-up code: the
// first Windows 95 release has no C runtime DLL, and a program that imports one does not
// start there. It does what that code did for a program on the framework: the static
// objects are constructed, WinMain runs with the command line after the program's name and
// the show command, the static objects are destroyed in reverse order, and the process
// ends with WinMain's result.
#include <windows.h>

namespace {

using ExitFunction = void (*)();

// The lists the linker gathers from every object's .ctors and .dtors sections: -1, the
// functions, 0.
extern "C" ExitFunction __CTOR_LIST__[];
extern "C" ExitFunction __DTOR_LIST__[];

// What atexit registered, the latest first: GCC registers each static object's destructor
// just after its constructor has run.
struct ExitEntry {
    ExitFunction function;
    ExitEntry* next;
};
ExitEntry* exitEntries;

// The .ctors entries run from the last to the first, which is the order GCC writes them for.
void RunConstructors()
{
    int count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    for (int i = count; i >= 1; --i)
        __CTOR_LIST__[i]();
}

void RunDestructorList()
{
    for (int i = 1; __DTOR_LIST__[i]; ++i)
        __DTOR_LIST__[i]();
}

void RunExitFunctions()
{
    while (ExitEntry* entry = exitEntries) {
        exitEntries = entry->next;
        entry->function();
        HeapFree(GetProcessHeap(), 0, entry);
    }
}

// The command line after the program's name, which may be quoted, and the blanks after it.
// Characters are compared unsigned, so that letters above 127 in the name count as letters.
char* CommandTail()
{
    auto* tail = reinterpret_cast<unsigned char*>(GetCommandLineA());
    bool quoted = false;
    while (*tail > ' ' || (*tail && quoted)) {
        if (*tail == '"')
            quoted = !quoted;
        ++tail;
    }
    while (*tail && *tail <= ' ')
        ++tail;
    return reinterpret_cast<char*>(tail);
}

int ShowCommand()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
}

} // namespace

extern "C" int __cdecl atexit(ExitFunction function)
{
    auto* entry = static_cast<ExitEntry*>(HeapAlloc(GetProcessHeap(), 0, sizeof(ExitEntry)));
    if (!entry)
        return -1;
    entry->function = function;
    entry->next = exitEntries;
    exitEntries = entry;
    return 0;
}

// The system calls the entry point with a stack aligned only to 4 bytes on x86.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WINAPI FrameworkStartup()
{
    RunConstructors();
    // As in the C runtime: the .dtors list is registered after the constructors, so it runs
    // before the destructors they registered.
    atexit(RunDestructorList);
    int const result = WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), ShowCommand());
    RunExitFunctions();
    ExitProcess(static_cast<UINT>(result));
}
