#include "dialogs.h"

#include "state.h"

// ---- Welcome ----------------------------------------------------------------------------

CWelcomeDlg::CWelcomeDlg()
    : CDialog(IDD)
    , m_hIcon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

BOOL CWelcomeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    char about[64];
    if (LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
        HMENU systemMenu = GetSystemMenu(FALSE);
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;
}

bool CWelcomeDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    // The system keeps the low four bits of a system command for itself.
    if ((id & 0xFFF0) != IDM_ABOUTBOX)
        return CDialog::OnSysCommand(id, lParam);
    CAboutDlg about(this);
    about.DoModal();
    return true;
}

// ---- Select Installation Type -----------------------------------------------------------

BOOL CInstallTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Every showing starts from the defaults, also after a Resume.
    OnSerialPort();
    CheckDlgButton(IDC_LUMIVANE, BST_CHECKED);
    LumivaneChoice = 1;
    return TRUE;
}

bool CInstallTypeDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDC_PS2_PORT:
        OnPs2Port();
        return true;
    case IDC_SERIAL_PORT:
        OnSerialPort();
        return true;
    case IDC_LUMIVANE:
        OnLumivane();
        return true;
    }
    return CDialog::OnCommand(id);
}

void CInstallTypeDlg::OnPs2Port()
{
    CheckRadioButton(IDC_PS2_PORT, IDC_SERIAL_PORT, IDC_PS2_PORT);
    PortChoice = 0;
}

void CInstallTypeDlg::OnSerialPort()
{
    CheckRadioButton(IDC_PS2_PORT, IDC_SERIAL_PORT, IDC_SERIAL_PORT);
    PortChoice = 1;
}

void CInstallTypeDlg::OnLumivane()
{
    if (IsDlgButtonChecked(IDC_LUMIVANE)) {
        CheckDlgButton(IDC_LUMIVANE, BST_CHECKED);
        LumivaneChoice = 1;
    } else {
        CheckDlgButton(IDC_LUMIVANE, BST_UNCHECKED);
        LumivaneChoice = 0;
    }
}
