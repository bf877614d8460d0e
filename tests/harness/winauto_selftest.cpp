// winauto drives winauto_testee.exe from this process, as the product's tests will drive the
// real programs: if these pass, a failing product test is about the product.
#include "machine.h"
#include "winauto.h"
#include "winauto_testee.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

using namespace winauto;

namespace {

constexpr DWORD kTimeoutMs = 5000;
constexpr char kTesteeTitle[] = "Winauto Testee";

Process StartTestee(const std::string& mode, const std::string& exe = "winauto_testee.exe")
{
    return StartProcess("\"" + BesideThisProgram(exe) + "\" " + mode);
}

std::string TempPath(const std::string& name)
{
    return machine::TempPath(std::to_string(GetCurrentProcessId()) + "_" + name);
}

size_t CountColours(const Image& image)
{
    std::set<unsigned> colours;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        colours.insert(image.rgb[i] << 16 | image.rgb[i + 1] << 8 | image.rgb[i + 2]);
    return colours.size();
}

class TesteeDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        testee_ = StartTestee("dialog");
        ASSERT_TRUE(testee_) << "error " << GetLastError();
        dialog_ = WaitForVisibleWindow("#32770", kTesteeTitle, kTimeoutMs, testee_.Id());
        ASSERT_NE(nullptr, dialog_);
    }

    std::optional<DWORD> ExitCode() { return testee_.WaitForExit(kTimeoutMs); }

    Process testee_;
    HWND dialog_ = nullptr;
};

class TesteeTray : public ::testing::Test {
protected:
    void SetUp() override
    {
        testee_ = StartTestee("tray");
        ASSERT_TRUE(testee_) << "error " << GetLastError();
        icon_ = WaitForTrayIcon("Testee tray tip " + std::to_string(testee_.Id()), kTimeoutMs);
        ASSERT_NE(nullptr, icon_);
    }

    HWND OpenMenu()
    {
        EXPECT_TRUE(RightClickTrayIcon(icon_));
        return WaitForPopupMenu(kTimeoutMs, testee_.Id());
    }

    bool WaitForTip(const std::string& tip)
    {
        return WaitUntil(kTimeoutMs, [&] { return TrayIconTip(icon_) == tip; });
    }

    Process testee_;
    HWND icon_ = nullptr;
};

}  // namespace

// ---- Windows and processes ----

TEST(Windows, FindsByClassOrTitleAlone)
{
    Process testee = StartTestee("dialog");
    HWND dialog = WaitForVisibleWindow("#32770", kTesteeTitle, kTimeoutMs, testee.Id());
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(dialog, FindTopWindow(nullptr, kTesteeTitle, testee.Id()));
    EXPECT_EQ(dialog, FindTopWindow("#32770", nullptr, testee.Id()));
    EXPECT_EQ(nullptr, FindTopWindow("#32770", "No such title", testee.Id()));
    EXPECT_EQ(kTesteeTitle, WindowText(dialog));
    EXPECT_EQ(testee.Id(), WindowProcessId(dialog));
}

TEST(Windows, FindsHiddenWindows)
{
    EndSessionSentinel sentinel;
    const std::string log = TempPath("hidden.log");
    ASSERT_TRUE(sentinel.Start(log));
    EXPECT_FALSE(IsWindowVisible(sentinel.Window()));
    const std::vector<HWND> sentinels = FindTopWindows(kSentinelWindowClass, nullptr);
    EXPECT_NE(sentinels.end(), std::find(sentinels.begin(), sentinels.end(), sentinel.Window()));
    EXPECT_EQ(sentinel.Window(), WaitForWindow(nullptr, "End session sentinel", kTimeoutMs,
                                               WindowProcessId(sentinel.Window())));
    DeleteFileA(log.c_str());
}

TEST(Process, DestructorEndsARunningProgram)
{
    HWND dialog = nullptr;
    {
        Process testee = StartTestee("dialog");
        dialog = WaitForVisibleWindow("#32770", kTesteeTitle, kTimeoutMs, testee.Id());
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(std::nullopt, testee.WaitForExit(100)) << "still running";
    }
    EXPECT_TRUE(WaitForWindowGone(dialog, kTimeoutMs));
}

TEST(Process, StartFailsForAMissingProgram)
{
    EXPECT_FALSE(StartProcess("\"" + BesideThisProgram("no_such_program.exe") + "\""));
}

// ---- Dialog controls ----

TEST_F(TesteeDialog, ReadsEveryControl)
{
    const std::vector<Control> controls = ReadControls(dialog_);
    ASSERT_EQ(12u, controls.size());

    EXPECT_EQ(0, FindControl(dialog_, IDC_SLOW)->check);
    EXPECT_EQ(1, FindControl(dialog_, IDC_MEDIUM)->check);
    EXPECT_EQ(0, FindControl(dialog_, IDC_SWAP)->check);
    EXPECT_EQ(-1, FindControl(dialog_, IDC_NAME)->check) << "not a button";
    EXPECT_EQ("Ada", ControlText(dialog_, IDC_NAME)) << "an edit control's text";
    EXPECT_EQ("&Next >", ControlText(dialog_, IDOK)) << "the & is kept";

    const Control progress = *FindControl(dialog_, IDC_PROGRESS);
    EXPECT_EQ("msctls_progress32", progress.className);
    EXPECT_EQ(50, progress.position);
    EXPECT_EQ(0, progress.rangeLow);
    EXPECT_EQ(200, progress.rangeHigh);

    const Control finish = *FindControl(dialog_, IDC_FINISH);
    EXPECT_FALSE(finish.enabled);
    EXPECT_TRUE(finish.visible);
    EXPECT_EQ(BS_DEFPUSHBUTTON, FindControl(dialog_, IDOK)->style & 0x0F);
    EXPECT_EQ(std::nullopt, FindControl(dialog_, 999));
    EXPECT_EQ("", ControlText(dialog_, 999));
}

TEST_F(TesteeDialog, ClickingRadioAndCheckBoxChangesThem)
{
    ASSERT_TRUE(ClickControl(dialog_, IDC_FAST));
    ASSERT_TRUE(ClickControl(dialog_, IDC_SWAP));
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] {
        return FindControl(dialog_, IDC_FAST)->check == 1 &&
               FindControl(dialog_, IDC_SWAP)->check == 1;
    }));
    EXPECT_EQ(0, FindControl(dialog_, IDC_MEDIUM)->check) << "the group moved on";
}

TEST_F(TesteeDialog, RefusesToClickADisabledButton)
{
    EXPECT_FALSE(ClickControl(dialog_, IDC_FINISH));
    EXPECT_EQ(std::nullopt, testee_.WaitForExit(300)) << "Finish must not have ended it";
}

TEST_F(TesteeDialog, NextEndsWithIdOk)
{
    ASSERT_TRUE(ClickControl(dialog_, IDOK));
    EXPECT_EQ(DWORD{IDOK}, ExitCode());
}

TEST_F(TesteeDialog, EscapeCancels)
{
    ASSERT_TRUE(PressEscape(dialog_))
        << "error " << GetLastError() << ", window " << IsWindow(dialog_) << ", running "
        << testee_.IsRunning() << ", focus " << FocusedWindow(dialog_);
    EXPECT_EQ(DWORD{IDCANCEL}, ExitCode());
}

TEST_F(TesteeDialog, CloseBoxCancels)
{
    ASSERT_TRUE(PressCloseBox(dialog_));
    EXPECT_EQ(DWORD{IDCANCEL}, ExitCode());
}

// ---- Message boxes ----

TEST_F(TesteeDialog, OwnedMessageBoxIsReadAndAnswered)
{
    ASSERT_TRUE(ClickControl(dialog_, IDC_ASK));
    const auto box = WaitForMessageBox("Testee question", kTimeoutMs, testee_.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ("Do you want to continue?", box->text);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box->buttons);
    EXPECT_TRUE(box->hasIcon);

    EXPECT_FALSE(ClickControl(dialog_, IDOK)) << "the box disables its owner";
    ASSERT_TRUE(ClickControl(box->hwnd, IDYES));
    EXPECT_TRUE(WaitForWindowGone(box->hwnd, kTimeoutMs));
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return ControlText(dialog_, IDC_ANSWER) == "Answer 6"; }))
        << ControlText(dialog_, IDC_ANSWER);
}

TEST(MessageBoxes, PlainBoxHasOkOnlyAndNoIcon)
{
    Process testee = StartTestee("msgbox");
    const auto box = WaitForMessageBox("Testee box", kTimeoutMs, testee.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ("Plain text", box->text);
    EXPECT_EQ(std::vector<int>{IDOK}, box->buttons);
    EXPECT_FALSE(box->hasIcon);
    ASSERT_TRUE(ClickControl(box->hwnd, IDOK));
    EXPECT_EQ(DWORD{IDOK}, testee.WaitForExit(kTimeoutMs));
}

TEST(MessageBoxes, EscapeClosesAnOkBox)
{
    Process testee = StartTestee("msgbox");
    const auto box = WaitForMessageBox("Testee box", kTimeoutMs, testee.Id());
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressEscape(box->hwnd));
    // Windows returns IDOK here; Wine 8 returns IDCANCEL.
    EXPECT_EQ(DWORD{IDCANCEL}, testee.WaitForExit(kTimeoutMs));
}

// ---- Tray icon and popup menu ----

TEST_F(TesteeTray, IconShowsItsTip)
{
    const std::vector<HWND> icons = TrayIconWindows();
    EXPECT_NE(icons.end(), std::find(icons.begin(), icons.end(), icon_));
    EXPECT_GE(TrayIconCount(), 1);
    EXPECT_EQ("Testee tray tip " + std::to_string(testee_.Id()), TrayIconTip(icon_));
}

TEST_F(TesteeTray, MenuItemChosenByIndexSkipsSeparators)
{
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(ChooseMenuItem(menu, 1));
    EXPECT_TRUE(WaitForWindowGone(menu, kTimeoutMs));
    EXPECT_TRUE(WaitForTip("Chose 202")) << TrayIconTip(icon_);
}

TEST_F(TesteeTray, MenuItemChosenByMnemonic)
{
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(ChooseMenuMnemonic(menu, 'o'));
    EXPECT_TRUE(WaitForTip("Chose 201")) << TrayIconTip(icon_);
}

TEST_F(TesteeTray, DismissedMenuChoosesNothing)
{
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(DismissMenu(menu));
    EXPECT_TRUE(WaitForWindowGone(menu, kTimeoutMs));
    EXPECT_TRUE(WaitForTip("Menu dismissed")) << TrayIconTip(icon_);
}

TEST_F(TesteeTray, DoubleClickReachesTheOwner)
{
    ASSERT_TRUE(DoubleClickTrayIcon(icon_));
    EXPECT_TRUE(WaitForTip("Double-clicked")) << TrayIconTip(icon_);
}

TEST_F(TesteeTray, ExitRemovesTheIcon)
{
    HWND menu = OpenMenu();
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(ChooseMenuMnemonic(menu, 'x'));
    EXPECT_EQ(DWORD{IDM_EXIT}, testee_.WaitForExit(kTimeoutMs));
    EXPECT_TRUE(WaitForWindowGone(icon_, kTimeoutMs));
}

// ---- The program under test ----

TEST(ProgramRun, WaitForAWindowGivesUpWhenTheProgramHasEnded)
{
    ProgramRun run(CommandLine(BesideThisProgram("winauto_testee.exe"), "version"));
    ASSERT_TRUE(run);
    const DWORD start = GetTickCount();
    EXPECT_EQ(nullptr, run.WaitForWindow(nullptr, kTesteeTitle, 60000));
    EXPECT_LT(GetTickCount() - start, 30000u) << "the wait went on after the program's end";
    EXPECT_TRUE(run.WaitForExit().has_value());
}

TEST(ProgramRun, FindsItsMessageBoxAndGivesItsExitCode)
{
    ProgramRun run(CommandLine(BesideThisProgram("winauto_testee.exe"), "msgbox"));
    ASSERT_TRUE(run);
    const auto box = run.WaitForMessageBox("Testee box");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Plain text", box->text);
    EXPECT_EQ(std::nullopt, run.WaitForExit(200)) << "it runs while the box is open";
    ASSERT_TRUE(ClickControl(box->hwnd, IDOK));
    EXPECT_EQ(DWORD{IDOK}, run.WaitForExit().value_or(0));
}

TEST_F(TesteeDialog, WaitForPaintSeesTheDrawnDialogAndNotOneThatIsGone)
{
    EXPECT_TRUE(WaitForPaint(dialog_, kTimeoutMs));
    ASSERT_TRUE(PressEscape(dialog_));
    ASSERT_TRUE(WaitForWindowGone(dialog_, kTimeoutMs));
    EXPECT_FALSE(WaitForPaint(dialog_, 500));
}

// ---- Screenshots ----

TEST_F(TesteeDialog, WindowCaptureShowsTheDialog)
{
    RECT r{};
    GetWindowRect(dialog_, &r);
    Image image;
    // Shown is not yet painted: wait for the controls to be drawn.
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] {
        image = CaptureWindow(dialog_);
        return CountColours(image) > 8;
    })) << CountColours(image) << " colours";
    EXPECT_EQ(r.right - r.left, image.width);
    EXPECT_EQ(r.bottom - r.top, image.height);

    const std::string path = TempPath("dialog.png");
    ASSERT_TRUE(WritePng(path, image));
    const std::string png = machine::ReadFileBytes(path).value_or("");
    EXPECT_EQ(0u, png.find("\x89PNG\r\n\x1a\n"));
    EXPECT_GT(png.size(), image.rgb.size()) << "stored, not compressed";
    DeleteFileA(path.c_str());
}

TEST(Png, EncodesAKnownImage)
{
    Image image;
    image.width = 2;
    image.height = 1;
    image.rgb = {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF};
    const std::string path = TempPath("known.png");
    ASSERT_TRUE(WritePng(path, image));
    const std::string png = machine::ReadFileBytes(path).value_or("");
    DeleteFileA(path.c_str());

    // Signature, IHDR (25), IDAT of 2+5+7+4 bytes (30), IEND (12).
    ASSERT_EQ(75u, png.size());
    EXPECT_EQ(std::string("\0\0\0\x0DIHDR\0\0\0\x02\0\0\0\x01\x08\x02\0\0\0", 21),
              png.substr(8, 21));
    EXPECT_EQ(std::string("\x01\x07\0\xF8\xFF" "\0\xFF\0\0\0\0\xFF", 12), png.substr(43, 12))
        << "one final stored block: filter byte then the pixels";
    EXPECT_EQ(std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12), png.substr(63));
}

TEST(Png, RefusesAnImageOfTheWrongSize)
{
    Image image;
    image.width = 2;
    image.height = 2;
    image.rgb.resize(3);
    EXPECT_FALSE(WritePng(TempPath("wrong.png"), image));
}

TEST(Screen, CaptureCoversTheScreen)
{
    const Image screen = CaptureScreen();
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), screen.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), screen.height);
}

// ---- Windows version per program ----

TEST(WindowsVersion, ReachesTheProgramWhenItStarts)
{
    // A copy under its own name, so other tests' testees keep the default version.
    const std::string exe = "winauto_testee_version.exe";
    ASSERT_TRUE(CopyFileA(BesideThisProgram("winauto_testee.exe").c_str(),
                          BesideThisProgram(exe).c_str(), FALSE));

    ASSERT_TRUE(SetWindowsVersion(exe, "win95"));
    const auto win95 = StartTestee("version", exe).WaitForExit(kTimeoutMs);
    ASSERT_TRUE(win95);
    EXPECT_EQ(0xC0000004u, *win95) << std::hex << *win95;

    ASSERT_TRUE(SetWindowsVersion(exe, "nt40"));
    const auto nt40 = StartTestee("version", exe).WaitForExit(kTimeoutMs);
    ASSERT_TRUE(nt40);
    EXPECT_EQ(0x05650004u, *nt40) << std::hex << *nt40;   // 4.0.1381

    ASSERT_TRUE(ClearWindowsVersion(exe));
    const auto standard = StartTestee("version", exe).WaitForExit(kTimeoutMs);
    ASSERT_TRUE(standard);
    EXPECT_EQ(0u, *standard & 0x80000000u) << "an NT version again: " << std::hex << *standard;
    EXPECT_NE(4u, *standard & 0xFF);

    EXPECT_TRUE(ClearWindowsVersion(exe)) << "clearing twice is fine";
    DeleteFileA(BesideThisProgram(exe).c_str());
}

// ---- End-of-session requests ----
// ExitWindowsEx itself ends every program with a window, explorer included: that test
// belongs in a prefix of its own. Here the sentinel gets the messages Wine would send.

TEST(EndSessionSentinel, LogsTheRequest)
{
    EndSessionSentinel sentinel;
    const std::string log = TempPath("endsession.log");
    ASSERT_TRUE(sentinel.Start(log));
    EXPECT_FALSE(sentinel.EndSessionRequested());

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(sentinel.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                    kTimeoutMs, &answer));
    EXPECT_EQ(DWORD_PTR{TRUE}, answer) << "the sentinel never vetoes";
    SendMessageTimeoutA(sentinel.Window(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kTimeoutMs,
                        &answer);

    EXPECT_TRUE(sentinel.WaitForEndSessionRequest(kTimeoutMs));
    EXPECT_EQ("started\r\n"
              "WM_QUERYENDSESSION wParam=0 lParam=0x00000000\r\n"
              "WM_ENDSESSION wParam=1 lParam=0x00000000\r\n",
              sentinel.Log());
    DeleteFileA(log.c_str());
}
