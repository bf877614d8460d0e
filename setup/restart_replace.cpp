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

bool ReadAt(HANDLE file, DWORD offset, char* data, DWORD count)
{
    DWORD read = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset &&
           ReadFile(file, data, count, &read, nullptr) && read == count;
}

bool WriteAt(HANDLE file, DWORD offset, char const* data, DWORD count)
{
    DWORD written = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset &&
           WriteFile(file, data, count, &written, nullptr) && written == count;
}

// The beginning of one line, blanks skipped: enough to tell a section header and its name.
class LineHead {
public:
    void Reset()
    {
        m_length = 0;
        m_started = false;
    }

    void Add(char c)
    {
        if (!m_started && (c == ' ' || c == '\t'))
            return;
        m_started = true;
        if (m_length < static_cast<int>(sizeof m_text) - 1)
            m_text[m_length++] = c;
    }

    bool IsSectionHeader() const { return m_length > 0 && m_text[0] == '['; }

    // Whether the line is the header of this section, in any letter case.
    bool Names(char const* section)
    {
        for (int i = 1; i < m_length; ++i) {
            if (m_text[i] != ']')
                continue;
            m_text[i] = '\0';
            return lstrcmpiA(m_text + 1, section) == 0;
        }
        return false;
    }

private:
    char m_text[16];
    int m_length = 0;
    bool m_started = false;
};

// Where a new line of the "[rename]" section goes: after the section's last line, which is
// the start of the next section or the end of the file.
struct RenameSection {
    bool found = false;
    DWORD end = 0;
    bool endsLine = true;  // the byte before `end` ends a line, or there is none
};

class RenameSectionFinder {
public:
    // Takes the line that ends here, which began at lineStart; true once the section's end is
    // known.
    bool EndLine(DWORD lineStart)
    {
        bool done = false;
        if (m_head.IsSectionHeader()) {
            if (m_inRename) {
                m_section.end = lineStart;
                done = true;
            } else if (!m_section.found && m_head.Names("rename")) {
                m_section.found = m_inRename = true;
            }
        }
        m_head.Reset();
        return done;
    }

    void Add(char c) { m_head.Add(c); }
    RenameSection& Section() { return m_section; }

private:
    LineHead m_head;
    bool m_inRename = false;
    RenameSection m_section;
};

bool FindRenameSection(HANDLE file, DWORD size, RenameSection& section)
{
    RenameSectionFinder finder;
    DWORD lineStart = 0;
    char last = '\n';
    char chunk[512];
    for (DWORD offset = 0; offset < size;) {
        DWORD const count = size - offset < sizeof chunk ? size - offset : sizeof chunk;
        if (!ReadAt(file, offset, chunk, count))
            return false;
        for (DWORD i = 0; i < count; ++i) {
            last = chunk[i];
            if (last != '\n') {
                if (last != '\r')
                    finder.Add(last);
                continue;
            }
            if (finder.EndLine(lineStart)) {
                section = finder.Section();
                return true;
            }
            lineStart = offset + i + 1;
        }
        offset += count;
    }
    // The last line may end without a line break.
    bool const ended = finder.EndLine(lineStart);
    section = finder.Section();
    if (!ended) {
        section.end = size;
        section.endsLine = last == '\n';
    }
    return true;
}

// Moves the bytes from `from` to the end of the file `by` bytes on, last chunk first, so that
// no byte is overwritten before it has been moved.
bool MoveTail(HANDLE file, DWORD from, DWORD size, DWORD by)
{
    char chunk[512];
    for (DWORD end = size; end > from;) {
        DWORD const count = end - from < sizeof chunk ? end - from : sizeof chunk;
        end -= count;
        if (!ReadAt(file, end, chunk, count) || !WriteAt(file, end + by, chunk, count))
            return false;
    }
    return true;
}

bool InsertRenameLine(HANDLE file, char const* line)
{
    DWORD const size = SetFilePointer(file, 0, nullptr, FILE_END);
    RenameSection section;
    if (size == INVALID_SET_FILE_POINTER || !FindRenameSection(file, size, section))
        return false;
    char text[sizeof "\r\n[rename]\r\n" + 2 * MAX_PATH + sizeof "\r\n"];
    int const length = wsprintfA(text, "%s%s%s\r\n", section.endsLine ? "" : "\r\n",
                                 section.found ? "" : "[rename]\r\n", line);
    return length > 0 && MoveTail(file, section.end, size, static_cast<DWORD>(length)) &&
           WriteAt(file, section.end, text, static_cast<DWORD>(length));
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
