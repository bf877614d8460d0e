// The test harness checks itself: the session's display and prefix, the stand-in driver and
// its record, the per-program Windows version, the block creator and the hook library.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "harness/standins.h"
#include "harness/winauto.h"

using standins::Driver;

namespace {

NTSTATUS const StatusSuccess = 0;
NTSTATUS const StatusUnsuccessful = static_cast<NTSTATUS>(0xC0000001);

// Runs devprobe.exe under a name of its own, with the Windows version Wine shall show it.
DWORD RunProbeAs(char const* version, char const* what)
{
    std::string const name = std::string("devprobe_") + version + ".exe";
    std::string const path = winauto::BesideThisProgram(name);
    CopyFileA(winauto::BesideThisProgram("devprobe.exe").c_str(), path.c_str(), FALSE);
    winauto::SetWindowsVersion(name, version);
    winauto::Process probe = winauto::StartProcess("\"" + path + "\" " + what);
    std::optional<DWORD> code = probe ? probe.WaitForExit(20000) : std::nullopt;
    return code.value_or(0xFFFFFFFF);
}

class DriverTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(driver.IsOpen()) << "error " << GetLastError();
        driver.SetFailures(0);
        driver.Clear();
    }
    void TearDown() override { driver.SetFailures(0); }

    Driver driver;
};

} // namespace

TEST(Session, DesktopAndTrayOwnerRunBeforeAnyTest)
{
    EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_GE(GetSystemMetrics(SM_CYSCREEN), 480);
    EXPECT_NE(nullptr, FindWindowA("Shell_TrayWnd", nullptr)) << "explorer is not running";
}

TEST_F(DriverTest, PackageOpenWorksOnlyForWindows95Programs)
{
    struct Case {
        char const* version;
        DWORD platform;
        DWORD openResult;
    } const cases[] = {
        {"win95", VER_PLATFORM_WIN32_WINDOWS, 0},
        {"nt40", VER_PLATFORM_WIN32_NT, ERROR_INVALID_PARAMETER},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(c.platform, RunProbeAs(c.version, "platform"));
        EXPECT_EQ(c.openResult, RunProbeAs(c.version, "open"));
    }
    EXPECT_EQ(1u, driver.Record().package_opens) << "only the Windows 95 probe got in";
}

TEST_F(DriverTest, RecordsEachCodeWithItsBuffers)
{
    unsigned char keyTable[44];
    for (unsigned i = 0; i < sizeof keyTable; ++i)
        keyTable[i] = static_cast<unsigned char>(0xA0 + i);
    unsigned char const settings[7] = {9, 0, 1, 1, 1, 60, 0};

    EXPECT_TRUE(driver.Send(1, keyTable, sizeof keyTable, nullptr, 0));
    EXPECT_TRUE(driver.Send(2, settings, sizeof settings, nullptr, 0));
    EXPECT_TRUE(driver.Send(4, nullptr, 0, nullptr, 0));

    auto requests = driver.Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(1u, requests[0].code);
    EXPECT_EQ(44u, requests[0].input_size);
    EXPECT_EQ(0, std::memcmp(keyTable, requests[0].input, sizeof keyTable));
    EXPECT_EQ(2u, requests[1].code);
    EXPECT_EQ(7u, requests[1].input_size);
    EXPECT_EQ(0, std::memcmp(settings, requests[1].input, sizeof settings));
    EXPECT_EQ(4u, requests[2].code);
    EXPECT_EQ(0u, requests[2].input_size);
    EXPECT_EQ(0u, requests[2].output_size);
    for (auto const& r : requests)
        EXPECT_EQ(StatusSuccess, static_cast<NTSTATUS>(r.status)) << "code " << r.code;
}

TEST_F(DriverTest, MouseInformationFillsTheCallersBuffer)
{
    std::string const text = TAMRIX_MOUSE_INFO_TEXT;
    for (DWORD size : {64u, 32u, 8u, 0u}) {
        SCOPED_TRACE(size);
        unsigned char buffer[64];
        std::memset(buffer, 0xEE, sizeof buffer);
        DWORD returned = 0xDEAD;
        EXPECT_TRUE(driver.Send(3, nullptr, 0, size ? buffer : nullptr, size, &returned));
        DWORD const written = size < TAMRIX_MOUSE_INFO_SIZE ? size : TAMRIX_MOUSE_INFO_SIZE;
        EXPECT_EQ(written, returned);
        for (DWORD i = 0; i < written; ++i) {
            unsigned char expected = i < text.size() ? text[i] : static_cast<unsigned char>(0x40 + i - text.size());
            ASSERT_EQ(expected, buffer[i]) << "byte " << i;
        }
        for (DWORD i = written; i < sizeof buffer; ++i)
            ASSERT_EQ(0xEE, buffer[i]) << "byte " << i << " written past the mouse information";
        EXPECT_EQ(size, driver.Requests().back().output_size);
    }
}

TEST_F(DriverTest, FailsTheCodesItIsToldTo)
{
    ASSERT_TRUE(driver.SetFailures(1u << 2));
    unsigned char const settings[7] = {};
    EXPECT_FALSE(driver.Send(2, settings, sizeof settings, nullptr, 0));
    EXPECT_TRUE(driver.Send(4, nullptr, 0, nullptr, 0));
    auto requests = driver.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(StatusUnsuccessful, static_cast<NTSTATUS>(requests[0].status));
    EXPECT_EQ(StatusSuccess, static_cast<NTSTATUS>(requests[1].status));

    ASSERT_TRUE(driver.SetFailures(0));
    EXPECT_TRUE(driver.Send(2, settings, sizeof settings, nullptr, 0));
}

TEST_F(DriverTest, RefusesThePackagesOpenWhenToldTo)
{
    ASSERT_TRUE(driver.SetFailures(1u));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), RunProbeAs("win95", "open"));
    EXPECT_EQ(0u, driver.Record().package_opens);
    Driver another;
    EXPECT_TRUE(another.IsOpen()) << "a test's own open is never refused";
    ASSERT_TRUE(driver.SetFailures(0));
    EXPECT_EQ(0u, RunProbeAs("win95", "open"));
}

TEST(BlockCreator, HoldsTheSettingsBlockAndServesCommands)
{
    winauto::ProgramRun host(winauto::CommandLine(winauto::BesideThisProgram("brindlex.exe")));
    ASSERT_TRUE(host);
    HWND window = host.WaitForWindow("TamrixControlCentre", nullptr);
    ASSERT_NE(nullptr, window);

    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "ZOVUZEDU_SHARE_DATA");
    ASSERT_NE(nullptr, mapping) << "the block does not exist";
    auto const* block = static_cast<unsigned char const*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 312));
    ASSERT_NE(nullptr, block);

    auto command = [window](std::string text) {
        COPYDATASTRUCT data = {1, static_cast<DWORD>(text.size() + 1), text.data()};
        return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    EXPECT_EQ(1, command("poke 3 0x34"));
    EXPECT_EQ(0x34, block[3]);
    EXPECT_EQ(1, command("poke32 16 0x01020304"));
    EXPECT_EQ(0x04, block[16]);
    EXPECT_EQ(0x01, block[19]);
    EXPECT_EQ(-1, command("poke 312 1")) << "outside the block";
    EXPECT_EQ(1, command("load " + winauto::BesideThisProgram("Pupex.dll")));
    EXPECT_EQ(-1, command("call NoSuchExport"));
    EXPECT_EQ(1, command("unload"));
    EXPECT_EQ(1, command("quit"));
    EXPECT_EQ(0u, host.WaitForExit().value_or(99));

    UnmapViewOfFile(block);
    CloseHandle(mapping);
    EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, "ZOVUZEDU_SHARE_DATA"))
        << "the block outlived its creator";
}

TEST(HookLibrary, RecordsWhatItsStartFunctionSaw)
{
    standins::ClearHookRecord();
    HMODULE library = LoadLibraryA(winauto::BesideThisProgram("Pupex.dll").c_str());
    ASSERT_NE(nullptr, library);
    auto initTest = reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(library, "InitTestDLL")));
    auto closeTest = reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void (*)()>(GetProcAddress(library, "CloseTestDLL")));
    ASSERT_NE(nullptr, initTest);
    ASSERT_NE(nullptr, closeTest);

    initTest();  // no block yet
    standins::HookRecord record = standins::ReadHookRecord();
    EXPECT_EQ(1u, record.initCalls);
    EXPECT_EQ(0u, record.blockOpened);

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 44, "PUPEX_SHARE_DATA");
    auto* words = static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(nullptr, words);
    for (DWORD i = 0; i < 11; ++i)
        words[i] = 0x100 + i;
    initTest();
    closeTest();
    record = standins::ReadHookRecord();
    EXPECT_EQ(2u, record.initCalls);
    EXPECT_EQ(1u, record.closeCalls);
    EXPECT_EQ(1u, record.blockOpened);
    ASSERT_EQ(44u, record.blockAtInit.size());
    EXPECT_EQ(0, std::memcmp(words, record.blockAtInit.data(), 44));
    EXPECT_NE(std::string::npos, record.initProcess.find("harness_selftest.exe")) << record.initProcess;

    UnmapViewOfFile(words);
    CloseHandle(mapping);
    standins::ClearHookRecord();
}
