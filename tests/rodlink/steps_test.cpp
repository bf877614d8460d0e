// The library's steps linked into this test program, which Wine runs as a Windows NT
// program: there the registry keeps text values at the length written, so the 20 bytes of
// every saved value show. (Windows 95 keeps a text value up to its terminator, whatever
// length is given, and the library opens the driver only as a Windows 95 program.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

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
    block.CursorCenter = 1;
    block.DoubleClickTime = 500;
    driver.Clear();
    EXPECT_EQ(ERROR_SUCCESS, UpdateButtonStatus());

    struct Expected {
        char const* name;
        char const* text;
    } const values[] = {
        {"Middle Button", "Close Windows"}, {"Second Button", "Page Up"}, {"SwapMouseButtons", "1"},
        {"DoubleClickSpeed", "500"},        {"Sensivity", "7"},           {"Acceleration", "3"},
        {"Three Key", "255"},               {"Cursor Center", "1"},
    };
    for (Expected const& v : values) {
        SCOPED_TRACE(v.name);
        RawValue value = Setting(v.name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type);
        ASSERT_EQ(20u, value.data.size());
        EXPECT_EQ(v.text, std::string(value.data.c_str()));
        EXPECT_EQ(std::string(20 - std::strlen(v.text), '\0'), value.data.substr(std::strlen(v.text)))
            << "zero bytes after the text";
    }
    EXPECT_EQ(8u, SettingsValueCount());
    EXPECT_NE(0, GetSystemMetrics(SM_SWAPBUTTON));
    EXPECT_EQ(500u, GetDoubleClickTime());
    auto requests = driver.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(2u, requests[0].code);
}
