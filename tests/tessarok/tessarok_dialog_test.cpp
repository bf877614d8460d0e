// The remover's port dialog in this process, with the program's own resources linked in:
// every showing starts from the PS/2 port, whatever the one before it chose.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "mousetypedlg.h"
#include "winauto.h"

namespace {

DWORD const Timeout = 10000;
char const DialogTitle[] = "Uninstallation Mouse Driver...";

// One showing as the user met it. The dialog's modal loop runs on the test's thread; the
// user reads and clicks from another, and every read of a button is a message the dialog's
// thread answers, so the choice read after it is the one the dialog's handlers left.
struct Showing {
    int ps2Check = -1;
    int serialCheck = -1;
    int choiceOnOpening = -1;  // RemovalPortChoice once the dialog is up
    int choiceBeforeClosing = -1;
    INT_PTR result = 0;
};

int CheckOf(HWND dialog, int id)
{
    auto button = winauto::FindControl(dialog, id);
    return button ? button->check : -1;
}

Showing Show(CMouseTypeDlg& dialog, std::vector<int> const& clicks, int closeWith)
{
    Showing seen;
    std::thread user([&] {
        HWND shown = winauto::WaitForVisibleWindow("#32770", DialogTitle, Timeout, GetCurrentProcessId());
        if (!shown)
            return;
        seen.ps2Check = CheckOf(shown, IDC_PS2_PORT);
        seen.serialCheck = CheckOf(shown, IDC_SERIAL_PORT);
        seen.choiceOnOpening = RemovalPortChoice;
        for (int id : clicks) {
            winauto::ClickControl(shown, id);
            winauto::WaitUntil(Timeout, [&] { return CheckOf(shown, id) == BST_CHECKED; });
        }
        seen.choiceBeforeClosing = RemovalPortChoice;
        if (!winauto::ClickControl(shown, closeWith))
            PostMessageA(shown, WM_CLOSE, 0, 0);
    });
    seen.result = dialog.DoModal();
    user.join();
    return seen;
}

} // namespace

TEST(TessarokDialog, EveryShowingStartsFromThePs2PortWhateverTheLastOneChose)
{
    EXPECT_EQ(0, RemovalPortChoice) << "at program start";
    CMouseTypeDlg dialog;

    Showing const first = Show(dialog, {IDC_SERIAL_PORT}, IDOK);
    EXPECT_EQ(IDOK, first.result);
    EXPECT_EQ(BST_CHECKED, first.ps2Check);
    EXPECT_EQ(BST_UNCHECKED, first.serialCheck);
    EXPECT_EQ(0, first.choiceOnOpening);
    EXPECT_EQ(1, first.choiceBeforeClosing) << "the serial port chosen";
    EXPECT_EQ(1, RemovalPortChoice) << "the choice stands once the dialog is gone";

    Showing const second = Show(dialog, {}, IDCANCEL);
    EXPECT_EQ(IDCANCEL, second.result);
    EXPECT_EQ(BST_CHECKED, second.ps2Check) << "PS/2 checked again";
    EXPECT_EQ(BST_UNCHECKED, second.serialCheck);
    EXPECT_EQ(0, second.choiceOnOpening) << "the choice is reset as the dialog opens";
    EXPECT_EQ(0, second.choiceBeforeClosing);
    EXPECT_EQ(0, RemovalPortChoice);
}
