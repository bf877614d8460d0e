// Drives the real programs from a shell script (the demo), the way winauto drives them from
// tests. One command per run; exit code 0 when it did what it was asked.
//
//   autodrive wait TITLE [MS]             wait for a top-level window with this title
//   autodrive gone TITLE [MS]             wait until no top-level window has this title
//   autodrive controls TITLE              print the controls of the dialog with this title
//   autodrive click TITLE ID              click control ID of the dialog with this title
//   autodrive msgbox CAPTION BUTTON [MS]  wait for a message box, print it, press BUTTON (an id)
//   autodrive syscommand TITLE ID         choose item ID (a number) of the window's system menu
//   autodrive shot TITLE FILE.png         screenshot of the window with this title
//   autodrive tray-menu ITEM [MS [SHOT]]  right-click the first tray icon, choose item ITEM (from 0);
//                                         with SHOT, a screenshot of the menu first (a .png file)
//   autodrive tray-tips                   print the tray icons' tips
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "winauto.h"

namespace {

DWORD const DefaultWait = 10000;

DWORD WaitArgument(int argc, char** argv, int index)
{
    return argc > index ? std::strtoul(argv[index], nullptr, 0) : DefaultWait;
}

HWND WaitForTitle(char const* title, DWORD timeout)
{
    HWND window = winauto::WaitForWindow(nullptr, title, timeout);
    if (!window)
        std::fprintf(stderr, "autodrive: no window \"%s\"\n", title);
    return window;
}

void PrintControls(HWND dialog)
{
    for (winauto::Control const& c : winauto::ReadControls(dialog)) {
        std::printf("  %5d %-18s \"%s\"", c.id, c.className.c_str(), c.text.c_str());
        if (c.check >= 0)
            std::printf(" check=%d", c.check);
        if (c.className == "msctls_progress32")
            std::printf(" position=%d range=%d..%d", c.position, c.rangeLow, c.rangeHigh);
        std::printf("%s\n", c.enabled ? "" : " (disabled)");
    }
}

int AnswerMessageBox(char const* caption, int button, DWORD timeout)
{
    auto box = winauto::WaitForMessageBox(caption, timeout);
    if (!box) {
        std::fprintf(stderr, "autodrive: no message box \"%s\"\n", caption);
        return 1;
    }
    std::printf("  message box \"%s\": %s\n", box->caption.c_str(), box->text.c_str());
    return winauto::ClickControl(box->hwnd, button) ? 0 : 1;
}

int ChooseFromTrayMenu(int item, DWORD timeout, char const* shot)
{
    if (!winauto::WaitForTrayIconCount(1, timeout))
        return 1;
    HWND icon = winauto::TrayIconWindows().front();
    winauto::RightClickTrayIcon(icon);
    HWND menu = winauto::WaitForPopupMenu(timeout);
    if (menu && shot) {
        winauto::SavePaintedWindowPng(menu, shot);
    }
    return menu && winauto::ChooseMenuItem(menu, item) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string const verb = argc > 1 ? argv[1] : "";
    if (verb == "wait" && argc > 2)
        return WaitForTitle(argv[2], WaitArgument(argc, argv, 3)) ? 0 : 1;
    if (verb == "gone" && argc > 2)
        return winauto::WaitForWindowGone(nullptr, argv[2], WaitArgument(argc, argv, 3)) ? 0 : 1;
    if (verb == "controls" && argc > 2) {
        HWND dialog = WaitForTitle(argv[2], DefaultWait);
        if (dialog)
            PrintControls(dialog);
        return dialog ? 0 : 1;
    }
    if (verb == "click" && argc > 3) {
        HWND dialog = WaitForTitle(argv[2], DefaultWait);
        return dialog && winauto::ClickControl(dialog, std::atoi(argv[3])) ? 0 : 1;
    }
    if (verb == "syscommand" && argc > 3) {
        HWND window = WaitForTitle(argv[2], DefaultWait);
        return window && PostMessageA(window, WM_SYSCOMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
    }
    if (verb == "msgbox" && argc > 3)
        return AnswerMessageBox(argv[2], std::atoi(argv[3]), WaitArgument(argc, argv, 4));
    if (verb == "shot" && argc > 3) {
        HWND window = WaitForTitle(argv[2], DefaultWait);
        return window && winauto::SavePaintedWindowPng(window, argv[3]) ? 0 : 1;
    }
    if (verb == "tray-menu" && argc > 2)
        return ChooseFromTrayMenu(std::atoi(argv[2]), WaitArgument(argc, argv, 3), argc > 4 ? argv[4] : nullptr);
    if (verb == "tray-tips") {
        for (winauto::TrayTip const& tip : winauto::TrayTips())
            std::printf("  \"%s\"\n", tip.text.c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: see the comment at the top of autodrive.cpp\n");
    return 2;
}
