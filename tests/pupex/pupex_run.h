// Running the real Pupex.exe from a test: the machine's registry it reads, a copy of the
// program in a folder of its own, the block it creates, and its window and tray icon.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "machine.h"
#include "winauto.h"

namespace pupex {

DWORD const Timeout = winauto::kProgramTimeoutMs;
char const FrameTitle[] = "Lumivane Application";
char const PuppyTip[] = "Double-click the puppy to show Mouse Control Panel.";

using Block = std::array<DWORD, 11>;

// ---- The machine's registry ----

// HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Services\<service>"; a null start deletes the
// key, an absent one leaves the key without a "Start" value.
void SetServiceStart(char const* service, std::optional<machine::Value> start);
// Only the serial driver starts with the system.
void ActivateSerialDriver();

// The mouse property-sheet handler's registration that an inactive start removes.
extern char const* const HandlerClassKey;         // under HKEY_CLASSES_ROOT
extern char const* const HandlerServerKey;        // under HKEY_CLASSES_ROOT
extern char const* const HandlerSheetKey;         // under HKEY_LOCAL_MACHINE
void RegisterHandler();
// Which of the three keys exist: class, its InProcServer32, the sheet handler.
std::string HandlerKeysPresent();

extern char const* const ParametersKey;           // under HKEY_LOCAL_MACHINE

// ---- The stand-in control panel's record ----

struct ControlRecord {
    DWORD starts = 0;
    std::string commandLine;
    DWORD showWindow = 0;
};
ControlRecord ReadControlRecord();

// ---- The program ----

// A folder of its own under the temporary folder, holding a copy of Pupex.exe and the files
// asked for from the test's folder (a path with a folder copies that folder's file under its
// own name). Removed with the object.
class ProgramFolder {
public:
    explicit ProgramFolder(std::string const& name, std::vector<std::string> const& files);
    ~ProgramFolder();
    ProgramFolder(ProgramFolder const&) = delete;
    ProgramFolder& operator=(ProgramFolder const&) = delete;
    std::string Exe() const { return path_ + "\\Pupex.exe"; }
    std::string const& Path() const { return path_; }

private:
    std::string path_;
};

// What still stood as the program ended: seen while it was held at its call to ExitProcess,
// after its own clean-up and before the system takes back what the process held.
struct AtExit {
    bool blockHeld = false;    // "PUPEX_SHARE_DATA" still opened by its name
    bool frameExists = false;  // a window of the program titled "Lumivane Application"
};

// How a run is watched. Exit starts the program under this test as its debugger, which stops
// it at ExitProcess for that look.
enum class Watch { Nothing, Exit };

// One run of the program; ended with the session's end if it still runs at the end.
class Run : public winauto::ProgramRun {
public:
    // Starts the program (by default the one beside this test) with these arguments.
    explicit Run(std::string const& arguments = {}, std::string const& exe = {}, Watch watch = Watch::Nothing);
    ~Run();
    Run(Run const&) = delete;
    Run& operator=(Run const&) = delete;

    // Waits until the program runs: its hidden frame is created, the hook library started.
    // The frame; nullptr when the program ended or did not get that far.
    HWND WaitUntilRunning();
    HWND Frame() const { return frame_; }
    // Ends the program the way the end of the session does; its exit code.
    std::optional<DWORD> EndSession() const { return ProgramRun::EndSession(frame_); }
    // Under Watch::Exit, once the program has ended: what it left standing at its end;
    // nullopt when it did not end in time or never came to ExitProcess.
    std::optional<AtExit> LeftAtExit();
    // Sends the frame a command, as another program would.
    void PostCommand(UINT id) const;
    // The tray callback sent straight to the frame; its result, or nullopt when it did not
    // return in time.
    std::optional<LRESULT> SendTrayMessage(WPARAM iconNumber, UINT mouseMessage, DWORD timeoutMs = 2000) const;

private:
    // A plain start, or one under this test as the program's debugger.
    ProgramRun Start(std::string const& commandLine, std::string const& folder, Watch watch);

    HWND frame_ = nullptr;
    DWORD hookStartsBefore_ = 0;
    // The debugger's thread under Watch::Exit, and what it saw; read once the thread is done.
    std::thread watcher_;
    std::optional<AtExit> atExit_;
};

// The block as another process sees it; nullopt when no process holds it.
std::optional<Block> ReadBlock();
// Writes one word of the block from outside.
bool WriteBlockWord(int word, DWORD value);
std::string Describe(Block const& block);
Block BlockFromBytes(std::vector<unsigned char> const& bytes);

// The puppy's tray icon window; nullptr when it does not show in time.
HWND WaitForPuppy(DWORD timeoutMs = Timeout);

}  // namespace pupex
