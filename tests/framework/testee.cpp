// A program on the framework for the framework's tests: what it does is chosen on the
// command line, and every step it takes is appended to a log the test reads.
//   testee.exe modal LOG        a dialog shown modally twice, then a missing template
//   testee.exe modeless LOG     a modeless dialog created, destroyed twice, created again
//   testee.exe frame LOG        a hidden frame as main window, until it is closed
//   testee.exe plainframe LOG   the same without FWS_ADDTOTITLE
//   testee.exe failframe LOG    a frame whose creation is refused
//   testee.exe childframe LOG   a frame the system refuses before its window exists (a child
//                               window without a parent)
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework.h"
#include "resource.h"

namespace {

std::string logPath;

void Log(std::string const& line)
{
    if (FILE* log = std::fopen(logPath.c_str(), "a")) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

class CModelessDlg : public CDialog {
public:
    CModelessDlg() : CDialog(IDD_MODELESS) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_progress.Bind(*this, IDC_PROGRESS);
        m_progress.SetRange(1, 100);
        m_progress.SetStep(1);
        m_progress.SetPos(42);
        return TRUE;
    }
    void OnOK() override
    {
        Log("modeless OK");
        CDialog::OnOK();
        PostQuitMessage(0);
    }

private:
    CProgressCtrl m_progress;
};

class CTestFrame : public CFrameWnd {
public:
    explicit CTestFrame(bool refuse) : m_refuse(refuse) {}
    ~CTestFrame() override { Log("frame deleted"); }
    char const* GetRuntimeClassName() const override { return "CTestFrame"; }

protected:
    int OnCreate(CREATESTRUCTA* create) override
    {
        if (CFrameWnd::OnCreate(create) == -1 || m_refuse)
            return -1;
        return 0;
    }
    void OnClose() override
    {
        Log("frame close");
        CFrameWnd::OnClose();
    }
    bool OnCommand(UINT id) override
    {
        if (id != ID_FRAME_OWN)
            return false;
        Log("frame command " + std::to_string(id));
        return true;
    }

private:
    bool m_refuse;
};

class CTesteeApp : public CWinApp {
public:
    BOOL InitInstance() override;
    bool OnCommand(UINT id) override
    {
        Log("app command " + std::to_string(id));
        return CWinApp::OnCommand(id);
    }

private:
    void ShowModalTwice();
    void CreateModeless();
    BOOL LoadMainFrame(DWORD style, bool refuse);
};

CTesteeApp theApp;

BOOL CTesteeApp::InitInstance()
{
    Enable3dControls();
    int argc = __argc;
    char** argv = __argv;
    if (argc < 3)
        return FALSE;
    logPath = argv[2];
    std::string const scenario = argv[1];
    Log(std::string("app name ") + m_pszAppName);
    if (scenario == "modal") {
        ShowModalTwice();
        return FALSE;
    }
    if (scenario == "modeless") {
        CreateModeless();
        return TRUE;  // the loop runs until the dialog's OK
    }
    if (scenario == "frame")
        return LoadMainFrame(WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, false);
    if (scenario == "plainframe")
        return LoadMainFrame(WS_OVERLAPPEDWINDOW, false);
    if (scenario == "failframe")
        return LoadMainFrame(WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, true);
    if (scenario == "childframe")
        return LoadMainFrame(WS_CHILD | FWS_ADDTOTITLE, false);
    return FALSE;
}

void CTesteeApp::ShowModalTwice()
{
    CDialog dialog(IDD_MODAL);
    for (int showing = 1; showing <= 2; ++showing)
        Log("modal result " + std::to_string(dialog.DoModal()));
    Log("missing result " + std::to_string(CDialog(IDD_MISSING).DoModal()));
}

void CTesteeApp::CreateModeless()
{
    static CModelessDlg dialog;
    Log("create " + std::to_string(dialog.Create()));
    Log("destroy " + std::to_string(dialog.DestroyWindow()));
    Log("destroy again " + std::to_string(dialog.DestroyWindow()));
    Log("create again " + std::to_string(dialog.Create()));
}

BOOL CTesteeApp::LoadMainFrame(DWORD style, bool refuse)
{
    auto* frame = new CTestFrame(refuse);
    Log(std::string("class ") + frame->GetRuntimeClassName());
    BOOL loaded = frame->LoadFrame(IDR_FRAME, style);
    Log("load frame " + std::to_string(loaded));
    if (!loaded)
        return FALSE;
    // Class data of another process's window is out of a test's reach under Wine.
    Log("icon " + std::to_string(GetClassLongPtrA(frame->GetSafeHwnd(), GCLP_HICON) != 0));
    m_pMainWnd = frame;
    return TRUE;
}

} // namespace
