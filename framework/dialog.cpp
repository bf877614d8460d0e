#include "framework.h"

#include <commctrl.h>

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_templateId(templateId)
    , m_parent(parent)
{
}

INT_PTR CDialog::DoModal()
{
    m_modal = true;
    INT_PTR result = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                                     m_parent ? m_parent->GetSafeHwnd() : nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::Create()
{
    if (m_hWnd)
        return FALSE;
    m_modal = false;
    return CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(int result)
{
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = static_cast<CDialog*>(FromHandle(window));
    if (!dialog && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(window);
    }
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        dialog->Detach();
        return FALSE;
    }
    return dialog->HandleMessage(message, wParam, lParam);
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_COMMAND:
        // Buttons, menu items and accelerators; the notifications of other controls are not
        // commands.
        if (HIWORD(wParam) > 1)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return OnCommand(LOWORD(wParam));
        }
    }
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnSysCommand(UINT, LPARAM)
{
    return false;
}

bool CDialog::OnCommand(UINT)
{
    return false;
}

BOOL CDialog::CheckRadioButton(int firstId, int lastId, int checkId)
{
    return ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
}

BOOL CDialog::CheckDlgButton(int id, UINT check)
{
    return ::CheckDlgButton(m_hWnd, id, check);
}

UINT CDialog::IsDlgButtonChecked(int id) const
{
    return ::IsDlgButtonChecked(m_hWnd, id);
}

BOOL CDialog::SetDlgItemText(int id, char const* text)
{
    return ::SetDlgItemTextA(m_hWnd, id, text);
}

HICON CDialog::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CProgressCtrl::SetRange(short lower, short upper)
{
    ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CProgressCtrl::SetStep(int step)
{
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, step, 0));
}

int CProgressCtrl::SetPos(int position)
{
    return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, position, 0));
}
