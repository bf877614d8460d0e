// The small application framework that the package's programs are built on: an application
// object whose start-up routine holds the program's logic, a frame window loaded from one
// resource number, modal and modeless dialogs from templates, and command targets.
//
// Routing, in one step from a message to its handler: each window class overrides
// WindowProc (frames) or OnCommand/OnSysCommand (dialogs) with a plain switch; whatever it
// does not handle goes to the base class. A command that a frame does not handle goes on to
// the application object.
#pragma once

#include <windows.h>

#include "frameres.h"

// ---- Command targets --------------------------------------------------------------------

// Base of every object that handles commands, with or without a window.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(CCmdTarget const&) = delete;
    CCmdTarget& operator=(CCmdTarget const&) = delete;
    virtual ~CCmdTarget() = default;

    // Dynamic type information: the class's own name, overridden by every class that has one.
    virtual char const* GetRuntimeClassName() const { return "CCmdTarget"; }

    // A command (menu item, button, accelerator); true when handled.
    virtual bool OnCommand(UINT id);
};

// ---- Windows ----------------------------------------------------------------------------

class CWnd : public CCmdTarget {
public:
    char const* GetRuntimeClassName() const override { return "CWnd"; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The framework object behind a window of this program, or nullptr.
    static CWnd* FromHandle(HWND window);

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    // Destroys the window; nothing happens when there is none.
    virtual BOOL DestroyWindow();

protected:
    CWnd() = default;

    // Called when the window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

    // Ties the window to this object while it exists.
    void Attach(HWND window);
    void Detach();

    HWND m_hWnd = nullptr;
};

// A top-level window with a title, a menu and an icon from one resource number.
class CFrameWnd : public CWnd {
public:
    char const* GetRuntimeClassName() const override { return "CFrameWnd"; }

    // Creates the window, without an owner: the title is the text of string `resourceId`
    // before its first "\n" when `style` holds FWS_ADDTOTITLE; the menu and the window icon are
    // the resources of that number. The window is visible only when `style` holds WS_VISIBLE.
    // False when the window cannot be created, OnCreate refusing it included; the object is
    // then already deleted.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE);

protected:
    // A frame lives on the heap and is deleted with its window.
    CFrameWnd() = default;
    void PostNcDestroy() override;

    // The frame's message switch; the default handling of everything it does not take.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // WM_CREATE: 0 to go on, -1 to refuse the creation.
    virtual int OnCreate(CREATESTRUCTA* create);
    // WM_CLOSE: destroys the window; the program ends with its main window.
    virtual void OnClose();

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// ---- Dialogs ----------------------------------------------------------------------------

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    char const* GetRuntimeClassName() const override { return "CDialog"; }

    // Runs the dialog modally: the id of the button that ended it (IDOK, IDCANCEL for the
    // Esc key and the close box too), or -1 when it cannot be created. A dialog object may be
    // shown any number of times.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless from the constructor's template, without an owner; visible
    // when its template says so.
    BOOL Create();
    // Ends a modal showing with this result.
    void EndDialog(int result);

    // Control helpers.
    BOOL CheckRadioButton(int firstId, int lastId, int checkId);
    BOOL CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    BOOL SetDlgItemText(int id, char const* text);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL bigIcon);

protected:
    // WM_INITDIALOG: TRUE lets the system place the focus.
    virtual BOOL OnInitDialog();
    // Buttons IDOK and IDCANCEL (the Esc key and the close box arrive as IDCANCEL).
    virtual void OnOK();
    virtual void OnCancel();
    // WM_SYSCOMMAND: true when handled, false for the system's own handling.
    virtual bool OnSysCommand(UINT id, LPARAM lParam);
    // WM_COMMAND other than IDOK and IDCANCEL; true when handled.
    bool OnCommand(UINT id) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modal = false;
};

// A progress bar control of a dialog.
class CProgressCtrl {
public:
    // Binds to the dialog's control; done in the dialog's OnInitDialog.
    void Bind(CDialog& dialog, int id) { m_hWnd = dialog.GetDlgItem(id); }
    void SetRange(short lower, short upper);
    int SetStep(int step);
    int SetPos(int position);

private:
    HWND m_hWnd = nullptr;
};

// ---- The application --------------------------------------------------------------------

class CWinApp : public CCmdTarget {
public:
    // One static instance per program. Without a name the application name is string
    // AFX_IDS_APP_TITLE or, when the program has none, its file name without extension.
    explicit CWinApp(char const* appName = nullptr);
    ~CWinApp() override;
    char const* GetRuntimeClassName() const override { return "CWinApp"; }

    // The program's start-up routine: true runs the message loop with the main window,
    // false ends the program at once.
    virtual BOOL InitInstance() { return FALSE; }

    // ID_APP_EXIT closes the main window.
    bool OnCommand(UINT id) override;

    // Switches the dialogs of the program to the look of the system's own controls.
    BOOL Enable3dControls();

    // Called once by the entry point: the start-up routine, then the message loop.
    int Run();

    char const* m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    char m_appName[256] = "";
};

// The program's one application object, and its module.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
