// The remover's one screen: which port's driver is to be removed.
#pragma once

#include "framework.h"
#include "resource.h"

// 0 = PS/2 mouse port, 1 = serial mouse port; only the dialog's radio buttons change it.
extern int RemovalPortChoice;

class CMouseTypeDlg : public CDialog {
public:
    enum { IDD = IDD_MOUSE_TYPE };

    CMouseTypeDlg() : CDialog(IDD) {}
    char const* GetRuntimeClassName() const override { return "CMouseTypeDlg"; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id) override;

private:
    void OnPs2Port();
    void OnSerialPort();
};
