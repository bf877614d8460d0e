// The device registration, run in-process against the real registry: built twice, to run as
// Windows 95 (setup_registration_test) and as Windows NT (setup_registration_nt_test), since
// the two keep the fixed-length "Driver" value differently.
#include <gtest/gtest.h>

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

// Every run starts from a registry without the mouse's keys.
class Registration : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, ClassKey + "Mouse");
        DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\Root");
        DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\BIOS");
    }
};

struct Expected {
    char const* name;
    Value value;
};

void ExpectValues(std::string const& key, std::vector<Expected> const& values)
{
    for (Expected const& e : values) {
        SCOPED_TRACE(key + " : " + e.name);
        Value const actual = ReadValue(HKEY_LOCAL_MACHINE, key, e.name);
        ASSERT_TRUE(actual) << "missing";
        EXPECT_EQ(e.value.type, actual.type);
        EXPECT_EQ(e.value.data.size(), actual.data.size());
        EXPECT_EQ(e.value.data, actual.data);
    }
}

Value Padded(std::string const& text, std::size_t length)
{
    std::string data = text;
    data.resize(length, '\0');
    return {REG_SZ, data};
}

// Windows 95 keeps a REG_SZ only up to its terminator, whatever length it is handed; NT keeps
// the length given.
Value StoredDriver(std::string const& text, std::size_t length)
{
    bool const windows95 = (GetVersion() & 0x80000000) != 0;
    return windows95 ? Value::Sz(text) : Padded(text, length);
}

std::vector<Expected> DeviceValues(char const* description, Value driver, char const* hardwareId)
{
    return {{"Class", Value::Sz("Mouse")},
            {"ConfigFlags", {REG_BINARY, std::string(4, '\0')}},
            {"DeviceDesc", Value::Sz(description)},
            {"Driver", driver},
            {"HardwareID", Value::Sz(hardwareId)},
            {"Mfg", Value::Sz("Norvel")}};
}

std::vector<Expected> InstanceValues(char const* description, char const* type)
{
    return {{"DevLoader", Value::Sz("*vmouse")},   {"DriverDesc", Value::Sz(description)}, {"InfPath", Value::Sz("quellbox.inf")},
            {"InfSection", Value::Sz(type)},       {"MouseDriver", Value::Sz("tamrix.vxd")}, {"MouseType", Value::Sz(type)},
            {"NoSetupUI", Value::Sz("1")}};
}

}  // namespace

TEST_F(Registration, SerialOnAnEmptyRegistry)
{
    RegisterSerialMouse();
    EXPECT_STREQ("Mouse\\0000", MouseClassInstance);
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000",
                 DeviceValues("Tamrix on Serial Port", StoredDriver("Mouse\\0000", 20), "*PNP0F0C"));
    EXPECT_EQ(6, ValueCount(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000"));
    auto instance = InstanceValues("Tamrix on Serial Port", "Serial");
    instance.push_back({"SwitchType", Value::Sz("1")});
    ExpectValues(ClassKey + "Mouse\\0000", instance);
    EXPECT_EQ(8, ValueCount(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0000"));
}

TEST_F(Registration, SerialClearsTheRootMouseIdsAndLeavesThePs2KeysAlone)
{
    char const* const ids[] = {"*PNP0F0C", "*PNP0F01", "*PNP0F08", "*PNP0F09", "*PNP0F0F", "*PNP0F17", "*PNP0F1D"};
    for (char const* id : ids) {
        CreateKeyWith(std::string("Enum\\Root\\") + id + "\\0000", "Class", Value::Sz("Mouse").data);
        CreateKeyWith(std::string("Enum\\Root\\") + id + "\\0001", "Class", Value::Sz("Mouse").data);
    }
    CreateKeyWith("Enum\\Root\\Mouse\\0000", "Class", Value::Sz("Mouse").data);
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00", "Driver", Value::Sz("Mouse\\0000").data);
    CreateKeyWith(ClassKey + "Mouse\\0000", "Old", Value::Sz("earlier").data);

    RegisterSerialMouse();

    for (char const* id : ids) {
        SCOPED_TRACE(id);
        std::vector<std::string> expected;
        if (std::string(id) == "*PNP0F0C")
            expected = {"0000"};
        EXPECT_EQ(expected, SubkeyNames(HKEY_LOCAL_MACHINE, std::string("Enum\\Root\\") + id));
        EXPECT_EQ(std::string(id) == "*PNP0F0C", KeyExists(HKEY_LOCAL_MACHINE, std::string("Enum\\Root\\") + id));
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000"));
    EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F13\\00", "Driver"));
    // An earlier installation's instance stays; this one takes the next number.
    EXPECT_STREQ("Mouse\\0001", MouseClassInstance);
    EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0000", "Old"));
}

TEST_F(Registration, Ps2RootCaseOnAnEmptyRegistry)
{
    CreateKeyWith("Enum\\Root\\*PNP0F0C\\0000", "Class", Value::Sz("Mouse").data);
    RegisterPs2Mouse();
    ExpectValues("Enum\\Root\\Mouse\\0000",
                 DeviceValues("Tamrix on PS/2 Port", StoredDriver("Mouse\\0000", 20), "BIOS\\*PNP0F13,*PNP0F13"));
    ExpectValues(ClassKey + "Mouse\\0000", InstanceValues("Tamrix on PS/2 Port", "PS2"));
    EXPECT_EQ(7, ValueCount(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0000"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000")) << "the serial keys stay";
}

TEST_F(Registration, Ps2RootCaseReplacesEveryEarlierRootMouse)
{
    for (char const* instance : {"0000", "0001", "0002"})
        CreateKeyWith(std::string("Enum\\Root\\Mouse\\") + instance, "Old", Value::Sz("earlier").data);
    RegisterPs2Mouse();
    EXPECT_EQ(std::vector<std::string>{"0000"}, SubkeyNames(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse"));
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000", "Old"));
    EXPECT_EQ(6, ValueCount(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000"));
}

TEST_F(Registration, Ps2BiosCaseReusesTheAssignedDriverInstance)
{
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\08", "Driver", Value::Sz("Mouse\\0003").data);
    CreateKeyWith(ClassKey + "Mouse\\0003", "Own", Value::Sz("kept").data);
    RegisterPs2Mouse();
    ExpectValues("Enum\\BIOS\\*PNP0F13\\08",
                 DeviceValues("Tamrix on PS/2 Port", StoredDriver("Mouse\\0003", 260), "BIOS\\*PNP0F13,*PNP0F13"));
    ExpectValues(ClassKey + "Mouse\\0003", InstanceValues("Tamrix on PS/2 Port", "PS2"));
    EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, ClassKey + "Mouse\\0003", "Own"));
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
        EXPECT_EQ(6, ValueCount(HKEY_LOCAL_MACHINE, "Enum\\Root\\Mouse\\0000"));
        EXPECT_EQ(0, ValueCount(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F13")) << "the BIOS key is not touched";
        if (c.subkey) {
            EXPECT_EQ(0, ValueCount(HKEY_LOCAL_MACHINE, std::string("Enum\\BIOS\\*PNP0F13\\") + c.subkey));
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
        CreateKeyWith(ClassKey + "Mouse\\000" + suffix, "MouseType", Value::Sz("Other").data);
    }
    RegisterSerialMouse();
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000",
                 {{"Driver", StoredDriver("Mouse\\00014", 20)}});
    ExpectValues(ClassKey + "Mouse\\00014", {{"MouseType", Value::Sz("Serial")}});
    ExpectValues(ClassKey + "Mouse\\00013", {{"MouseType", Value::Sz("Other")}});
}

TEST_F(Registration, Ps2BiosDeviceKeyThatCannotBeOpenedWritesNothing)
{
    if (GetVersion() & 0x80000000)
        GTEST_SKIP() << "keys have no access lists on Windows 95; setup_registration_nt_test runs this";
    CreateKeyWith("Enum\\BIOS\\*PNP0F13\\00", "Driver", Value::Sz("Mouse\\0000").data);
    // An empty access list: the key is listed under its parent but nobody may open it.
    ProtectedKey const locked(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F13\\00", 0);
    ASSERT_NE(ERROR_SUCCESS, locked.OpenWith(KEY_ALL_ACCESS)) << "the key still opens";

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
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0000", "DeviceDesc", Value::Sz("Locked Mouse").data);
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0000\\Device Parameters", "Port", Value::Sz("COM1").data);
    CreateKeyWith("Enum\\Root\\*PNP0F01\\0001", "DeviceDesc", Value::Sz("Older Mouse").data);
    CreateKeyWith("Enum\\Root\\*PNP0F08\\0000", "DeviceDesc", Value::Sz("Another Mouse").data);
    // An empty access list: the key is listed under its parent but nobody may open it.
    ProtectedKey const locked(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F01\\0000", 0);
    ASSERT_NE(ERROR_SUCCESS, locked.OpenWith(KEY_ALL_ACCESS)) << "the key still opens";

    HANDLE thread = CreateThread(nullptr, 0, RegisterSerialMouseOnThread, nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    DWORD const waited = WaitForSingleObject(thread, 10000);
    if (waited != WAIT_OBJECT_0)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "RegisterSerialMouse did not return";

    EXPECT_EQ(std::vector<std::string>{"0000"}, SubkeyNames(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F01"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F08"));
    ExpectValues("Enum\\Root\\*PNP0F0C\\0000", {{"DeviceDesc", Value::Sz("Tamrix on Serial Port")}});
}
