// The real Tessarok.exe, driven as a user would in a fresh prefix with the package's Windows
// NT installation in place: its dialog, the removal for the chosen port, its message boxes
// and the restart it requests.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ntinstall.h"
#include "pupex_run.h"
#include "resource.h"
#include "winauto.h"

using namespace ntinstall;

namespace {

DWORD const Timeout = winauto::kProgramTimeoutMs;

char const DialogTitle[] = "Uninstallation Mouse Driver...";
char const RestartCaption[] = "Uninstall Successfully...";
char const RestartText[] = "You must reboot the computer to enable new settings!\r\n\r\nReboot now?";
char const CancelCaption[] = "Exit Uninstall...";
char const CancelText[] =
    "Uninstallation is not complete. If you quit the Uninstall program now,\nthe program will not be removed."
    "\n\n\nYou may run the Uninstall program at a later time to complete\nthe Uninstallation.";
// The program's name: its file name without the extension, as Wine gives it.
char const ProgramName[] = "Tessarok";
char const ProgramsText[] = "Can't find <Programs> path in registry database!";

using Buttons = std::vector<int>;

// The pixels of a message box's icon once drawn: a box just shown may not have painted it yet.
std::vector<unsigned char> IconPixels(HWND box)
{
    for (winauto::Control const& c : winauto::ReadControls(box))
        if (c.className == "Static" && (c.style & SS_TYPEMASK) == SS_ICON)
            return winauto::SettledPicture(c.hwnd, Timeout).rgb;
    return {};
}

// What a message box of this program's own with the exclamation icon shows as its icon.
std::vector<unsigned char> ExclamationPixels()
{
    std::thread owner(
        [] { MessageBoxA(nullptr, "reference", "Reference exclamation", MB_OK | MB_ICONEXCLAMATION); });
    auto box = winauto::WaitForMessageBox("Reference exclamation", Timeout, GetCurrentProcessId());
    std::vector<unsigned char> pixels;
    if (box) {
        pixels = IconPixels(box->hwnd);
        winauto::ClickControl(box->hwnd, IDOK);
    }
    owner.join();
    return pixels;
}

// Tessarok.exe, with the remover's own steps.
class Remover : public winauto::ProgramRun {
public:
    Remover() : ProgramRun(winauto::CommandLine(winauto::BesideThisProgram("Tessarok.exe"))) {}

    HWND WaitForDialog() const { return ProgramRun::WaitForDialog(DialogTitle); }

    // Clicks a button of the box and waits until the box is gone.
    static bool Answer(winauto::MessageBoxInfo const& box, int button)
    {
        return winauto::ClickControl(box.hwnd, button) && winauto::WaitForWindowGone(box.hwnd, Timeout);
    }

    // Clicks these radio buttons in turn, then OK; false when the dialog did not go.
    bool ChooseAndConfirm(std::vector<int> const& clicks) const
    {
        HWND dialog = WaitForDialog();
        if (!dialog)
            return false;
        for (int id : clicks) {
            if (!winauto::ClickControl(dialog, id))
                return false;
            if (!winauto::WaitUntil(Timeout, [&] {
                    auto button = winauto::FindControl(dialog, id);
                    return button && button->check == BST_CHECKED;
                }))
                return false;
        }
        return winauto::ClickControl(dialog, IDOK) && winauto::WaitForWindowGone(dialog, Timeout);
    }
};

std::string ServiceKey(char const* service)
{
    return std::string(ServicesKey) + "\\" + service;
}

std::string StartValueText(char const* systemService)
{
    Value const value = ReadValue(HKEY_LOCAL_MACHINE, ServiceKey(systemService), "Start");
    if (!value || value.data.size() != sizeof(DWORD))
        return "missing or not 4 bytes";
    return "type " + std::to_string(value.type) + " value " + std::to_string(value.Number());
}

// Everything but the services goes whatever the port; of the services, only the chosen
// port's, whose system driver starts with the system again.
void ExpectRemovedFor(PortEntries const& chosen, std::string const& otherPortBefore)
{
    PortEntries const& other = &chosen == &SerialPort ? Ps2Port : SerialPort;
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Lumivane").present);
    EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, RunKey, "Tamrix").present);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(UninstallKey) + "\\Lumivane"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, HandlerClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(HandlersKey) + "\\Tamrix CPL"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ServiceKey(chosen.driverService))) << chosen.driverService;
    EXPECT_EQ("type 4 value 1", StartValueText(chosen.systemService)) << chosen.systemService;
    EXPECT_EQ(otherPortBefore, PortSnapshot(other)) << "the other port's services stay as they were";
    EXPECT_FALSE(FolderExists("c:\\Tamrix"));
    EXPECT_FALSE(FileExists(SystemFolder() + "\\Drivers\\brellsio.sys"));
    EXPECT_FALSE(FileExists(SystemFolder() + "\\Drivers\\tovrexa.sys"));
    EXPECT_FALSE(FolderExists(DefaultCommonPrograms() + "\\Tamrix"));
}

// Reads the template of the port dialog from the program file, as the resource compiler wrote it.
struct DialogTemplate {
    std::string dialog;
    std::vector<std::string> controls;
};

std::string ReadWide(WORD const*& p)
{
    std::string text;
    for (; *p; ++p)
        text += static_cast<char>(*p);
    ++p;
    return text;
}

std::string ReadNameOrOrdinal(WORD const*& p)
{
    if (*p == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(p[1]);
        p += 2;
        return ordinal;
    }
    return ReadWide(p);
}

// A control's class is an atom or its name: 0x80 "Button", 0x82 "Static".
std::string Kind(std::string const& windowClass, DWORD style)
{
    if (windowClass == "#128" || lstrcmpiA(windowClass.c_str(), "Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_AUTORADIOBUTTON: return "automatic radio button";
        case BS_DEFPUSHBUTTON: return "default push button";
        case BS_PUSHBUTTON: return "push button";
        }
    } else if (windowClass == "#130" || lstrcmpiA(windowClass.c_str(), "Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT: return "static text";
        case SS_ICON: return "static icon";
        }
    }
    return windowClass + " style " + std::to_string(style);
}

std::string Geometry(short x, short y, short cx, short cy)
{
    return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy);
}

std::optional<DialogTemplate> LoadDialogTemplate(std::string const& program, WORD id)
{
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::nullopt;
    DialogTemplate result;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    auto const* dialog = resource ? static_cast<DLGTEMPLATE const*>(LockResource(LoadResource(module, resource)))
                                  : nullptr;
    if (!dialog || HIWORD(dialog->style) == 0xFFFF) {  // no template, or an extended one
        FreeLibrary(module);
        return std::nullopt;
    }
    auto const* p = reinterpret_cast<WORD const*>(reinterpret_cast<BYTE const*>(dialog) + 18);
    std::string const menu = ReadNameOrOrdinal(p);
    std::string const windowClass = ReadNameOrOrdinal(p);
    std::string const title = ReadWide(p);
    std::string font;
    if (dialog->style & DS_SETFONT) {
        font = std::to_string(*p++) + " points, ";
        font += ReadWide(p);
    }
    result.dialog = "\"" + title + "\" style " + std::to_string(dialog->style & ~DS_SETFONT) + ", menu \"" + menu +
                    "\", class \"" + windowClass + "\", font " + font + ", " +
                    Geometry(dialog->x, dialog->y, dialog->cx, dialog->cy);
    for (WORD item = 0; item < dialog->cdit; ++item) {
        p = reinterpret_cast<WORD const*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        auto const* control = reinterpret_cast<DLGITEMTEMPLATE const*>(p);
        p = reinterpret_cast<WORD const*>(reinterpret_cast<BYTE const*>(p) + 18);
        std::string const controlClass = ReadNameOrOrdinal(p);
        std::string const text = ReadNameOrOrdinal(p);
        WORD const extra = *p++;
        p = reinterpret_cast<WORD const*>(reinterpret_cast<BYTE const*>(p) + extra);
        result.controls.push_back(Kind(controlClass, control->style) + " | " +
                                  std::to_string(static_cast<short>(control->id)) + " | \"" + text + "\" | " +
                                  Geometry(control->x, control->y, control->cx, control->cy));
    }
    FreeLibrary(module);
    return result;
}

} // namespace

// ---- The dialog ----

TEST(TessarokDialog, TemplateIsAsDrawn)
{
    auto drawn = LoadDialogTemplate(winauto::BesideThisProgram("Tessarok.exe"), IDD_MOUSE_TYPE);
    ASSERT_TRUE(drawn.has_value());
    EXPECT_EQ("\"Uninstallation Mouse Driver...\" style " +
                  std::to_string(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU) +
                  ", menu \"\", class \"\", font 8 points, MS Sans Serif, 0, 0, 234, 105",
              drawn->dialog);
    EXPECT_EQ((std::vector<std::string>{
                  "static text | -1 | \"Please select the mouse type that you would like to un-install.\" | 13, 14, 208, 8",
                  "static text | -1 | \"In the meanwhile, Lumivane function will also be removed.\" | 13, 27, 208, 8",
                  "automatic radio button | " + std::to_string(IDC_PS2_PORT) + " | \"PS2 mouse port\" | 25, 49, 91, 9",
                  "automatic radio button | " + std::to_string(IDC_SERIAL_PORT) + " | \"Serial mouse port\" | 25, 67, 91, 9",
                  "static icon | -1 | \"#128\" | 171, 52, 21, 20",
                  "default push button | 1 | \"OK\" | 142, 84, 37, 14",
                  "push button | 2 | \"Cancel\" | 190, 84, 37, 14",
              }),
              drawn->controls);
}

TEST(TessarokDialog, OpensWithThePs2PortChosenAndTheFocusOnIt)
{
    Remover remover;
    HWND dialog = remover.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    std::vector<std::string> seen;
    for (winauto::Control const& c : winauto::ReadControls(dialog))
        seen.push_back(std::to_string(static_cast<short>(c.id)) + " " + c.className + " " +
                       // An icon's text is its resource number, which only its own process reads.
                       ((c.style & SS_TYPEMASK) == SS_ICON && c.className == "Static" ? "icon"
                                                                                       : "\"" + c.text + "\"") +
                       " check " + std::to_string(c.check) + (c.visible ? "" : " hidden"));
    EXPECT_EQ((std::vector<std::string>{
                  "-1 Static \"Please select the mouse type that you would like to un-install.\" check -1",
                  "-1 Static \"In the meanwhile, Lumivane function will also be removed.\" check -1",
                  std::to_string(IDC_PS2_PORT) + " Button \"PS2 mouse port\" check 1",
                  std::to_string(IDC_SERIAL_PORT) + " Button \"Serial mouse port\" check 0",
                  "-1 Static icon check -1",
                  "1 Button \"OK\" check 0",
                  "2 Button \"Cancel\" check 0",
              }),
              seen);
    EXPECT_EQ(winauto::FindControl(dialog, IDC_PS2_PORT)->hwnd, winauto::FocusedWindow(dialog));
    winauto::Screenshot(dialog, "tessarok-dialog.png");

    ASSERT_TRUE(winauto::ClickControl(dialog, IDCANCEL));
    ASSERT_TRUE(winauto::WaitForWindowGone(dialog, Timeout));
    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(CancelCaption, box->caption);
    Remover::Answer(*box, IDOK);
    EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD));
}

// ---- Cancel ----

namespace {

// A way out of the dialog without the removal.
struct Way {
    char const* name;
    bool (*end)(HWND dialog);
};

void PrintTo(Way const& way, std::ostream* out)
{
    *out << way.name;
}

class TessarokCancel : public testing::TestWithParam<Way> {};

}  // namespace

TEST_P(TessarokCancel, EveryWayOutShowsTheMessageAndChangesNothing)
{
    Way const& way = GetParam();
    PutNtInstallation();
    std::string const before = Snapshot();
    std::vector<unsigned char> const exclamation = ExclamationPixels();
    ASSERT_FALSE(exclamation.empty());
    Remover remover;
    HWND dialog = remover.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(winauto::ClickControl(dialog, IDC_SERIAL_PORT)) << "a choice made is not acted on";
    ASSERT_TRUE(way.end(dialog));
    ASSERT_TRUE(winauto::WaitForWindowGone(dialog, Timeout));

    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(CancelCaption, box->caption);
    EXPECT_EQ(CancelText, box->text);
    EXPECT_EQ((Buttons{IDOK}), box->buttons);
    EXPECT_TRUE(IconPixels(box->hwnd) == exclamation) << "the exclamation icon";
    winauto::Screenshot(box->hwnd, std::string("tessarok-cancel-") + way.name + ".png");
    ASSERT_TRUE(Remover::Answer(*box, IDOK));
    EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ(before, Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Way, TessarokCancel,
                         testing::Values(Way{"Cancel", [](HWND d) { return winauto::ClickControl(d, IDCANCEL); }},
                                         Way{"Esc", [](HWND d) { return winauto::PressEscape(d); }},
                                         Way{"CloseBox", [](HWND d) { return winauto::PressCloseBox(d); }}),
                         testing::PrintToStringParamName());

// ---- Removal ----

namespace {

// The radio buttons clicked before OK, and the port whose services go.
struct RemovalCase {
    char const* name;
    std::vector<int> clicks;
    PortEntries const* removed;
};

void PrintTo(RemovalCase const& c, std::ostream* out)
{
    *out << c.name;
}

class TessarokRemovalFor : public testing::TestWithParam<RemovalCase> {};

}  // namespace

TEST_P(TessarokRemovalFor, TheChosenPortsServicesGoWithEverythingElse)
{
    RemovalCase const& c = GetParam();
    std::vector<unsigned char> const exclamation = ExclamationPixels();
    ASSERT_FALSE(exclamation.empty());
    PutNtInstallation();
    std::string const otherBefore = PortSnapshot(c.removed == &SerialPort ? Ps2Port : SerialPort);
    Remover remover;
    ASSERT_TRUE(remover.ChooseAndConfirm(c.clicks));

    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(RestartCaption, box->caption);
    EXPECT_EQ(RestartText, box->text);
    EXPECT_EQ((Buttons{IDYES, IDNO}), box->buttons);
    EXPECT_TRUE(IconPixels(box->hwnd) == exclamation) << "the exclamation icon";
    winauto::Screenshot(box->hwnd, std::string("tessarok-restart-") + c.name + ".png");
    ExpectRemovedFor(*c.removed, otherBefore);

    ASSERT_TRUE(Remover::Answer(*box, IDNO));
    EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD)) << "No ends the program";
}

INSTANTIATE_TEST_SUITE_P(
    Choice, TessarokRemovalFor,
    testing::Values(RemovalCase{"OkWithoutTouchingTheChoice", {}, &Ps2Port},
                    RemovalCase{"SerialThenPs2Again", {IDC_SERIAL_PORT, IDC_PS2_PORT}, &Ps2Port},
                    RemovalCase{"Serial", {IDC_SERIAL_PORT}, &SerialPort}),
    testing::PrintToStringParamName());

TEST(TessarokRemoval, SecondRunOnACleanedSystemAsksOnlyTheRestartQuestion)
{
    PutNtInstallation();
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        std::string const before = Snapshot();
        Remover remover;
        ASSERT_TRUE(remover.ChooseAndConfirm({}));
        auto box = remover.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(RestartCaption, box->caption) << box->text;
        ASSERT_TRUE(Remover::Answer(*box, IDNO));
        EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD));
        if (run == 2) {
            EXPECT_EQ(before, Snapshot()) << "nothing was left to change";
        }
    }
}

TEST(TessarokRemoval, RestartYesRequestsTheRestart)
{
    winauto::EndSessionSentinel sentinel;
    ASSERT_TRUE(sentinel.Start(TempPath("tessarok-restart.log")));
    PutNtInstallation();
    std::string const otherBefore = PortSnapshot(SerialPort);

    Remover remover;
    ASSERT_TRUE(remover.ChooseAndConfirm({}));
    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(RestartCaption, box->caption);
    EXPECT_FALSE(sentinel.EndSessionRequested());
    ASSERT_TRUE(winauto::ClickControl(box->hwnd, IDYES));

    EXPECT_TRUE(sentinel.WaitForEndSessionRequest(Timeout)) << sentinel.Log();
    EXPECT_TRUE(remover.WaitForExit().has_value()) << "the program ends after asking";
    ExpectRemovedFor(Ps2Port, otherBefore);
}

// ---- The common programs folder ----

namespace {

// What stands as "Common Programs" under the Shell Folders key; nullopt: no value.
struct ProgramsCase {
    char const* name;
    std::optional<Value> value;
};

void PrintTo(ProgramsCase const& c, std::ostream* out)
{
    *out << c.name;
}

class TessarokProgramsFolder : public testing::TestWithParam<ProgramsCase> {};

std::string const LongPath = "C:\\" + std::string(296, 'p');

}  // namespace

TEST_P(TessarokProgramsFolder, WithoutAUsableValueTheMessageComesOnceAndTheStartMenuStays)
{
    ProgramsCase const& c = GetParam();
    std::vector<unsigned char> const exclamation = ExclamationPixels();
    ASSERT_FALSE(exclamation.empty());
    PutNtInstallation();
    if (c.value) {
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs", *c.value));
    } else {
        ASSERT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, ShellFoldersKey, "Common Programs"));
    }
    std::vector<std::string> const startMenu = FolderTree(DefaultCommonPrograms());

    Remover remover;
    ASSERT_TRUE(remover.ChooseAndConfirm({}));
    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(ProgramName, box->caption);
    EXPECT_EQ(ProgramsText, box->text);
    EXPECT_EQ((Buttons{IDOK}), box->buttons);
    EXPECT_TRUE(IconPixels(box->hwnd) == exclamation) << "the exclamation icon";
    winauto::Screenshot(box->hwnd, std::string("tessarok-no-programs-") + c.name + ".png");
    ASSERT_TRUE(Remover::Answer(*box, IDOK));

    box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(RestartCaption, box->caption) << "the message comes once, then the removal goes on";
    ASSERT_TRUE(Remover::Answer(*box, IDNO));
    EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD));
    EXPECT_EQ(startMenu, FolderTree(DefaultCommonPrograms()));
    EXPECT_FALSE(FolderExists("c:\\Tamrix")) << "the other steps ran";
}

INSTANTIATE_TEST_SUITE_P(
    Value, TessarokProgramsFolder,
    testing::Values(ProgramsCase{"NoValue", std::nullopt},
                    ProgramsCase{"RegSzLongerThan260Bytes", Value{REG_SZ, LongPath + '\0'}},
                    ProgramsCase{"RegBinaryOf260BytesWithoutAZero", Value{REG_BINARY, LongPath.substr(0, 260)}},
                    ProgramsCase{"RegSzOf260CharactersWithoutAZero", Value{REG_SZ, LongPath.substr(0, 260)}},
                    ProgramsCase{"Empty", Value{REG_SZ, std::string(1, '\0')}}),
    testing::PrintToStringParamName());

// ---- Files in use ----

namespace {

struct InUseCase {
    char const* name;
    bool usersFile;
};

void PrintTo(InUseCase const& c, std::ostream* out)
{
    *out << c.name;
}

class TessarokInUse : public testing::TestWithParam<InUseCase> {};

}  // namespace

// The tray utility runs from the install folder, as its log-on entry starts it: its program
// and hook library cannot go now. They go at the restart, and the folder after them unless
// a file the user added keeps it.
TEST_P(TessarokInUse, TheRunningTrayUtilitysFilesGoAtTheRestartWithTheirFolder)
{
    InUseCase const& c = GetParam();
    PutNtInstallation();
    for (char const* file : {"Pupex.exe", "Pupex.dll"})
        ASSERT_TRUE(CopyFileA(winauto::BesideThisProgram(file).c_str(), (std::string("c:\\Tamrix\\") + file).c_str(),
                              FALSE))
            << file;
    if (c.usersFile) {
        ASSERT_TRUE(WriteFileBytes("c:\\Tamrix\\my notes.txt", "the user's own"));
    }
    pupex::Run tray("C:\\Tamrix", "c:\\Tamrix\\Pupex.exe");
    ASSERT_TRUE(tray.WaitUntilRunning());

    Remover remover;
    ASSERT_TRUE(remover.ChooseAndConfirm({}));
    auto box = remover.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(RestartCaption, box->caption);
    EXPECT_EQ(RestartText, box->text);
    EXPECT_EQ("delete c:\\Tamrix\\Pupex.exe\ndelete c:\\Tamrix\\Pupex.dll\ndelete c:\\Tamrix\n",
              winauto::Describe(winauto::PendingFileOperations()));
    std::vector<std::string> staying = {"Pupex.dll", "Pupex.exe"};
    if (c.usersFile)
        staying.push_back("my notes.txt");
    EXPECT_EQ(staying, FolderTree("c:\\Tamrix"));
    ASSERT_TRUE(Remover::Answer(*box, IDNO));
    EXPECT_EQ(0u, remover.WaitForExit().value_or(0xDEAD));

    // The restart: the session ends, then the system does what was left for it.
    EXPECT_TRUE(tray.EndSession().has_value()) << "the tray utility did not end with the session";
    ASSERT_TRUE(winauto::RunRestartFileOperations());
    if (c.usersFile) {
        EXPECT_EQ(std::vector<std::string>{"my notes.txt"}, FolderTree("c:\\Tamrix"));
    } else {
        EXPECT_FALSE(FolderExists("c:\\Tamrix")) << "left: " << ::testing::PrintToString(FolderTree("c:\\Tamrix"));
    }
    EXPECT_EQ("", winauto::Describe(winauto::PendingFileOperations()));
}

INSTANTIATE_TEST_SUITE_P(Table, TessarokInUse,
                         testing::Values(InUseCase{"PackageFilesOnly", false}, InUseCase{"WithAUsersFile", true}),
                         [](testing::TestParamInfo<InUseCase> const& info) { return std::string(info.param.name); });
