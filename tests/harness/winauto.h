// Drives the real programs from a test process, the way a user would: their windows,
// dialog controls, message boxes, popup menus and tray icon, plus screenshots, processes,
// per-program Windows versions and end-of-session requests. Written for Wine under Xvfb.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace winauto {

// ---- Waiting ----

// Checks the condition every 20 ms until it holds (true) or the time is up (false).
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition);

// ---- Top-level windows ----
// Hidden ones included. A null class or title matches any; a processId of 0 matches any
// process, another keeps tests that run side by side from seeing each other's windows.

// The first top-level window with this class and title, or nullptr.
HWND FindTopWindow(const char* className, const char* title, DWORD processId = 0);
// Every top-level window with this class and title.
std::vector<HWND> FindTopWindows(const char* className, const char* title, DWORD processId = 0);
// Polls until such a window exists; nullptr on timeout.
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs,
                   DWORD processId = 0);
// Polls until such a window exists and is shown (a dialog is, once WM_INITDIALOG is done).
HWND WaitForVisibleWindow(const char* className, const char* title, DWORD timeoutMs,
                          DWORD processId = 0);
// Polls until the window is destroyed; false on timeout.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);
// Polls until no such window exists; false on timeout.
bool WaitForWindowGone(const char* className, const char* title, DWORD timeoutMs,
                       DWORD processId = 0);
// The window's class name.
std::string WindowClass(HWND window);
// The window's text, asked with WM_GETTEXT (so edit controls of other processes work too).
std::string WindowText(HWND window);
// The id of the process that owns the window.
DWORD WindowProcessId(HWND window);

// ---- Dialog controls ----

struct Control {
    HWND hwnd = nullptr;
    int id = 0;                 // GetDlgCtrlID
    std::string className;
    std::string text;           // keeps the "&" of mnemonics
    DWORD style = 0;
    int check = -1;             // BM_GETCHECK for buttons, -1 for other classes
    bool enabled = false;
    bool visible = false;
    int position = 0;           // progress bars only
    int rangeLow = 0;           // progress bars only
    int rangeHigh = 0;          // progress bars only
};

// Every child control of the dialog, in creation order.
std::vector<Control> ReadControls(HWND dialog);
// The control with this id.
std::optional<Control> FindControl(HWND dialog, int id);
// The text of the control with this id; empty when there is none.
std::string ControlText(HWND dialog, int id);

// ---- Input ----

// Posts BM_CLICK; false when the control is missing, disabled or hidden.
bool Click(HWND control);
// Clicks the dialog's control with this id.
bool ClickControl(HWND dialog, int id);
// Posts Esc to the dialog's focused control, so the dialog manager handles it as the key.
bool PressEscape(HWND dialog);
// Posts the close box's WM_SYSCOMMAND SC_CLOSE; false when the window has no close box.
bool PressCloseBox(HWND window);
// Posts a key press (down and up) to one window.
bool PostKey(HWND window, WORD virtualKey);
// The window with keyboard focus in the thread that owns the given window.
HWND FocusedWindow(HWND window);

// ---- Message boxes ----

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;           // the static with id 0xFFFF
    std::vector<int> buttons;   // visible buttons' ids: IDOK, IDCANCEL, IDYES, IDNO...
    bool hasIcon = false;
};

// Reads a message box; nullopt when the window is not one.
std::optional<MessageBoxInfo> ReadMessageBox(HWND box);
// Polls for a shown message box with this caption (null: any) and reads it.
std::optional<MessageBoxInfo> WaitForMessageBox(const char* caption, DWORD timeoutMs,
                                               DWORD processId = 0);

// ---- Popup menus (Wine keeps menu items in the owning process: choose by keys) ----

// Polls for a shown popup menu window ("#32768").
HWND WaitForPopupMenu(DWORD timeoutMs, DWORD processId = 0);
// Chooses the item at this index, counting from 0 and skipping separators.
bool ChooseMenuItem(HWND menu, int index);
// Chooses the item whose mnemonic is this letter.
bool ChooseMenuMnemonic(HWND menu, char letter);
// Closes the menu without choosing, as Esc does.
bool DismissMenu(HWND menu);

// ---- Notification area (Wine's standalone tray under Xvfb) ----

struct TrayTip {
    HWND icon = nullptr;        // the icon window the tip belongs to
    std::string text;
};

// The windows of the tray icons, one per icon.
std::vector<HWND> TrayIconWindows();
int TrayIconCount();
// Polls until exactly this many icons are shown; false on timeout.
bool WaitForTrayIconCount(int count, DWORD timeoutMs);
// Polls for the icon whose tip is this text; nullptr on timeout.
HWND WaitForTrayIcon(const std::string& tip, DWORD timeoutMs);
// Posts a mouse message (WM_RBUTTONUP, WM_LBUTTONDBLCLK...) at the icon's centre.
bool PostTrayMouse(HWND icon, UINT mouseMessage);
// Posts button down then up, as a right click.
bool RightClickTrayIcon(HWND icon);
// Posts down, up, double-click and up, as a double click.
bool DoubleClickTrayIcon(HWND icon);
// Every tip of every icon, read from explorer's tooltip windows.
std::vector<TrayTip> TrayTips();
// The tip of one icon window; empty when it has none.
std::string TrayIconTip(HWND icon);

// ---- Screenshots ----

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;   // top row first, 3 bytes a pixel
};

// The whole screen.
Image CaptureScreen();
// The window's rectangle on the screen (what covers it included).
Image CaptureWindow(HWND window);
// The window's client area on the screen.
Image CaptureClient(HWND window);
// Writes an uncompressed 24-bit PNG.
bool WritePng(const std::string& path, const Image& image);
bool SaveScreenPng(const std::string& path);
// Where a test keeps a screenshot so people can look at it: the session's screenshot folder
// in the build tree (TAMRIX_SCREENSHOTS), or the temporary folder outside a session.
std::string ScreenshotPath(const std::string& fileName);
bool SaveWindowPng(HWND window, const std::string& path);
// Polls until the window's client area is drawn: more than one colour where its contents
// go. Wine shows what a program painted when that program next waits for messages, so a
// window just shown may still be blank. False when the time is up or the window is gone.
bool WaitForPaint(HWND window, DWORD timeoutMs);
// The window's picture once it is drawn and stays the same twice in a row, for pictures that
// are compared or taken after a change (a window moved off it).
Image SettledPicture(HWND window, DWORD timeoutMs);
// The window, once painted (two seconds at most), written to this path as a PNG. A failed
// picture prints a line saying why and gives false.
bool SavePaintedWindowPng(HWND window, const std::string& path);
// A picture of the window for people to look at, under ScreenshotPath(fileName). Pictures
// are not what a test checks: a failed one prints a line and the test goes on.
void Screenshot(HWND window, const std::string& fileName);

// ---- Processes ----

// A started program; the destructor ends it if it still runs, so a failed test leaves
// nothing behind.
class Process {
public:
    Process() = default;
    Process(HANDLE process, DWORD id);
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE Handle() const { return handle_; }
    DWORD Id() const { return id_; }
    bool IsRunning() const;
    // The exit code, or nullopt when it still runs after the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Ends it if it still runs and waits until it is gone.
    void Terminate();

private:
    void Release();

    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Starts a command line in a working directory (empty: the current one); an empty
// Process on failure.
Process StartProcess(const std::string& commandLine, const std::string& workingDir = {});
// The full path of a file in the folder of the running test program.
std::string BesideThisProgram(const std::string& fileName);

// ---- The program under test ----

// How long a test waits for a program under test to show a window, answer or end.
constexpr DWORD kProgramTimeoutMs = 15000;

// The program's path in quotes, then its arguments: a command line for ProgramRun.
std::string CommandLine(const std::string& program, const std::string& arguments = {});

// One run of a program under test: started, its windows waited for, ended. The suites put
// their program's own steps on top of it. The destructor terminates a program still running,
// so a failed test leaves nothing behind.
class ProgramRun {
public:
    ProgramRun() = default;
    // Starts the command line in the working folder (empty: this program's current one).
    explicit ProgramRun(const std::string& commandLine, const std::string& workingDir = {});
    // Takes over a program started another way (under a debugger).
    explicit ProgramRun(winauto::Process process);

    explicit operator bool() const { return static_cast<bool>(process_); }
    DWORD Id() const { return process_.Id(); }
    const winauto::Process& Process() const { return process_; }
    bool IsRunning() const { return process_.IsRunning(); }

    // The program's top-level window with this class and title (null: any), once it exists,
    // hidden ones included; nullptr on timeout or when the program has ended.
    HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = kProgramTimeoutMs) const;
    // The same, once shown (a dialog is, once WM_INITDIALOG is done).
    HWND WaitForVisibleWindow(const char* className, const char* title,
                              DWORD timeoutMs = kProgramTimeoutMs) const;
    // The program's dialog with this title, once shown.
    HWND WaitForDialog(const char* title, DWORD timeoutMs = kProgramTimeoutMs) const;
    // The program's next shown message box with this caption (null: any), read.
    std::optional<MessageBoxInfo> WaitForMessageBox(const char* caption = nullptr,
                                                    DWORD timeoutMs = kProgramTimeoutMs) const;
    // The exit code, or nullopt when it still runs after the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kProgramTimeoutMs) const;
    // Ends the program the way the end of the session does: WM_ENDSESSION (TRUE) sent to its
    // window, then the wait for its end. Its exit code; nullopt when it did not end in time.
    std::optional<DWORD> EndSession(HWND window, DWORD timeoutMs = kProgramTimeoutMs) const;
    // Ends it if it still runs and waits until it is gone.
    void Terminate() { process_.Terminate(); }

private:
    winauto::Process process_;
};

// ---- Windows version per program (Wine reads it when the program starts) ----

// Writes HKCU\Software\Wine\AppDefaults\<exeFileName>\Version ("win95", "nt40"...).
bool SetWindowsVersion(const std::string& exeFileName, const std::string& version);
// Removes that value, back to the prefix's default.
bool ClearWindowsVersion(const std::string& exeFileName);

// ---- End-of-session requests (ExitWindowsEx) ----

// The window class of endsession_sentinel.exe's hidden window.
constexpr char kSentinelWindowClass[] = "EndSessionSentinel";

// Runs endsession_sentinel.exe, which logs every WM_QUERYENDSESSION and WM_ENDSESSION its
// hidden top-level window receives.
class EndSessionSentinel {
public:
    // Starts the sentinel (by default the one beside this program) with a fresh log and
    // waits until its window exists.
    bool Start(const std::string& logPath, DWORD timeoutMs = 5000,
               const std::string& sentinelExe = {});
    HWND Window() const { return window_; }
    std::string Log() const;
    // Whether the log shows a WM_QUERYENDSESSION: a restart or log-off was requested.
    bool EndSessionRequested() const;
    bool WaitForEndSessionRequest(DWORD timeoutMs) const;

private:
    Process process_;
    std::string logPath_;
    HWND window_ = nullptr;
};

// ---- The restart's file operations ----

// A file or folder held open without sharing while the object lives, as a running program
// holds its own files: no other process can write, delete or remove it.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsHeld() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE handle_;
};

// One file operation left for the restart: `source` replaces `target` (moved onto it), or,
// with an empty target, `source` is deleted. Names as the record holds them.
struct RestartFileOperation {
    std::string source;
    std::string target;
    bool replaceExisting = false;
};
// The operations recorded in PendingFileRenameOperations under HKEY_LOCAL_MACHINE
// "SYSTEM\CurrentControlSet\Control\Session Manager" (Windows NT), in order, the "\??\"
// before each name left out.
std::vector<RestartFileOperation> PendingFileOperations();
// The lines of the "[rename]" section of WININIT.INI in the Windows folder (Windows 95), in
// order: TARGET=SOURCE, each a replacement; a TARGET of "NUL" deletes the source.
std::vector<RestartFileOperation> WininitRenames();
// The operations one a line, for an expectation that shows them all when it fails.
std::string Describe(const std::vector<RestartFileOperation>& operations);

// Does with the prefix what Windows does at a restart before any program runs, as Wine's
// "wineboot -r" does it: carries out the replacements and deletions left for the restart in
// the "[rename]" section of WININIT.INI (Windows 95) and in PendingFileRenameOperations
// (Windows NT), and removes both records. It ends no program: end the ones that hold those
// files first, as the restart would. False when wineboot failed or did not end in time.
bool RunRestartFileOperations(DWORD timeoutMs = 30000);
// Whether this 32-bit program runs under WoW64, where its system folder "system32" is
// redirected to syswow64 while the restart works on the system's own system32, as on a 64-bit
// Windows: an operation left for the restart on the system folder then acts on another file.
// Windows 95 and NT 4.0 have no such redirection.
bool SystemFolderIsRedirected();

}  // namespace winauto
