#include "mousetypedlg.h"

int RemovalPortChoice = 0;

BOOL CMouseTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Every showing starts from the PS/2 port, whatever an earlier one chose.
    CheckRadioButton(IDC_PS2_PORT, IDC_SERIAL_PORT, IDC_PS2_PORT);
    RemovalPortChoice = 0;
    return TRUE;
}

bool CMouseTypeDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDC_PS2_PORT:
        OnPs2Port();
        return true;
    case IDC_SERIAL_PORT:
        OnSerialPort();
        return true;
    default:
        return CDialog::OnCommand(id);
    }
}

void CMouseTypeDlg::OnPs2Port()
{
    CheckRadioButton(IDC_PS2_PORT, IDC_SERIAL_PORT, IDC_PS2_PORT);
    RemovalPortChoice = 0;
}

void CMouseTypeDlg::OnSerialPort()
{
    CheckRadioButton(IDC_PS2_PORT, IDC_SERIAL_PORT, IDC_SERIAL_PORT);
    RemovalPortChoice = 1;
}
