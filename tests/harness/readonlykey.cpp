#include "readonlykey.h"

namespace harness {

ReadOnlyKey::ReadOnlyKey(HKEY root, std::string const& path) : root_(root), path_(path)
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
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return;
    BYTE aclBuffer[128];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    SECURITY_DESCRIPTOR descriptor;
    if (InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
        AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        RegSetKeySecurity(guard_, DACL_SECURITY_INFORMATION, &descriptor);
    FreeSid(everyone);
}

ReadOnlyKey::~ReadOnlyKey()
{
    if (!guard_)
        return;
    if (!original_.empty())
        RegSetKeySecurity(guard_, DACL_SECURITY_INFORMATION, original_.data());
    RegCloseKey(guard_);
}

LONG ReadOnlyKey::OpenWith(REGSAM access) const
{
    HKEY key;
    LONG const status = RegOpenKeyExA(root_, path_.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS)
        RegCloseKey(key);
    return status;
}

} // namespace harness
