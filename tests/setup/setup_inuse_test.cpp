// A second installation while files of the package are in use, on the real setup.exe as
// Windows 95 and as Windows NT: the new files wait beside the old ones and are put in place
// at the restart, which the prefix is made to do.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "setup_driver.h"

using namespace setuptest;

namespace {

char const RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Windows version the installer runs as: Wine gives it by the program's file name.
struct Mode {
    char const* name;
    char const* program;
    bool windows95;
};

void PrintTo(Mode const& mode, std::ostream* out)
{
    *out << mode.name;
}

Mode const Windows95 = {"Windows95", "setup.exe", true};
Mode const WindowsNT = {"WindowsNT", "setupnt.exe", false};

// The folder of the installer: the medium itself, or a copy with setup.exe also under the
// name that runs as Windows NT 4.0.
std::string InstallerFolder(Mode const& mode)
{
    if (mode.windows95)
        return MediumFolder();
    std::string const folder = MediumCopyWithout({});
    CopyFileA((folder + "\\setup.exe").c_str(), (folder + "\\" + mode.program).c_str(), FALSE);
    winauto::SetWindowsVersion(mode.program, "nt40");
    return folder;
}

// What the installer left for the restart, whichever system it ran as.
std::vector<winauto::RestartFileOperation> LeftForRestart(Mode const& mode)
{
    return mode.windows95 ? winauto::WininitRenames() : winauto::PendingFileOperations();
}

std::string ShortPath(std::string const& path)
{
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

// Every part of the path an 8.3 name: what WININIT.EXE, running before Windows, can find.
bool IsShortForm(std::string const& path)
{
    std::size_t start = path.find('\\');
    if (start == std::string::npos)
        return false;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start + 1);
        if (end == std::string::npos)
            end = path.size();
        std::string const part = path.substr(start + 1, end - start - 1);
        std::size_t const dot = part.find('.');
        std::string const base = part.substr(0, dot);
        std::string const extension = dot == std::string::npos ? "" : part.substr(dot + 1);
        if (base.empty() || base.size() > 8 || extension.size() > 3 || extension.find('.') != std::string::npos ||
            part.find(' ') != std::string::npos)
            return false;
        start = end;
    }
    return true;
}

// The temporary files of the install folder; none may stay once the work is done.
std::vector<std::string> TemporaryFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("C:\\Tamrix\\*.tmp", &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string Folder(std::string const& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// Whether another process keeps the file from being written.
bool InUse(std::string const& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// How the copy ended: at "Install Finished", or with the text of a "Setup Error" message.
struct CopyEnd {
    bool finished = false;
    std::string error;
};

CopyEnd WaitForCopyEnd(SetupRun const& setup)
{
    CopyEnd end;
    winauto::WaitUntil(Timeout, [&] {
        if (auto box = winauto::ReadMessageBox(winauto::FindTopWindow("#32770", "Setup Error", setup.Id())))
            end.error = box->text;
        end.finished = winauto::FindTopWindow("#32770", "Install Finished", setup.Id()) != nullptr;
        return end.finished || !end.error.empty();
    });
    return end;
}

// A first installation with the default choices, its restart declined.
void InstallWithDefaults(std::string const& folder, Mode const& mode)
{
    SetupRun setup(folder, folder, mode.program);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    ASSERT_TRUE(setup.FinishWithoutReboot());
}

class SetupInUse : public testing::TestWithParam<Mode> {};

}  // namespace

// The control program started from its log-on entry holds its program file and the library
// it loaded; the installation still finishes, and the restart brings the medium's files.
TEST_P(SetupInUse, ReinstallWhileTheControlProgramRunsReplacesItsFilesAtTheRestart)
{
    Mode const& mode = GetParam();
    std::string const folder = InstallerFolder(mode);
    InstallWithDefaults(folder, mode);
    if (HasFatalFailure())
        return;

    struct Held {
        char const* path;
        std::string medium;  // the medium's file, expanded
        std::string old;     // what the first installation left, changed so that the two differ
    };
    std::vector<Held> held = {{"C:\\Tamrix\\brindlex.exe", "", ""}, {"C:\\Tamrix\\rodlink.dll", "", ""}};
    for (Held& file : held) {
        auto medium = ReadFileBytes(file.path);
        ASSERT_TRUE(medium) << file.path;
        file.medium = *medium;
        // Bytes after the end of the image: the program still runs, as an older build would.
        file.old = *medium + "an older build";
        ASSERT_TRUE(WriteFileBytes(file.path, file.old)) << file.path;
    }
    auto logOn = ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Tamrix");
    ASSERT_TRUE(logOn);
    winauto::Process control = winauto::StartProcess(logOn.data.c_str());
    ASSERT_TRUE(control) << logOn.data;
    // It serves once it has loaded the library. Not probed before: the probe's open for
    // writing would make the program's load of the library a sharing violation.
    ASSERT_TRUE(winauto::WaitForWindow("TamrixControlCentre", nullptr, Timeout, control.Id()));
    for (Held const& file : held)
        ASSERT_TRUE(InUse(file.path)) << file.path << " is not in use";

    SetupRun setup(folder, folder, mode.program);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    CopyEnd const end = WaitForCopyEnd(setup);
    EXPECT_EQ("", end.error);
    ASSERT_TRUE(end.finished);
    ASSERT_TRUE(setup.FinishWithoutReboot());

    std::vector<winauto::RestartFileOperation> const left = LeftForRestart(mode);
    ASSERT_EQ(held.size(), left.size()) << winauto::Describe(left);
    for (std::size_t i = 0; i < held.size(); ++i) {
        SCOPED_TRACE(held[i].path);
        winauto::RestartFileOperation const& operation = left[i];
        if (mode.windows95) {
            EXPECT_EQ(ShortPath(held[i].path), operation.target);
            EXPECT_TRUE(IsShortForm(operation.target)) << operation.target;
            EXPECT_TRUE(IsShortForm(operation.source)) << operation.source;
        } else {
            EXPECT_EQ(held[i].path, operation.target);
            EXPECT_TRUE(operation.replaceExisting);
        }
        EXPECT_EQ(0, lstrcmpiA("C:\\Tamrix", Folder(operation.source).c_str())) << operation.source;
        auto waiting = ReadFileBytes(operation.source);
        ASSERT_TRUE(waiting) << operation.source;
        EXPECT_TRUE(*waiting == held[i].medium) << operation.source << " does not hold the medium's file";
        auto inPlace = ReadFileBytes(held[i].path);
        ASSERT_TRUE(inPlace);
        EXPECT_TRUE(*inPlace == held[i].old) << "the file in use was written";
    }
    EXPECT_EQ("", winauto::Describe(LeftForRestart(mode.windows95 ? WindowsNT : Windows95)))
        << "the other system's record";

    // The restart: every program ends, then the system does what was left for it.
    control.Terminate();
    ASSERT_TRUE(winauto::RunRestartFileOperations());
    for (Held const& file : held) {
        auto inPlace = ReadFileBytes(file.path);
        ASSERT_TRUE(inPlace) << file.path;
        EXPECT_TRUE(*inPlace == file.medium) << file.path << " is not the medium's file";
    }
    EXPECT_EQ(std::vector<std::string>{}, TemporaryFiles());
    EXPECT_EQ("", winauto::Describe(LeftForRestart(mode)));
}

// The temporary file cannot be filled, since the source cannot be read: nothing is left for
// the restart, no file is left behind, and the copy fails with the source's message.
TEST_P(SetupInUse, AnExpansionThatFailsLeavesNothingForTheRestart)
{
    Mode const& mode = GetParam();
    std::string const folder = InstallerFolder(mode);
    CreateDirectoryA("C:\\Tamrix", nullptr);
    ASSERT_TRUE(WriteFileBytes("C:\\Tamrix\\QUELLBOX.INF", "the device information file in use"));
    winauto::HeldFile inUse("C:\\Tamrix\\QUELLBOX.INF");
    ASSERT_TRUE(inUse.IsHeld());

    SetupRun setup(folder, UnreadableMediumFolder(), mode.program);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto failed = setup.ExitAfterFailedCopy();
    ASSERT_TRUE(failed);
    EXPECT_EQ(UnreadableSource, failed->message);
    EXPECT_EQ("C:\\Tamrix\\QUELLBOX.INF", failed->to);

    EXPECT_EQ(std::vector<std::string>{}, TemporaryFiles());
    EXPECT_EQ("", winauto::Describe(winauto::WininitRenames()));
    EXPECT_EQ("", winauto::Describe(winauto::PendingFileOperations()));
    inUse.Release();
    EXPECT_EQ("the device information file in use", ReadFileBytes("C:\\Tamrix\\QUELLBOX.INF").value_or("(none)"));
}

// The replacement cannot be recorded (Windows 95: WININIT.INI is a folder; Windows NT: the
// key of the pending operations may only be read): a failed copy of that file, as before.
TEST_P(SetupInUse, AReplacementThatCannotBeRecordedIsAFailedCopy)
{
    Mode const& mode = GetParam();
    std::string const folder = InstallerFolder(mode);
    std::optional<ProtectedKey> sessionManager;
    if (mode.windows95) {
        ASSERT_TRUE(CreateDirectoryA((WindowsFolder() + "\\WININIT.INI").c_str(), nullptr));
    } else {
        // Everyone may read the key, nobody may change it.
        sessionManager.emplace(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", KEY_READ);
        ASSERT_NE(ERROR_SUCCESS, sessionManager->OpenWith(KEY_SET_VALUE)) << "the key still opens for writing";
    }
    CreateDirectoryA("C:\\Tamrix", nullptr);
    ASSERT_TRUE(WriteFileBytes("C:\\Tamrix\\tamrix.hlp", "the help file in use"));
    winauto::HeldFile inUse("C:\\Tamrix\\tamrix.hlp");
    ASSERT_TRUE(inUse.IsHeld());

    SetupRun setup(folder, folder, mode.program);
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    auto failed = setup.ExitAfterFailedCopy();
    ASSERT_TRUE(failed);
    EXPECT_EQ(UnwritableDestination, failed->message);
    EXPECT_EQ("C:\\Tamrix\\tamrix.hlp", failed->to);

    EXPECT_EQ(std::vector<std::string>{}, TemporaryFiles());
    EXPECT_EQ("", winauto::Describe(winauto::PendingFileOperations()));
    inUse.Release();
    EXPECT_EQ("the help file in use", ReadFileBytes("C:\\Tamrix\\tamrix.hlp").value_or("(none)"));
}

INSTANTIATE_TEST_SUITE_P(System, SetupInUse, testing::Values(Windows95, WindowsNT),
                         [](testing::TestParamInfo<Mode> const& info) { return std::string(info.param.name); });

// ---- WININIT.INI keeps every line it had ----

namespace {

struct WininitCase {
    char const* name;
    bool exists;
    std::string before;
    std::size_t insertAt;  // where the section's new line goes (npos: the end)
    std::string lead;      // what goes before the line: a line break, a new section header
};

void PrintTo(WininitCase const& c, std::ostream* out)
{
    *out << c.name;
}

class SetupWininit : public testing::TestWithParam<WininitCase> {};

std::string const NulLines = "NUL=C:\\WINDOWS\\OLD1.TMP\r\nNUL=C:\\WINDOWS\\OLD2.TMP\r\n";

// Numbered lines: enough of them that the file is read and moved in several pieces.
std::string Lines(std::string const& start, int count)
{
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += start + std::to_string(i) + " takes some room in the file\r\n";
    return lines;
}

std::string const BeforeRename = Lines("; a comment left by another installer ", 20) + "[rename]\r\n" + NulLines + "\r\n";

}  // namespace

TEST_P(SetupWininit, TheNewLineJoinsTheRenameSectionAndNothingElseChanges)
{
    WininitCase const& c = GetParam();
    std::string const wininit = WindowsFolder() + "\\WININIT.INI";
    if (c.exists) {
        ASSERT_TRUE(WriteFileBytes(wininit, c.before));
    }
    CreateDirectoryA("C:\\Tamrix", nullptr);
    ASSERT_TRUE(WriteFileBytes("C:\\Tamrix\\tamrix.hlp", "the help file in use"));
    winauto::HeldFile inUse("C:\\Tamrix\\tamrix.hlp");
    ASSERT_TRUE(inUse.IsHeld());

    SetupRun setup;
    ASSERT_TRUE(setup.ChooseInstallation(true, true));
    CopyEnd const end = WaitForCopyEnd(setup);
    EXPECT_EQ("", end.error);
    ASSERT_TRUE(end.finished);
    ASSERT_TRUE(setup.FinishWithoutReboot());

    std::vector<winauto::RestartFileOperation> const renames = winauto::WininitRenames();
    ASSERT_FALSE(renames.empty());
    winauto::RestartFileOperation const& added = renames.back();
    EXPECT_EQ(ShortPath("C:\\Tamrix\\tamrix.hlp"), added.target);
    std::string expected = c.before;
    std::size_t const at = c.insertAt == std::string::npos ? expected.size() : c.insertAt;
    expected.insert(at, c.lead + added.target + "=" + added.source + "\r\n");
    EXPECT_EQ(expected, ReadFileBytes(wininit).value_or("(none)"));
    auto waiting = ReadFileBytes(added.source);
    ASSERT_TRUE(waiting) << added.source;
    EXPECT_EQ(ReadFileBytes(SourcePath("standins/medium/tamrix.hlp")).value_or("(none)"), *waiting);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetupWininit,
    testing::Values(
        WininitCase{"NoFileYet", false, "", std::string::npos, "[rename]\r\n"},
        WininitCase{"NoRenameSection", true, "[Other]\r\nkey=value\r\n", std::string::npos, "[rename]\r\n"},
        WininitCase{"RenameLastWithoutFinalLineBreak", true, "[Rename]\r\n" + NulLines + "NUL=C:\\WINDOWS\\OLD3.TMP",
                    std::string::npos, "\r\n"},
        WininitCase{"RenameBeforeAnotherSection", true,
                    BeforeRename + "[Other]\r\nNUL=1\r\nNUL=2\r\n" + Lines("key", 60), BeforeRename.size(), ""}),
    [](testing::TestParamInfo<WininitCase> const& info) { return std::string(info.param.name); });
