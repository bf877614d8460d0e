// The framework's behaviour, on real windows: a program built on it (testee.exe) is driven
// from here and logs what it sees.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "resource.h"
#include "frameres.h"
#include "machine.h"
#include "winauto.h"

namespace {

DWORD const Timeout = winauto::kProgramTimeoutMs;

// testee.exe running one scenario, and the log it writes.
class Testee : public winauto::ProgramRun {
public:
    explicit Testee(char const* scenario) : ProgramRun(CommandLine(scenario)), log_(LogPath(scenario)) {}

    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Polls until the log has this many lines; the log as it then stands.
    std::vector<std::string> WaitForLog(size_t count) const
    {
        winauto::WaitUntil(Timeout, [&] { return Log().size() >= count; });
        return Log();
    }

    DWORD ExitCode() const { return WaitForExit().value_or(0xDEAD); }

private:
    static std::string LogPath(char const* scenario)
    {
        return machine::TempPath(std::string("framework-") + scenario + ".log");
    }

    // The scenario's command line, with its log removed before the program starts.
    static std::string CommandLine(char const* scenario)
    {
        std::string const log = LogPath(scenario);
        DeleteFileA(log.c_str());
        return winauto::CommandLine(winauto::BesideThisProgram("testee.exe"), std::string(scenario) + " \"" + log + "\"");
    }

    std::string log_;
};

using Lines = std::vector<std::string>;

// The ways to end a modal dialog, with the result each gives.
struct Ending {
    char const* name;
    bool (*end)(HWND dialog);
    int result;
};

Ending const Endings[] = {
    {"OK", [](HWND d) { return winauto::ClickControl(d, IDOK); }, IDOK},
    {"Cancel", [](HWND d) { return winauto::ClickControl(d, IDCANCEL); }, IDCANCEL},
    {"Esc", [](HWND d) { return winauto::PressEscape(d); }, IDCANCEL},
    {"close box", [](HWND d) { return winauto::PressCloseBox(d); }, IDCANCEL},
};

} // namespace

TEST(Dialog, ModalResultIsTheWayItEndedAndTheObjectShowsAgain)
{
    for (int pair = 0; pair < 2; ++pair) {
        Ending const& first = Endings[2 * pair];
        Ending const& second = Endings[2 * pair + 1];
        SCOPED_TRACE(std::string(first.name) + " then " + second.name);
        Testee testee("modal");
        for (Ending const* ending : {&first, &second}) {
            HWND dialog = testee.WaitForDialog("Framework Modal");
            ASSERT_NE(nullptr, dialog);
            ASSERT_TRUE(ending->end(dialog));
            ASSERT_TRUE(winauto::WaitForWindowGone(dialog, Timeout));
        }
        EXPECT_EQ((Lines{"app name Framework Testee", "modal result " + std::to_string(first.result),
                         "modal result " + std::to_string(second.result), "missing result -1"}),
                  testee.WaitForLog(4));
        EXPECT_EQ(0u, testee.ExitCode());
    }
}

TEST(Dialog, ModelessIsCreatedDestroyedTwiceAndCreatedAnew)
{
    Testee testee("modeless");
    EXPECT_EQ((Lines{"app name Framework Testee", "create 1", "destroy 1", "destroy again 0", "create again 1"}),
              testee.WaitForLog(5));
    ASSERT_EQ(1u, winauto::FindTopWindows("#32770", "Framework Modeless").size());
    HWND dialog = winauto::FindTopWindow("#32770", "Framework Modeless");
    EXPECT_TRUE(IsWindowVisible(dialog));

    auto progress = winauto::FindControl(dialog, IDC_PROGRESS);
    ASSERT_TRUE(progress.has_value());
    EXPECT_EQ(1, progress->rangeLow);
    EXPECT_EQ(100, progress->rangeHigh);
    EXPECT_EQ(42, progress->position);

    ASSERT_TRUE(winauto::ClickControl(dialog, IDOK));
    EXPECT_TRUE(winauto::WaitForWindowGone(dialog, Timeout)) << "OK destroys a modeless dialog";
    EXPECT_EQ("modeless OK", testee.WaitForLog(6).back());
    EXPECT_EQ(0u, testee.ExitCode());
}

TEST(Frame, TakesTitleMenuAndIconFromItsResourceNumberAndStaysHidden)
{
    Testee testee("frame");
    HWND frame = testee.WaitForWindow(nullptr, "Framework Frame");
    ASSERT_NE(nullptr, frame) << "the title is string 2 up to its \\n";
    EXPECT_EQ((Lines{"app name Framework Testee", "class CTestFrame", "load frame 1", "icon 1"}), testee.WaitForLog(4));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_NE(nullptr, GetMenu(frame));

    PostMessageA(frame, WM_COMMAND, ID_FRAME_OWN, 0);
    PostMessageA(frame, WM_COMMAND, ID_APP_OWN, 0);
    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ((Lines{"app name Framework Testee", "class CTestFrame", "load frame 1", "icon 1", "frame command 32800",
                     "app command 32801", "app command 57665", "frame close", "frame deleted"}),
              testee.WaitForLog(9));
    EXPECT_TRUE(winauto::WaitForWindowGone(frame, Timeout));
    EXPECT_EQ(0u, testee.ExitCode()) << "the program ends with its main window";
}

TEST(Frame, HasNoTitleWithoutTheTitleFlag)
{
    Testee testee("plainframe");
    ASSERT_EQ(4u, testee.WaitForLog(4).size());
    HWND frame = winauto::FindTopWindow("FrameWnd:2", nullptr);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ("", winauto::WindowText(frame));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, testee.ExitCode());
}

TEST(Frame, RefusedCreationReturnsFalseAndLeavesNoWindowOrObject)
{
    Testee testee("failframe");
    EXPECT_EQ(0u, testee.ExitCode());
    EXPECT_EQ((Lines{"app name Framework Testee", "class CTestFrame", "frame deleted", "load frame 0"}), testee.Log());
    EXPECT_EQ(nullptr, winauto::FindTopWindow("FrameWnd:2", nullptr));
}

// The system refuses a child window without a parent before the window exists, so no
// message ever reaches the frame: LoadFrame itself must delete it.
TEST(Frame, CreationRefusedBeforeTheWindowExistsDeletesTheObjectToo)
{
    Testee testee("childframe");
    EXPECT_EQ(0u, testee.ExitCode());
    EXPECT_EQ((Lines{"app name Framework Testee", "class CTestFrame", "frame deleted", "load frame 0"}), testee.Log());
}
