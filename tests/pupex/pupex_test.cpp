// The tray utility Pupex.exe, run for real under Wine as on Windows NT 4.0: when it starts at
// all, the block "PUPEX_SHARE_DATA" it fills, the hook library it starts, its commands and
// its puppy in the tray. Every test has a fresh prefix of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frameres.h"
#include "pupex_run.h"
#include "machine.h"
#include "resource.h"
#include "resources.h"
#include "standins.h"
#include "winauto.h"

using pupex::Block;
using machine::Value;

namespace {

DWORD const Timeout = pupex::Timeout;
// Long enough for a started program to have shown what it would show.
DWORD const Settle = 1500;

Block const FreshBlock = {0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1};

// A top-level window of the test, titled like a running instance.
class Blocker {
public:
    Blocker(char const* title, bool visible)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PupexTestBlocker";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0,
                                  200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Blocker() { DestroyWindow(window_); }
    HWND Window() const { return window_; }

private:
    HWND window_;
};

// Waits until the block's word has this value; the block as it then stands.
Block WaitForWord(int word, DWORD value)
{
    Block block{};
    winauto::WaitUntil(Timeout, [&] {
        auto current = pupex::ReadBlock();
        if (current)
            block = *current;
        return current && block[word] == value;
    });
    return block;
}

// Right-clicks the puppy and waits for the tray menu.
HWND OpenTrayMenu(HWND puppy, DWORD processId)
{
    if (!winauto::RightClickTrayIcon(puppy))
        return nullptr;
    return winauto::WaitForPopupMenu(Timeout, processId);
}

// Under Watch::Exit, once the program has ended: at its end it had released the block and
// destroyed its frame itself.
void ExpectNothingLeftAtTheEnd(pupex::Run& run)
{
    auto const end = run.LeftAtExit();
    ASSERT_TRUE(end.has_value()) << "the program came to ExitProcess";
    EXPECT_FALSE(end->blockHeld) << "the block is released before the end";
    EXPECT_FALSE(end->frameExists) << "the frame is destroyed before the end";
}

std::string Hook(standins::HookRecord const& r)
{
    return "init " + std::to_string(r.initCalls) + ", close " + std::to_string(r.closeCalls) + ", opened " +
           std::to_string(r.blockOpened);
}

}  // namespace

// ---- Start-up ----

namespace {

// A window of the test titled like a running instance, hidden or shown.
struct BlockerCase {
    char const* name;
    char const* title;
    bool visible;
};

void PrintTo(BlockerCase const& c, std::ostream* out)
{
    *out << c.name;
}

class PupexStartupBlocked : public testing::TestWithParam<BlockerCase> {};

}  // namespace

TEST_P(PupexStartupBlocked, WindowOfARunningInstanceEndsTheNewOneBeforeItReadsTheRegistry)
{
    BlockerCase const& c = GetParam();
    Blocker blocker(c.title, c.visible);
    ASSERT_NE(nullptr, blocker.Window());

    // With the serial driver active the program would otherwise run...
    standins::ClearHookRecord();
    pupex::ActivateSerialDriver();
    pupex::Run active;
    EXPECT_EQ(0u, active.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ(0u, standins::ReadHookRecord().initCalls) << "the frame's creation never ran";

    // ...and with no driver active it would remove the handler's registration.
    pupex::SetServiceStart("Brellsio", std::nullopt);
    pupex::RegisterHandler();
    pupex::Run inactive;
    EXPECT_EQ(0u, inactive.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ("class server sheet", pupex::HandlerKeysPresent());
}

INSTANTIATE_TEST_SUITE_P(Window, PupexStartupBlocked,
                         testing::Values(BlockerCase{"LumivaneHidden", "Lumivane Application", false},
                                         BlockerCase{"LumivaneShown", "Lumivane Application", true},
                                         BlockerCase{"DartvaneHidden", "Dartvane Application", false},
                                         BlockerCase{"DartvaneShown", "Dartvane Application", true}),
                         testing::PrintToStringParamName());

TEST(PupexStartup, SecondInstanceEndsAndLeavesTheFirstAlone)
{
    pupex::ActivateSerialDriver();
    standins::ClearHookRecord();
    pupex::Run first;
    HWND frame = first.WaitUntilRunning();
    ASSERT_NE(nullptr, frame);

    pupex::Run second;
    EXPECT_EQ(0u, second.WaitForExit().value_or(0xDEAD));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_FALSE(IsWindowVisible(frame)) << "the first instance is not activated";
    EXPECT_EQ(1u, winauto::FindTopWindows(nullptr, pupex::FrameTitle).size());
    EXPECT_EQ(1, winauto::TrayIconCount());
    EXPECT_EQ(1u, standins::ReadHookRecord().initCalls) << "only the first started the hook library";
}

namespace {

// The two driver services' "Start" as set up (nullopt: no key; absent: a key without it), and
// whether the program then runs.
struct ServiceCase {
    char const* name;
    std::optional<Value> brellsio;
    std::optional<Value> tovrexa;
    bool runs;
};

void PrintTo(ServiceCase const& c, std::ostream* out)
{
    *out << c.name;
}

class PupexStartupService : public testing::TestWithParam<ServiceCase> {};

std::optional<Value> const NoKey;
Value const NoStart = Value::Absent();

}  // namespace

TEST_P(PupexStartupService, OnlyAServiceThatStartsWithTheSystemLetsItRun)
{
    ServiceCase const& c = GetParam();
    pupex::SetServiceStart("Brellsio", std::nullopt);
    pupex::SetServiceStart("Tovrexa", std::nullopt);
    if (c.brellsio)
        pupex::SetServiceStart("Brellsio", c.brellsio);
    if (c.tovrexa)
        pupex::SetServiceStart("Tovrexa", c.tovrexa);
    pupex::RegisterHandler();
    standins::ClearHookRecord();

    pupex::Run run;
    if (c.runs) {
        EXPECT_NE(nullptr, run.WaitUntilRunning());
        EXPECT_NE(nullptr, pupex::WaitForPuppy());
        EXPECT_EQ("class server sheet", pupex::HandlerKeysPresent()) << "the registration stays";
        EXPECT_EQ(0u, run.EndSession().value_or(0xDEAD));
    } else {
        EXPECT_EQ(0u, run.WaitForExit().value_or(0xDEAD));
        EXPECT_EQ("", pupex::HandlerKeysPresent()) << "the registration is removed";
        EXPECT_EQ(0u, standins::ReadHookRecord().initCalls) << "the frame's creation never ran";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Start, PupexStartupService,
    testing::Values(
        //          name                                  Brellsio                                 Tovrexa          runs
        ServiceCase{"Brellsio1",                          Value::Dword(1),                         NoKey,           true},
        ServiceCase{"Brellsio1AsFourBytesOfRegBinary",    Value::Binary({1, 0, 0, 0}),             NoKey,           true},
        ServiceCase{"Brellsio2Tovrexa1",                  Value::Dword(2),                         Value::Dword(1), true},
        ServiceCase{"BrellsioWithoutStartTovrexa1",       NoStart,                                 Value::Dword(1), true},
        ServiceCase{"Both0",                              Value::Dword(0),                         Value::Dword(0), false},
        ServiceCase{"Brellsio2Tovrexa3",                  Value::Dword(2),                         Value::Dword(3), false},
        ServiceCase{"BrellsioWithoutStartNoTovrexa",      NoStart,                                 NoKey,           false},
        ServiceCase{"Brellsio1InEightBytes",              Value::Binary({1, 0, 0, 0, 0, 0, 0, 0}), NoKey,           false},
        ServiceCase{"NeitherKey",                         NoKey,                                   NoKey,           false}),
    testing::PrintToStringParamName());

TEST(PupexStartup, ServiceKeyThatCannotBeOpenedWithFullAccessCountsAsInactive)
{
    pupex::ActivateSerialDriver();
    pupex::RegisterHandler();
    // Everyone may read the key, nobody may write it: an open for full access fails.
    machine::ProtectedKey readOnly(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Brellsio", KEY_READ);
    ASSERT_EQ(ERROR_SUCCESS, readOnly.OpenWith(KEY_READ));
    ASSERT_EQ(ERROR_ACCESS_DENIED, readOnly.OpenWith(KEY_ALL_ACCESS)) << "the key is protected";

    pupex::Run run;
    EXPECT_EQ(0u, run.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ("", pupex::HandlerKeysPresent());
}

TEST(PupexStartup, HandlerRemovalSkipsWhatIsMissingAndKeepsAClassKeyWithMoreInIt)
{
    pupex::SetServiceStart("Brellsio", std::nullopt);
    pupex::SetServiceStart("Tovrexa", std::nullopt);

    // Nothing registered: nothing changes, and the program still ends.
    pupex::Run nothing;
    EXPECT_EQ(0u, nothing.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ("", pupex::HandlerKeysPresent());
    EXPECT_TRUE(machine::KeyExists(HKEY_CLASSES_ROOT, "CLSID"));

    // Only the sheet handler: it goes.
    machine::CreateKey(HKEY_LOCAL_MACHINE, pupex::HandlerSheetKey);
    pupex::Run sheetOnly;
    EXPECT_EQ(0u, sheetOnly.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ("", pupex::HandlerKeysPresent());

    // A class key with another subkey besides its server cannot go: its server does.
    pupex::RegisterHandler();
    machine::CreateKey(HKEY_CLASSES_ROOT, std::string(pupex::HandlerClassKey) + "\\Other");
    pupex::Run crowded;
    EXPECT_EQ(0u, crowded.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ("class ", pupex::HandlerKeysPresent());
}

TEST(PupexStartup, CommandLineChangesNothing)
{
    for (char const* arguments : {"C:\\Tamrix", "/x \"c:\\Tamrix\" 57665"}) {
        SCOPED_TRACE(arguments);
        pupex::ActivateSerialDriver();
        pupex::RegisterHandler();
        {
            pupex::Run active(arguments);
            EXPECT_NE(nullptr, active.WaitUntilRunning());
            EXPECT_NE(nullptr, pupex::WaitForPuppy());
            EXPECT_EQ(FreshBlock, pupex::ReadBlock().value_or(Block{}));
            EXPECT_EQ(0u, active.EndSession().value_or(0xDEAD));
        }
        pupex::SetServiceStart("Brellsio", std::nullopt);
        pupex::Run inactive(arguments);
        EXPECT_EQ(0u, inactive.WaitForExit().value_or(0xDEAD));
        EXPECT_EQ("", pupex::HandlerKeysPresent());
    }
}

// ---- The frame, the block and the hook library ----

TEST(PupexBlock, HoldsItsElevenWordsBeforeTheHookLibraryStarts)
{
    pupex::ActivateSerialDriver();
    machine::DeleteTree(HKEY_LOCAL_MACHINE, pupex::ParametersKey);
    machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Middle Button", Value::Dword(9));
    machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Second Button", Value::Dword(4));
    machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Center", Value::Dword(1));
    standins::ClearHookRecord();

    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    Block const expected = {0, 0, 0, 0, 0, 0, 1, 1, 0, 9, 4};
    auto block = pupex::ReadBlock();
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(expected, *block) << pupex::Describe(*block);

    standins::HookRecord const hook = standins::ReadHookRecord();
    EXPECT_EQ(1u, hook.initCalls) << Hook(hook);
    EXPECT_EQ(0u, hook.closeCalls) << Hook(hook);
    EXPECT_EQ(1u, hook.blockOpened) << "the library found the block by its name";
    EXPECT_EQ(expected, pupex::BlockFromBytes(hook.blockAtInit))
        << "filled before InitTestDLL: " << pupex::Describe(pupex::BlockFromBytes(hook.blockAtInit));
    EXPECT_NE(std::string::npos, hook.initProcess.find("Pupex.exe")) << hook.initProcess;
    EXPECT_FALSE(IsWindowVisible(run.Frame()));
}

TEST(PupexBlock, AnExistingBlockOfAnotherProcessIsResetAndRefilled)
{
    pupex::ActivateSerialDriver();
    machine::DeleteTree(HKEY_LOCAL_MACHINE, pupex::ParametersKey);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 44, "PUPEX_SHARE_DATA");
    ASSERT_NE(nullptr, mapping);
    auto* words = static_cast<DWORD*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 44));
    ASSERT_NE(nullptr, words);
    for (int i = 0; i < 11; ++i)
        words[i] = 0xA5A50000 + i;
    standins::ClearHookRecord();

    {
        pupex::Run run;
        ASSERT_NE(nullptr, run.WaitUntilRunning());
        Block seen;
        std::memcpy(seen.data(), words, sizeof seen);
        EXPECT_EQ(FreshBlock, seen) << pupex::Describe(seen);
        EXPECT_EQ(FreshBlock, pupex::BlockFromBytes(standins::ReadHookRecord().blockAtInit));
        EXPECT_EQ(0u, run.EndSession().value_or(0xDEAD));
    }
    UnmapViewOfFile(words);
    CloseHandle(mapping);
}

namespace {

// The driver's three parameters as set up, the block's words they give, and the values after.
struct ParametersCase {
    char const* name;
    bool keyExists;
    Value middle, second, center;          // as set up
    DWORD word9, word10, word7;            // in the block
    Value middleAfter, secondAfter, centerAfter;
};

void PrintTo(ParametersCase const& c, std::ostream* out)
{
    *out << c.name;
}

class PupexBlockParameters : public testing::TestWithParam<ParametersCase> {};

Value const Absent = Value::Absent();
Value const EightBytes = Value::Binary({2, 0, 0, 0, 0, 0, 0, 0});
Value Dword(DWORD number)
{
    return Value::Dword(number);
}

}  // namespace

TEST_P(PupexBlockParameters, DriverParametersAreCopiedOrWrittenWithTheirDefaults)
{
    ParametersCase const& c = GetParam();
    pupex::ActivateSerialDriver();
    machine::DeleteTree(HKEY_LOCAL_MACHINE, pupex::ParametersKey);
    if (c.keyExists) {
        machine::CreateKey(HKEY_LOCAL_MACHINE, pupex::ParametersKey);
        machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Middle Button", c.middle);
        machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Second Button", c.second);
        machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Center", c.center);
    }
    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    auto block = pupex::ReadBlock();
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(c.word9, (*block)[9]) << pupex::Describe(*block);
    EXPECT_EQ(c.word10, (*block)[10]) << pupex::Describe(*block);
    EXPECT_EQ(c.word7, (*block)[7]) << pupex::Describe(*block);
    EXPECT_EQ(c.keyExists, machine::KeyExists(HKEY_LOCAL_MACHINE, pupex::ParametersKey)) << "never created";
    struct {
        char const* name;
        Value const& expected;
    } const values[] = {
        {"Middle Button", c.middleAfter}, {"Second Button", c.secondAfter}, {"Center", c.centerAfter}};
    for (auto const& v : values) {
        Value const found = machine::ReadValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, v.name);
        EXPECT_EQ(v.expected, found) << v.name << ": " << machine::Describe(found);
    }
    EXPECT_EQ(0u, run.EndSession().value_or(0xDEAD));
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, PupexBlockParameters,
    testing::Values(
        // name, key exists, Middle Button / Second Button / Center as set up, words 9 / 10 / 7,
        // Middle Button / Second Button / Center after
        ParametersCase{"NoParametersKey", false, Absent, Absent, Absent, 1, 1, 0, Absent, Absent, Absent},
        ParametersCase{"EmptyKey", true, Absent, Absent, Absent, 1, 1, 0, Dword(1), Dword(1), Dword(0)},
        ParametersCase{"MiddleButtonMissing", true, Absent, Dword(5), Dword(0), 1, 5, 0, Dword(1), Dword(5), Dword(0)},
        ParametersCase{"CenterRegDword1", true, Dword(2), Dword(3), Dword(1), 2, 3, 1, Dword(2), Dword(3), Dword(1)},
        ParametersCase{"FourByteRegBinaryValues", true, Value::Binary({0x78, 0x56, 0x34, 0x12}),
                       Value::Binary({7, 0, 0, 0}), Value::Binary({1, 0, 0, 0}), 0x12345678, 7, 1,
                       Value::Binary({0x78, 0x56, 0x34, 0x12}), Value::Binary({7, 0, 0, 0}),
                       Value::Binary({1, 0, 0, 0})},
        ParametersCase{"EightByteSecondButton", true, Dword(4), EightBytes, Dword(0), 4, 1, 0, Dword(4), Dword(1),
                       Dword(0)}),
    testing::PrintToStringParamName());

TEST(PupexBlock, ParametersKeyThatOpensOnlyForReadingLeavesTheDefaultsAndTheRegistry)
{
    pupex::ActivateSerialDriver();
    machine::DeleteTree(HKEY_LOCAL_MACHINE, pupex::ParametersKey);
    machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Middle Button", Value::Dword(9));
    machine::SetValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, "Second Button", Value::Dword(4));
    // No "Center": a key that opened would have it written.
    machine::ProtectedKey readOnly(HKEY_LOCAL_MACHINE, pupex::ParametersKey, KEY_READ);
    ASSERT_EQ(ERROR_SUCCESS, readOnly.OpenWith(KEY_READ));
    ASSERT_EQ(ERROR_ACCESS_DENIED, readOnly.OpenWith(KEY_READ | KEY_WRITE)) << "the key is protected";

    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    auto block = pupex::ReadBlock();
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(FreshBlock, *block) << "the defaults, not the values a read would find: " << pupex::Describe(*block);
    struct {
        char const* name;
        Value expected;
    } const values[] = {
        {"Middle Button", Value::Dword(9)}, {"Second Button", Value::Dword(4)}, {"Center", Value::Absent()}};
    for (auto const& v : values) {
        Value const found = machine::ReadValue(HKEY_LOCAL_MACHINE, pupex::ParametersKey, v.name);
        EXPECT_EQ(v.expected, found) << v.name << ": " << machine::Describe(found);
    }
    EXPECT_EQ(0u, run.EndSession().value_or(0xDEAD));
}

// The failure path ends the program at once. What it releases itself is seen at its end,
// before the system takes back the rest; its tray icon goes with its frame, which Wine's
// shell notices by itself, so the icon's removal is the tray icon test's to show.
TEST(PupexHookBinding, MissingLibraryReleasesTheBlockAndEndsSilently)
{
    pupex::ActivateSerialDriver();
    standins::ClearHookRecord();
    pupex::ProgramFolder folder("nohook", {});
    pupex::Run run({}, folder.Exe(), pupex::Watch::Exit);
    EXPECT_EQ(0u, run.WaitForExit().value_or(0xDEAD)) << "ends by itself: no message waits for an answer";
    ExpectNothingLeftAtTheEnd(run);
    EXPECT_EQ(0u, standins::ReadHookRecord().initCalls);
}

TEST(PupexHookBinding, LibraryWithoutBothExportsIsNeverCalledAndTakesTheFailurePath)
{
    pupex::ActivateSerialDriver();
    for (char const* variant : {"pupexhook-noinit", "pupexhook-noclose"}) {
        SCOPED_TRACE(variant);
        standins::ClearHookRecord();
        pupex::ProgramFolder folder(variant, {std::string(variant) + "\\Pupex.dll"});
        pupex::Run run({}, folder.Exe(), pupex::Watch::Exit);
        EXPECT_EQ(0u, run.WaitForExit().value_or(0xDEAD)) << "no crash through a missing address";
        ExpectNothingLeftAtTheEnd(run);
        standins::HookRecord const hook = standins::ReadHookRecord();
        EXPECT_EQ(0u, hook.initCalls + hook.closeCalls) << Hook(hook);
    }
}

// ---- Commands and the tray ----

TEST(PupexTrayMenu, RightClickOffersAboutAndTheSwitchThatFollowsTheFlag)
{
    pupex::ActivateSerialDriver();
    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    HWND puppy = pupex::WaitForPuppy();
    ASSERT_NE(nullptr, puppy);
    DWORD const pid = run.Id();

    // Wine keeps the items in the program: each label shows by its mnemonic, which works only
    // on the item that carries it, and by the popup's picture.
    HWND menu = OpenTrayMenu(puppy, pid);
    ASSERT_NE(nullptr, menu);
    winauto::Image const disableShown = winauto::SettledPicture(menu, Timeout);
    winauto::Screenshot(menu, "pupex_tray_menu.png");
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'e'));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(menu)) << "no item \"&Enable\" while Lumivane is on";
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'd'));
    EXPECT_EQ(0u, WaitForWord(6, 0)[6]) << "\"&Disable\" switches Lumivane off";
    ASSERT_TRUE(winauto::WaitForWindowGone(menu, Timeout) || !IsWindowVisible(menu));

    menu = OpenTrayMenu(puppy, pid);
    ASSERT_NE(nullptr, menu);
    winauto::Image const enableShown = winauto::SettledPicture(menu, Timeout);
    winauto::Screenshot(menu, "pupex_tray_menu_enable.png");
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'd'));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(menu)) << "no item \"&Disable\" while Lumivane is off";
    EXPECT_EQ(0u, pupex::ReadBlock().value_or(Block{})[6]);
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'e'));
    EXPECT_EQ(1u, WaitForWord(6, 1)[6]) << "\"&Enable\" switches it on again";

    menu = OpenTrayMenu(puppy, pid);
    ASSERT_NE(nullptr, menu);
    winauto::Image const disableAgain = winauto::SettledPicture(menu, Timeout);
    // Pictures of the same size; their difference stays in the screenshots.
    EXPECT_TRUE(disableShown.rgb != enableShown.rgb) << "the second label changed";
    EXPECT_TRUE(disableShown.rgb == disableAgain.rgb) << "and came back";
    ASSERT_TRUE(winauto::DismissMenu(menu));

    EXPECT_EQ(puppy, pupex::WaitForPuppy()) << "icon and tip stay the same";
    EXPECT_EQ(1, winauto::TrayIconCount());
}

TEST(PupexTrayMenu, SwitchInvertsTheWordAnotherProcessChangedWhileTheLabelFollowsTheFlag)
{
    pupex::ActivateSerialDriver();
    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    HWND puppy = pupex::WaitForPuppy();
    ASSERT_NE(nullptr, puppy);
    ASSERT_TRUE(pupex::WriteBlockWord(6, 0));

    HWND menu = OpenTrayMenu(puppy, run.Id());
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'd')) << "still labelled \"&Disable\"";
    EXPECT_EQ(1u, WaitForWord(6, 1)[6]) << "the word's own value is inverted";

    menu = OpenTrayMenu(puppy, run.Id());
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'e')) << "now labelled \"&Enable\", with the word at 1";
    EXPECT_EQ(0u, WaitForWord(6, 0)[6]);
}

TEST(PupexTrayMenu, AboutShowsTheAboutDialogWithoutAnOwner)
{
    pupex::ActivateSerialDriver();
    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    HWND puppy = pupex::WaitForPuppy();
    ASSERT_NE(nullptr, puppy);
    HWND menu = OpenTrayMenu(puppy, run.Id());
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(winauto::ChooseMenuMnemonic(menu, 'a'));

    HWND about = winauto::WaitForVisibleWindow("#32770", "About Lumivane", Timeout, run.Id());
    ASSERT_NE(nullptr, about);
    winauto::Screenshot(about, "pupex_about.png");
    EXPECT_EQ(nullptr, GetWindow(about, GW_OWNER));
    // Made from template 100 (pupex_resources_test compares the template with its table): the
    // same controls, with the template's texts; an icon's text is its resource number.
    auto drawn = resources::Module(winauto::BesideThisProgram("Pupex.exe")).Dialog(IDD_ABOUTBOX);
    ASSERT_TRUE(drawn);
    std::vector<winauto::Control> const controls = winauto::ReadControls(about);
    ASSERT_EQ(drawn->controls.size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(drawn->controls[i].id, static_cast<short>(controls[i].id));
        if (drawn->controls[i].textResource < 0) {
            EXPECT_EQ(drawn->controls[i].text, controls[i].text);
        }
    }

    ASSERT_TRUE(winauto::ClickControl(about, IDOK));
    EXPECT_TRUE(winauto::WaitForWindowGone(about, Timeout));
    EXPECT_TRUE(run.IsRunning());
    EXPECT_EQ(1u, pupex::ReadBlock().value_or(Block{})[6]) << "About switches nothing";
}

TEST(PupexTray, DoubleClickStartsTheMouseControlPanelWithoutAMenu)
{
    pupex::ActivateSerialDriver();
    pupex::ProgramFolder folder("control", {"Pupex.dll", "controlstandin\\control.exe"});
    pupex::Run run({}, folder.Exe());
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    HWND puppy = pupex::WaitForPuppy();
    ASSERT_NE(nullptr, puppy);

    ASSERT_TRUE(winauto::DoubleClickTrayIcon(puppy));
    ASSERT_TRUE(winauto::WaitUntil(Timeout, [] { return pupex::ReadControlRecord().starts > 0; }));
    pupex::ControlRecord const record = pupex::ReadControlRecord();
    EXPECT_EQ(1u, record.starts);
    EXPECT_EQ("control.exe main.cpl", record.commandLine);
    EXPECT_EQ(static_cast<DWORD>(SW_SHOWNORMAL), record.showWindow);
    EXPECT_EQ(nullptr, winauto::WaitForPopupMenu(Settle, run.Id())) << "no menu";
    EXPECT_EQ(FreshBlock, pupex::ReadBlock().value_or(Block{})) << "no state changes";
    EXPECT_EQ(puppy, pupex::WaitForPuppy());
}

TEST(PupexTray, OtherMouseEventsAndOtherIconNumbersDoNothing)
{
    pupex::ActivateSerialDriver();
    pupex::ProgramFolder folder("quiet", {"Pupex.dll", "controlstandin\\control.exe"});
    pupex::Run run({}, folder.Exe());
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    HWND puppy = pupex::WaitForPuppy();
    ASSERT_NE(nullptr, puppy);
    DWORD const pid = run.Id();

    // On the icon itself, the way a user does them.
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        ASSERT_TRUE(winauto::PostTrayMouse(puppy, mouse));
    // Straight to the frame: each callback answers whether it was handled.
    struct Case {
        WPARAM icon;
        UINT mouse;
    } const cases[] = {
        {IDR_TRAYICON, WM_LBUTTONDOWN}, {IDR_TRAYICON, WM_LBUTTONUP}, {IDR_TRAYICON, WM_RBUTTONDOWN},
        {IDR_TRAYICON, WM_MOUSEMOVE},   {IDR_TRAYICON, WM_MBUTTONUP}, {4, WM_RBUTTONUP},
        {4, WM_LBUTTONDBLCLK},          {0, WM_RBUTTONUP},
    };
    for (Case const& c : cases) {
        char trace[48];
        std::snprintf(trace, sizeof trace, "icon %u, mouse message 0x%04X", static_cast<unsigned>(c.icon), c.mouse);
        SCOPED_TRACE(trace);
        EXPECT_EQ(0, run.SendTrayMessage(c.icon, c.mouse).value_or(-1));
    }
    EXPECT_EQ(nullptr, winauto::WaitForPopupMenu(Settle, pid));
    EXPECT_EQ(0u, pupex::ReadControlRecord().starts);
    EXPECT_EQ(FreshBlock, pupex::ReadBlock().value_or(Block{}));

    // The double-click straight to the frame is handled, as a check on the cases above.
    EXPECT_EQ(1, run.SendTrayMessage(IDR_TRAYICON, WM_LBUTTONDBLCLK).value_or(-1));
    EXPECT_TRUE(winauto::WaitUntil(Timeout, [] { return pupex::ReadControlRecord().starts == 1; }));
}

TEST(PupexCommands, IconToggleRemovesTheIconAndBringsItBackWithItsTip)
{
    pupex::ActivateSerialDriver();
    pupex::Run run;
    ASSERT_NE(nullptr, run.WaitUntilRunning());
    ASSERT_NE(nullptr, pupex::WaitForPuppy());

    run.PostCommand(ID_CHANGE_ICON);
    EXPECT_TRUE(winauto::WaitForTrayIconCount(0, Timeout)) << winauto::TrayIconCount();
    run.PostCommand(ID_CHANGE_ICON);
    EXPECT_NE(nullptr, pupex::WaitForPuppy()) << "back with tip string 101";
    EXPECT_EQ(1, winauto::TrayIconCount());
    EXPECT_TRUE(run.IsRunning());
    EXPECT_EQ(FreshBlock, pupex::ReadBlock().value_or(Block{}));
}

TEST(PupexCommands, OpenWindowShowsTheFrameAndCloseOrExitHideItAgain)
{
    pupex::ActivateSerialDriver();
    standins::ClearHookRecord();
    pupex::Run run;
    HWND frame = run.WaitUntilRunning();
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, pupex::WaitForPuppy());
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_NE(nullptr, GetMenu(frame)) << "the frame's menu bar";

    struct Case {
        char const* name;
        UINT message;
        WPARAM wParam;
    } const closings[] = {{"WM_CLOSE", WM_CLOSE, 0}, {"Exit", WM_COMMAND, ID_APP_EXIT}};
    for (Case const& c : closings) {
        SCOPED_TRACE(c.name);
        run.PostCommand(ID_OPEN_WINDOW);
        EXPECT_TRUE(winauto::WaitUntil(Timeout, [&] { return IsWindowVisible(frame) != FALSE; }));
        PostMessageA(frame, c.message, c.wParam, 0);
        EXPECT_TRUE(winauto::WaitUntil(Timeout, [&] { return !IsWindowVisible(frame); }));
        Sleep(300);
        EXPECT_TRUE(run.IsRunning());
        EXPECT_TRUE(IsWindow(frame));
        EXPECT_EQ(1, winauto::TrayIconCount()) << "the icon stays";
        EXPECT_EQ(0u, standins::ReadHookRecord().closeCalls) << "the library is not told";
        EXPECT_TRUE(pupex::ReadBlock().has_value());
    }
}

// The stand-in library lets go of the block when it is closed, so that at the program's end
// only the program itself could still hold it.
TEST(PupexTeardown, EndOfSessionTellsTheHookLibraryAndReleasesTheBlock)
{
    pupex::ActivateSerialDriver();
    standins::ClearHookRecord();
    pupex::Run run({}, {}, pupex::Watch::Exit);
    HWND frame = run.WaitUntilRunning();
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, pupex::WaitForPuppy());

    // A cancelled end of the session changes nothing.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(frame, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, Timeout, &result);
    Sleep(300);
    EXPECT_TRUE(run.IsRunning());
    EXPECT_EQ(0u, standins::ReadHookRecord().closeCalls);

    EXPECT_EQ(0u, run.EndSession().value_or(0xDEAD));
    standins::HookRecord const hook = standins::ReadHookRecord();
    EXPECT_EQ(1u, hook.initCalls) << Hook(hook);
    EXPECT_EQ(1u, hook.closeCalls) << Hook(hook);
    ExpectNothingLeftAtTheEnd(run);
}

TEST(PupexVersion, RecordNamesLumivane)
{
    std::string const exe = winauto::BesideThisProgram("Pupex.exe");
    DWORD handle = 0;
    DWORD const size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    struct {
        char const* name;
        char const* text;
    } const entries[] = {
        {"FileDescription", "Lumivane Application"}, {"InternalName", "Lumivane"}, {"ProductName", "Lumivane"},
        {"OriginalFilename", "Pupex.EXE"},           {"FileVersion", "1, 0, 0, 0"},
    };
    for (auto const& entry : entries) {
        char* text = nullptr;
        ASSERT_TRUE(VerQueryValueA(data.data(), (std::string("\\StringFileInfo\\040904b0\\") + entry.name).c_str(),
                                   reinterpret_cast<void**>(&text), &length))
            << entry.name;
        EXPECT_STREQ(entry.text, text) << entry.name;
    }
}
