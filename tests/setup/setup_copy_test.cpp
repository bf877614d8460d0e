// The copy steps, on the real setup.exe and the real medium: what lands where, the failure
// messages and the progress display.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "resource.h"
#include "setup_driver.h"

using namespace setuptest;

namespace {

// The original of each installed file, and where it lands.
struct InstalledFile {
    std::string original;
    std::string destination;
};

std::vector<InstalledFile> InstalledSet()
{
    std::string const medium = SourcePath("standins/medium/");
    return {
        {medium + "tamrix.vxd", SystemFolder() + "\\tamrix.vxd"},
        {medium + "tamrix.vxd", "C:\\Tamrix\\tamrix.vxd"},
        {winauto::BesideThisProgram("brindlex.exe"), "C:\\Tamrix\\brindlex.exe"},
        {winauto::BesideThisProgram("rodlink.dll"), "C:\\Tamrix\\rodlink.dll"},
        {winauto::BesideThisProgram("quorrane.dll"), "C:\\Tamrix\\quorrane.dll"},
        {medium + "tamrix.hlp", "C:\\Tamrix\\tamrix.hlp"},
        {medium + "tamrix.cnt", "C:\\Tamrix\\tamrix.cnt"},
        {medium + "QUELLBOX.INF", "C:\\Tamrix\\QUELLBOX.INF"},
        {medium + "QUELLBOX.INF", WindowsFolder() + "\\Inf\\Other\\quellbox.inf"},
        {winauto::BesideThisProgram("Pebbroth.exe"), "C:\\Tamrix\\Pebbroth.exe"},
        {winauto::BesideThisProgram("Pupex.exe"), "C:\\Tamrix\\Pupex.exe"},
        {winauto::BesideThisProgram("Pupex.dll"), "C:\\Tamrix\\Pupex.dll"},
    };
}

void RemoveFolderIfEmpty(std::string const& folder)
{
    RemoveDirectoryA(folder.c_str());
}

// The Copy files dialog as a message box finds it.
struct CopyDisplay {
    int position = -1;
    std::string percent;
    std::string from;
    std::string to;
};

CopyDisplay ReadCopyDisplay(HWND dialog)
{
    CopyDisplay display;
    if (auto bar = winauto::FindControl(dialog, IDC_COPY_PROGRESS))
        display.position = bar->position;
    display.percent = winauto::ControlText(dialog, IDC_COPY_PERCENT);
    display.from = winauto::ControlText(dialog, IDC_COPY_FROM);
    display.to = winauto::ControlText(dialog, IDC_COPY_TO);
    return display;
}

// The message box opens over the middle of the dialog: moved aside, both can be seen.
void SaveCopyDialogBesideMessage(HWND copy, HWND box)
{
    RECT dialog;
    GetWindowRect(copy, &dialog);
    SetWindowPos(box, nullptr, dialog.left, dialog.bottom + 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    winauto::SettledPicture(copy, Timeout);
    winauto::Screenshot(copy, "setup-copy-files.png");
}

}  // namespace

TEST(SetupCopy, ExpandedAndPlainFilesEqualTheirOriginalsAndReplaceOldOnes)
{
    // Old files in the way, one longer than the new one; no "Inf\Other" folder yet.
    CreateDirectoryA("C:\\Tamrix", nullptr);
    ASSERT_TRUE(WriteFileBytes("C:\\Tamrix\\rodlink.dll", "an old library"));
    ASSERT_TRUE(WriteFileBytes("C:\\Tamrix\\QUELLBOX.INF", std::string(4000, 'x')));
    DeleteFileA((WindowsFolder() + "\\Inf\\Other\\quellbox.inf").c_str());
    RemoveFolderIfEmpty(WindowsFolder() + "\\Inf\\Other");
    ASSERT_FALSE(FolderExists(WindowsFolder() + "\\Inf\\Other"));

    SetupRun setup;
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    ASSERT_TRUE(setup.FinishWithoutReboot());

    for (InstalledFile const& file : InstalledSet()) {
        SCOPED_TRACE(file.destination);
        auto original = ReadFileBytes(file.original);
        auto installed = ReadFileBytes(file.destination);
        ASSERT_TRUE(original) << file.original;
        ASSERT_TRUE(installed);
        EXPECT_EQ(original->size(), installed->size());
        EXPECT_TRUE(*original == *installed) << "the bytes differ";
    }
}

TEST(SetupCopy, FirstSourceMissingGivesOneMessageAndWritesNothing)
{
    std::string const medium = MediumCopyWithout({"tamrix.vx_"});
    SetupRun setup(medium);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));

    auto box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    winauto::Screenshot(box->hwnd, "setup-error-source.png");
    EXPECT_EQ(UnreadableSource, box->text);
    EXPECT_EQ(std::vector<int>{IDOK}, box->buttons);
    EXPECT_TRUE(box->hasIcon);
    HWND copy = winauto::FindTopWindow("#32770", "Copy files", setup.Id());
    ASSERT_TRUE(copy);
    CopyDisplay const display = ReadCopyDisplay(copy);
    EXPECT_EQ(medium + "\\tamrix.vx_", display.from);
    EXPECT_EQ(SystemFolder() + "\\tamrix.vxd", display.to);
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));

    HWND exitSetup = setup.WaitForDialog("Exit Setup");
    ASSERT_TRUE(exitSetup);
    EXPECT_EQ(1u, winauto::FindTopWindows("#32770", "Exit Setup", setup.Id()).size());
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Setup Error", setup.Id())) << "a second message";
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Copy files", setup.Id()));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());

    EXPECT_FALSE(FileExists(SystemFolder() + "\\tamrix.vxd"));
    EXPECT_FALSE(FolderExists("C:\\Tamrix"));
}

TEST(SetupCopy, HelpFileMissingStillCopiesTheRestOfItsStepThenStops)
{
    std::string const medium = MediumCopyWithout({"tamrix.hl_"});
    SetupRun setup(medium);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));

    auto box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    EXPECT_EQ(UnreadableSource, box->text);
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));
    ASSERT_TRUE(setup.WaitForDialog("Exit Setup"));
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Setup Error", setup.Id())) << "a second message";
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());

    EXPECT_FALSE(FileExists("C:\\Tamrix\\tamrix.hlp"));
    EXPECT_TRUE(FileExists("C:\\Tamrix\\tamrix.cnt"));
    EXPECT_TRUE(FileExists("C:\\Tamrix\\QUELLBOX.INF"));
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\Inf\\Other\\quellbox.inf"));
    EXPECT_FALSE(FileExists("C:\\Tamrix\\Pebbroth.exe"));
}

// Deep current directories. A source path that fits in MAX_PATH with its terminator reaches
// the copy, where the expansion library opens no path longer than an OFSTRUCT holds (128);
// one a character longer is refused whole before the copy is tried, never cut short. Both
// are an unreadable source and nothing is written; the "From :" line tells them apart.
struct PathEdgeCase {
    char const* name;
    std::size_t sourceLength;   // the current directory followed by "\\tamrix.vx_"
    bool shownAsSource;         // the joined path reached the copy, and "From :" shows it
};

void PrintTo(PathEdgeCase const& c, std::ostream* out)
{
    *out << c.name;
}

class SetupSourcePathEdge : public testing::TestWithParam<PathEdgeCase> {};

TEST_P(SetupSourcePathEdge, DeepCurrentDirectoryIsAnUnreadableSource)
{
    PathEdgeCase const& c = GetParam();
    std::string const name = "\\tamrix.vx_";
    std::string folder = TempPath("edge");
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\" + std::string(c.sourceLength - name.size() - folder.size() - 1, 'e');
    ASSERT_EQ(c.sourceLength, folder.size() + name.size());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
    ASSERT_TRUE(CopyFileA((MediumFolder() + name).c_str(), (folder + name).c_str(), FALSE));

    SetupRun setup(MediumFolder(), folder);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    EXPECT_EQ(UnreadableSource, box->text);
    HWND copy = winauto::FindTopWindow("#32770", "Copy files", setup.Id());
    ASSERT_TRUE(copy);
    EXPECT_EQ(c.shownAsSource ? folder + name : "", ReadCopyDisplay(copy).from) << "the path the copy was given";
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));
    ASSERT_TRUE(setup.WaitForDialog("Exit Setup"));
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Setup Error", setup.Id())) << "a second message";
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_FALSE(FileExists(SystemFolder() + "\\tamrix.vxd"));
    EXPECT_FALSE(FolderExists("C:\\Tamrix"));
}

// A current directory of 247 characters, then the two sides of MAX_PATH.
INSTANTIATE_TEST_SUITE_P(Table, SetupSourcePathEdge,
                         testing::Values(PathEdgeCase{"Folder247", 258, true}, PathEdgeCase{"Fits259", 259, true},
                                         PathEdgeCase{"Refused260", 260, false}),
                         [](testing::TestParamInfo<PathEdgeCase> const& info) { return std::string(info.param.name); });

// The device information file opens but cannot be read: the expansion library fails while it
// copies, and the message is the source's.
TEST(SetupCopy, SourceThatCannotBeReadWhileCopyingIsAnUnreadableSource)
{
    SetupRun setup(MediumFolder(), UnreadableMediumFolder());
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto failed = setup.ExitAfterFailedCopy();
    ASSERT_TRUE(failed);
    EXPECT_EQ(UnreadableSource, failed->message);
    EXPECT_EQ(UnreadableMediumFolder() + "\\QUELLBOX.INF", failed->from);
    EXPECT_EQ("C:\\Tamrix\\QUELLBOX.INF", failed->to);
}

TEST(SetupCopy, UnwritableDestinationIsAFailedCopy)
{
    // A folder where the library should go: the file cannot be created.
    CreateDirectoryA("C:\\Tamrix", nullptr);
    CreateDirectoryA("C:\\Tamrix\\rodlink.dll", nullptr);

    SetupRun setup;
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    winauto::Screenshot(box->hwnd, "setup-error-destination.png");
    EXPECT_EQ(UnwritableDestination, box->text);
    EXPECT_EQ(std::vector<int>{IDOK}, box->buttons);
    EXPECT_TRUE(box->hasIcon);
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));
    ASSERT_TRUE(setup.WaitForDialog("Exit Setup"));
    EXPECT_FALSE(winauto::FindTopWindow("#32770", "Install Finished", setup.Id()));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\Inf\\Other\\quellbox.inf")) << "the chain went on";
    EXPECT_FALSE(FileExists("C:\\Tamrix\\rodlink.dl_")) << "written under another name";
}

TEST(SetupCopy, ResumeCreatesTheCopyDialogAgainAtPositionOne)
{
    std::string const medium = MediumCopyWithout({});
    CreateDirectoryA("C:\\Tamrix", nullptr);
    CreateDirectoryA("C:\\Tamrix\\Pebbroth.exe", nullptr);
    SetupRun setup(medium);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    HWND firstCopy = winauto::FindTopWindow("#32770", "Copy files", setup.Id());
    ASSERT_TRUE(firstCopy);
    EXPECT_EQ(35, ReadCopyDisplay(firstCopy).position);
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));

    // The second pass fails on its very first file: the dialog as it was created.
    ASSERT_TRUE(setup.WaitForDialog("Exit Setup"));
    ASSERT_TRUE(DeleteFileA((medium + "\\tamrix.vx_").c_str()));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDOK));
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    box = setup.WaitForMessageBox("Setup Error");
    ASSERT_TRUE(box);
    HWND secondCopy = winauto::FindTopWindow("#32770", "Copy files", setup.Id());
    ASSERT_TRUE(secondCopy);
    EXPECT_FALSE(IsWindow(firstCopy));
    CopyDisplay const display = ReadCopyDisplay(secondCopy);
    EXPECT_EQ(1, display.position);
    EXPECT_EQ("", display.percent);
    EXPECT_EQ(medium + "\\tamrix.vx_", display.from);
    auto bar = winauto::FindControl(secondCopy, IDC_COPY_PROGRESS);
    ASSERT_TRUE(bar);
    EXPECT_EQ(1, bar->rangeLow);
    EXPECT_EQ(100, bar->rangeHigh);
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));
    ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
    EXPECT_TRUE(setup.WaitForExit());
}

// ---- Progress: each failure message is a moment when the dialog can be read. ----

struct ProgressCase {
    char const* name;
    bool lumivane;
    std::vector<std::string> missingSources;
    std::vector<std::string> blockedDestinations;   // folders made where files should go
    bool blockShortcuts;                            // a file where the Start menu folder goes
    std::vector<int> positions;                     // what the bar shows at each message
};

void PrintTo(ProgressCase const& c, std::ostream* out)
{
    *out << c.name;
}

class SetupProgress : public testing::TestWithParam<ProgressCase> {};

// The message box found by what it is, not by its caption: a dialog of setup's with a text
// and an OK button (the Copy files dialog has no push button).
std::optional<winauto::MessageBoxInfo> WaitForAnyMessageBox(SetupRun const& setup)
{
    std::optional<winauto::MessageBoxInfo> found;
    winauto::WaitUntil(Timeout, [&] {
        for (HWND window : winauto::FindTopWindows("#32770", nullptr, setup.Id())) {
            auto box = IsWindowVisible(window) ? winauto::ReadMessageBox(window) : std::nullopt;
            if (box && std::find(box->buttons.begin(), box->buttons.end(), IDOK) != box->buttons.end()) {
                found = box;
                return true;
            }
        }
        return false;
    });
    return found;
}

TEST_P(SetupProgress, BarAndPercentStandAtTheTableValues)
{
    ProgressCase const& c = GetParam();
    std::string const medium = MediumCopyWithout(c.missingSources);
    CreateDirectoryA("C:\\Tamrix", nullptr);
    CreateDirectoryA((WindowsFolder() + "\\Inf").c_str(), nullptr);
    CreateDirectoryA((WindowsFolder() + "\\Inf\\Other").c_str(), nullptr);
    for (std::string const& blocked : c.blockedDestinations)
        ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr)) << blocked;
    if (c.blockShortcuts) {
        ASSERT_TRUE(WriteFileBytes(ProgramsFolder() + "\\Tamrix", "not a folder"));
    }

    SetupRun setup(medium);
    ASSERT_TRUE(setup.ChooseInstallation(true, c.lumivane));
    for (std::size_t i = 0; i < c.positions.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i + 1));
        auto box = WaitForAnyMessageBox(setup);
        ASSERT_TRUE(box);
        EXPECT_EQ(c.blockShortcuts ? "CreateShortCut" : "Setup Error", box->caption);
        if (c.blockShortcuts) {
            EXPECT_EQ("Save Failed!", box->text);
            EXPECT_EQ(std::vector<int>{IDOK}, box->buttons);
            EXPECT_FALSE(box->hasIcon);
            if (i == 0)
                winauto::Screenshot(box->hwnd, "setup-save-failed.png");
        }
        HWND copy = winauto::FindTopWindow("#32770", "Copy files", setup.Id());
        ASSERT_TRUE(copy);
        CopyDisplay const display = ReadCopyDisplay(copy);
        if (std::string(c.name) == "AfterFiles1To7WithLumivane" && i == 5)
            SaveCopyDialogBesideMessage(copy, box->hwnd);
        EXPECT_EQ(c.positions[i], display.position);
        EXPECT_EQ(std::to_string(c.positions[i]) + "%", display.percent);
        ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDOK));
        ASSERT_TRUE(winauto::WaitForWindowGone(box->hwnd, Timeout));
    }
    // A failed copy ends at Exit Setup; failed shortcuts do not stop the installation.
    if (c.blockShortcuts) {
        ASSERT_TRUE(setup.FinishWithoutReboot());
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Enum\\Root\\*PNP0F0C\\0000")) << "the registration ran";
    } else {
        ASSERT_TRUE(setup.Answer("Exit Setup", IDCANCEL));
        EXPECT_TRUE(setup.WaitForExit());
    }
}

// Wine finds "QUELLBOX.INF" as "quellbox.inf" whatever the case: file 8 fails on its
// destination instead.
std::vector<std::string> const MiddleSources = {"brindlex.ex_", "rodlink.dl_", "quorrane.dl_", "tamrix.hl_",
                                                "tamrix.cn_"};
std::vector<std::string> const MiddleDestinations = {"C:\\Tamrix\\tamrix.vxd", "C:\\Tamrix\\QUELLBOX.INF"};
std::string const InfDestination = "C:\\windows\\Inf\\Other\\quellbox.inf";

INSTANTIATE_TEST_SUITE_P(
    Table, SetupProgress,
    testing::Values(
        ProgressCase{"AfterFiles1To7WithLumivane", true, MiddleSources, MiddleDestinations, false,
                     {2, 4, 8, 12, 20, 32, 33}},
        ProgressCase{"AfterFiles1To7WithoutLumivane", false, MiddleSources, MiddleDestinations, false,
                     {6, 12, 24, 36, 61, 97, 98}},
        ProgressCase{"AfterFile8WithLumivane", true, {}, {InfDestination}, false, {34}},
        ProgressCase{"AfterFile8WithoutLumivane", false, {}, {InfDestination}, false, {99}},
        ProgressCase{"AfterFiles9To11WithLumivane", true, {},
                     {"C:\\Tamrix\\Pebbroth.exe", "C:\\Tamrix\\Pupex.exe", "C:\\Tamrix\\Pupex.dll"}, false,
                     {35, 57, 83}},
        ProgressCase{"AfterFile9WithoutLumivane", false, {}, {"C:\\Tamrix\\Pebbroth.exe"}, false, {100}},
        ProgressCase{"AfterFile12WithLumivane", true, {}, {}, true, {98, 98}},
        ProgressCase{"AfterFile10WithoutLumivane", false, {}, {}, true, {100}}),
    [](testing::TestParamInfo<ProgressCase> const& info) { return std::string(info.param.name); });
