// The installer's six dialogs.
#pragma once

#include "framework.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    explicit CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {}
    char const* GetRuntimeClassName() const override { return "CAboutDlg"; }
};

class CWelcomeDlg : public CDialog {
public:
    enum { IDD = IDD_WELCOME };
    CWelcomeDlg();
    char const* GetRuntimeClassName() const override { return "CWelcomeDlg"; }

protected:
    BOOL OnInitDialog() override;
    bool OnSysCommand(UINT id, LPARAM lParam) override;

private:
    HICON m_hIcon;
};

class CInstallTypeDlg : public CDialog {
public:
    enum { IDD = IDD_INSTALL_TYPE };
    CInstallTypeDlg() : CDialog(IDD) {}
    char const* GetRuntimeClassName() const override { return "CInstallTypeDlg"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id) override;

private:
    void OnPs2Port();
    void OnSerialPort();
    void OnLumivane();
};

// Shown while the files are copied and the shortcuts made; the copy steps are its own.
class CCopyFilesDlg : public CDialog {
public:
    enum { IDD = IDD_COPY_FILES };
    CCopyFilesDlg() : CDialog(IDD) {}
    char const* GetRuntimeClassName() const override { return "CCopyFilesDlg"; }

    void CopyDriverToSystem();
    void CopyProgramFiles();
    void CopyInfToWindows();
    void CopyUninstallerAndLumivane();
    void CreateStartMenuShortcuts();

protected:
    BOOL OnInitDialog() override;

private:
    void CopyOneFile(char const* destination, char const* source);
    void CopyFromMedium(char const* sourceName, char const* destination, int fileNumber);
    void ShowProgressAfter(int fileNumber);
    void ShowProgress(int position);

    CProgressCtrl m_progress;
};

class CExitSetupDlg : public CDialog {
public:
    enum { IDD = IDD_EXIT_SETUP };
    CExitSetupDlg() : CDialog(IDD) {}
    char const* GetRuntimeClassName() const override { return "CExitSetupDlg"; }
};

class CInstallFinishedDlg : public CDialog {
public:
    enum { IDD = IDD_INSTALL_FINISHED };
    CInstallFinishedDlg() : CDialog(IDD) {}
    char const* GetRuntimeClassName() const override { return "CInstallFinishedDlg"; }
};
