#include "trayicon.h"

namespace {

// The Windows mouse control panel, started by a double-click on the puppy.
char const ControlPanelCommand[] = "control.exe main.cpl";

// The shell of Windows 95 and NT 4.0 knows only the first version of the record.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "the first version is 88 bytes on x86");

} // namespace

CTrayIcon::CTrayIcon(UINT iconId) : m_data()
{
    // Only the first version's fields are filled, so the shell is told the first version's
    // size: 88 bytes on x86, more on x86_64 where the handles are wider. A larger cbSize would
    // make the shell read fields this program never set.
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.uID = iconId;
    m_enabled = 1;
    LoadTip(iconId);
}

CTrayIcon::~CTrayIcon()
{
    ApplyIcon(nullptr);
}

void CTrayIcon::SetCallbackWindow(CWnd* window, UINT message)
{
    m_data.hWnd = window ? window->GetSafeHwnd() : nullptr;
    m_data.uCallbackMessage = message;
}

BOOL CTrayIcon::ShowIconResource(UINT resourceId)
{
    if (resourceId == 0)
        return ApplyIcon(nullptr);
    LoadTip(resourceId);
    HICON icon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
    return ApplyIcon(icon);
}

BOOL CTrayIcon::ApplyIcon(HICON icon)
{
    DWORD operation;
    m_data.uFlags = 0;
    if (icon) {
        operation = m_data.hIcon ? NIM_MODIFY : NIM_ADD;
        m_data.hIcon = icon;
        m_data.uFlags |= NIF_ICON;
    } else {
        if (!m_data.hIcon)
            return TRUE;
        // The shell finds the icon by window and number; the old handle goes along unused.
        operation = NIM_DELETE;
    }
    if (m_data.szTip[0])
        m_data.uFlags |= NIF_TIP;
    if (m_data.uCallbackMessage && m_data.hWnd)
        m_data.uFlags |= NIF_MESSAGE;

    BOOL result = Shell_NotifyIconA(operation, &m_data);
    // A failed add or replace leaves no icon of ours in the tray: the next icon is added anew.
    if (operation == NIM_DELETE || !result)
        m_data.hIcon = nullptr;
    return result;
}

LRESULT CTrayIcon::HandleTrayMessage(WPARAM wParam, LPARAM lParam)
{
    UINT const mouseMessage = static_cast<UINT>(lParam);
    if (wParam != m_data.uID || (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK))
        return 0;

    HMENU menu = LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_data.uID));
    if (!menu)
        return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    LabelEnableItem(popup);

    if (mouseMessage == WM_RBUTTONUP)
        TrackTrayMenu(popup);
    else
        WinExec(ControlPanelCommand, SW_SHOWNORMAL);

    DestroyMenu(menu);
    return 1;
}

void CTrayIcon::LoadTip(UINT stringId)
{
    // LoadString cuts a longer string to fit, terminator included.
    if (LoadStringA(AfxGetInstanceHandle(), stringId, m_data.szTip, TipSize) <= 0)
        m_data.szTip[0] = '\0';
}

void CTrayIcon::LabelEnableItem(HMENU popup) const
{
    UINT const command = GetMenuItemID(popup, 1);
    ModifyMenuA(popup, 1, MF_BYPOSITION | MF_STRING, command, m_enabled ? "&Disable" : "&Enable");
}

void CTrayIcon::TrackTrayMenu(HMENU popup) const
{
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor = {};
    GetCursorPos(&cursor);
    // The owner must be in the foreground, or the menu stays open when the user clicks
    // elsewhere.
    SetForegroundWindow(m_data.hWnd);
    TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, m_data.hWnd, nullptr);
}
