// The tray icon object of the tray utility on a window of this test, with the program's own
// resources linked in: what the shell is asked, the tip it holds, and the tray menu as the
// program itself sees it (Wine shows another process nothing of a menu's items).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "trayicon.h"
#include "traymessage.h"
#include "winauto.h"

namespace {

DWORD const Timeout = 10000;
UINT const LongTip = 900;
std::string const PuppyTip = "Double-click the puppy to show Mouse Control Panel.";
std::string const SuspendedTip = "To flush, right-click then Suspend Skipwise.";

// A framework window for the icon to report to; the test's own thread handles the callbacks.
class OwnerWindow : public CWnd {
public:
    OwnerWindow()
    {
        Attach(CreateWindowExA(0, "STATIC", "Tray icon owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr));
    }
    ~OwnerWindow() override
    {
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
};

// What the popup held while it was open, read from inside the menu's own loop.
struct MenuSeen {
    bool opened = false;
    int count = 0;
    std::vector<std::string> labels;
    std::vector<UINT> commands;
    UINT defaultItem = 0;
};
MenuSeen seen;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window))
        return;
    KillTimer(nullptr, timer);
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
    seen.opened = true;
    seen.count = GetMenuItemCount(menu);
    for (int i = 0; i < seen.count; ++i) {
        char label[64] = {};
        GetMenuStringA(menu, i, label, sizeof label, MF_BYPOSITION);
        seen.labels.push_back(label);
        seen.commands.push_back(GetMenuItemID(menu, i));
    }
    seen.defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
    EndMenu();
}

MenuSeen RightClickAndRead(CTrayIcon& icon)
{
    seen = MenuSeen();
    SetTimer(nullptr, 0, 50, ReadOpenMenu);
    EXPECT_EQ(1, icon.HandleTrayMessage(IDR_TRAYICON, WM_RBUTTONUP));
    return seen;
}

// Another program's icon under the owner window and number of ours: the shell refuses to add
// ours beside it, and would modify or delete it in place of ours.
class ForeignIcon {
public:
    explicit ForeignIcon(HWND owner)
    {
        m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        m_data.hWnd = owner;
        m_data.uID = IDR_TRAYICON;
        m_data.uFlags = NIF_ICON | NIF_TIP;
        m_data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
        lstrcpynA(m_data.szTip, ForeignTip, sizeof m_data.szTip);
        m_added = Shell_NotifyIconA(NIM_ADD, &m_data) != FALSE;
    }
    ~ForeignIcon() { Remove(); }
    bool Added() const { return m_added; }
    bool Remove()
    {
        bool const removed = m_added && Shell_NotifyIconA(NIM_DELETE, &m_data);
        m_added = false;
        return removed;
    }

    static char const ForeignTip[];

private:
    NOTIFYICONDATAA m_data = {};
    bool m_added = false;
};
char const ForeignIcon::ForeignTip[] = "Another program's icon";

std::string TipInTray()
{
    std::string tip;
    winauto::WaitUntil(2000, [&] {
        std::vector<winauto::TrayTip> tips = winauto::TrayTips();
        for (winauto::TrayTip const& t : tips)
            if (t.text.size() == 63)
                return !(tip = t.text).empty();
        return false;
    });
    return tip;
}

}  // namespace

TEST(PupexTrayIcon, StartsEnabledWithoutIconAndWithoutTipForNumberThree)
{
    CTrayIcon icon(IDR_TRAYICON);
    EXPECT_STREQ("CTrayIcon", icon.GetRuntimeClassName());
    EXPECT_TRUE(icon.IsEnabled());
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_STREQ("", icon.Tip());
}

TEST(PupexTrayIcon, RemovingWhileNoIconIsShownSucceedsWithoutTheShell)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);
    int const before = winauto::TrayIconCount();
    // The shell itself answers 0 when asked to delete an icon it does not have.
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = owner.GetSafeHwnd();
    probe.uID = IDR_TRAYICON;
    ASSERT_FALSE(Shell_NotifyIconA(NIM_DELETE, &probe));

    EXPECT_TRUE(icon.ApplyIcon(nullptr));
    EXPECT_TRUE(icon.ShowIconResource(0));
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_EQ(before, winauto::TrayIconCount());
}

TEST(PupexTrayIcon, NumberWithAStringButNoIconRemovesTheIconAndKeepsTheString)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);
    int const before = winauto::TrayIconCount();

    EXPECT_TRUE(icon.ShowIconResource(IDI_PUPPY));
    EXPECT_TRUE(icon.IsIconShown());
    EXPECT_EQ(PuppyTip, icon.Tip());
    HWND shown = winauto::WaitForTrayIcon(PuppyTip, Timeout);
    EXPECT_NE(nullptr, shown);

    EXPECT_TRUE(icon.ShowIconResource(IDS_SUSPENDED_TIP));
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_EQ(SuspendedTip, icon.Tip());
    EXPECT_TRUE(winauto::WaitForTrayIconCount(before, Timeout)) << winauto::TrayIconCount();

    EXPECT_TRUE(icon.ShowIconResource(IDI_PUPPY)) << "added anew";
    EXPECT_EQ(PuppyTip, icon.Tip());
    EXPECT_NE(nullptr, winauto::WaitForTrayIcon(PuppyTip, Timeout));
    EXPECT_TRUE(icon.ShowIconResource(IDI_PUPPY)) << "replaced while shown";
    EXPECT_EQ(before + 1, winauto::TrayIconCount());
}

TEST(PupexTrayIcon, DestructorRemovesTheIcon)
{
    OwnerWindow owner;
    int const before = winauto::TrayIconCount();
    {
        CTrayIcon icon(IDR_TRAYICON);
        icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);
        ASSERT_TRUE(icon.ShowIconResource(IDI_PUPPY));
        ASSERT_TRUE(winauto::WaitForTrayIconCount(before + 1, Timeout));
    }
    EXPECT_TRUE(winauto::WaitForTrayIconCount(before, Timeout)) << winauto::TrayIconCount();
}

TEST(PupexTrayIcon, TipLongerThanSixtyThreeCharactersIsCut)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);
    std::string const full = "Sixty-three characters fit in the tip, and this text is longer than that by far.";
    ASSERT_GT(full.size(), 63u);

    ASSERT_TRUE(icon.ShowIconResource(LongTip));
    EXPECT_EQ(full.substr(0, 63), icon.Tip());
    EXPECT_EQ(full.substr(0, 63), TipInTray()) << "as the shell shows it";
}

TEST(PupexTrayIcon, TrayMenuHasAboutAsDefaultAndTheSwitchLabelFollowsTheFlag)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);

    for (int round = 0; round < 3; ++round) {
        bool const enabled = round != 1;
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        MenuSeen const menu = RightClickAndRead(icon);
        ASSERT_TRUE(menu.opened);
        ASSERT_EQ(2, menu.count);
        EXPECT_EQ("&About Lumivane...", menu.labels[0]);
        EXPECT_EQ(static_cast<UINT>(ID_APP_ABOUT), menu.commands[0]);
        EXPECT_EQ(enabled ? "&Disable" : "&Enable", menu.labels[1]);
        EXPECT_EQ(static_cast<UINT>(ID_ENABLE_DISABLE), menu.commands[1]) << "the command stays";
        EXPECT_EQ(0u, menu.defaultItem) << "About is the default item";
        icon.FlipEnabled();
    }
}

TEST(PupexTrayIcon, OnlyRightReleaseAndDoubleClickOnItsOwnNumberAreHandled)
{
    CTrayIcon icon(IDR_TRAYICON);
    struct Case {
        WPARAM number;
        UINT mouse;
    } const ignored[] = {
        {IDR_TRAYICON, WM_LBUTTONDOWN}, {IDR_TRAYICON, WM_LBUTTONUP}, {IDR_TRAYICON, WM_RBUTTONDOWN},
        {IDR_TRAYICON, WM_MOUSEMOVE},   {2, WM_RBUTTONUP},            {4, WM_LBUTTONDBLCLK},
    };
    for (Case const& c : ignored) {
        SCOPED_TRACE("number " + std::to_string(c.number) + ", mouse " + std::to_string(c.mouse));
        EXPECT_EQ(0, icon.HandleTrayMessage(c.number, c.mouse));
    }
}

// A refused add or modify leaves the object with no icon shown: it asks the shell to delete
// nothing, and its next icon is added anew.
TEST(PupexTrayIcon, RefusedAddOrModifyLeavesNoIconShownAndTheNextIsAddedAnew)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, WM_TRAYICON_CALLBACK);

    // The add is refused while another icon holds the window and number.
    {
        ForeignIcon foreign(owner.GetSafeHwnd());
        ASSERT_TRUE(foreign.Added());
        HWND const foreignShown = winauto::WaitForTrayIcon(ForeignIcon::ForeignTip, Timeout);
        ASSERT_NE(nullptr, foreignShown);

        EXPECT_FALSE(icon.ShowIconResource(IDI_PUPPY)) << "the shell refuses the add";
        EXPECT_FALSE(icon.IsIconShown());
        EXPECT_FALSE(icon.ShowIconResource(IDI_PUPPY)) << "an add again, refused again: a modify would succeed";
        EXPECT_EQ(ForeignIcon::ForeignTip, winauto::TrayIconTip(foreignShown)) << "not modified in place of ours";
        EXPECT_TRUE(icon.ShowIconResource(0)) << "nothing to remove";
        EXPECT_TRUE(IsWindow(foreignShown)) << "the other icon was not deleted in place of ours";
        EXPECT_FALSE(icon.IsIconShown());
    }
    EXPECT_TRUE(icon.ShowIconResource(IDI_PUPPY)) << "added once the number is free";
    EXPECT_TRUE(icon.IsIconShown());
    EXPECT_NE(nullptr, winauto::WaitForTrayIcon(PuppyTip, Timeout));

    // The modify is refused once someone else has taken our icon away.
    NOTIFYICONDATAA ours = {};
    ours.cbSize = NOTIFYICONDATAA_V1_SIZE;
    ours.hWnd = owner.GetSafeHwnd();
    ours.uID = IDR_TRAYICON;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &ours));
    EXPECT_FALSE(icon.ShowIconResource(IDI_PUPPY)) << "the shell refuses the modify";
    EXPECT_FALSE(icon.IsIconShown());
    EXPECT_TRUE(icon.ShowIconResource(IDI_PUPPY)) << "added anew";
    EXPECT_TRUE(icon.IsIconShown());
    EXPECT_NE(nullptr, winauto::WaitForTrayIcon(PuppyTip, Timeout));
}
