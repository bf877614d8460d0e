// A registry key that opens only for reading while a test needs it so: its access list lets
// everyone read the key and nobody change it, and the list it had comes back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY root, std::string const& path);
    ~ReadOnlyKey();
    ReadOnlyKey(ReadOnlyKey const&) = delete;
    ReadOnlyKey& operator=(ReadOnlyKey const&) = delete;

    // RegOpenKeyExA's answer now to an open with this access: a test asserts that reading
    // still opens and that the program's access is refused before it trusts the protection.
    LONG OpenWith(REGSAM access) const;

private:
    HKEY root_;
    std::string path_;
    // Opened before the change with the rights to read and write the access list, so the old
    // list can be put back whatever the new one allows.
    HKEY guard_ = nullptr;
    std::vector<BYTE> original_;
};

} // namespace harness
