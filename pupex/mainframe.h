// The tray utility's only window: hidden, it owns the tray icon, creates and fills the shared
// block "PUPEX_SHARE_DATA" and starts the Lumivane hook library "Pupex.dll".
#pragma once

#include <windows.h>

#include "framework.h"
#include "trayicon.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    char const* GetRuntimeClassName() const override { return "CMainFrame"; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id) override;

private:
    int OnCreate(CREATESTRUCTA* create) override;
    void OnClose() override;
    void OnEndSession(BOOL ending);

    void OnEnableDisable();
    void OnChangeIcon();
    void OnOpenWindow();

    // Creation steps; false sends the creation down the failure path.
    bool CreateSharedBlock();
    void FillSharedBlock();
    bool StartHookLibrary();
    void ReleaseSharedBlock();
    void TearDown();

    CTrayIcon m_trayIcon;
    DWORD m_iconShown = 0;
    // Set only when the session ends: WM_CLOSE then tears the program down instead of hiding.
    DWORD m_shutdown = 0;
};
