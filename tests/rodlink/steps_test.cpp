// The library's steps linked into this test program, which Wine runs as a Windows NT
// program: there the registry keeps text values at the length written, so the 20 bytes of
// every saved value show. (Windows 95 keeps a text value up to its terminator, whatever
// length is given, and the library opens the driver only as a Windows 95 program.)
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "hook.h"
#include "internal.h"
#include "settings_registry.h"
#include "standins.h"

namespace {

class Steps : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(driver.IsOpen());
        rodlink::shared = &block;
        rodlink::device = CreateFileA(TAMRIX_TEST_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, rodlink::device);
        DeleteSettingsKey();
        driver.Clear();
    }
    void TearDown() override
    {
        CloseHandle(rodlink::device);
        DeleteSettingsKey();
    }

    SystemMouseSettings systemSettings;
    MouseShareData block = {};
    standins::Driver driver;
};

} // namespace

TEST_F(Steps, UpdateButtonStatusSavesEveryValueAs20BytesOfText)
{
    InitButton();  // makes the key
    block.MiddleButton = 9;
    block.SecondButton = 14;
    block.SwapButtons = 2;
    block.Acceleration = 3;
    block.Sensitivity = 7;
    block.ThreeKey = 255;
    block.CursorCenter = 4;  // not "1", which is the swap's text
    block.DoubleClickTime = 500;
    driver.Clear();
    EXPECT_EQ(ERROR_SUCCESS, UpdateButtonStatus());

    struct Expected {
        char const* name;
        char const* text;
    } const values[] = {
        {"Middle Button", "Close Windows"}, {"Second Button", "Page Up"}, {"SwapMouseButtons", "1"},
        {"DoubleClickSpeed", "500"},        {"Sensivity", "7"},           {"Acceleration", "3"},
        {"Three Key", "255"},               {"Cursor Center", "4"},
    };
    for (Expected const& v : values) {
        SCOPED_TRACE(v.name);
        machine::Value const value = Setting(v.name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
        ASSERT_EQ(20u, value.data.size());
        EXPECT_EQ(v.text, std::string(value.data.c_str()));
        EXPECT_EQ(std::string(20 - std::strlen(v.text), '\0'), value.data.substr(std::strlen(v.text)))
            << "zero bytes after the text";
    }
    EXPECT_EQ(8, SettingsValueCount());
    EXPECT_NE(0, GetSystemMetrics(SM_SWAPBUTTON));
    EXPECT_EQ(500u, GetDoubleClickTime());
    auto requests = driver.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(2u, requests[0].code);
}

TEST_F(Steps, UpdateButtonStatusSpellsEveryButtonFunctionAsSaved)
{
    char const* const names[16] = {
        "(Unassigned)",     "Double-Click",      "Start",    "Next Task",  // 0..3
        "F1(Help)",         "Escape",            "Delete",   "Backspace",  // 4..7
        "Return",           "Close Windows",     "Lumivane", "Undo",       // 8..11
        "Cut to Clipboard", "Copy to Clipboard", "Page Up",  "Page Down",  // 12..15
    };
    InitButton();  // makes the key
    for (int index = 0; index < 16; ++index) {
        SCOPED_TRACE(index);
        block.MiddleButton = static_cast<BYTE>(index);
        block.SecondButton = static_cast<BYTE>(15 - index);
        UpdateButtonStatus();
        struct Saved {
            char const* value;
            char const* name;
        } const saved[] = {{"Middle Button", names[index]}, {"Second Button", names[15 - index]}};
        for (Saved const& s : saved) {
            machine::Value const value = Setting(s.value);
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << s.value;
            std::string const written = s.name + std::string(20 - std::strlen(s.name), '\0');
            EXPECT_EQ(written, value.data) << s.value;
        }
    }
}

// ---- The hook procedure, called as the system calls it ------------------------------------

namespace {

POINT const Corner = {5, 5};
LPARAM const FirstPressOfF10 = 0x00440001;  // one key-down, F10's scan code, no previous state

// Where the pointer is after the procedure saw a first press of F10 with the pointer in the corner.
POINT PointerAfterF10(int code)
{
    SetCursorPos(Corner.x, Corner.y);
    rodlink::KeyboardProc(code, VK_F10, FirstPressOfF10);
    POINT where = {-1, -1};
    GetCursorPos(&where);
    return where;
}

// The screen size that the library's code linked into this program reads: it calls the system
// through this program's import of GetSystemMetrics, which points at Metrics while this lives.
// The session's screen is 1024 x 768, and neither Wine gives one program a screen of another
// size: Wine 10's virtual desktops keep to its list of modes (1023 x 767 comes out as
// 1024 x 768), and Wine 8's change the screen of every program in the prefix. The pointer
// still moves on the real screen.
class ScreenSize {
public:
    ScreenSize(int width, int height)
    {
        width_ = width;
        height_ = height;
        real_ = reinterpret_cast<Function>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetrics"));
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto const* nt = reinterpret_cast<IMAGE_NT_HEADERS const*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER const*>(base)->e_lfanew);
        IMAGE_DATA_DIRECTORY const& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto const* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR const*>(base + imports.VirtualAddress);
             dll->Name; ++dll)
            for (auto* slot = reinterpret_cast<Function*>(base + dll->FirstThunk); *slot; ++slot)
                if (*slot == real_)
                    slot_ = slot;
        Point(reinterpret_cast<Function>(&Metrics));
    }
    ~ScreenSize() { Point(real_); }
    ScreenSize(ScreenSize const&) = delete;
    ScreenSize& operator=(ScreenSize const&) = delete;

    bool InPlace() const { return slot_ && *slot_ == reinterpret_cast<Function>(&Metrics); }

private:
    using Function = void (*)();

    static int WINAPI Metrics(int index)
    {
        if (index == SM_CXSCREEN)
            return width_;
        if (index == SM_CYSCREEN)
            return height_;
        return reinterpret_cast<decltype(&GetSystemMetrics)>(real_)(index);
    }
    void Point(Function to)
    {
        DWORD access;
        if (slot_ && VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &access)) {
            *slot_ = to;
            VirtualProtect(slot_, sizeof *slot_, access, &access);
        }
    }

    static inline int width_;
    static inline int height_;
    static inline Function real_;
    Function* slot_ = nullptr;
};

} // namespace

TEST_F(Steps, TheHookActsOnHookCodesOfZeroAndAbove)
{
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN)) << "the session's screen";
    ASSERT_EQ(768, GetSystemMetrics(SM_CYSCREEN)) << "the session's screen";
    struct Case {
        int code;
        POINT pointer;
    } const cases[] = {
        {-1, Corner}, {INT_MIN, Corner}, {HC_ACTION, {512, 384}}, {HC_NOREMOVE, {512, 384}},
    };
    block.CursorCenter = 1;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.code);
        POINT const where = PointerAfterF10(c.code);
        EXPECT_EQ(c.pointer.x, where.x);
        EXPECT_EQ(c.pointer.y, where.y);
    }
}

TEST_F(Steps, TheHookHalvesTheScreenSizeTruncated)
{
    struct Case {
        int width, height;
        POINT pointer;
    } const cases[] = {
        {1023, 767, {511, 383}},
        {801, 601, {400, 300}},
    };
    block.CursorCenter = 1;
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        ScreenSize screen(c.width, c.height);
        ASSERT_TRUE(screen.InPlace()) << "this program's import of GetSystemMetrics was not found";
        POINT const where = PointerAfterF10(HC_ACTION);
        EXPECT_EQ(c.pointer.x, where.x);
        EXPECT_EQ(c.pointer.y, where.y);
    }
}
