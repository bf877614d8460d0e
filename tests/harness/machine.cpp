#include "machine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace machine {

namespace {

// Open for reading unless asked for more, so that a key a test protects can still be read back.
class Key {
public:
    enum Open { Read, Write, Create };
    Key(HKEY root, std::string const& path, Open open = Read)
    {
        LONG const status =
            open == Create
                ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                : RegOpenKeyExA(root, path.c_str(), 0, open == Read ? KEY_READ : KEY_ALL_ACCESS, &key_);
        if (status != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    Key(Key const&) = delete;
    Key& operator=(Key const&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The names that next gives for index 0, 1, ... until it fails, sorted.
std::vector<std::string> SortedNames(HKEY root, std::string const& path,
                                     LONG (*next)(HKEY key, DWORD index, char* name, DWORD* length))
{
    std::vector<std::string> names;
    Key key(root, path);
    char name[16384];  // the longest value name; key names are shorter
    for (DWORD index = 0; key; ++index) {
        DWORD length = sizeof name;
        if (next(key.get(), index, name, &length) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void DumpInto(HKEY root, std::string const& path, std::string const& label, std::string& out)
{
    if (!KeyExists(root, path))
        return;
    out += "[" + label + "]\n";
    for (std::string const& name : ValueNames(root, path)) {
        Value const value = ReadValue(root, path, name.c_str());
        out += "  \"" + name + "\" type " + std::to_string(value.type) + " " + (value ? Hex(value.data) : "?") + "\n";
    }
    for (std::string const& subkey : SubkeyNames(root, path))
        DumpInto(root, path + "\\" + subkey, label + "\\" + subkey, out);
}

}  // namespace

// ---- Registry ----

Value::Value(DWORD type, std::string bytes) : present(true), type(type), data(std::move(bytes)) {}

Value Value::Sz(std::string const& text)
{
    return {REG_SZ, text + '\0'};
}

Value Value::Dword(DWORD number)
{
    return {REG_DWORD, std::string(reinterpret_cast<char const*>(&number), sizeof number)};
}

Value Value::Binary(std::vector<unsigned char> const& bytes)
{
    return {REG_BINARY, std::string(bytes.begin(), bytes.end())};
}

DWORD Value::Number() const
{
    DWORD number = 0;
    if (data.size() == sizeof number)
        std::memcpy(&number, data.data(), sizeof number);
    return number;
}

bool operator==(Value const& a, Value const& b)
{
    return a.present == b.present && (!a.present || (a.type == b.type && a.data == b.data));
}

std::string Describe(Value const& value)
{
    if (!value.present)
        return "absent";
    return "type " + std::to_string(value.type) + ": " + Hex(value.data);
}

std::ostream& operator<<(std::ostream& out, Value const& value)
{
    return out << Describe(value);
}

std::string Hex(std::string const& bytes)
{
    std::string text;
    char pair[4];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

bool KeyExists(HKEY root, std::string const& path)
{
    return static_cast<bool>(Key(root, path));
}

bool CreateKey(HKEY root, std::string const& path)
{
    return static_cast<bool>(Key(root, path, Key::Create));
}

bool SetValue(HKEY root, std::string const& path, char const* name, Value const& value)
{
    Key key(root, path, Key::Create);
    if (!key)
        return false;
    if (!value.present) {
        LONG const status = RegDeleteValueA(key.get(), name);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExA(key.get(), name, 0, value.type, reinterpret_cast<BYTE const*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool SetString(HKEY root, std::string const& path, char const* name, std::string const& text)
{
    return SetValue(root, path, name, Value::Sz(text));
}

bool SetDword(HKEY root, std::string const& path, char const* name, DWORD number)
{
    return SetValue(root, path, name, Value::Dword(number));
}

bool DeleteValue(HKEY root, std::string const& path, char const* name)
{
    Key key(root, path, Key::Write);
    return key && RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, std::string const& path)
{
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

Value ReadValue(HKEY root, std::string const& path, char const* name)
{
    Key key(root, path);
    if (!key)
        return {};
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::string data(size, '\0');
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return {type, data};
}

std::vector<std::string> SubkeyNames(HKEY root, std::string const& path)
{
    return SortedNames(root, path, [](HKEY key, DWORD index, char* name, DWORD* length) {
        return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::string> ValueNames(HKEY root, std::string const& path)
{
    return SortedNames(root, path, [](HKEY key, DWORD index, char* name, DWORD* length) {
        return RegEnumValueA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

long ValueCount(HKEY root, std::string const& path)
{
    Key key(root, path);
    DWORD count = 0;
    if (!key || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                                 nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<long>(count);
}

std::string DumpKey(HKEY root, std::string const& path)
{
    std::string out;
    DumpInto(root, path, path, out);
    return out;
}

ProtectedKey::ProtectedKey(HKEY root, std::string const& path, REGSAM everyone) : root_(root), path_(path)
{
    if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &guard_) != ERROR_SUCCESS) {
        guard_ = nullptr;
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(guard_, DACL_SECURITY_INFORMATION, nullptr, &size);
    original_.resize(size);
    if (!size || RegGetKeySecurity(guard_, DACL_SECURITY_INFORMATION, original_.data(), &size) != ERROR_SUCCESS)
        original_.clear();

    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyoneSid = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyoneSid))
        return;
    BYTE aclBuffer[128];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    SECURITY_DESCRIPTOR descriptor;
    // An empty list when nobody may have anything: the key is listed under its parent but
    // does not open.
    if (InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
        (!everyone || AddAccessAllowedAce(acl, ACL_REVISION, everyone, everyoneSid)) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        RegSetKeySecurity(guard_, DACL_SECURITY_INFORMATION, &descriptor);
    FreeSid(everyoneSid);
}

ProtectedKey::~ProtectedKey()
{
    if (!guard_)
        return;
    if (!original_.empty())
        RegSetKeySecurity(guard_, DACL_SECURITY_INFORMATION, original_.data());
    RegCloseKey(guard_);
}

LONG ProtectedKey::OpenWith(REGSAM access) const
{
    HKEY key;
    LONG const status = RegOpenKeyExA(root_, path_.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS)
        RegCloseKey(key);
    return status;
}

// ---- Files and folders ----

bool FileExists(std::string const& path)
{
    DWORD const attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::string const& path)
{
    DWORD const attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(std::string const& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(std::string const& path, std::string const& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    return static_cast<bool>(file);
}

std::vector<std::string> FolderTree(std::string const& folder)
{
    std::vector<std::string> entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        std::string const name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries.push_back(name + "\\");
            for (std::string const& inner : FolderTree(folder + "\\" + name))
                entries.push_back(name + "\\" + inner);
        } else {
            entries.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string SystemFolder()
{
    char folder[MAX_PATH];
    UINT const length = GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

std::string WindowsFolder()
{
    char folder[MAX_PATH];
    UINT const length = GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

// ---- Paths ----

std::string TempPath(std::string const& name)
{
    char folder[MAX_PATH];
    DWORD const length = GetTempPathA(MAX_PATH, folder);
    return std::string(folder, length < MAX_PATH ? length : 0) + name;
}

std::string WindowsPath(std::string const& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace machine
