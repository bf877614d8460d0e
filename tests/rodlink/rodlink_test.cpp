// The mouse interface library, loaded for real into this test program (which Wine runs as a
// Windows 95 program) and into the stand-in control-centre program, against the stand-in
// driver, the real registry and real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rodlink.h"
#include "settings_registry.h"
#include "standins.h"
#include "winauto.h"

namespace {

DWORD const Timeout = winauto::kProgramTimeoutMs;

std::string RodlinkPath()
{
    return winauto::BesideThisProgram("rodlink.dll");
}

template <typename Function>
Function Export(HMODULE library, char const* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The settings block as its creator holds it.
class Block {
public:
    Block()
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, MOUSE_SHARE_DATA_SIZE,
                                      MOUSE_SHARE_DATA_NAME))
        , data_(static_cast<MouseShareData*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0)))
    {
    }
    ~Block()
    {
        if (data_)
            UnmapViewOfFile(data_);
        if (mapping_)
            CloseHandle(mapping_);
    }
    Block(Block const&) = delete;
    Block& operator=(Block const&) = delete;

    MouseShareData* operator->() const { return data_; }
    MouseShareData* get() const { return data_; }
    BYTE* bytes() const { return reinterpret_cast<BYTE*>(data_); }

private:
    HANDLE mapping_;
    MouseShareData* data_;
};

// The stand-in control-centre program in another process, serving commands.
class ControlCentre : public winauto::ProgramRun {
public:
    explicit ControlCentre(std::string const& program = "brindlex.exe")
        : ProgramRun(winauto::CommandLine(winauto::BesideThisProgram(program)))
        , window_(WaitForWindow("TamrixControlCentre", nullptr))
    {
    }
    ~ControlCentre()
    {
        if (window_)
            Command("quit");
        WaitForExit();
    }
    ControlCentre(ControlCentre const&) = delete;
    ControlCentre& operator=(ControlCentre const&) = delete;

    bool IsServing() const { return window_ != nullptr; }
    LRESULT Command(std::string text) const
    {
        COPYDATASTRUCT data = {1, static_cast<DWORD>(text.size() + 1), text.data()};
        return SendMessageA(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }

private:
    HWND window_;
};

bool BlockExists()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, MOUSE_SHARE_DATA_NAME);
    if (mapping)
        CloseHandle(mapping);
    return mapping != nullptr;
}

bool LibraryLoadedHere()
{
    return GetModuleHandleA(RodlinkPath().c_str()) != nullptr;
}

// The views of file mappings in this process: a view keeps its block alive without a handle.
int MappedViews()
{
    int views = 0;
    MEMORY_BASIC_INFORMATION region;
    for (BYTE const* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<BYTE const*>(region.BaseAddress) + region.RegionSize)
        views += region.Type == MEM_MAPPED && region.BaseAddress == region.AllocationBase;
    return views;
}

// The library loaded into this process, with a block held here and a clear driver record.
class Library : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, block.get());
        std::memset(block.bytes(), 0, MOUSE_SHARE_DATA_SIZE);
        ASSERT_TRUE(driver.IsOpen());
        driver.SetFailures(0);
        DeleteSettingsKey();
        library = LoadLibraryA(RodlinkPath().c_str());
        ASSERT_NE(nullptr, library) << "error " << GetLastError();
        updateButtonStatus = Export<decltype(&UpdateButtonStatus)>(library, "UpdateButtonStatus");
        enableDisableStatus = Export<decltype(&EnableDisableStatus)>(library, "EnableDisableStatus");
        initButton = Export<decltype(&InitButton)>(library, "InitButton");
        installHooks = Export<decltype(&InstallHooks)>(library, "InstallHooks");
        removeHooks = Export<decltype(&RemoveHooks)>(library, "RemoveHooks");
        getMouseInfo = Export<decltype(&GetMouseInfo)>(library, "GetMouseInfo");
        removeDrvRegistry = Export<decltype(&RemoveDrvRegistry)>(library, "RemoveDrvRegistry");
        driver.Clear();
    }

    void TearDown() override
    {
        driver.SetFailures(0);
        if (library) {
            removeHooks();
            FreeLibrary(library);
        }
        DeleteSettingsKey();
    }

    std::vector<TamrixRequest> Requests() const { return driver.Requests(); }

    SystemMouseSettings systemSettings;
    Block block;
    standins::Driver driver;
    HMODULE library = nullptr;
    decltype(&UpdateButtonStatus) updateButtonStatus = nullptr;
    decltype(&EnableDisableStatus) enableDisableStatus = nullptr;
    decltype(&InitButton) initButton = nullptr;
    decltype(&InstallHooks) installHooks = nullptr;
    decltype(&RemoveHooks) removeHooks = nullptr;
    decltype(&GetMouseInfo) getMouseInfo = nullptr;
    decltype(&RemoveDrvRegistry) removeDrvRegistry = nullptr;
};

// The 7 settings bytes of a request, as the driver received them.
std::string SettingsSent(TamrixRequest const& request)
{
    return std::string(reinterpret_cast<char const*>(request.input), request.input_size);
}

std::string BlockSettings(Block const& block)
{
    return std::string(reinterpret_cast<char const*>(block.bytes()), DRIVER_SETTINGS_SIZE);
}

} // namespace

// ---- Load and unload ----------------------------------------------------------------------

TEST(Load, RefusedWithoutTheBlockAndLeavesNoneBehind)
{
    ASSERT_FALSE(BlockExists());
    EXPECT_EQ(nullptr, LoadLibraryA(RodlinkPath().c_str()));
    EXPECT_FALSE(BlockExists());
}

TEST(Load, RefusedWhenTheDeviceDoesNotOpenAndTheBlockStaysAsItWas)
{
    Block block;
    for (int i = 0; i < MOUSE_SHARE_DATA_SIZE; ++i)
        block.bytes()[i] = static_cast<BYTE>(i * 7);
    standins::Driver driver;
    ASSERT_TRUE(driver.SetFailures(1));  // the device's name is gone
    HMODULE library = LoadLibraryA(RodlinkPath().c_str());
    driver.SetFailures(0);
    EXPECT_EQ(nullptr, library);
    for (int i = 0; i < MOUSE_SHARE_DATA_SIZE; ++i)
        ASSERT_EQ(static_cast<BYTE>(i * 7), block.bytes()[i]) << "byte " << i;
    EXPECT_TRUE(BlockExists());
}

TEST(Load, ProcessesThatLoadTheLibrarySeeOneRecord)
{
    Block block;
    standins::Driver driver;
    DeleteSettingsKey();  // so that UpdateButtonStatus only sends the settings
    HMODULE library = LoadLibraryA(RodlinkPath().c_str());
    ASSERT_NE(nullptr, library);
    auto enableDisableStatus = Export<decltype(&EnableDisableStatus)>(library, "EnableDisableStatus");

    {
        ControlCentre other;
        ASSERT_TRUE(other.IsServing());
        ASSERT_EQ(1, other.Command("load " + RodlinkPath()));
        EXPECT_EQ(1, other.Command("call EnableDisableStatus 0x1234"));
        EXPECT_EQ(0x34, block->EnableStatus) << "written there, read here without a call";

        enableDisableStatus(0x56);
        driver.Clear();
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, other.Command("call UpdateButtonStatus"));
        auto requests = driver.Requests();
        ASSERT_EQ(1u, requests.size());
        EXPECT_EQ(2u, requests[0].code);
        EXPECT_EQ(0x56, requests[0].input[3]) << "written here, sent from there";
    }
    FreeLibrary(library);
}

// Creation disposition 0 opens the device only for a Windows 95 program; delete-on-close is
// what the stand-in driver counts as the package's open.
TEST(Load, OpensTheDeviceThePackagesWay)
{
    struct Case {
        char const* version;
        LRESULT loads;
        unsigned packageOpens;
    } const cases[] = {{"win95", 1, 1}, {"nt40", 0, 0}};
    standins::Driver driver;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.version);
        std::string const program = std::string("brindlex_") + c.version + ".exe";
        ASSERT_TRUE(CopyFileA(winauto::BesideThisProgram("brindlex.exe").c_str(),
                              winauto::BesideThisProgram(program).c_str(), FALSE));
        ASSERT_TRUE(winauto::SetWindowsVersion(program, c.version));
        ControlCentre other(program);
        ASSERT_TRUE(other.IsServing());
        driver.Clear();
        EXPECT_EQ(c.loads, other.Command("load " + RodlinkPath()));
        TamrixRecord const record = driver.Record();
        EXPECT_EQ(c.packageOpens, record.opens);
        EXPECT_EQ(c.packageOpens, record.package_opens) << "opened with FILE_FLAG_DELETE_ON_CLOSE";
    }
}

// The block belongs to its creator: once the library is unloaded, or its load was refused, no
// view of it is left here and closing the creator's handle is the end of it. A library still
// loaded keeps it.
TEST(Load, UnloadAndARefusedLoadLeaveTheBlockToItsCreator)
{
    struct Case {
        char const* what;
        unsigned failures;
        bool loads;
        bool unloadFirst;
        bool blockStays;
    } const cases[] = {
        // what, failures asked of the driver, loads, unloaded first, the block stays
        {"unloaded", 0, true, true, false},
        {"refused: the device does not open", 1, false, false, false},
        {"loaded while the creator lets go", 0, true, false, true},
    };
    standins::Driver driver;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<Block> creator;
        creator.emplace();
        ASSERT_NE(nullptr, creator->get());
        ASSERT_TRUE(driver.SetFailures(c.failures));
        int const views = MappedViews();
        HMODULE library = LoadLibraryA(RodlinkPath().c_str());
        driver.SetFailures(0);
        EXPECT_EQ(c.loads, library != nullptr);
        if (library && c.unloadFirst) {
            FreeLibrary(library);
            library = nullptr;
            EXPECT_FALSE(LibraryLoadedHere());
        }
        EXPECT_EQ(views + (library ? 1 : 0), MappedViews()) << "views of the block: the library's one while loaded";
        creator.reset();
        EXPECT_EQ(c.blockStays, BlockExists());
        if (library)
            FreeLibrary(library);
        ASSERT_FALSE(BlockExists()) << "left for the next case";
    }
}

// ---- The small exports and the driver ---------------------------------------------------

TEST_F(Library, EnableDisableStatusStoresTheLowByteAndSendsTheSettings)
{
    struct Case {
        int status;
        BYTE stored;
    } const cases[] = {{0x1234, 0x34}, {0, 0}, {1, 1}, {-1, 0xFF}};
    block->MiddleButton = 9;
    block->Sensitivity = 60;
    block->CursorCenter = 1;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.status);
        driver.Clear();
        EXPECT_TRUE(enableDisableStatus(c.status));
        EXPECT_EQ(c.stored, block->EnableStatus);
        auto requests = Requests();
        ASSERT_EQ(1u, requests.size());
        EXPECT_EQ(2u, requests[0].code);
        EXPECT_EQ(BlockSettings(block), SettingsSent(requests[0]));
    }
}

TEST_F(Library, EachExportReportsWhatTheDriverAnswered)
{
    struct Case {
        char const* name;
        unsigned code;
        std::function<BOOL()> call;
    };
    BYTE buffer[8];
    Case const cases[] = {
        {"EnableDisableStatus", 2, [&] { return enableDisableStatus(7); }},
        {"GetMouseInfo", 3, [&] { return getMouseInfo(buffer, sizeof buffer); }},
        {"RemoveDrvRegistry", 4, [&] { return removeDrvRegistry(); }},
        {"InitButton", 2, [&] { return initButton(); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        driver.SetFailures(0);
        EXPECT_NE(FALSE, c.call());
        driver.SetFailures(1u << c.code);
        EXPECT_EQ(FALSE, c.call());
    }
    EXPECT_EQ(7, block->EnableStatus) << "stored although the driver failed";
}

TEST_F(Library, GetMouseInfoPassesTheCallersBufferThroughAndReturnsTheVerdict)
{
    struct Case {
        DWORD size;
        bool buffer;          // false: a null buffer
        char const* written;  // what the driver leaves there; the rest of the buffer untouched
    } const cases[] = {
        {32, true, TAMRIX_MOUSE_INFO_TEXT "@ABCDEFGHIJ"},
        {8, true, "TAMRIX S"},
        {0, true, ""},
        {0, false, nullptr},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.buffer ? " bytes" : " bytes, no buffer"));
        for (bool fails : {false, true}) {
            SCOPED_TRACE(fails ? "the driver fails code 3" : "the driver answers");
            driver.SetFailures(fails ? 1u << 3 : 0u);
            driver.Clear();
            char buffer[40];
            std::memset(buffer, '#', sizeof buffer);
            EXPECT_EQ(!fails, getMouseInfo(c.buffer ? buffer : nullptr, c.size) != FALSE);
            auto requests = Requests();
            ASSERT_EQ(1u, requests.size());
            EXPECT_EQ(3u, requests[0].code);
            EXPECT_EQ(0u, requests[0].input_size);
            EXPECT_EQ(c.size, requests[0].output_size);
            if (c.buffer && !fails) {
                EXPECT_EQ(c.written + std::string(sizeof buffer - std::strlen(c.written), '#'),
                          std::string(buffer, sizeof buffer));
            }
        }
    }
}

TEST_F(Library, RemoveDrvRegistrySendsCode4AndTouchesNoRegistry)
{
    SetSetting("Sensivity", "7");
    EXPECT_TRUE(removeDrvRegistry());
    auto requests = Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(4u, requests[0].code);
    EXPECT_EQ(0u, requests[0].input_size);
    EXPECT_EQ(0u, requests[0].output_size);
    EXPECT_EQ(1, SettingsValueCount());
}

// ---- InitButton ------------------------------------------------------------------------

TEST_F(Library, InitButtonSendsTheKeyTableThenTheSettings)
{
    // Virtual-key codes of the button functions, with the scan codes of the US layout the
    // test display uses.
    BYTE const expected[44] = {
        0x11, 0x1d, 0x12, 0x38, 0x70, 0x3b, 0x1b, 0x01, 0x2e, 0x53, 0x08, 0x0e,  // entries 0..5
        0x0d, 0x1c, 0x12, 0x38, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // 6..10
        0x1b, 0x01, 0x1b, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // second keys 0..5
        0x00, 0x00, 0x73, 0x3e, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // 6..10
    };
    SetSetting("Middle Button", "Close Windows");
    EXPECT_TRUE(initButton());
    auto requests = Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(1u, requests[0].code);
    ASSERT_EQ(44u, requests[0].input_size);
    for (int i = 0; i < 44; ++i)
        EXPECT_EQ(expected[i], requests[0].input[i]) << "byte " << i;
    for (int slot = 0; slot < 44; slot += 2)
        EXPECT_EQ(static_cast<BYTE>(MapVirtualKeyA(expected[slot], 0)), requests[0].input[slot + 1])
            << "the scan code of slot " << slot / 2 << " is the current layout's";
    EXPECT_EQ(2u, requests[1].code);
    EXPECT_EQ(BlockSettings(block), SettingsSent(requests[1]));
}

TEST_F(Library, InitButtonForANewUserMakesAnEmptyKeyAndSetsTheDefaults)
{
    std::memset(block.bytes(), 0xEE, 8);
    EXPECT_TRUE(initButton());
    EXPECT_EQ(0, SettingsValueCount()) << "the key exists and holds nothing";
    EXPECT_EQ(1, block->Acceleration);
    EXPECT_EQ(60, block->Sensitivity);
    EXPECT_EQ(0xEE, block->MiddleButton) << "nothing read from a key made just now";
    EXPECT_EQ(0xEE, block->ThreeKey);
    EXPECT_EQ(GetDoubleClickTime(), block->DoubleClickTime);
    auto requests = Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(1u, requests[0].code);
    EXPECT_EQ(2u, requests[1].code);
}

TEST_F(Library, InitButtonFindsButtonNamesWithoutRegardToCase)
{
    struct Case {
        char const* text;
        BYTE index;
    } const cases[] = {
        {"Close Windows", 9}, {"close windows", 9}, {"CLOSE wINDOWS", 9}, {"(unassigned)", 0}, {"Double-Click", 1},
        {"f1(help)", 4},      {"Lumivane", 10},     {"Undo", 0},          {"Page Up", 0},      {"Page Down", 0},
        {"Nonsense", 0},      {"", 0},              {"Close Windows ", 0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        SetSetting("Middle Button", std::string(c.text) + '\0');
        SetSetting("Second Button", std::string(c.text) + '\0');
        block->MiddleButton = 0x77;
        block->SecondButton = 0x77;
        initButton();
        EXPECT_EQ(c.index, block->MiddleButton);
        EXPECT_EQ(c.index, block->SecondButton);
    }
}

TEST_F(Library, InitButtonReadsNumbersAsTheirTextSays)
{
    struct Case {
        std::string text;
        BYTE value;
    } const cases[] = {
        {"75", 75},           {" +75x", 75},       {"300", 44},        {"abc", 0},   {"", 0},
        {"-1", 255},          {"\t\n\v\f\r 12", 12}, {"- 5", 0},         {"+-5", 0},   {"4294967297", 1},
        {"00000000000000000012", 12},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        // 20 bytes without a terminating zero are read as their 20 characters. The type is
        // not looked at; stored as binary, Wine hands the bytes over as they stand (it would
        // want room for a terminator it adds to text).
        bool whole = c.text.size() == 20;
        for (char const* name : {"Sensivity", "Acceleration", "Three Key", "Cursor Center"})
            SetSetting(name, whole ? c.text : c.text + '\0', whole ? REG_BINARY : REG_SZ);
        initButton();
        EXPECT_EQ(c.value, block->Sensitivity);
        EXPECT_EQ(c.value, block->Acceleration);
        EXPECT_EQ(c.value, block->ThreeKey);
        EXPECT_EQ(c.value, block->CursorCenter);
    }
}

TEST_F(Library, InitButtonPutsEachValueInItsOwnField)
{
    SetSetting("Middle Button", "Start");
    SetSetting("Second Button", "Return");
    SetSetting("SwapMouseButtons", "1");
    SetSetting("Sensivity", "11");
    SetSetting("Acceleration", "22");
    SetSetting("Three Key", "33");
    SetSetting("Cursor Center", "44");
    block->EnableStatus = 0x5A;
    initButton();
    EXPECT_EQ(2, block->MiddleButton);
    EXPECT_EQ(8, block->SecondButton);
    EXPECT_EQ(1, block->SwapButtons);
    EXPECT_EQ(0x5A, block->EnableStatus) << "not a setting of the registry";
    EXPECT_EQ(22, block->Acceleration);
    EXPECT_EQ(11, block->Sensitivity);
    EXPECT_EQ(33, block->ThreeKey);
    EXPECT_EQ(44, block->CursorCenter);
}

TEST_F(Library, InitButtonLeavesAFieldWhoseValueCannotBeRead)
{
    SetSetting("Sensivity", "12345678901234567890123");  // longer than 20 bytes
    SetSetting("Three Key", "5");
    block->ThreeKey = 9;
    block->CursorCenter = 1;
    initButton();
    EXPECT_EQ(60, block->Sensitivity) << "the default stays";
    EXPECT_EQ(5, block->ThreeKey);
    EXPECT_EQ(1, block->CursorCenter) << "missing: left as it was";
}

TEST_F(Library, InitButtonGivesMissingButtonValuesNoFunction)
{
    SetSetting("Middle Button", "Close Windows");
    block->SecondButton = 5;
    initButton();
    EXPECT_EQ(9, block->MiddleButton);
    EXPECT_EQ(0, block->SecondButton) << "not the middle button's text";

    DeleteSettingsKey();
    SetSetting("Sensivity", "7");
    block->MiddleButton = 5;
    initButton();
    EXPECT_EQ(0, block->MiddleButton);
    EXPECT_EQ(0, block->SecondButton);
}

TEST_F(Library, InitButtonAppliesTheSwapAndTakesTheSystemsDoubleClickTime)
{
    struct Case {
        char const* text;
        BYTE swap;
    } const cases[] = {{"1", 1}, {"0", 0}, {"10", 1}, {"2", 0}, {"", 0}};
    SetDoubleClickTime(432);
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        SetSetting("SwapMouseButtons", std::string(c.text) + '\0');
        SetSetting("DoubleClickSpeed", "900");
        initButton();
        EXPECT_EQ(c.swap, block->SwapButtons);
        EXPECT_EQ(c.swap, GetSystemMetrics(SM_SWAPBUTTON) != 0);
        EXPECT_EQ(432u, block->DoubleClickTime) << "the saved speed is never read";
    }
}

// ---- UpdateButtonStatus ------------------------------------------------------------------

TEST_F(Library, UpdateButtonStatusWritesTheDoubleClickTimeAsASignedNumber)
{
    initButton();
    block->DoubleClickTime = 0x80000000u;
    updateButtonStatus();
    EXPECT_EQ("-2147483648", std::string(Setting("DoubleClickSpeed").data.c_str()));
}

TEST_F(Library, UpdateButtonStatusSavesAnIndexWithoutANameAsUnassigned)
{
    initButton();
    block->MiddleButton = 16;
    block->SecondButton = 255;
    updateButtonStatus();
    EXPECT_EQ("(Unassigned)", std::string(Setting("Middle Button").data.c_str()));
    EXPECT_EQ("(Unassigned)", std::string(Setting("Second Button").data.c_str()));
}

TEST_F(Library, UpdateButtonStatusSwapsTheButtonsAndSwapsThemBack)
{
    struct Case {
        BYTE swap;
        bool swapped;
        char const* saved;
    } const cases[] = {{1, true, "1"}, {0, false, "0"}};
    initButton();  // makes the key
    for (Case const& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.swap));
        block->SwapButtons = c.swap;
        EXPECT_EQ(ERROR_SUCCESS, updateButtonStatus());
        EXPECT_EQ(c.swapped, GetSystemMetrics(SM_SWAPBUTTON) != 0);
        EXPECT_EQ(c.saved, std::string(Setting("SwapMouseButtons").data.c_str()));
    }
}

// The key table of InitButton and the settings of UpdateButtonStatus are sent for the driver's
// sake only: when it fails them, the export goes on with its work and its result.
TEST_F(Library, AFailedRequestDoesNotStopTheSettingsExports)
{
    struct Case {
        char const* name;
        unsigned failing;                  // the code the driver fails
        char const* stored;                // "Middle Button" in the registry before the call
        BYTE middle;                       // the block's middle button before the call
        std::function<LONG()> call;
        LONG result;
        std::vector<unsigned> codes;       // the requests it sends, in order
        std::function<std::string()> middleAfter;
        std::string expected;
    };
    Case const cases[] = {
        {"InitButton", 1, "Close Windows", 0, [&] { return static_cast<LONG>(initButton() != FALSE); }, 1, {1, 2},
         [&] { return std::to_string(block->MiddleButton); }, "9"},
        {"UpdateButtonStatus", 2, "Start", 9, [&] { return updateButtonStatus(); }, ERROR_SUCCESS, {2},
         [] { return std::string(Setting("Middle Button").data.c_str()); }, "Close Windows"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteSettingsKey();
        SetSetting("Middle Button", c.stored);
        block->MiddleButton = c.middle;
        ASSERT_TRUE(driver.SetFailures(1u << c.failing));
        driver.Clear();
        EXPECT_EQ(c.result, c.call());
        std::vector<unsigned> sent, failed;
        for (TamrixRequest const& request : Requests()) {
            sent.push_back(request.code);
            if (request.status)
                failed.push_back(request.code);
        }
        EXPECT_EQ(c.codes, sent);
        EXPECT_EQ(std::vector<unsigned>{c.failing}, failed) << "the codes the driver failed";
        EXPECT_EQ(c.expected, c.middleAfter());
    }
}

TEST_F(Library, UpdateButtonStatusWithoutTheKeySendsTheSettingsButChangesNothing)
{
    SwapMouseButton(FALSE);
    SetDoubleClickTime(432);
    block->SwapButtons = 1;
    block->DoubleClickTime = 700;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, updateButtonStatus());
    auto requests = Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(2u, requests[0].code);
    EXPECT_EQ(0, GetSystemMetrics(SM_SWAPBUTTON));
    EXPECT_EQ(432u, GetDoubleClickTime());
    EXPECT_EQ(-1, SettingsValueCount()) << "the key was not made";
}

// The road of one setting: the control program gives the middle button "Close Windows", saves
// it, and the next control program to start finds it and hands it to the driver.
TEST_F(Library, OneSettingGoesToTheDriverAndComesBackAtTheNextStart)
{
    initButton();
    block->MiddleButton = 9;
    EXPECT_EQ(ERROR_SUCCESS, updateButtonStatus());
    EXPECT_EQ("Close Windows", std::string(Setting("Middle Button").data.c_str()));
    FreeLibrary(library);
    library = nullptr;

    // The next control program: another process, its own load of the library.
    block->MiddleButton = 0;
    driver.Clear();
    winauto::Process next = winauto::StartProcess("\"" + winauto::BesideThisProgram("brindlex.exe") + "\" -c \"load " +
                                                  RodlinkPath() + "; call InitButton\"");
    ASSERT_EQ(0u, next.WaitForExit(Timeout).value_or(99));
    auto requests = Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(1u, requests[0].code);
    EXPECT_EQ(0x12, requests[0].input[14]) << "entry 7: Alt";
    EXPECT_EQ(0x73, requests[0].input[22 + 14]) << "and F4";
    EXPECT_EQ(2u, requests[1].code);
    EXPECT_EQ(9, requests[1].input[0]);
    EXPECT_EQ(9, block->MiddleButton);
}

// ---- The cursor-centre hook ---------------------------------------------------------------

// A hook that another party took away (here the test itself): the block keeps a handle that
// no longer unhooks. (A control program that installs the hook and ends leaves such a handle
// under Wine 10, whose hooks end with their thread, but not under Wine 8, whose hooks stay.)
TEST_F(Library, RemoveHooksKeepsAHandleThatDoesNotUnhook)
{
    ASSERT_EQ(1, installHooks());
    DWORD const stale = block->KeyboardHook;
    // The block holds the handle's lower 32 bits; a window-manager handle is their sign extension.
    ASSERT_TRUE(UnhookWindowsHookEx(reinterpret_cast<HHOOK>(static_cast<LONG_PTR>(static_cast<LONG>(stale)))));
    EXPECT_EQ(0, removeHooks());
    EXPECT_EQ(stale, block->KeyboardHook) << "kept, so that a later call tries again";
}

namespace {

POINT const Corner = {5, 5};

bool CursorAt(POINT where)
{
    POINT now;
    return GetCursorPos(&now) && now.x == where.x && now.y == where.y;
}

POINT ScreenCentre()
{
    return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
}

void SendF10(bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_F10;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(VK_F10, 0));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// The hook runs in whichever process has the keyboard focus: here, a window of its own that
// logs each key it receives.
class Hook : public Library {
protected:
    void SetUp() override
    {
        Library::SetUp();
        if (HasFatalFailure())
            return;
        log = machine::TempPath("keytarget.log");
        DeleteFileA(log.c_str());
        target = winauto::StartProcess("\"" + winauto::BesideThisProgram("keytarget.exe") + "\" " + log);
        targetWindow = winauto::WaitForVisibleWindow("KeyTarget", nullptr, Timeout);
        ASSERT_NE(nullptr, targetWindow);
        SetForegroundWindow(targetWindow);
        ASSERT_TRUE(winauto::WaitUntil(Timeout, [this] { return GetForegroundWindow() == targetWindow; }));
    }

    void TearDown() override
    {
        SendF10(false);
        Library::TearDown();
    }

    std::vector<std::string> Keys() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Presses or releases F10 with the pointer in the corner; whether the pointer went to the
    // centre. Waits until the target has the key, so the hook has run.
    bool PointerCentredBy(bool down)
    {
        SetCursorPos(Corner.x, Corner.y);
        size_t before = Keys().size();
        SendF10(down);
        EXPECT_TRUE(winauto::WaitUntil(Timeout, [&] { return Keys().size() > before; })) << "the key did not arrive";
        return CursorAt(ScreenCentre());
    }

    std::string log;
    winauto::Process target;
    HWND targetWindow = nullptr;
};

} // namespace

// Wine brings its key state in line with the X server's when the focus reaches the window
// there, which can be a moment after it became the foreground window: F10 then counts as
// released, and the next press arrives without its repeat bit (and rightly centres again).
// So each press is judged by what the target saw, and the run is repeated until the three
// keys arrive as a keyboard sends them.
TEST_F(Hook, FirstPressOfF10CentresThePointerInAnotherProcess)
{
    block->CursorCenter = 1;
    ASSERT_EQ(1, installHooks());
    EXPECT_NE(0u, block->KeyboardHook);
    std::vector<std::string> const whole = {"down 79", "down 79 repeat", "up 79 repeat"};
    std::vector<std::string> seen;
    for (int attempt = 0; attempt < 5 && seen != whole; ++attempt) {
        size_t const start = Keys().size();
        bool const centred[] = {PointerCentredBy(true), PointerCentredBy(true), PointerCentredBy(false)};
        std::vector<std::string> const keys = Keys();
        seen.assign(keys.begin() + (std::min)(start, keys.size()), keys.end());
        ASSERT_EQ(3u, seen.size()) << "the window with the focus still gets every F10";
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(seen[i] == "down 79", centred[i]) << "only a first press centres: " << seen[i];
    }
    EXPECT_EQ(whole, seen) << "the keys never arrived as a keyboard sends them";
}

TEST_F(Hook, OnlyCursorCenter1Acts)
{
    struct Case {
        BYTE setting;
        bool centres;
    } const cases[] = {{0, false}, {2, false}, {255, false}, {1, true}};
    ASSERT_EQ(1, installHooks());
    for (Case const& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.setting));
        block->CursorCenter = c.setting;
        size_t const start = Keys().size();
        EXPECT_EQ(c.centres, PointerCentredBy(true));
        PointerCentredBy(false);
        std::vector<std::string> const keys = Keys();
        ASSERT_LT(start, keys.size());
        EXPECT_EQ("down 79", keys[start]) << "a first press";
    }
    EXPECT_EQ(8u, Keys().size()) << "every key went on";
}

TEST_F(Hook, ASettingChangedInAnotherProcessActsAtTheNextKey)
{
    ASSERT_EQ(1, installHooks());
    winauto::Process host = winauto::StartProcess("\"" + winauto::BesideThisProgram("brindlex.exe") + "\" -c \"poke 7 1\"");
    ASSERT_EQ(0u, host.WaitForExit(Timeout).value_or(99));
    EXPECT_EQ(1, block->CursorCenter);
    SetForegroundWindow(targetWindow);
    EXPECT_TRUE(PointerCentredBy(true));
}

TEST_F(Hook, OneHookForAllProcessesAndAnyProcessRemovesIt)
{
    block->CursorCenter = 1;
    ASSERT_EQ(1, installHooks());
    DWORD const installed = block->KeyboardHook;
    EXPECT_EQ(1, installHooks());
    EXPECT_EQ(installed, block->KeyboardHook) << "nothing installed a second time";

    {
        ControlCentre other;
        ASSERT_TRUE(other.IsServing());
        ASSERT_EQ(1, other.Command("load " + RodlinkPath()));
        EXPECT_EQ(1, other.Command("call InstallHooks"));
        EXPECT_EQ(installed, block->KeyboardHook);
        EXPECT_EQ(1, other.Command("call RemoveHooks"));
        EXPECT_EQ(0u, block->KeyboardHook);
        EXPECT_EQ(1, other.Command("call RemoveHooks")) << "none installed";
    }

    SetForegroundWindow(targetWindow);
    EXPECT_FALSE(PointerCentredBy(true)) << "the hook is gone";
}

TEST_F(Hook, UnloadingLeavesTheHookInTheBlock)
{
    ASSERT_EQ(1, installHooks());
    DWORD const installed = block->KeyboardHook;
    HMODULE second = LoadLibraryA(RodlinkPath().c_str());
    FreeLibrary(second);
    FreeLibrary(library);
    library = nullptr;
    ASSERT_FALSE(LibraryLoadedHere()) << "the library was not unloaded";
    EXPECT_EQ(installed, block->KeyboardHook);

    library = LoadLibraryA(RodlinkPath().c_str());
    ASSERT_NE(nullptr, library);
    removeHooks = Export<decltype(&RemoveHooks)>(library, "RemoveHooks");
    EXPECT_EQ(1, removeHooks());
    EXPECT_EQ(0u, block->KeyboardHook);
}

// ---- The public header and the import library --------------------------------------------

TEST(ImportLibrary, AProgramLinkedWithItReachesTheDriver)
{
    Block block;
    winauto::Process client = winauto::StartProcess("\"" + winauto::BesideThisProgram("rodlink_client.exe") + "\"");
    EXPECT_EQ(0u, client.WaitForExit(Timeout).value_or(99));
    EXPECT_EQ(1, block->EnableStatus);
}
