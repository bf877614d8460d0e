// The machine as a test sets it up and reads it back: registry keys and values, files and
// folders, and the paths between Wine's drives and the Unix file system of the build.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace machine {

// ---- Registry ----

// A registry value as a test sets it up or finds it: absent, or a type and its bytes as
// stored, a string's terminating zero included.
struct Value {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;

    Value() = default;  // absent
    Value(DWORD type, std::string bytes);
    static Value Absent() { return {}; }
    // A REG_SZ of this text with its terminator.
    static Value Sz(std::string const& text);
    static Value Dword(DWORD number);
    static Value Binary(std::vector<unsigned char> const& bytes);

    explicit operator bool() const { return present; }
    // The bytes up to the first zero.
    std::string Text() const { return data.c_str(); }
    // A value of four bytes as a number; 0 for any other size.
    DWORD Number() const;
};
bool operator==(Value const& a, Value const& b);
inline bool operator!=(Value const& a, Value const& b) { return !(a == b); }
// "absent", or the type and the bytes: what a failed check prints.
std::string Describe(Value const& value);
std::ostream& operator<<(std::ostream& out, Value const& value);

// Every byte as two lower-case hex digits.
std::string Hex(std::string const& bytes);

bool KeyExists(HKEY root, std::string const& path);
bool CreateKey(HKEY root, std::string const& path);
// Creates the key when it is missing; an absent value deletes the value.
bool SetValue(HKEY root, std::string const& path, char const* name, Value const& value);
bool SetString(HKEY root, std::string const& path, char const* name, std::string const& text);
bool SetDword(HKEY root, std::string const& path, char const* name, DWORD number);
bool DeleteValue(HKEY root, std::string const& path, char const* name);
// The key with everything below it; true when it is gone.
bool DeleteTree(HKEY root, std::string const& path);
// Absent when the key or the value is missing.
Value ReadValue(HKEY root, std::string const& path, char const* name);
// Sorted.
std::vector<std::string> SubkeyNames(HKEY root, std::string const& path);
std::vector<std::string> ValueNames(HKEY root, std::string const& path);
// The number of values; -1 when the key is missing.
long ValueCount(HKEY root, std::string const& path);
// The key and everything below it as text lines, one a key or value; empty when it is missing.
std::string DumpKey(HKEY root, std::string const& path);

// A key whose access list lets everyone have this access and nobody anything else while a
// test needs it so (KEY_READ: it opens only for reading; 0: nobody may open it); the list it
// had comes back afterwards.
class ProtectedKey {
public:
    ProtectedKey(HKEY root, std::string const& path, REGSAM everyone);
    ~ProtectedKey();
    ProtectedKey(ProtectedKey const&) = delete;
    ProtectedKey& operator=(ProtectedKey const&) = delete;

    // RegOpenKeyExA's answer now to an open with this access: a test asserts that the access
    // it leaves opens and that the program's access is refused before it trusts the protection.
    LONG OpenWith(REGSAM access) const;

private:
    HKEY root_;
    std::string path_;
    // Opened before the change with the rights to read and write the access list, so the old
    // list can be put back whatever the new one allows.
    HKEY guard_ = nullptr;
    std::vector<BYTE> original_;
};

// ---- Files and folders ----

bool FileExists(std::string const& path);
bool FolderExists(std::string const& path);
// The whole file; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(std::string const& path);
bool WriteFileBytes(std::string const& path, std::string const& bytes);
// The folder's entries, sorted, "." and ".." left out; recursively as relative paths, a
// folder's own entry ending in a backslash.
std::vector<std::string> FolderTree(std::string const& folder);
std::string SystemFolder();
std::string WindowsFolder();

// ---- Paths ----

// This name in the temporary folder.
std::string TempPath(std::string const& name);
// A Unix path as Wine's drive Z:, the root of the Unix file system, shows it.
std::string WindowsPath(std::string const& unixPath);

}  // namespace machine
