// The copy steps: the installed file set from the medium (the current directory) to its
// places, expanded on the way, with the progress display of the Copy files dialog.
#include <windows.h>
#include <lzexpand.h>

#include "dialogs.h"
#include "paths.h"
#include "restart_replace.h"
#include "state.h"

namespace {

char const InstallFolder[] = "C:\\Tamrix";

// Where the bar stands after each file of the set (1 to 12), with and without the Lumivane
// files; without them the last two files are never copied.
int const ProgressWithLumivane[] = {2, 4, 8, 12, 20, 32, 33, 34, 35, 57, 83, 98};
int const ProgressWithoutLumivane[] = {6, 12, 24, 36, 61, 97, 98, 99, 100, 100, 100, 100};

void ReportCopyError(char const* text)
{
    MessageBoxA(nullptr, text, "Setup Error", MB_ICONEXCLAMATION | MB_OK);
    CopyErrorFlag = 1;
}

void ReportUnreadableSource()
{
    ReportCopyError("Can't read source file to continue copying!\n\nYou must check your path of source file!");
}

// A copy that left the destination unwritten or incomplete is as failed as one without a
// source: the pass must not end in "Install Finished" with files missing.
void ReportUnwritableDestination()
{
    ReportCopyError(
        "Can't write destination file to continue copying!\n\nYou must check your path of destination file!");
}

// The expansion library reads the source only while it copies: a read that fails then is the
// source's fault, any other failure the destination's.
void ReportFailedExpansion(LONG result)
{
    if (result == LZERROR_READ)
        ReportUnreadableSource();
    else
        ReportUnwritableDestination();
}

// Opened without the library's fallback to the name ending in "_", which would put a file
// that cannot be created under another name and report success.
HFILE OpenForWriting(char const* path, OFSTRUCT& info)
{
    return OpenFile(path, &info, OF_CREATE | OF_WRITE);
}

// The copy's result: the bytes written, or a negative LZERROR_* code.
LONG ExpandAndClose(INT input, HFILE output)
{
    LONG const copied = LZCopy(input, output);
    LZClose(output);
    return copied;
}

// A destination in use gets the new file beside it, which the system puts in place at the
// restart. Nothing is left behind when that cannot be arranged.
LONG ExpandForRestart(INT input, char const* destination)
{
    PathBuffer temporary;
    if (!CreateTemporaryBeside(destination, temporary))
        return LZERROR_BADOUTHANDLE;
    OFSTRUCT info = {};
    HFILE const output = OpenForWriting(temporary, info);
    LONG copied = output == HFILE_ERROR ? LZERROR_BADOUTHANDLE : ExpandAndClose(input, output);
    if (copied >= 0 && !ReplaceAtRestart(destination, temporary))
        copied = LZERROR_BADOUTHANDLE;
    if (copied < 0)
        DeleteFileA(temporary);
    return copied;
}

LONG ExpandToDestination(INT input, char const* destination)
{
    OFSTRUCT info = {};
    HFILE const output = OpenForWriting(destination, info);
    if (output != HFILE_ERROR)
        return ExpandAndClose(input, output);
    if (DestinationInUse(destination, info.nErrCode))
        return ExpandForRestart(input, destination);
    return LZERROR_BADOUTHANDLE;
}

// Makes one folder level; one that exists already is fine.
void CreateFolder(char const* folder)
{
    CreateDirectoryA(folder, nullptr);
}

} // namespace

BOOL CCopyFilesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progress.Bind(*this, IDC_COPY_PROGRESS);
    m_progress.SetRange(1, 100);
    m_progress.SetStep(1);
    m_progress.SetPos(1);
    return TRUE;
}

void CCopyFilesDlg::CopyOneFile(char const* destination, char const* source)
{
    SetDlgItemText(IDC_COPY_FROM, source);
    SetDlgItemText(IDC_COPY_TO, destination);

    OFSTRUCT sourceInfo = {};
    // LZOpenFileA takes the name as a mutable pointer but only reads it.
    INT const input = LZOpenFileA(const_cast<char*>(source), &sourceInfo, OF_READ);
    // Every LZERROR_* code is negative; the library opens nothing when it gives one.
    if (input < 0) {
        ReportUnreadableSource();
        return;
    }
    LONG const copied = ExpandToDestination(input, destination);
    LZClose(input);
    if (copied < 0)
        ReportFailedExpansion(copied);
}

// The source is the medium's name after the current directory, read anew for every file. A
// destination that could not be made into a path (nullptr) fails like one that cannot be
// written.
void CCopyFilesDlg::CopyFromMedium(char const* sourceName, char const* destination, int fileNumber)
{
    PathBuffer source;
    if (!CurrentDirectoryPath(source, sourceName)) {
        ReportUnreadableSource();
    } else if (!destination) {
        SetDlgItemText(IDC_COPY_FROM, source);
        SetDlgItemText(IDC_COPY_TO, "");
        ReportUnwritableDestination();
    } else {
        CopyOneFile(destination, source);
    }
    ShowProgressAfter(fileNumber);
}

void CCopyFilesDlg::ShowProgressAfter(int fileNumber)
{
    int const* positions = LumivaneChoice == 1 ? ProgressWithLumivane : ProgressWithoutLumivane;
    ShowProgress(positions[fileNumber - 1]);
}

void CCopyFilesDlg::ShowProgress(int position)
{
    m_progress.SetPos(position);
    char percent[8];
    wsprintfA(percent, "%d%%", position);
    SetDlgItemText(IDC_COPY_PERCENT, percent);
    // No message loop runs between files: paint the new state now.
    UpdateWindow();
}

void CCopyFilesDlg::CopyDriverToSystem()
{
    PathBuffer destination;
    bool const fits = SystemFolderPath(destination, "\\tamrix.vxd");
    CopyFromMedium("\\tamrix.vx_", fits ? destination : nullptr, 1);
}

void CCopyFilesDlg::CopyProgramFiles()
{
    CreateFolder(InstallFolder);
    CopyFromMedium("\\tamrix.vx_", "C:\\Tamrix\\tamrix.vxd", 2);
    CopyFromMedium("\\brindlex.ex_", "C:\\Tamrix\\brindlex.exe", 3);
    CopyFromMedium("\\rodlink.dl_", "C:\\Tamrix\\rodlink.dll", 4);
    CopyFromMedium("\\quorrane.dl_", "C:\\Tamrix\\quorrane.dll", 5);
    CopyFromMedium("\\tamrix.hl_", "C:\\Tamrix\\tamrix.hlp", 6);
    CopyFromMedium("\\tamrix.cn_", "C:\\Tamrix\\tamrix.cnt", 7);
    CopyFromMedium("\\QUELLBOX.INF", "C:\\Tamrix\\QUELLBOX.INF", 8);
}

void CCopyFilesDlg::CopyInfToWindows()
{
    // The INF folder may not exist yet on a system that never had a device installed.
    PathBuffer infFolder;
    PathBuffer otherFolder;
    PathBuffer destination;
    bool const fits = WindowsFolderPath(infFolder, "\\Inf") && JoinPath(otherFolder, infFolder, "\\Other") &&
                      JoinPath(destination, otherFolder, "\\quellbox.inf");
    if (fits) {
        CreateFolder(infFolder);
        CreateFolder(otherFolder);
    }
    CopyFromMedium("\\quellbox.inf", fits ? destination : nullptr, 9);
}

void CCopyFilesDlg::CopyUninstallerAndLumivane()
{
    CreateFolder(InstallFolder);
    CopyFromMedium("\\Pebbroth.ex_", "C:\\Tamrix\\Pebbroth.exe", 10);
    if (LumivaneChoice == 1) {
        CopyFromMedium("\\Pupex.ex_", "C:\\Tamrix\\Pupex.exe", 11);
        CopyFromMedium("\\Pupex.dl_", "C:\\Tamrix\\Pupex.dll", 12);
    }
}
