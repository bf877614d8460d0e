#include "pupex_run.h"

#include "standins.h"
#include "traymessage.h"

#include <cstring>
#include <future>

namespace pupex {

using namespace machine;

char const* const HandlerClassKey = "CLSID\\{4753B0A0-79BB-101B-AE4B-00AA00373B20}";
char const* const HandlerServerKey = "CLSID\\{4753B0A0-79BB-101B-AE4B-00AA00373B20}\\InProcServer32";
char const* const HandlerSheetKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
    "Quellbox CPL";
char const* const ParametersKey = "SYSTEM\\CurrentControlSet\\Services\\brellsio\\Parameters";

namespace {

char const ServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";
char const ControlRecordKey[] = "Software\\Tamrix Stand-ins\\control.exe";

// A frame whose program has ended, not yet destroyed by the server, would make the next
// program take itself for a second instance and end at once.
bool BelongsToAnEndedProgram(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return true;
    bool const ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

void WaitOutFramesOfEndedPrograms()
{
    winauto::WaitUntil(Timeout, [] {
        for (HWND frame : winauto::FindTopWindows(nullptr, FrameTitle))
            if (BelongsToAnEndedProgram(frame))
                return false;
        return true;
    });
}

// ---- The watch at the program's end ----

// The program's call to ExitProcess, where the debugger stops it: the same address in the
// program as in this test, since Wine maps the system's DLLs at the same place in every
// process; the bytes there are compared before the breakpoint goes in.
BYTE* ExitProcessEntry()
{
    return reinterpret_cast<BYTE*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ExitProcess"));
}

BYTE const Breakpoint = 0xCC;  // int3

class ExitBreakpoint {
public:
    explicit ExitBreakpoint(HANDLE process) : process_(process) {}

    // Puts the breakpoint in once the program's kernel32 is there, and never again once hit.
    void TryInstall()
    {
        if (installed_ || hit_)
            return;
        BYTE ours[16];
        BYTE theirs[16];
        SIZE_T read = 0;
        std::memcpy(ours, entry_, sizeof ours);
        if (!ReadProcessMemory(process_, entry_, theirs, sizeof theirs, &read) || read != sizeof theirs ||
            std::memcmp(ours, theirs, sizeof ours) != 0)
            return;
        original_ = theirs[0];
        SIZE_T written = 0;
        installed_ = WriteProcessMemory(process_, entry_, &Breakpoint, 1, &written) && written == 1 &&
                     FlushInstructionCache(process_, entry_, 1);
    }

    bool IsHit(EXCEPTION_RECORD const& record) const
    {
        return installed_ && record.ExceptionAddress == entry_;
    }

    // Takes the breakpoint out and lets the thread run ExitProcess from its first byte.
    void Resume(DWORD threadId)
    {
        SIZE_T written = 0;
        WriteProcessMemory(process_, entry_, &original_, 1, &written);
        FlushInstructionCache(process_, entry_, 1);
        installed_ = false;
        hit_ = true;
        HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
        if (!thread)
            return;
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
#ifdef _WIN64
            context.Rip = reinterpret_cast<DWORD64>(entry_);
#else
            context.Eip = reinterpret_cast<DWORD>(entry_);
#endif
            SetThreadContext(thread, &context);
        }
        CloseHandle(thread);
    }

private:
    HANDLE process_;
    BYTE* entry_ = ExitProcessEntry();
    BYTE original_ = 0;
    bool installed_ = false;
    bool hit_ = false;
};

AtExit LookAtTheEnd(DWORD processId)
{
    AtExit seen;
    if (HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "PUPEX_SHARE_DATA")) {
        seen.blockHeld = true;
        CloseHandle(mapping);
    }
    seen.frameExists = winauto::FindTopWindow(nullptr, FrameTitle, processId) != nullptr;
    return seen;
}

// The debugger's loop, on the thread that started the program: it runs until the program is
// gone, and reports what stood when the program called ExitProcess.
std::optional<AtExit> DebugUntilExit(PROCESS_INFORMATION const& program)
{
    ExitBreakpoint breakpoint(program.hProcess);
    std::optional<AtExit> seen;
    for (;;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, INFINITE))
            return seen;
        DWORD answer = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXCEPTION_DEBUG_EVENT: {
            EXCEPTION_RECORD const& record = event.u.Exception.ExceptionRecord;
            if (breakpoint.IsHit(record)) {
                seen = LookAtTheEnd(program.dwProcessId);
                breakpoint.Resume(event.dwThreadId);
            } else if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                // The program's own exceptions are its own to handle.
                answer = DBG_EXCEPTION_NOT_HANDLED;
            }
            break;
        }
        }
        breakpoint.TryInstall();
        bool const ended = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
        if (ended)
            return seen;
    }
}

}  // namespace

// ---- The machine's registry ----

void SetServiceStart(char const* service, std::optional<Value> start)
{
    std::string const key = std::string(ServicesKey) + service;
    if (!start) {
        DeleteTree(HKEY_LOCAL_MACHINE, key);
        return;
    }
    CreateKey(HKEY_LOCAL_MACHINE, key);
    SetValue(HKEY_LOCAL_MACHINE, key, "Start", *start);
}

void ActivateSerialDriver()
{
    SetServiceStart("Brellsio", Value::Dword(1));
    SetServiceStart("Tovrexa", std::nullopt);
}

void RegisterHandler()
{
    CreateKey(HKEY_CLASSES_ROOT, HandlerServerKey);
    SetValue(HKEY_CLASSES_ROOT, HandlerServerKey, "", Value::Sz("q.dll"));
    CreateKey(HKEY_LOCAL_MACHINE, HandlerSheetKey);
}

std::string HandlerKeysPresent()
{
    std::string present;
    present += KeyExists(HKEY_CLASSES_ROOT, HandlerClassKey) ? "class " : "";
    present += KeyExists(HKEY_CLASSES_ROOT, HandlerServerKey) ? "server " : "";
    present += KeyExists(HKEY_LOCAL_MACHINE, HandlerSheetKey) ? "sheet" : "";
    return present;
}

ControlRecord ReadControlRecord()
{
    ControlRecord record;
    Value starts = ReadValue(HKEY_CURRENT_USER, ControlRecordKey, "Starts");
    Value line = ReadValue(HKEY_CURRENT_USER, ControlRecordKey, "CommandLine");
    Value show = ReadValue(HKEY_CURRENT_USER, ControlRecordKey, "ShowWindow");
    record.starts = starts.Number();
    record.commandLine = line.Text();
    record.showWindow = show.Number();
    return record;
}

// ---- The program ----

ProgramFolder::ProgramFolder(std::string const& name, std::vector<std::string> const& files)
{
    path_ = TempPath("pupex-" + name);
    CreateDirectoryA(path_.c_str(), nullptr);
    CopyFileA(winauto::BesideThisProgram("Pupex.exe").c_str(), Exe().c_str(), FALSE);
    for (std::string const& file : files) {
        std::string const base = file.substr(file.find_last_of('\\') + 1);
        CopyFileA(winauto::BesideThisProgram(file).c_str(), (path_ + "\\" + base).c_str(), FALSE);
    }
}

ProgramFolder::~ProgramFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((path_ + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

Run::Run(std::string const& arguments, std::string const& exe, Watch watch)
{
    std::string const program = exe.empty() ? winauto::BesideThisProgram("Pupex.exe") : exe;
    // The program's own folder as working folder, so that only its folder can offer
    // "Pupex.dll" and "control.exe".
    std::string const folder = program.substr(0, program.find_last_of('\\'));
    WaitOutFramesOfEndedPrograms();
    hookStartsBefore_ = standins::ReadHookRecord().initCalls;
    static_cast<ProgramRun&>(*this) = Start(winauto::CommandLine(program, arguments), folder, watch);
}

Run::~Run()
{
    if (IsRunning() && WaitUntilRunning())
        EndSession();
    Terminate();
    if (watcher_.joinable())
        watcher_.join();
}

winauto::ProgramRun Run::Start(std::string const& commandLine, std::string const& folder, Watch watch)
{
    if (watch == Watch::Nothing)
        return ProgramRun(commandLine, folder);
    // Debug events go to the thread that started the program, so that thread starts it and
    // hands its handle back.
    std::promise<winauto::Process> started;
    std::future<winauto::Process> program = started.get_future();
    watcher_ = std::thread([this, commandLine, folder, started = std::move(started)]() mutable {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        std::string line = commandLine;
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                            folder.c_str(), &startup, &info)) {
            started.set_value({});
            return;
        }
        HANDLE handle = nullptr;
        DuplicateHandle(GetCurrentProcess(), info.hProcess, GetCurrentProcess(), &handle, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        started.set_value(winauto::Process(handle, info.dwProcessId));
        atExit_ = DebugUntilExit(info);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    });
    return ProgramRun(program.get());
}

std::optional<AtExit> Run::LeftAtExit()
{
    if (!watcher_.joinable() || !WaitForExit())
        return std::nullopt;
    watcher_.join();
    return atExit_;
}

HWND Run::WaitUntilRunning()
{
    if (frame_)
        return frame_;
    // The frame has its title from the start of its creation; the creation ends with the
    // hook library's start.
    HWND frame = WaitForWindow(nullptr, FrameTitle);
    bool const started = frame && winauto::WaitUntil(Timeout, [&] {
        return standins::ReadHookRecord().initCalls > hookStartsBefore_ || !IsRunning();
    });
    if (started && IsRunning())
        frame_ = frame;
    return frame_;
}

void Run::PostCommand(UINT id) const
{
    PostMessageA(frame_, WM_COMMAND, id, 0);
}

std::optional<LRESULT> Run::SendTrayMessage(WPARAM iconNumber, UINT mouseMessage, DWORD timeoutMs) const
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame_, WM_TRAYICON_CALLBACK, iconNumber, mouseMessage, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<Block> ReadBlock()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "PUPEX_SHARE_DATA");
    if (!mapping)
        return std::nullopt;
    std::optional<Block> block;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(Block))) {
        block.emplace();
        std::memcpy(block->data(), view, sizeof(Block));
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return block;
}

bool WriteBlockWord(int word, DWORD value)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "PUPEX_SHARE_DATA");
    if (!mapping)
        return false;
    auto* view = static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Block)));
    if (view) {
        view[word] = value;
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return view != nullptr;
}

std::string Describe(Block const& block)
{
    std::string text;
    for (DWORD word : block)
        text += std::to_string(word) + " ";
    return text;
}

Block BlockFromBytes(std::vector<unsigned char> const& bytes)
{
    Block block{};
    if (bytes.size() == sizeof block)
        std::memcpy(block.data(), bytes.data(), sizeof block);
    return block;
}

HWND WaitForPuppy(DWORD timeoutMs)
{
    return winauto::WaitForTrayIcon(PuppyTip, timeoutMs);
}

}  // namespace pupex
