// The device registration, run in-process against the real registry: built twice, to run as
// Windows 95 (setup_registration_test) and as Windows NT (setup_registration_nt_test), since
// the two keep the fixed-length "Driver" value differently.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "registration.h"
#include "setup_driver.h"

using namespace setuptest;

namespace {

std::string const ClassKey = "SYSTEM\\CurrentControlSet\\Services\\Class\\";

void CreateKeyWith(std::string const& path, char const* name = nullptr, std::string const& data = {},
                   DWORD type = REG_SZ)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &key, nullptr))
        << path;
    // Through the wide call, which stores a text exactly as given: the narrow one of Windows 95
    // would add the terminator that some cases leave out on purpose.
    if (name) {
        std::wstring const wideName(name, name + std::strlen(name));
        std::wstring const wideData(data.begin(), data.end());
        if (type == REG_SZ)
            RegSetValueExW(key, wideName.c_str(), 0, type, reinterpret_cast<BYTE const*>(wideData.data()),
                           static_cast<DWORD>(wideData.size() * sizeof(wchar_t)));
        else
            RegSetValueExA(key, name, 0, type, reinterpret_cast<BYTE const*>(data.data()),
                           static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
}

void DeleteTree(std::string const& path)
{
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

// Every run starts from a registry without the mouse's keys.
class Registration : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(ClassKey + "Mouse");
        DeleteTree("Enum\\Root");
        DeleteTree("Enum\\BIOS");
    }
};

struct Expected {
    char const* name;
    RegValue value;
};

void ExpectValues(std::string const& key, std::vector<Expected> const& values)
{
    for (Expected const& e : values) {
        SCOPED_TRACE(key + " : " + e.name);
        auto actual = ReadRegValue(HKEY_LOCAL_MACHINE, key, e.name);
        ASSERT_TRUE(actual) << "missing";
        EXPECT_EQ(e.value.type, actual->type);
        EXPECT_EQ(e.value.data.size(), actual->data.size());
        EXPECT_EQ(e.value.data, actual->data);
    }
}

RegValue Padded(std::string const& text, std::size_t length)
{
    std::string data = text;
    data.resize(length, '\0');
    return {REG_SZ, data};
}

// Windows 95 keeps a REG_SZ only up to its terminator, whatever length it is handed; NT keeps
// the length given.
RegValue StoredDriver(std::string const& text, std::size_t length)
{
    bool const windows95 = (GetVersion() & 0x80000000) != 0;
    return windows95 ? Sz(text) : Padded(text, length);
}

std::vector<Expected> DeviceValues(char const* description, RegValue driver, char const* hardwareId)
{
    return {{"Class", Sz("Mouse")},
            {"ConfigFlags", {REG_BINARY, std::string(4, '\0')}},
            {"DeviceDesc", Sz(description)},
            {"Driver", driver},
            {"HardwareID", Sz(hardwareId)},
            {"Mfg", Sz("Norvel")}};
}

std::vector<Expected> InstanceValues(char const* description, char const* type)
{
    return {{"DevLoader", Sz("*vmouse")},   {"DriverDesc", Sz(description)}, {"InfPath", Sz("quellbox.inf")},
            {"InfSection", Sz(type)},       {"MouseDriver", Sz("tamrix.vxd")}, {"MouseType", Sz(type)},
            {"NoSetupUI", Sz("1")}};
}

int ValueCount(std::string const& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
}

std::vector<std::string> Subkeys(std::string const& path)
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

// An empty access list: the key is listed under its parent but nobody may open it.
void LockKey(std::string const& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key)) << path;
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor));
    RegCloseKey(key);
    HKEY probe;
    LONG const opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &probe);
    if (opened == ERROR_SUCCESS)
        RegCloseKey(probe);
    ASSERT_NE(ERROR_SUCCESS, opened) << path << " still opens";
}

}  // namespace

TEST_F(Registration, SerialOnAnEmptyRegistry)
{
    RegisterSerialMouse();
    EXPECT_STREQ("Mouse\\0000", MouseClassInstance);
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000",
                 DeviceValues("Tamrix on Serial Port", StoredDriver("Mouse\\0000", 20), "*PNP0F0C"));
    EXPECT_EQ(6, ValueCount("Enum\\Root\\*PNP0F0C\\0000"));
    auto instance = InstanceValues("Tamrix on Serial Port", "Serial");
    instance.push_back({"SwitchType", Sz("1")});
    ExpectValues(ClassKey + "Mouse\\0000", instance);
    EXPECT_EQ(8, ValueCount(ClassKey + "Mouse\\0000"));
}

TEST_F(Registration, SerialClearsTheRootMouseIdsAndLeavesThePs2KeysAlone)
{
    char const* const ids[] = {"*PNP0F0C", "*PNP0F01", "*PNP0F08", "*PNP0F09", "*PNP0F0F", "*PNP0F17", "*PNP0F1D"};
    for (char const* id : ids) {
        CreateKeyWith(std::string("Enum\\Root\\") + id + "\\0000", "Class", Sz("Mouse").data);
        CreateKeyWith(std::string("Enum\\Root\\") + id + "\\0001", "Class", Sz("Mouse").data);
    }
    CreateKeyWith("Enum\\Root\\Mouse\\0000", "Class", Sz("Mouse").data);
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00", "Driver", Sz("Mouse\\0000").data);
    CreateKeyWith(ClassKey + "Mouse\\0000", "Old", Sz("earlier").data);

    RegisterSerialMouse();

    for (char const* id : ids) {
        SCOPED_TRACE(id);
        std::vector<std::string> expected;
        if (std::string(id) == "*PNP0F0C")
            expected = {"0000"};
        EXPECT_EQ(expected, Subkeys(std::string("Enum\\Root\\") + id));
        EXPECT_EQ(std::string(id) == "*PNP0F0C", KeyExists(HKEY_LOCAL_MACHINE, std::string("Enum\\Root\\") + id));
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000"));
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F13\\00", "Driver"));
    // An earlier installation's instance stays; this one takes the next number.
    EXPECT_STREQ("Mouse\\0001", MouseClassInstance);
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0000", "Old"));
}

TEST_F(Registration, Ps2RootCaseOnAnEmptyRegistry)
{
    CreateKeyWith("Enum\\Root\\*PNP0F0C\\0000", "Class", Sz("Mouse").data);
    RegisterPs2Mouse();
    ExpectValues("Enum\\Root\\Mouse\\0000",
                 DeviceValues("Tamrix on PS/2 Port", StoredDriver("Mouse\\0000", 20), "BIOS\\*PNP0F13,*PNP0F13"));
    ExpectValues(ClassKey + "Mouse\\0000", InstanceValues("Tamrix on PS/2 Port", "PS2"));
    EXPECT_EQ(7, ValueCount(ClassKey + "Mouse\\0000"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000")) << "the serial keys stay";
}

TEST_F(Registration, Ps2RootCaseReplacesEveryEarlierRootMouse)
{
    for (char const* instance : {"0000", "0001", "0002"})
        CreateKeyWith(std::string("Enum\\Root\\Mouse\\") + instance, "Old", Sz("earlier").data);
    RegisterPs2Mouse();
    EXPECT_EQ(std::vector<std::string>{"0000"}, Subkeys("Enum\\Root\\Mouse"));
    EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000", "Old"));
    EXPECT_EQ(6, ValueCount("Enum\\Root\\Mouse\\0000"));
}

TEST_F(Registration, Ps2BiosCaseReusesTheAssignedDriverInstance)
{
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\08", "Driver", Sz("Mouse\\0003").data);
    CreateKeyWith(ClassKey + "Mouse\\0003", "Own", Sz("kept").data);
    RegisterPs2Mouse();
    ExpectValues("Enum\\BIOS\\*PNP0F13\\08",
                 DeviceValues("Tamrix on PS/2 Port", StoredDriver("Mouse\\0003", 260), "BIOS\\*PNP0F13,*PNP0F13"));
    ExpectValues(ClassKey + "Mouse\\0003", InstanceValues("Tamrix on PS/2 Port", "PS2"));
    EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0003", "Own"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0000")) << "no new instance";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse"));
}

// A BIOS mouse whose "Driver" cannot name an instance gets a new one.
struct BiosDriverCase {
    char const* name;
    bool present;
    std::string data;
};

TEST_F(Registration, Ps2BiosCaseChoosesAnInstanceWhenDriverIsUnusable)
{
    BiosDriverCase const cases[] = {
        {"absent", false, {}},
        // Wine terminates a shorter text itself; one that fills the whole buffer stays open.
        {"filling the buffer without terminator", true, std::string(260, 'x')},
        {"too long for the instance path", true, std::string(230, 'x') + '\0'},
        {"empty", true, std::string(1, '\0')},
    };
    for (BiosDriverCase const& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        CreateKeyWith(ClassKey + "Mouse\\0000");
        if (c.present)
            CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00", "Driver", c.data);
        else
            CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00");
        RegisterPs2Mouse();
        EXPECT_STREQ("Mouse\\0001", MouseClassInstance);
        ExpectValues("Enum\\BIOS\\*PNP0F13\\00",
                     DeviceValues("Tamrix on PS/2 Port", StoredDriver("Mouse\\0001", 260), "BIOS\\*PNP0F13,*PNP0F13"));
        ExpectValues(ClassKey + "Mouse\\0001", InstanceValues("Tamrix on PS/2 Port", "PS2"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse"));
    }
}

TEST_F(Registration, Ps2WithoutAUsableBiosInstanceTakesTheRootCase)
{
    struct {
        char const* name;
        char const* subkey;
    } const cases[] = {{"no instance", nullptr}, {"instance name over 19 characters", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}};
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        CreateKeyWith("Enum\\BIOS\\*PNP0F13");
        if (c.subkey)
            CreateKeyWith(std::string("Enum\\BIOS\\*PNP0F13\\") + c.subkey);
        RegisterPs2Mouse();
        EXPECT_EQ(6, ValueCount("Enum\\Root\\Mouse\\0000"));
        EXPECT_EQ(0, ValueCount("Enum\\BIOS\\*PNP0F13")) << "the BIOS key is not touched";
        if (c.subkey) {
            EXPECT_EQ(0, ValueCount(std::string("Enum\\BIOS\\*PNP0F13\\") + c.subkey));
        }
    }
}

TEST_F(Registration, ChooseMouseClassInstanceTakesTheFirstFreeNumber)
{
    struct {
        char const* name;
        std::vector<int> present;
        char const* chosen;
    } const cases[] = {
        {"none", {}, "Mouse\\0000"},
        {"gap at 0", {1, 2}, "Mouse\\0000"},
        {"gap at 2", {0, 1, 3}, "Mouse\\0002"},
        {"0 to 9", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "Mouse\\000a"},
        {"0 to 0x13", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, "Mouse\\00014"},
        {"all 21", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, "Mouse\\00014"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int index : c.present) {
            char suffix[8];
            std::snprintf(suffix, sizeof suffix, "%x", index);
            CreateKeyWith(ClassKey + "Mouse\\000" + suffix);
        }
        ChooseMouseClassInstance();
        EXPECT_STREQ(c.chosen, MouseClassInstance);
    }
}

TEST_F(Registration, AllInstancesTakenOverwritesTheLast)
{
    for (int index = 0; index <= 20; ++index) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%x", index);
        CreateKeyWith(ClassKey + "Mouse\\000" + suffix, "MouseType", Sz("Other").data);
    }
    RegisterSerialMouse();
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000",
                 {{"Driver", StoredDriver("Mouse\\00014", 20)}});
    ExpectValues(ClassKey + "Mouse\\00014", {{"MouseType", Sz("Serial")}});
    ExpectValues(ClassKey + "Mouse\\00013", {{"MouseType", Sz("Other")}});
}

TEST_F(Registration, Ps2BiosDeviceKeyThatCannotBeOpenedWritesNothing)
{
    if (GetVersion() & 0x80000000)
        GTEST_SKIP() << "keys have no access lists on Windows 95; setup_registration_nt_test runs this";
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00", "Driver", Sz("Mouse\\0000").data);
    LockKey("Enum\\BIOS\\*PNP0F13\\00");
    if (HasFatalFailure())
        return;

    RegisterPs2Mouse();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ClassKey + "Mouse"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse"));
}

static DWORD WINAPI RegisterSerialMouseOnThread(void*)
{
    RegisterSerialMouse();
    return 0;
}

// An earlier mouse's instance that cannot be opened, and so cannot be emptied and deleted,
// stays; its neighbours still go, and the registration goes on. It runs on a thread of its
// own, so that a walk that never ends fails the test instead of hanging it.
TEST_F(Registration, SerialPassesOverARootMouseKeyThatCannotBeOpened)
{
    if (GetVersion() & 0x80000000)
        GTEST_SKIP() << "keys have no access lists on Windows 95; setup_registration_nt_test runs this";
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0000", "DeviceDesc", Sz("Locked Mouse").data);
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0000\\Device Parameters", "Port", Sz("COM1").data);
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0001", "DeviceDesc", Sz("Older Mouse").data);
    CreateKeyWith("Enum\\Root\\*PNP0F08\\0000", "DeviceDesc", Sz("Another Mouse").data);
    LockKey("Enum\\Root\\*PNP0F01\\0000");
    if (HasFatalFailure())
        return;

    HANDLE thread = CreateThread(nullptr, 0, RegisterSerialMouseOnThread, nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    DWORD const waited = WaitForSingleObject(thread, 10000);
    if (waited != WAIT_OBJECT_0)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "RegisterSerialMouse did not return";

    EXPECT_EQ(std::vector<std::string>{"0000"}, Subkeys("Enum\\Root\\*PNP0F01"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F08"));
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000", {{"DeviceDesc", Sz("Tamrix on Serial Port")}});
}
