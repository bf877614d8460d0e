#include "restart_replace.h"

#include "paths.h"

namespace {

char const TemporaryPrefix[] = "tmx";

bool IsWindows95()
{
    // The high bit is set on Windows 95, whose MoveFileEx cannot wait for the restart.
    return (GetVersion() & 0x80000000) != 0;
}

// WININIT.INI is carried out by the real-mode WININIT.EXE before Windows starts: it knows
// short (8.3) names only.
bool ShortPath(char const* path, PathBuffer& shortPath)
{
    DWORD const length = GetShortPathNameA(path, shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// ---- WININIT.INI, edited as a file ----
// The profile calls would collapse its lines that share a key ("NUL=" may stand several
// times), so the new line is put in as bytes and every other byte stays as it is.

// A section's header line: "[" after any blanks.
char const* SectionHeader(char const* line, char const* end)
{
    while (line < end && (*line == ' ' || *line == '\t'))
        ++line;
    return line < end && *line == '[' ? line : nullptr;
}

// Whether the header names this section, in any letter case.
bool NamesSection(char const* header, char const* end, char const* section)
{
    char name[16];
    int length = 0;
    for (char const* c = header + 1; c < end && *c != ']'; ++c) {
        if (length == static_cast<int>(sizeof name) - 1)
            return false;
        name[length++] = *c;
    }
    name[length] = '\0';
    return header + 1 + length < end && lstrcmpiA(name, section) == 0;
}

// Where a new line of the "[rename]" section goes: after the section's last line, that is at
// the start of the next section or at the end of the text.
DWORD RenameSectionEnd(char const* text, DWORD size, bool& found)
{
    found = false;
    for (DWORD start = 0; start < size;) {
        DWORD end = start;
        while (end < size && text[end] != '\n')
            ++end;
        if (char const* header = SectionHeader(text + start, text + end)) {
            if (found)
                return start;
            found = NamesSection(header, text + end, "rename");
        }
        start = end + 1;
    }
    return size;
}

bool WriteAll(HANDLE file, char const* data, DWORD count)
{
    DWORD written = 0;
    return WriteFile(file, data, count, &written, nullptr) && written == count;
}

// The file is small: read whole, it is written again from the new line on.
bool InsertRenameLine(HANDLE file, char const* line)
{
    DWORD const size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE)
        return false;
    HANDLE const heap = GetProcessHeap();
    char* const text = static_cast<char*>(HeapAlloc(heap, 0, size + 1));
    if (!text)
        return false;
    DWORD read = 0;
    bool inserted = false;
    if (ReadFile(file, text, size, &read, nullptr) && read == size) {
        bool found = false;
        DWORD const at = RenameSectionEnd(text, size, found);
        bool const endsLine = at == 0 || text[at - 1] == '\n';
        char added[sizeof "\r\n[rename]\r\n" + 2 * MAX_PATH + sizeof "\r\n"];
        int const length =
            wsprintfA(added, "%s%s%s\r\n", endsLine ? "" : "\r\n", found ? "" : "[rename]\r\n", line);
        inserted = SetFilePointer(file, static_cast<LONG>(at), nullptr, FILE_BEGIN) == at &&
                   WriteAll(file, added, static_cast<DWORD>(length)) && WriteAll(file, text + at, size - at);
    }
    HeapFree(heap, 0, text);
    return inserted;
}

bool AddRenameLine(char const* wininit, char const* line)
{
    HANDLE file = CreateFileA(wininit, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool const added = InsertRenameLine(file, line);
    CloseHandle(file);
    return added;
}

bool ReplaceAtRestartByWininit(char const* destination, char const* temporary)
{
    PathBuffer shortDestination;
    PathBuffer shortTemporary;
    PathBuffer wininit;
    if (!ShortPath(destination, shortDestination) || !ShortPath(temporary, shortTemporary) ||
        !WindowsFolderPath(wininit, "\\WININIT.INI"))
        return false;
    char line[2 * MAX_PATH];
    wsprintfA(line, "%s=%s", shortDestination, shortTemporary);
    return AddRenameLine(wininit, line);
}

} // namespace

bool DestinationInUse(char const* destination, UINT openError)
{
    if (openError != ERROR_SHARING_VIOLATION && openError != ERROR_ACCESS_DENIED)
        return false;
    // A folder in the file's place is refused the same way, and no restart changes that.
    DWORD const attributes = GetFileAttributesA(destination);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateTemporaryBeside(char const* destination, PathBuffer& temporary)
{
    PathBuffer folder;
    lstrcpynA(folder, destination, MAX_PATH);
    int end = -1;
    for (int i = 0; folder[i] != '\0'; ++i) {
        if (folder[i] == '\\')
            end = i;
    }
    // The temporary name adds a backslash and 12 characters to the folder.
    if (end <= 0 || end >= MAX_PATH - 14)
        return false;
    folder[end] = '\0';
    return GetTempFileNameA(folder, TemporaryPrefix, 0, temporary) != 0;
}

bool ReplaceAtRestart(char const* destination, char const* temporary)
{
    if (IsWindows95())
        return ReplaceAtRestartByWininit(destination, temporary);
    return MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}
