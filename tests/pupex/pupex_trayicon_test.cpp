// The tray icon object of the tray utility on a window of this test, with the program's own
// resources linked in: what the shell is asked, the tip it holds, and the tray menu as the
// program itself sees it (Wine shows another process nothing of a menu's items).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "trayicon.h"
#include "winauto.h"

namespace {

DWORD const Timeout = 10000;
UINT const TrayCallback = WM_USER;
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
    icon.SetCallbackWindow(&owner, TrayCallback);
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
    icon.SetCallbackWindow(&owner, TrayCallback);
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
        icon.SetCallbackWindow(&owner, TrayCallback);
        ASSERT_TRUE(icon.ShowIconResource(IDI_PUPPY));
        ASSERT_TRUE(winauto::WaitForTrayIconCount(before + 1, Timeout));
    }
    EXPECT_TRUE(winauto::WaitForTrayIconCount(before, Timeout)) << winauto::TrayIconCount();
}

TEST(PupexTrayIcon, TipLongerThanSixtyThreeCharactersIsCut)
{
    OwnerWindow owner;
    CTrayIcon icon(IDR_TRAYICON);
    icon.SetCallbackWindow(&owner, TrayCallback);
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
    icon.SetCallbackWindow(&owner, TrayCallback);

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
