// Stand-in for the control-centre program "brindlex.exe": it creates the 312-byte settings
// block "ZOVUZEDU_SHARE_DATA", holds it while it runs, loads the mouse interface library and
// calls its exports on request. Tests and the demo steer it with small text commands:
//
//   brindlex.exe                 create the block and serve commands until "quit"
//   brindlex.exe FOLDER          the same, after "load FOLDER\rodlink.dll" and
//                                "call InitButton" (the log-on entry passes the install folder)
//   brindlex.exe -c "CMD; CMD"   create the block, run the commands, print each result, end
//                                (a "serve" among them serves on until "quit")
//
// While serving, the hidden window of class "TamrixControlCentre" takes one command per
// WM_COPYDATA (dwData 1, the command text) and returns its numeric result.
//
// Commands:
//   load PATH            LoadLibraryA; result 1 or 0
//   unload               FreeLibrary of the loaded library; result 1 or 0
//   call NAME [A [B]]    call an export with no, one or two 32-bit arguments; result = its result.
//                        For GetMouseInfo the first argument is a buffer size: the program
//                        passes a buffer of that size (none for 0) and prints what came back
//   poke OFFSET BYTE     write one byte of the block
//   poke32 OFFSET WORD   write one 32-bit word of the block
//   peek OFFSET [COUNT]  print bytes of the block; result = the first byte
//   sleep MS             wait
//   serve                serve window commands until "quit"
//   quit                 end serving
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

char const BlockName[] = "ZOVUZEDU_SHARE_DATA";
DWORD const BlockSize = 312;
char const WindowClass[] = "TamrixControlCentre";
ULONG_PTR const CommandCopyData = 1;

struct Host {
    HANDLE mapping = nullptr;
    unsigned char* block = nullptr;
    HMODULE library = nullptr;
    bool serving = false;
};

Host host;

// The library's exports all take 32-bit arguments and return a 32-bit result.
using Export0 = int(WINAPI*)();
using Export1 = int(WINAPI*)(int);
using Export2 = int(WINAPI*)(void*, int);

template <typename Export>
Export ExportAs(FARPROC proc)
{
    return reinterpret_cast<Export>(reinterpret_cast<void (*)()>(proc));
}

bool CreateBlock()
{
    host.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, BlockSize, BlockName);
    if (!host.mapping)
        return false;
    host.block = static_cast<unsigned char*>(MapViewOfFile(host.mapping, FILE_MAP_WRITE, 0, 0, 0));
    return host.block != nullptr;
}

std::vector<std::string> SplitWords(std::string const& line)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

long Number(std::string const& text)
{
    return std::strtol(text.c_str(), nullptr, 0);
}

void PrintBytes(unsigned char const* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        std::printf("%s%02x", i ? " " : "", bytes[i]);
    std::printf("\n");
}

long CallExport(std::vector<std::string> const& words)
{
    if (!host.library || words.size() < 2)
        return -1;
    FARPROC proc = GetProcAddress(host.library, words[1].c_str());
    if (!proc)
        return -1;
    if (words[1] == "GetMouseInfo") {
        int size = words.size() > 2 ? static_cast<int>(Number(words[2])) : 0;
        std::vector<unsigned char> buffer(size);
        int result = ExportAs<Export2>(proc)(size ? buffer.data() : nullptr, size);
        std::printf("  buffer: ");
        PrintBytes(buffer.data(), buffer.size());
        return result;
    }
    if (words.size() == 2)
        return ExportAs<Export0>(proc)();
    return ExportAs<Export1>(proc)(static_cast<int>(Number(words[2])));
}

bool InBlock(long offset, long count)
{
    return offset >= 0 && count >= 0 && offset + count <= static_cast<long>(BlockSize);
}

void Serve();

long RunCommand(std::string const& line)
{
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
        return 0;
    std::string const& verb = words[0];
    long arg1 = words.size() > 1 ? Number(words[1]) : 0;
    long arg2 = words.size() > 2 ? Number(words[2]) : 1;

    if (verb == "load" && words.size() > 1) {
        std::string path = line.substr(line.find(words[1]));  // a path may hold blanks
        host.library = LoadLibraryA(path.c_str());
        if (!host.library)
            std::fprintf(stderr, "brindlex: LoadLibrary(%s) failed, error %lu\n", path.c_str(), GetLastError());
        return host.library != nullptr;
    }
    if (verb == "unload") {
        bool freed = host.library && FreeLibrary(host.library);
        host.library = nullptr;
        return freed;
    }
    if (verb == "call")
        return CallExport(words);
    if (verb == "poke" && InBlock(arg1, 1)) {
        host.block[arg1] = static_cast<unsigned char>(arg2);
        return 1;
    }
    if (verb == "poke32" && InBlock(arg1, 4)) {
        DWORD value = static_cast<DWORD>(Number(words.size() > 2 ? words[2] : "0"));
        std::memcpy(host.block + arg1, &value, sizeof value);
        return 1;
    }
    if (verb == "peek" && InBlock(arg1, arg2)) {
        std::printf("  block[%ld..%ld]: ", arg1, arg1 + arg2 - 1);
        PrintBytes(host.block + arg1, arg2);
        return host.block[arg1];
    }
    if (verb == "sleep") {
        Sleep(static_cast<DWORD>(arg1));
        return 1;
    }
    if (verb == "serve") {
        Serve();
        return 1;
    }
    if (verb == "quit") {
        host.serving = false;
        PostQuitMessage(0);
        return 1;
    }
    return -1;
}

long RunAndPrint(std::string const& line)
{
    long result = RunCommand(line);
    std::printf("%s -> %ld\n", line.c_str(), result);
    std::fflush(stdout);
    return result;
}

LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        auto const* data = reinterpret_cast<COPYDATASTRUCT const*>(lParam);
        if (data->dwData != CommandCopyData)
            return -1;
        std::string line(static_cast<char const*>(data->lpData), data->cbData);
        line.resize(std::strlen(line.c_str()));
        return RunAndPrint(line);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Serve()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = WindowClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowA(WindowClass, "Tamrix Control Centre", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!window)
        return;
    host.serving = true;
    MSG msg;
    while (host.serving && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
}

void RunScript(std::string const& script)
{
    size_t start = 0;
    while (start <= script.size()) {
        size_t end = script.find(';', start);
        if (end == std::string::npos)
            end = script.size();
        std::string line = script.substr(start, end - start);
        if (!SplitWords(line).empty())
            RunAndPrint(line.substr(line.find_first_not_of(" \t")));
        start = end + 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!CreateBlock()) {
        std::fprintf(stderr, "brindlex: cannot create %s (error %lu)\n", BlockName, GetLastError());
        return 1;
    }
    if (argc > 2 && std::strcmp(argv[1], "-c") == 0) {
        RunScript(argv[2]);
        return 0;
    }
    if (argc > 1) {
        RunAndPrint("load " + std::string(argv[1]) + "\\rodlink.dll");
        RunAndPrint("call InitButton");
    }
    Serve();
    return 0;
}
