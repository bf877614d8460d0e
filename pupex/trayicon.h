// The puppy in the notification area: one icon, its tip text, and the menu or the mouse
// control panel that the mouse on the icon brings up.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework.h"

class CTrayIcon : public CCmdTarget {
public:
    explicit CTrayIcon(UINT iconId);
    ~CTrayIcon() override;
    char const* GetRuntimeClassName() const override { return "CTrayIcon"; }

    // The window that owns the icon and receives `message` for the mouse on it; nothing is
    // sent to the shell yet.
    void SetCallbackWindow(CWnd* window, UINT message);
    // Shows icon resource `resourceId` with string `resourceId` as its tip; 0, or a number
    // without an icon, removes the icon. The shell's result.
    BOOL ShowIconResource(UINT resourceId);
    // Adds, replaces or (with null) removes the icon. The shell's result; success without
    // asking the shell when there is nothing to remove.
    BOOL ApplyIcon(HICON icon);
    // The owner's callback message: the tray menu on a right-button release, the mouse
    // control panel on a double-click. 1 when handled, 0 when not.
    virtual LRESULT HandleTrayMessage(WPARAM wParam, LPARAM lParam);

    // The Lumivane switch as this object last set it; it decides the tray menu's label.
    BOOL IsEnabled() const { return m_enabled != 0; }
    void FlipEnabled() { m_enabled = m_enabled ? 0 : 1; }

    bool IsIconShown() const { return m_data.hIcon != nullptr; }
    char const* Tip() const { return m_data.szTip; }

private:
    // The first version of the record: its tip holds 64 bytes with the terminator.
    static int const TipSize = 64;

    void LoadTip(UINT stringId);
    void LabelEnableItem(HMENU popup) const;
    void TrackTrayMenu(HMENU popup) const;

    NOTIFYICONDATAA m_data;
    DWORD m_enabled;
};
